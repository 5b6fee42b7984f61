#include "trace.h"

#include <string>
#include <utility>

namespace tinta {
namespace {

TraceSink& InstalledSink() {
    static TraceSink sink;
    return sink;
}

}  // namespace

void TraceLine(std::string_view text) {
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
    return std::exchange(InstalledSink(), std::move(sink));
}

}  // namespace tinta
