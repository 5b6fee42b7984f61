// File names as the dialog carries them. A Linux file name is a string of
// bytes that need not be UTF-8 (names from Windows archives are often
// CP932). The dialog keeps each name in a QString that gives back the very
// bytes: valid UTF-8 is decoded, and each byte of an invalid sequence
// becomes one of the code points U+DC80 to U+DCFF, which valid UTF-8 can
// never produce. Only the text shown to the user is converted further.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tinta {

// The name's bytes as file-name text.
QString FileNameText(std::string_view bytes);

// The bytes of file-name text: FileNameBytes(FileNameText(b)) == b.
std::string FileNameBytes(const QString& text);

// File-name text for the eye: each undecodable byte is shown as U+FFFD.
QString DisplayName(const QString& text);

}  // namespace tinta
