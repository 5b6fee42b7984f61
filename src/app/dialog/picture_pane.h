// One half of the preview: a picture scaled to fit the pane, centred, over a
// checkerboard; a plain background when there is no picture.
#pragma once

#include <QImage>
#include <QWidget>

namespace tinta {

class PicturePane : public QWidget {
  public:
    explicit PicturePane(QWidget* parent = nullptr);

    void SetPicture(QImage picture);
    const QImage& Picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

}  // namespace tinta
