#include "app/dialog/preview_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/dialog/app_icon.h"
#include "app/dialog/dialog_units.h"
#include "app/dialog/picture_pane.h"

namespace tinta {

namespace {

QLabel* PlainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString SizeText(const QImage& picture) {
    return QStringLiteral("%1 × %2").arg(picture.width()).arg(picture.height());
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("previewWindow"));
    setWindowTitle(QString::fromUtf8(kPreviewCaption));
    setWindowIcon(AppIcon());
    setFont(DialogFont());

    before_ = new PicturePane(this);
    before_->setObjectName(QStringLiteral("previewBefore"));
    after_ = new PicturePane(this);
    after_->setObjectName(QStringLiteral("previewAfter"));
    info_ = PlainLabel(QString(), this);
    problem_ = PlainLabel(QString(), this);
    problem_->setWordWrap(true);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QGridLayout(this);
    layout->addWidget(info_, 0, 0, 1, 2);
    layout->addWidget(PlainLabel(QString::fromUtf8(kBeforeCaption), this), 1, 0);
    layout->addWidget(PlainLabel(QString::fromUtf8(kAfterCaption), this), 1, 1);
    layout->addWidget(before_, 2, 0);
    layout->addWidget(after_, 2, 1);
    layout->addWidget(problem_, 3, 0, 1, 2);
    layout->addWidget(close, 4, 1, Qt::AlignRight);
    layout->setRowStretch(2, 1);
    resize(720, 440);
}

void PreviewWindow::ShowContent(const QString& name, const PreviewContent& content) {
    before_->SetPicture(content.before);
    after_->SetPicture(content.after);
    const QImage& shown = content.before.isNull() ? content.after : content.before;
    info_->setText(shown.isNull() ? name : name + QStringLiteral("  ") + SizeText(shown));
    QString problem = content.problem;
    if (name.isEmpty()) {
        problem = QString::fromUtf8(kPreviewNoFileMessage);
    } else if (problem.isEmpty() && content.before.isNull()) {
        problem = QString::fromUtf8(kPreviewNotLoadedMessage);
    }
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
}

const QImage& PreviewWindow::Before() const {
    return before_->Picture();
}

const QImage& PreviewWindow::After() const {
    return after_->Picture();
}

QString PreviewWindow::InfoText() const {
    return info_->text();
}

QString PreviewWindow::ProblemText() const {
    return problem_->text();
}

}  // namespace tinta
