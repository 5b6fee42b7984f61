// Message boxes and the folder chooser of the real program.
#pragma once

#include "app/dialog/dialog_services.h"

namespace tinta {

class QtUserInteraction : public UserInteraction {
  public:
    void ShowMessage(QWidget* owner, const QString& text, const QString& details) override;
    std::optional<QString> ChooseFolder(QWidget* owner, const QString& prompt,
                                        const QString& preselected) override;
    std::optional<ExistingOutputs> AskAboutExistingOutputs(QWidget* owner, int count) override;
};

}  // namespace tinta
