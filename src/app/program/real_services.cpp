#include "app/program/real_services.h"

#include <QApplication>
#include <string>
#include <vector>

#include "app/batch/batch_run.h"
#include "app/batch/batch_texts.h"
#include "app/batch/input_file_list.h"
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
    void Progress(int filesDone, int /*count*/) override { progress_(filesDone); }
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
        names.push_back(name.toStdString());
    }
    return names;
}

BatchSettings JobSettings(const BatchJob& job) {
    BatchSettings settings;
    settings.inputFolder = job.inputFolder.toStdString();
    settings.outputFolder = job.outputFolder.toStdString();
    settings.formatText = job.formatText.toStdString();
    settings.edging = job.edging;
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
    const InputFileList list = tinta::ListInputFiles(folder.toStdString(), mask.toStdString());
    return {ToQStringList(list.names), FromUtf8(list.error)};
}

int CoreBatchPort::CountExistingOutputs(const BatchJob& job) {
    return tinta::CountExistingOutputs(
        PlanRun(JobNames(job), JobSettings(job), ExistingPolicy::kReplace));
}

BatchOutcome CoreBatchPort::RunBatch(const BatchJob& job,
                                     const std::function<void(int filesDone)>& progress) {
    const BatchSettings settings = JobSettings(job);
    const RunPlan plan = PlanRun(JobNames(job), settings, PolicyOf(job.existing));
    ProgressForwarder observer(progress, user_);
    const BatchReport report = BatchRun(plan, settings, host_, observer);

    BatchOutcome outcome;
    if (!report.failures.empty() || report.skipped > 0) {
        outcome.failures.append(FromUtf8(SummaryLine(report)));
        outcome.failures.append(ToQStringList(FailureLines(report)));
    }
    return outcome;
}

}  // namespace tinta
