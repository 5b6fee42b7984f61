#include "plan_printout.h"

namespace tinta {

namespace {
constexpr int kOutcomeCount = static_cast<int>(PlannedOutcome::kFails) + 1;
}

std::string OutcomeText(const PlannedEntry& entry) {
    switch (entry.outcome) {
        case PlannedOutcome::kNew:
            return "新規";
        case PlannedOutcome::kReplacesExisting:
            return "既存のファイルを上書き";
        case PlannedOutcome::kReplacesInput:
            return "入力ファイル自身を上書き";
        case PlannedOutcome::kRenamed:
            return "別名で保存";
        case PlannedOutcome::kSkipped:
            return "既存のファイルを残してスキップ";
        case PlannedOutcome::kFolder:
            return "フォルダーのため対象外";
        case PlannedOutcome::kClash:
        case PlannedOutcome::kFails:
            return entry.reason;
    }
    return {};
}

void PrintPlan(const RunPlan& plan, std::ostream& out) {
    for (const PlannedEntry& entry : plan.entries) {
        out << entry.inputPath << '\t' << (entry.outputPath.empty() ? "-" : entry.outputPath)
            << '\t' << OutcomeText(entry) << '\n';
    }
}

std::string PlanSummaryLine(const RunPlan& plan) {
    int counts[kOutcomeCount] = {};
    for (const PlannedEntry& entry : plan.entries) {
        ++counts[static_cast<int>(entry.outcome)];
    }
    const auto count = [&](PlannedOutcome outcome) {
        return std::to_string(counts[static_cast<int>(outcome)]);
    };
    const int writes = counts[static_cast<int>(PlannedOutcome::kNew)] +
                       counts[static_cast<int>(PlannedOutcome::kReplacesExisting)] +
                       counts[static_cast<int>(PlannedOutcome::kReplacesInput)] +
                       counts[static_cast<int>(PlannedOutcome::kRenamed)];
    const int failures = counts[static_cast<int>(PlannedOutcome::kClash)] +
                         counts[static_cast<int>(PlannedOutcome::kFails)];
    std::string line =
        "書き込み予定 " + std::to_string(writes) + " 件(新規 " + count(PlannedOutcome::kNew) +
        "、上書き " + count(PlannedOutcome::kReplacesExisting) + "、入力を上書き " +
        count(PlannedOutcome::kReplacesInput) + "、別名 " + count(PlannedOutcome::kRenamed) +
        ")、スキップ " + count(PlannedOutcome::kSkipped) + " 件、書き込めない " +
        std::to_string(failures) + " 件";
    if (counts[static_cast<int>(PlannedOutcome::kFolder)] > 0) {
        line += "、フォルダー " + count(PlannedOutcome::kFolder) + " 件";
    }
    return line;
}

bool PlanWritesEveryFile(const RunPlan& plan) {
    for (const PlannedEntry& entry : plan.entries) {
        if (entry.outcome != PlannedOutcome::kFolder && !WillWrite(entry.outcome)) {
            return false;
        }
    }
    return true;
}

}  // namespace tinta
