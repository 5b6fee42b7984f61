// The question a run asks before it starts when some of its outputs already
// exist: one message box with the count and four choices.
#pragma once

#include <QString>
#include <optional>

#include "app/dialog/dialog_services.h"

namespace tinta {

namespace ui {
inline constexpr char kReplaceChoice[] = "上書き";
inline constexpr char kSkipChoice[] = "スキップ";
inline constexpr char kRenameChoice[] = "別名で保存";
inline constexpr char kCancelChoice[] = "キャンセル";
}  // namespace ui

// "出力先に同じ名前のファイルが n 件あります。どうしますか?"
QString ExistingOutputsQuestion(int count);

// The policy for job's existing outputs: replace without a question when
// none exists, else the user's answer; nothing when the user cancels.
std::optional<ExistingOutputs> ChooseExistingOutputs(const DialogServices& services, QWidget* owner,
                                                     const BatchJob& job);

}  // namespace tinta
