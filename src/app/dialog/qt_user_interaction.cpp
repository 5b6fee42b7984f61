#include "app/dialog/qt_user_interaction.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "app/dialog/dialog_texts.h"
#include "app/dialog/existing_outputs_question.h"
#include "app/dialog/file_name_text.h"

namespace tinta {
namespace {

// Long failure reports go behind the "Show Details" button; the box shows
// their first lines.
constexpr int kDetailLinesShown = 12;

}  // namespace

void QtUserInteraction::ShowMessage(QWidget* owner, const QString& text, const QString& details) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(ui::kMessageCaption), text,
                    QMessageBox::Ok, owner);
    if (!details.isEmpty()) {
        const QStringList lines = details.split(QLatin1Char('\n'));
        if (lines.size() > kDetailLinesShown) {
            box.setInformativeText(lines.mid(0, kDetailLinesShown).join(QLatin1Char('\n')) +
                                   QStringLiteral("\n…"));
            box.setDetailedText(details);
        } else {
            box.setInformativeText(details);
        }
    }
    box.exec();
}

std::optional<QString> QtUserInteraction::ChooseFolder(QWidget* owner, const QString& prompt,
                                                       const QString& preselected) {
    const QByteArray start = QByteArray::fromStdString(FileNameBytes(preselected));
    const QString folder =
        QFileDialog::getExistingDirectory(owner, prompt, QFile::decodeName(start));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return FileNameText(QFile::encodeName(folder).toStdString());
}

std::optional<ExistingOutputs> QtUserInteraction::AskAboutExistingOutputs(QWidget* owner,
                                                                          int count) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(ui::kMessageCaption),
                    ExistingOutputsQuestion(count), QMessageBox::NoButton, owner);
    QPushButton* replace =
        box.addButton(QString::fromUtf8(ui::kReplaceChoice), QMessageBox::AcceptRole);
    QPushButton* skip = box.addButton(QString::fromUtf8(ui::kSkipChoice), QMessageBox::AcceptRole);
    QPushButton* rename =
        box.addButton(QString::fromUtf8(ui::kRenameChoice), QMessageBox::AcceptRole);
    QPushButton* cancel =
        box.addButton(QString::fromUtf8(ui::kCancelChoice), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    const QAbstractButton* chosen = box.clickedButton();
    if (chosen == replace) {
        return ExistingOutputs::kReplace;
    }
    if (chosen == skip) {
        return ExistingOutputs::kSkip;
    }
    if (chosen == rename) {
        return ExistingOutputs::kRename;
    }
    return std::nullopt;
}

}  // namespace tinta
