#include "app/dialog/dialog_template.h"

#include <array>

#include "app/dialog/dialog_ids.h"

namespace tinta {
namespace {

using K = ControlKind;

const std::array<ControlTemplate, 21> kMainDialog = {{
    {kIdStatic, K::GroupBox, "入力", QRect(7, 7, 177, 76), kStyleNone},
    {kIdInputFolder, K::EditField, "", QRect(12, 16, 166, 12), kStyleNone},
    {kIdStatic, K::Label, "形式", QRect(13, 34, 15, 8), kStyleNone},
    {kIdInputMask, K::ComboBox, "", QRect(30, 32, 48, 211), kStyleSorted},
    {kIdChooseInputFolder, K::PushButton, "指定", QRect(91, 33, 32, 13), kStyleNone},
    {kIdInputFileList, K::ListBox, "", QRect(12, 50, 165, 29), kStyleSorted},
    {kIdStatic, K::GroupBox, "フィルター", QRect(7, 86, 177, 61), kStyleNone},
    {kIdFilterList, K::ComboBox, "", QRect(14, 97, 116, 211), kStyleNone},
    {kIdEdging, K::CheckBox, "透明縁取り", QRect(134, 101, 46, 8), kStyleNone},
    {kIdSettings, K::PushButton, "設定", QRect(14, 118, 35, 21), kStyleDefaultButton},
    {kIdPreview, K::PushButton, "プレビュー", QRect(57, 118, 34, 21), kStyleDefaultButton},
    {kIdInitialise, K::PushButton, "初期化", QRect(100, 119, 35, 21), kStyleDefaultButton},
    {kIdHelp, K::PushButton, "ヘルプ", QRect(143, 119, 34, 21), kStyleDefaultButton},
    {kIdStatic, K::GroupBox, "出力", QRect(7, 149, 177, 47), kStyleNone},
    {kIdOutputFolder, K::EditField, "", QRect(11, 161, 166, 12), kStyleNone},
    {kIdStatic, K::Label, "形式", QRect(14, 179, 15, 8), kStyleNone},
    {kIdOutputFormat, K::ComboBox, "", QRect(31, 177, 48, 119), kStyleSorted},
    {kIdChooseOutputFolder, K::PushButton, "指定", QRect(91, 179, 32, 13), kStyleNone},
    {kIdProgress, K::ProgressBar, "", QRect(7, 202, 177, 14), kStyleNone},
    {kIdRun, K::PushButton, "実行", QRect(13, 222, 50, 24), kStyleDefaultButton},
    {kIdExit, K::PushButton, "終了", QRect(130, 224, 50, 22), kStyleNone},
}};

}  // namespace

std::span<const ControlTemplate> MainDialogTemplate() {
    return kMainDialog;
}

}  // namespace tinta
