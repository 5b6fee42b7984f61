#include "run_plan.h"

#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "batch_run.h"
#include "batch_texts.h"
#include "output_folder.h"
#include "output_path.h"

namespace tinta {

namespace fs = std::filesystem;

namespace {

char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Folded(a[i]) != Folded(b[i])) {
            return false;
        }
    }
    return true;
}

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// The folder an entry's output keeps below the output folder: the folder
// part of a relative name, unless it leads out of the input folder;
// nothing for absolute names.
std::string KeptFolder(const fs::path& name) {
    if (name.is_absolute()) {
        return {};
    }
    const fs::path folder = name.parent_path().lexically_normal();
    if (folder.empty() || folder == ".") {
        return {};
    }
    if (*folder.begin() == "..") {
        return {};
    }
    std::string text = folder.string();
    if (!text.empty() && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

// Input path, output path and whether the entry is a folder, before any look
// at other entries.
PlannedEntry Describe(const std::string& name, const BatchSettings& settings) {
    PlannedEntry entry;
    entry.name = name;
    const fs::path path(name);
    entry.inputPath = path.is_absolute() ? name : JoinPath(settings.inputFolder, name);
    const std::string fileName = path.filename().string();
    const std::string folder = KeptFolder(path);
    const std::string outputName = OutputFileName(fileName, settings.formatText);
    entry.outputPath =
        JoinPath(settings.outputFolder, folder.empty() ? outputName : folder + "/" + outputName);

    // An output that differs from its own input only in letter case takes
    // the input's spelling, so that it replaces the input instead of
    // landing beside it.
    if (outputName != fileName && SameIgnoringCase(outputName, fileName) &&
        SameFile(fs::path(entry.outputPath).parent_path(),
                 fs::path(entry.inputPath).parent_path())) {
        entry.outputPath =
            JoinPath(settings.outputFolder, folder.empty() ? fileName : folder + "/" + fileName);
    }
    entry.baseName = entry.outputPath;

    std::error_code error;
    const bool bracketedFile = IsFolderEntry(name) && fs::is_regular_file(entry.inputPath, error);
    if ((IsFolderEntry(name) && !bracketedFile) || IsFolder(entry.inputPath)) {
        entry.outcome = PlannedOutcome::kFolder;
        entry.outputPath.clear();
        entry.baseName.clear();
    } else if (!Exists(entry.inputPath)) {
        entry.outcome = PlannedOutcome::kFails;
        entry.reason = kNoSuchFileReason;
    } else if (const std::string problem =
                   OutputFolderProblem(settings.outputFolder, entry.outputPath);
               !problem.empty()) {
        entry.outcome = PlannedOutcome::kFails;
        entry.reason = NotWrittenReason(problem);
    } else if (IsFolder(entry.outputPath)) {
        entry.outcome = PlannedOutcome::kFails;
        entry.reason = NotWrittenReason("「" + entry.outputPath + "」はフォルダーです");
    }
    return entry;
}

std::string Key(const std::string& path) {
    return fs::path(path).lexically_normal().string();
}

}  // namespace

bool WillWrite(PlannedOutcome outcome) {
    switch (outcome) {
        case PlannedOutcome::kNew:
        case PlannedOutcome::kReplacesExisting:
        case PlannedOutcome::kReplacesInput:
        case PlannedOutcome::kRenamed:
            return true;
        default:
            return false;
    }
}

std::string NumberedPath(const std::string& path, int n) {
    if (n <= 1) {
        return path;
    }
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) {
        dot = path.size();
    }
    return path.substr(0, dot) + " (" + std::to_string(n) + ")" + path.substr(dot);
}

RunPlan PlanRun(const std::vector<std::string>& names, const BatchSettings& settings,
                ExistingPolicy existing) {
    RunPlan plan;
    plan.existing = existing;
    plan.outputFolder = settings.outputFolder;
    plan.entries.reserve(names.size());
    // Output paths taken by earlier entries, with the entry that took them.
    std::unordered_map<std::string, size_t> taken;
    for (const std::string& name : names) {
        PlannedEntry entry = Describe(name, settings);
        if (entry.outcome == PlannedOutcome::kNew) {
            if (existing == ExistingPolicy::kRename) {
                while (taken.contains(Key(entry.outputPath)) || Exists(entry.outputPath)) {
                    entry.outputPath = NumberedPath(entry.baseName, ++entry.nameNumber);
                }
                entry.outcome =
                    entry.nameNumber > 1 ? PlannedOutcome::kRenamed : PlannedOutcome::kNew;
            } else if (const auto earlier = taken.find(Key(entry.outputPath));
                       earlier != taken.end()) {
                entry.outcome = PlannedOutcome::kClash;
                entry.clashesWith = plan.entries[earlier->second].name;
                entry.reason = ClashReason(entry.clashesWith);
            } else if (Exists(entry.outputPath)) {
                entry.outcome = existing == ExistingPolicy::kSkip ? PlannedOutcome::kSkipped
                                : SameFile(entry.outputPath, entry.inputPath)
                                    ? PlannedOutcome::kReplacesInput
                                    : PlannedOutcome::kReplacesExisting;
            }
            if (entry.outcome != PlannedOutcome::kClash) {
                taken.emplace(Key(entry.outputPath), plan.entries.size());
            }
        }
        plan.entries.push_back(std::move(entry));
    }
    return plan;
}

int CountExistingOutputs(const RunPlan& plan) {
    int count = 0;
    for (const PlannedEntry& entry : plan.entries) {
        if (entry.outcome == PlannedOutcome::kReplacesExisting ||
            entry.outcome == PlannedOutcome::kReplacesInput ||
            entry.outcome == PlannedOutcome::kSkipped ||
            (entry.outcome == PlannedOutcome::kRenamed && Exists(entry.baseName))) {
            ++count;
        }
    }
    return count;
}

std::string ClashReason(const std::string& earlierName) {
    return "「" + earlierName + "」と出力先が同じため書き込みません";
}

}  // namespace tinta
