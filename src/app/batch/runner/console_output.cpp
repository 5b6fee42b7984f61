#include "console_output.h"

#include "app/batch/batch_texts.h"

namespace tinta {

namespace {
constexpr int kBarWidth = 30;
}

void ConsoleMessages::Show(const std::string& text) {
    stream_ << text << '\n' << std::flush;
}

void ConsoleProgress::FileStarting(int index, int count, const std::string& name) {
    current_ = name;
    if (style_ == Style::kLines) {
        stream_ << '[' << index + 1 << '/' << count << "] " << name << '\n' << std::flush;
    } else if (style_ == Style::kBar) {
        DrawBar(index, count, name);
    }
}

void ConsoleProgress::Progress(int filesDone, int count) {
    if (style_ == Style::kBar && count > 0) {
        DrawBar(filesDone, count, filesDone == count ? std::string() : current_);
    }
}

void ConsoleProgress::OutOfMemory() {
    Finish();
    stream_ << kOutOfMemoryMessage << '\n' << std::flush;
}

void ConsoleProgress::Finish() {
    if (barShown_) {
        stream_ << '\n' << std::flush;
        barShown_ = false;
    }
}

void ConsoleProgress::DrawBar(int filesDone, int count, const std::string& name) {
    const int filled = count > 0 ? static_cast<int>(int64_t{filesDone} * kBarWidth / count) : 0;
    stream_ << "\r[" << std::string(static_cast<size_t>(filled), '#')
            << std::string(static_cast<size_t>(kBarWidth - filled), '-') << "] " << filesDone << '/'
            << count << ' ' << name << "\x1b[K" << std::flush;
    barShown_ = true;
}

}  // namespace tinta
