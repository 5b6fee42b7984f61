// What tinta_batch shows on its error stream: the filter host's messages, and
// the progress of a run as a redrawn bar on a terminal or as plain lines.
#pragma once

#include <ostream>
#include <string>

#include "app/batch/batch_run.h"
#include "filterhost/host_messages.h"

namespace tinta {

class ConsoleMessages : public HostMessages {
  public:
    explicit ConsoleMessages(std::ostream& stream) : stream_(stream) {}
    void Show(const std::string& text) override;

  private:
    std::ostream& stream_;
};

class ConsoleProgress : public BatchObserver {
  public:
    enum class Style { kBar, kLines, kSilent };
    ConsoleProgress(std::ostream& stream, Style style) : stream_(stream), style_(style) {}

    void FileStarting(int index, int count, const std::string& name) override;
    void Progress(int filesDone, int count) override;
    void OutOfMemory() override;

    // Ends the bar's line so that the next text starts on a fresh one.
    void Finish();

  private:
    void DrawBar(int filesDone, int count, const std::string& name);

    std::ostream& stream_;
    Style style_;
    bool barShown_ = false;
    std::string current_;
};

}  // namespace tinta
