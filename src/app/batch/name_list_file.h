// Lists of input names read from a file or standard input, as find, ls or
// split write them: one name per line, or names ended by NUL bytes.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace tinta {

enum class NameSeparator { kNewline, kNul };

// The names of stream, without their separators; empty names are left out.
// Names are bytes: nothing else is trimmed or converted.
std::vector<std::string> ReadNameList(std::istream& stream, NameSeparator separator);

}  // namespace tinta
