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

// The host's message texts.
inline constexpr const char* kLoadFailedFormat = "%sをロードできませんでした";
inline constexpr const char* kNoSettingsMessage = "このフィルターに設定項目はありません";

// "<file>のエントリポイント(GetTitle)が見つかりません" and the same for Proc,
// naming the module's own file (the last part of its path).
std::string NoGetTitleMessage(const std::string& modulePath);
std::string NoProcMessage(const std::string& modulePath);

// "<path>をロードできませんでした", with the loader's reason on a second line
// when there is one.
std::string LoadFailedMessage(const std::string& path, const std::string& reason);

}  // namespace tinta
