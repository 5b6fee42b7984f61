// The About box: caption, icon, version text and an OK button that closes it.
#pragma once

#include <QDialog>

namespace tinta {

class AboutBox : public QDialog {
  public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace tinta
