// Fakes of the dialog's ports that record every call.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "app/dialog/dialog_services.h"

namespace tinta::testing {

struct ShownMessage {
    QString text;
    QString details;
};

struct FolderPrompt {
    QString prompt;
    QString preselected;
};

class FakeServices : public FilterPort,
                     public FormatPort,
                     public BatchPort,
                     public UserInteraction,
                     public HelpPort {
  public:
    DialogServices Services() { return {*this, *this, *this, *this, *this}; }

    // FilterPort
    QStringList titles{"ぼかし", "Alpha", "色反転"};
    std::vector<int> selections;
    bool filterHasSettings = true;
    int settingsOpened = 0;
    int discoveries = 0;
    QStringList DiscoverFilters() override {
        ++discoveries;
        return titles;
    }
    void SelectFilter(int index) override { selections.push_back(index); }
    bool OpenFilterSettings() override {
        if (filterHasSettings) {
            ++settingsOpened;
        }
        return filterHasSettings;
    }

    // FormatPort
    OfferedFormats formats{true, {"*.png", "*.BMP", "*.JPG"}, {"*.png", "*.BMP"}};
    OfferedFormats ListFormats() override { return formats; }

    // BatchPort
    std::function<QStringList(const QString& folder, const QString& mask)> lister =
        [](const QString&, const QString& mask) {
            if (mask == "*.ERI") {
                return QStringList{"x.eri"};
            }
            return QStringList{"b.png", "A.PNG", "[sub]", "c.PNG"};
        };
    std::vector<std::pair<QString, QString>> listings;
    QString listingProblem;
    InputListing ListInputFiles(const QString& folder, const QString& mask) override {
        listings.emplace_back(folder, mask);
        return {lister(folder, mask), listingProblem};
    }

    int existingOutputs = 0;  // what CountExistingOutputs answers
    int existingCounts = 0;   // how often it was asked
    int CountExistingOutputs(const BatchJob&) override {
        ++existingCounts;
        return existingOutputs;
    }

    std::vector<BatchJob> jobs;
    std::function<void(int index)> beforeFile;  // called before each file's progress
    QStringList failures;
    int stopRequests = 0;
    BatchOutcome RunBatch(const BatchJob& job,
                          const std::function<void(int filesDone)>& progress) override {
        jobs.push_back(job);
        stopRequests = 0;
        for (int i = 0; i < job.names.size() && stopRequests == 0; ++i) {
            if (beforeFile) {
                beforeFile(i);
            }
            progress(i + 1);
        }
        return {failures, stopRequests > 0};
    }
    void StopBatch() override { ++stopRequests; }

    // UserInteraction
    std::vector<ShownMessage> messages;
    std::deque<std::optional<QString>> folderAnswers;
    std::vector<FolderPrompt> prompts;
    void ShowMessage(QWidget*, const QString& text, const QString& details) override {
        messages.push_back({text, details});
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString& prompt,
                                        const QString& preselected) override {
        prompts.push_back({prompt, preselected});
        if (folderAnswers.empty()) {
            return std::nullopt;
        }
        const bool chosen = folderAnswers.front().has_value();
        const QString folder = chosen ? *folderAnswers.front() : QString();
        folderAnswers.pop_front();
        if (!chosen) {
            return std::nullopt;
        }
        return folder;
    }

    // The answer to the question about existing outputs (nothing: キャンセル),
    // and the counts it was asked with.
    std::optional<ExistingOutputs> existingAnswer = ExistingOutputs::kReplace;
    std::vector<int> existingQuestions;
    std::optional<ExistingOutputs> AskAboutExistingOutputs(QWidget*, int count) override {
        existingQuestions.push_back(count);
        return existingAnswer;
    }

    // HelpPort
    int helpResult = 0;
    int helpCalls = 0;
    int OpenHelp() override {
        ++helpCalls;
        return helpResult;
    }
};

}  // namespace tinta::testing
