// How the filter host talks to the user. The dialog shows each message in a
// message box with an OK button; the command-line runner prints it on
// standard error. The host continues once Show returns.
#pragma once

#include <string>

namespace tinta {

class HostMessages {
  public:
    virtual ~HostMessages() = default;
    virtual void Show(const std::string& text) = 0;
};

// The host's message texts. They name "dn_quor.dll" whichever module file is
// concerned, as the program always has.
inline constexpr const char* kLoadFailedFormat = "%sをロードできませんでした";
inline constexpr const char* kNoGetTitleMessage =
    "dn_quor.dllのエントリポイント(GetTitle)が見つかりません";
inline constexpr const char* kNoProcMessage = "dn_quor.dllのエントリポイント(Proc)が見つかりません";
inline constexpr const char* kNoSettingsMessage = "このフィルターに設定項目はありません";

// "<path>をロードできませんでした", with the loader's reason on a second line
// when there is one.
std::string LoadFailedMessage(const std::string& path, const std::string& reason);

}  // namespace tinta
