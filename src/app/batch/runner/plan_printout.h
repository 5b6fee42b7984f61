// What --dry-run prints: one line per planned entry, "input TAB output TAB
// outcome", and the counts of the plan.
#pragma once

#include <ostream>
#include <string>

#include "app/batch/run_plan.h"

namespace tinta {

// "新規", "既存のファイルを上書き", "別名で保存", "「a.png」と出力先が同じため
// 書き込みません", ...
std::string OutcomeText(const PlannedEntry& entry);

void PrintPlan(const RunPlan& plan, std::ostream& out);

// "書き込み予定 n 件(新規 a、上書き b、入力を上書き c、別名 d)、スキップ s 件、
// 書き込めない f 件" and the folders when there are any.
std::string PlanSummaryLine(const RunPlan& plan);

// Whether the run would write every file entry (folder entries aside), as
// far as can be known without loading them.
bool PlanWritesEveryFile(const RunPlan& plan);

}  // namespace tinta
