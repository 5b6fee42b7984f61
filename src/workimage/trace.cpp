#include "trace.h"

#include <mutex>
#include <string>
#include <utility>

namespace tinta {
namespace {

TraceSink& InstalledSink() {
    static TraceSink sink;
    return sink;
}

// Lines from several threads reach the sink whole, one at a time.
std::mutex& SinkLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

void TraceLine(std::string_view text) {
    const std::lock_guard lock(SinkLock());
    const TraceSink& sink = InstalledSink();
    if (!sink) {
        return;
    }
    if (!text.empty() && text.back() == '\n') {
        sink(text);
        return;
    }
    std::string line(text);
    line += '\n';
    sink(line);
}

TraceSink SetTraceSink(TraceSink sink) {
    const std::lock_guard lock(SinkLock());
    return std::exchange(InstalledSink(), std::move(sink));
}

}  // namespace tinta
