// What the main dialog needs from the rest of the program, as small ports the
// program fills with the real filter host, batch core and image formats, and
// the tests with fakes.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace tinta {

// The filter modules of ./tinta/. Messages of the host (modules that do not
// load, missing entry points) reach the user through the program's
// UserInteraction.
class FilterPort {
  public:
    virtual ~FilterPort() = default;
    // Finds the modules, selects the first (none when there is none) and
    // returns their titles in discovery order.
    virtual QStringList DiscoverFilters() = 0;
    // Unloads the current module and loads entry index (-1: none).
    virtual void SelectFilter(int index) = 0;
    // Opens the selected module's own settings; false when it has none (or
    // no module is loaded).
    virtual bool OpenFilterSettings() = 0;
};

// The image formats Qt offers, besides ERI input and TGA output.
struct OfferedFormats {
    bool imagingAvailable = true;  // false: Qt has no image plug-ins at all
    QStringList inputMasks;        // "*.PNG", ... for the input mask list
    QStringList outputFormats;     // "*.PNG", ... for the output format list
};

class FormatPort {
  public:
    virtual ~FormatPort() = default;
    virtual OfferedFormats ListFormats() = 0;
};

// What a run does with output files that already exist.
enum class ExistingOutputs {
    kReplace,  // write over them
    kSkip,     // keep them and skip their entries
    kRename,   // write under the first free "name (2).EXT", ...
};

// Folders and names here are file-name text (file_name_text.h): they give
// back the bytes of names that are not UTF-8.
struct BatchJob {
    QStringList names;  // the input-file list, "[name]" entries included
    QString inputFolder;
    QString outputFolder;
    QString formatText;  // "*.TGA", ...
    bool edging = false;
    std::optional<uint64_t> maxPixels;  // the profile's pixel limit; default when absent
    ExistingOutputs existing = ExistingOutputs::kReplace;
};

struct InputListing {
    QStringList names;  // files, and "[name]" for subfolders
    QString problem;    // why the folder could not be read; empty when it could
};

struct BatchOutcome {
    // The counts and one line per file that could not be loaded or written;
    // after a stop the counts always.
    QStringList failures;
    bool stopped = false;  // StopBatch ended the run early
};

class BatchPort {
  public:
    virtual ~BatchPort() = default;
    // The files of folder that match mask, "[name]" for matching subfolders;
    // no names when the folder cannot be read.
    virtual InputListing ListInputFiles(const QString& folder, const QString& mask) = 0;
    // How many entries of the job have an output name that is already a file.
    virtual int CountExistingOutputs(const BatchJob& job) = 0;
    // Processes every entry of the job, calling progress(n) when n entries
    // are finished. Events of the calling thread are processed meanwhile.
    virtual BatchOutcome RunBatch(const BatchJob& job,
                                  const std::function<void(int filesDone)>& progress) = 0;
    // Asks the running batch to stop: no new file is started, files in
    // flight are finished or abandoned. Called while RunBatch runs.
    virtual void StopBatch() = 0;
};

// Message boxes and the folder chooser.
class UserInteraction {
  public:
    virtual ~UserInteraction() = default;
    // A message with an OK button; details, when given, follow the text.
    virtual void ShowMessage(QWidget* owner, const QString& text, const QString& details = {}) = 0;
    // The chosen folder as file-name text (file_name_text.h), or nothing
    // when the user cancels.
    virtual std::optional<QString> ChooseFolder(QWidget* owner, const QString& prompt,
                                                const QString& preselected) = 0;
    // Asks what to do with count existing output files: 上書き, スキップ,
    // 別名で保存, or nothing for キャンセル.
    virtual std::optional<ExistingOutputs> AskAboutExistingOutputs(QWidget* owner, int count) = 0;
};

class HelpPort {
  public:
    virtual ~HelpPort() = default;
    // Opens the help document; 0, or the error number of the failure.
    virtual int OpenHelp() = 0;
};

// One list entry before and after the selected filter, nothing written.
struct PreviewContent {
    QImage before;    // as the filter receives it (edged when asked); null when not loaded
    QImage after;     // as the filter leaves it; null when the filter did not run
    QString problem;  // why a picture is missing; empty when both are there
};

class PreviewPort {
  public:
    virtual ~PreviewPort() = default;
    // Runs entry of folder (a file, or a "[name]" folder entry) through the
    // steps of a run on the calling thread, keeping the result in memory.
    virtual PreviewContent MakePreview(const QString& folder, const QString& entry,
                                       bool edging) = 0;
};

struct DialogServices {
    FilterPort& filters;
    FormatPort& formats;
    BatchPort& batch;
    UserInteraction& user;
    HelpPort& help;
    PreviewPort* preview = nullptr;  // none: "プレビュー" does nothing
};

}  // namespace tinta
