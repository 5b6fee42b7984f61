// The dialog's own texts.
#pragma once

namespace tinta::ui {

inline constexpr char kTemplateCaption[] = "tinta_dn_quor";
inline constexpr char kDialogCaption[] = "Tintaフィルター連続適用";
inline constexpr char kAboutEntry[] = "ﾊﾞｰｼﾞｮﾝ情報(tinta_dn_quor) (&A)...";
inline constexpr char kAboutCaption[] = "ﾊﾞｰｼﾞｮﾝ情報 tinta_dn_quor";
inline constexpr char kAboutText[] = "tinta_dn_quor Version 1.0";
inline constexpr char kMessageCaption[] = "tinta_dn_quor";

inline constexpr char kInputFolderPrompt[] = "画像ﾌｧｲﾙ入力元ﾌｫﾙﾀﾞｰを指定して下さい";
inline constexpr char kOutputFolderPrompt[] = "画像ﾌｧｲﾙ出力先ﾌｫﾙﾀﾞｰを指定して下さい";

inline constexpr char kDoneMessage[] = "完了";
inline constexpr char kStoppedMessage[] = "中止しました";
inline constexpr char kStopCaption[] = "中止";
inline constexpr char kNoSettingsMessage[] = "このフィルターに設定項目はありません";
inline constexpr char kNoImagingMessage[] =
    "Qt の画像プラグインを使えません（ERI の読み込みと TGA の書き出しだけが使えます）";

inline constexpr char kEriMask[] = "*.ERI";
inline constexpr char kTgaFormat[] = "*.TGA";

}  // namespace tinta::ui
