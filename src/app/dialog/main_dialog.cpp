#include "app/dialog/main_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>

#include "app/dialog/about_box.h"
#include "app/dialog/app_icon.h"
#include "app/dialog/dialog_ids.h"
#include "app/dialog/dialog_template.h"
#include "app/dialog/dialog_texts.h"
#include "app/dialog/dialog_units.h"
#include "app/dialog/existing_outputs_question.h"
#include "app/dialog/file_name_text.h"
#include "app/dialog/help_messages.h"
#include "app/dialog/preview_command.h"
#include "app/dialog/sorted_insert.h"
#include "app/settings/folder_settings.h"
#include "app/settings/load_limit_settings.h"
#include "app/settings/module_settings_file.h"
#include "workimage/trace.h"

namespace tinta {
namespace {

QString ControlName(int id) {
    return QStringLiteral("control%1").arg(id);
}

QWidget* MakeControl(const ControlTemplate& control, QWidget* parent) {
    const QString caption = QString::fromUtf8(control.caption);
    switch (control.kind) {
        case ControlKind::GroupBox:
            return new QGroupBox(caption, parent);
        case ControlKind::Label: {
            auto* label = new QLabel(caption, parent);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case ControlKind::EditField:
            return new QLineEdit(parent);
        case ControlKind::ComboBox: {
            auto* box = new QComboBox(parent);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            return box;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            return list;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(caption, parent);
        case ControlKind::PushButton: {
            // Every button takes Enter while it has the focus; otherwise Enter
            // goes to the dialog's default command, Run.
            auto* button = new QPushButton(caption, parent);
            button->setAutoDefault(true);
            button->setDefault(control.id == kIdRun);
            return button;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            bar->setRange(0, 1);
            bar->setValue(0);
            return bar;
        }
    }
    return nullptr;
}

// A combo box shows one line; the rest of its template height is the open
// list, given here as the number of entries it shows.
void PlaceComboBox(QComboBox& box, const QRect& pixels) {
    const int lineHeight = box.sizeHint().height();
    const int itemHeight = std::max(1, box.fontMetrics().height() + 2);
    box.setMaxVisibleItems(std::max(1, (pixels.height() - lineHeight) / itemHeight));
    box.setGeometry(pixels.x(), pixels.y(), pixels.width(), lineHeight);
}

// An input-file list entry's name as file-name text (see file_name_text.h).
QString FileNameOf(const QListWidgetItem& item) {
    return item.data(Qt::UserRole).toString();
}

const char* RunCaption() {
    for (const ControlTemplate& control : MainDialogTemplate()) {
        if (control.id == kIdRun) {
            return control.caption;
        }
    }
    return "";
}

}  // namespace

MainDialog::MainDialog(DialogServices services, QWidget* parent)
    : QDialog(parent), services_(services) {
    BuildControls();
    ConnectCommands();
    BuildContextMenu();
    InitDialog();
}

QWidget* MainDialog::Control(int id) const {
    return findChild<QWidget*>(ControlName(id));
}

void MainDialog::BuildControls() {
    setWindowTitle(QString::fromUtf8(ui::kTemplateCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    const DialogUnits units = DialogUnits::ForFont(font());

    for (const ControlTemplate& control : MainDialogTemplate()) {
        QWidget* widget = MakeControl(control, this);
        const QRect pixels = units.ToPixels(control.units);
        if (auto* box = qobject_cast<QComboBox*>(widget)) {
            PlaceComboBox(*box, pixels);
        } else {
            widget->setGeometry(pixels);
        }
        if (control.id != kIdStatic) {
            widget->setObjectName(ControlName(control.id));
        }
    }
    setFixedSize(units.ToPixels(QSize(kDialogWidthUnits, kDialogHeightUnits)));

    inputFolderField_ = findChild<QLineEdit*>(ControlName(kIdInputFolder));
    outputFolderField_ = findChild<QLineEdit*>(ControlName(kIdOutputFolder));
    inputMaskList_ = findChild<QComboBox*>(ControlName(kIdInputMask));
    outputFormatList_ = findChild<QComboBox*>(ControlName(kIdOutputFormat));
    filterList_ = findChild<QComboBox*>(ControlName(kIdFilterList));
    inputFileList_ = findChild<QListWidget*>(ControlName(kIdInputFileList));
    edgingBox_ = findChild<QCheckBox*>(ControlName(kIdEdging));
    progressBar_ = findChild<QProgressBar*>(ControlName(kIdProgress));
}

void MainDialog::ConnectCommands() {
    const auto onClick = [this](int id, auto command) {
        auto* button = findChild<QPushButton*>(ControlName(id));
        connect(button, &QPushButton::clicked, this, [this, command] { (this->*command)(); });
    };
    onClick(kIdRun, &MainDialog::BatchRun);
    onClick(kIdExit, &MainDialog::reject);
    onClick(kIdSettings, &MainDialog::OpenFilterSettings);
    onClick(kIdInitialise, &MainDialog::Initialise);
    onClick(kIdHelp, &MainDialog::Help);
    onClick(kIdChooseInputFolder, &MainDialog::ChooseInputFolder);
    onClick(kIdChooseOutputFolder, &MainDialog::ChooseOutputFolder);
    onClick(kIdPreview, &MainDialog::Preview);
    // A new output format takes effect at the next run.

    connect(inputMaskList_, &QComboBox::currentIndexChanged, this, [this] { RefreshFileList(); });
    connect(filterList_, &QComboBox::currentIndexChanged, this,
            [this](int index) { services_.filters.SelectFilter(index); });
    connect(edgingBox_, &QCheckBox::toggled, this, [this](bool checked) { edgingFlag_ = checked; });

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &MainDialog::Help);
}

void MainDialog::InitDialog() {
    RefreshControls();
    setWindowIcon(AppIcon());

    const QStringList titles = services_.filters.DiscoverFilters();
    {
        const QSignalBlocker quiet(filterList_);
        filterList_->addItems(titles);
        filterList_->setCurrentIndex(titles.isEmpty() ? -1 : 0);
    }

    setWindowTitle(QString::fromUtf8(ui::kDialogCaption));
    FillFormatLists();

    const FolderSettings folders = ReadFolderSettings();
    outputFolder_ = folders.outputFolder;
    inputFolder_ = folders.inputFolder;
    RefreshFileList();
    RefreshControls();
}

void MainDialog::FillFormatLists() {
    const OfferedFormats formats = services_.formats.ListFormats();
    if (!formats.imagingAvailable) {
        services_.user.ShowMessage(this, QString::fromUtf8(ui::kNoImagingMessage));
    }
    const QSignalBlocker quietInput(inputMaskList_);
    const QSignalBlocker quietOutput(outputFormatList_);
    AddSorted(*inputMaskList_, QString::fromUtf8(ui::kEriMask));
    AddSorted(*outputFormatList_, QString::fromUtf8(ui::kTgaFormat));
    if (formats.imagingAvailable) {
        for (const QString& mask : formats.inputMasks) {
            AddSorted(*inputMaskList_, mask);
        }
        for (const QString& format : formats.outputFormats) {
            AddSorted(*outputFormatList_, format);
        }
    }
    inputMaskList_->setCurrentIndex(0);
    outputFormatList_->setCurrentIndex(0);
}

void MainDialog::RefreshControls() {
    outputFolderField_->setText(DisplayName(outputFolder_));
    outputFolderField_->setCursorPosition(0);
    inputFolderField_->setText(DisplayName(inputFolder_));
    inputFolderField_->setCursorPosition(0);
    const QSignalBlocker quiet(edgingBox_);
    edgingBox_->setChecked(edgingFlag_);
}

void MainDialog::RefreshFileList() {
    inputFileList_->clear();
    const int mask = inputMaskList_->currentIndex();
    if (mask >= 0) {
        const InputListing listing =
            services_.batch.ListInputFiles(inputFolder_, inputMaskList_->itemText(mask));
        for (const QString& name : listing.names) {
            const int row = SortedPosition(inputFileList_->count(), name, [this](int i) {
                return FileNameOf(*inputFileList_->item(i));
            });
            inputFileList_->insertItem(row, DisplayName(name));
            inputFileList_->item(row)->setData(Qt::UserRole, name);
        }
        if (!listing.problem.isEmpty()) {
            services_.user.ShowMessage(this, listing.problem);
        }
    }
    RefreshControls();
}

void MainDialog::BatchRun() {
    if (running_) {
        StopRun();
        return;
    }
    BatchJob job;
    const int count = inputFileList_->count();
    for (int i = 0; i < count; ++i) {
        job.names.append(FileNameOf(*inputFileList_->item(i)));
    }
    job.inputFolder = inputFolder_;
    job.outputFolder = outputFolder_;
    job.formatText = outputFormatList_->itemText(outputFormatList_->currentIndex());
    job.edging = edgingFlag_;
    job.maxPixels = ReadMaxPixelsSetting();
    const std::optional<ExistingOutputs> existing = ChooseExistingOutputs(services_, this, job);
    if (!existing) {
        return;
    }
    job.existing = *existing;

    // A range of 0 .. 0 would make the bar a busy indicator.
    progressBar_->setRange(0, std::max(count, 1));
    progressBar_->setValue(0);
    RefreshControls();
    SetRunning(true);
    const BatchOutcome outcome =
        services_.batch.RunBatch(job, [this](int filesDone) { OnProgress(filesDone); });
    SetRunning(false);
    progressBar_->setValue(count);
    RefreshControls();
    if (exitAfterRun_) {
        exitAfterRun_ = false;
        Exit();
        return;
    }
    const char* message = outcome.stopped ? ui::kStoppedMessage : ui::kDoneMessage;
    services_.user.ShowMessage(this, QString::fromUtf8(message),
                               outcome.failures.join(QLatin1Char('\n')));
    progressBar_->setValue(0);
    RefreshControls();
}

// While a run goes, Run reads "中止" and stops it, Exit stays to stop it
// and close; every other control waits for the run's end.
void MainDialog::SetRunning(bool running) {
    running_ = running;
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control != Control(kIdRun) && control != Control(kIdExit) && control != progressBar_) {
            control->setEnabled(!running);
        }
    }
    auto* run = findChild<QPushButton*>(ControlName(kIdRun));
    run->setText(QString::fromUtf8(running ? ui::kStopCaption : RunCaption()));
}

void MainDialog::StopRun() {
    services_.batch.StopBatch();
}

void MainDialog::OnProgress(int filesDone) {
    progressBar_->setValue(filesDone);
    RefreshControls();
}

void MainDialog::Exit() {
    if (running_) {
        exitAfterRun_ = true;
        StopRun();
        return;
    }
    WriteFolderSettings({outputFolder_, inputFolder_});
    QDialog::reject();
}

void MainDialog::reject() {
    Exit();
}

void MainDialog::OpenFilterSettings() {
    if (running_) {
        return;
    }
    if (!services_.filters.OpenFilterSettings()) {
        services_.user.ShowMessage(this, QString::fromUtf8(ui::kNoSettingsMessage));
    }
}

void MainDialog::Initialise() {
    if (running_) {
        return;
    }
    DeleteModuleSettingsFile();
}

void MainDialog::Help() {
    if (running_) {
        return;
    }
    const int error = services_.help.OpenHelp();
    if (error == 0) {
        return;
    }
    if (const auto message = HelpErrorMessage(error)) {
        services_.user.ShowMessage(this, *message);
    } else {
        TraceLine("Help: the help document could not be opened, error " + std::to_string(error));
    }
}

void MainDialog::ChooseInputFolder() {
    if (running_) {
        return;
    }
    const auto folder =
        services_.user.ChooseFolder(this, QString::fromUtf8(ui::kInputFolderPrompt), inputFolder_);
    if (!folder) {
        return;
    }
    inputFolder_ = *folder;
    RefreshFileList();
}

void MainDialog::ChooseOutputFolder() {
    if (running_) {
        return;
    }
    const QString preselected = outputFolder_.isEmpty() ? inputFolder_ : outputFolder_;
    const auto folder =
        services_.user.ChooseFolder(this, QString::fromUtf8(ui::kOutputFolderPrompt), preselected);
    if (!folder) {
        return;
    }
    outputFolder_ = *folder;
    RefreshControls();
}

void MainDialog::Preview() {
    if (running_ || services_.preview == nullptr) {
        return;
    }
    ShowPreview(*this, *inputFileList_, inputFolder_, edgingFlag_, *services_.preview);
}

void MainDialog::ShowAbout() {
    if (running_) {
        return;
    }
    AboutBox about(this);
    about.exec();
}

// Window managers keep the window menu to themselves, so the About entry is
// offered on a right click instead.
void MainDialog::BuildContextMenu() {
    contextMenu_ = new QMenu(this);
    QAction* about = contextMenu_->addAction(QString::fromUtf8(ui::kAboutEntry));
    about->setData(kIdAboutCommand);
    connect(about, &QAction::triggered, this, &MainDialog::ShowAbout);
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
    if (running_) {
        return;
    }
    contextMenu_->exec(event->globalPos());
}

}  // namespace tinta
