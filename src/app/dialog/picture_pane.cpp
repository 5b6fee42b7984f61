#include "app/dialog/picture_pane.h"

#include <QPainter>
#include <utility>

#include "app/dialog/checkerboard.h"

namespace tinta {

PicturePane::PicturePane(QWidget* parent) : QWidget(parent) {
    setMinimumSize(160, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PicturePane::SetPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

void PicturePane::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QSize size = FitInside(picture_.size(), this->size());
    if (size.isEmpty()) {
        return;
    }
    const QPoint corner((width() - size.width()) / 2, (height() - size.height()) / 2);
    painter.drawImage(corner, OnCheckerboard(picture_, size));
}

}  // namespace tinta
