#include "app/program/real_services.h"

#include <QApplication>
#include <string>
#include <vector>

#include "app/batch/batch_run.h"
#include "app/batch/batch_texts.h"
#include "app/batch/input_file_list.h"
#include "app/batch/run_plan.h"
#include "app/batch/run_resources.h"
#include "app/dialog/file_name_text.h"
#include "imagefiles/format_lists.h"

namespace tinta {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList ToQStringList(const std::vector<std::string>& texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts) {
        list.append(FromUtf8(text));
    }
    return list;
}

class ProgressForwarder : public BatchObserver {
  public:
    ProgressForwarder(const std::function<void(int)>& progress, UserInteraction& user)
        : progress_(progress), user_(user) {}
    // The dialog's thread runs the filter and waits for the workers; its
    // events are processed meanwhile, so the dialog repaints, moves and can
    // stop the run.
    void Progress(int filesDone, int /*count*/) override {
        progress_(filesDone);
        QCoreApplication::processEvents();
    }
    void Waiting() override { QCoreApplication::processEvents(); }
    void OutOfMemory() override {
        user_.ShowMessage(QApplication::activeWindow(), FromUtf8(kOutOfMemoryMessage));
    }

  private:
    const std::function<void(int)>& progress_;
    UserInteraction& user_;
};

std::vector<std::string> JobNames(const BatchJob& job) {
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(job.names.size()));
    for (const QString& name : job.names) {
        names.push_back(FileNameBytes(name));
    }
    return names;
}

BatchSettings JobSettings(const BatchJob& job) {
    BatchSettings settings;
    settings.inputFolder = FileNameBytes(job.inputFolder);
    settings.outputFolder = FileNameBytes(job.outputFolder);
    settings.formatText = job.formatText.toStdString();
    settings.edging = job.edging;
    if (job.maxPixels) {
        settings.loadLimits.maxPixels = *job.maxPixels;
    }
    return settings;
}

ExistingPolicy PolicyOf(ExistingOutputs existing) {
    switch (existing) {
        case ExistingOutputs::kSkip:
            return ExistingPolicy::kSkip;
        case ExistingOutputs::kRename:
            return ExistingPolicy::kRename;
        case ExistingOutputs::kReplace:
            break;
    }
    return ExistingPolicy::kReplace;
}

}  // namespace

void DialogHostMessages::Show(const std::string& text) {
    user_.ShowMessage(QApplication::activeWindow(), FromUtf8(text));
}

QStringList HostFilterPort::DiscoverFilters() {
    host_.DiscoverModules();
    return ToQStringList(host_.Titles());
}

void HostFilterPort::SelectFilter(int index) {
    host_.SelectFilter(index);
}

bool HostFilterPort::OpenFilterSettings() {
    if (host_.Module().OptionEntry() == nullptr) {
        return false;
    }
    host_.OpenSettings();
    return true;
}

OfferedFormats QtFormatPort::ListFormats() {
    const FormatLists lists = QtFormatLists();
    return {lists.codecsAvailable, ToQStringList(lists.inputMasks),
            ToQStringList(lists.outputFormats)};
}

InputListing CoreBatchPort::ListInputFiles(const QString& folder, const QString& mask) {
    const InputFileList list = tinta::ListInputFiles(FileNameBytes(folder), mask.toStdString());
    InputListing listing;
    for (const std::string& name : list.names) {
        listing.names.append(FileNameText(name));
    }
    listing.problem = DisplayName(FileNameText(list.error));
    return listing;
}

int CoreBatchPort::CountExistingOutputs(const BatchJob& job) {
    return tinta::CountExistingOutputs(
        PlanRun(JobNames(job), JobSettings(job), ExistingPolicy::kReplace));
}

BatchOutcome CoreBatchPort::RunBatch(const BatchJob& job,
                                     const std::function<void(int filesDone)>& progress) {
    const BatchSettings settings = JobSettings(job);
    const RunPlan plan = PlanRun(JobNames(job), settings, PolicyOf(job.existing));
    RunOptions options;
    options.jobs = jobs_ > 0 ? jobs_ : DefaultJobs();
    options.memoryBudget = DefaultMemoryBudget();
    stop_.store(false);
    options.stop = &stop_;
    ProgressForwarder observer(progress, user_);
    const BatchReport report = BatchRun(plan, settings, host_, observer, {}, options);

    BatchOutcome outcome;
    outcome.stopped = report.stopped;
    if (!report.failures.empty() || report.skipped > 0 || report.stopped) {
        outcome.failures.append(FromUtf8(SummaryLine(report)));
        for (const std::string& line : FailureLines(report)) {
            outcome.failures.append(DisplayName(FileNameText(line)));
        }
    }
    return outcome;
}

void CoreBatchPort::StopBatch() {
    stop_.store(true);
}

}  // namespace tinta
