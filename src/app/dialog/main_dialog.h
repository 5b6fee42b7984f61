// The main dialog: input folder and mask with the list of matching files, the
// filter and its settings, the edging option, output folder and format, and
// the commands Run, Exit, Settings, Initialise, Help, Preview and About.
#pragma once

#include <QDialog>
#include <QString>

#include "app/dialog/dialog_services.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;

namespace tinta {

class MainDialog : public QDialog {
  public:
    // Builds the controls and initialises the dialog: filters, format lists,
    // folders from the settings file, the input-file list.
    explicit MainDialog(DialogServices services, QWidget* parent = nullptr);

    const QString& InputFolder() const { return inputFolder_; }
    const QString& OutputFolder() const { return outputFolder_; }
    bool EdgingFlag() const { return edgingFlag_; }
    bool IsRunning() const { return running_; }

    // The control with a template id (see dialog_ids.h).
    QWidget* Control(int id) const;
    // The right-click menu with the About entry.
    QMenu* ContextMenu() const { return contextMenu_; }

    // The commands.
    void BatchRun();
    void Exit();
    void OpenFilterSettings();
    void Initialise();
    void Help();
    void ChooseInputFolder();
    void ChooseOutputFolder();
    void ShowAbout();
    void Preview();

  protected:
    void reject() override;  // Esc, the close box and "終了" all end in Exit
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void ConnectCommands();
    void BuildContextMenu();
    void InitDialog();
    void FillFormatLists();
    void RefreshControls();
    void RefreshFileList();
    void OnProgress(int filesDone);

    DialogServices services_;
    QString inputFolder_;
    QString outputFolder_;
    bool edgingFlag_ = false;
    bool running_ = false;

    QLineEdit* inputFolderField_ = nullptr;
    QLineEdit* outputFolderField_ = nullptr;
    QComboBox* inputMaskList_ = nullptr;
    QComboBox* outputFormatList_ = nullptr;
    QComboBox* filterList_ = nullptr;
    QListWidget* inputFileList_ = nullptr;
    QCheckBox* edgingBox_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
};

}  // namespace tinta
