// Collects the trace lines written while it lives.
#pragma once

#include <string>
#include <vector>

#include "workimage/trace.h"

namespace tinta::testing {

class TraceRecorder {
  public:
    TraceRecorder()
        : previous_(SetTraceSink([this](std::string_view line) { lines.emplace_back(line); })) {}
    ~TraceRecorder() { SetTraceSink(previous_); }
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    std::vector<std::string> lines;

  private:
    TraceSink previous_;
};

}  // namespace tinta::testing
