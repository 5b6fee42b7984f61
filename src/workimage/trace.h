// The diagnostic trace: lines for developers, never shown to the user. By
// default they go nowhere; a front end may install a sink (the command-line
// runner sends them to standard error with --verbose).
#pragma once

#include <functional>
#include <string_view>

namespace tinta {

using TraceSink = std::function<void(std::string_view line)>;

// Passes text to the installed sink, one line at a time from any thread,, with a line feed appended
// when the text does not end in one.
void TraceLine(std::string_view text);

// Installs sink (an empty function drops every line) and returns the old one.
TraceSink SetTraceSink(TraceSink sink);

}  // namespace tinta
