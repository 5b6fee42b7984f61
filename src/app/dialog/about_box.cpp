#include "app/dialog/about_box.h"

#include <QLabel>
#include <QPushButton>

#include "app/dialog/app_icon.h"
#include "app/dialog/dialog_ids.h"
#include "app/dialog/dialog_template.h"
#include "app/dialog/dialog_texts.h"
#include "app/dialog/dialog_units.h"

namespace tinta {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("about%1").arg(kIdAboutBox));
    setFont(DialogFont());
    setWindowTitle(QString::fromUtf8(ui::kAboutCaption));
    setWindowIcon(AppIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const DialogUnits units = DialogUnits::ForFont(font());

    auto* icon = new QLabel(this);
    const QRect iconRect = units.ToPixels(QRect(11, 17, 20, 20));
    icon->setGeometry(iconRect.x(), iconRect.y(), 32, 32);
    icon->setPixmap(AppIcon().pixmap(32, 32));

    auto* text = new QLabel(QString::fromUtf8(ui::kAboutText), this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setTextFormat(Qt::PlainText);
    text->setGeometry(units.ToPixels(QRect(40, 10, 119, 8)));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.ToPixels(QRect(160, 7, 50, 16)));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(units.ToPixels(QSize(kAboutWidthUnits, kAboutHeightUnits)));
}

}  // namespace tinta
