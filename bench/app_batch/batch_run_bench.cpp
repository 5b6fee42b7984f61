// A whole run as a user makes it: 100 pictures of 1024 x 768, PNG in, the
// invert module, TGA out.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/batch/batch_run.h"
#include "bench_picture.h"

namespace tinta {
namespace {

constexpr int kPictures = 100;

class NoMessages : public HostMessages {
  public:
    void Show(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

class NoProgress : public BatchObserver {
  public:
    void Progress(int, int) override {}
    void OutOfMemory() override {}
};

using bench::BenchPicture;

std::vector<std::string> PrepareInputs() {
    const std::filesystem::path folder = BENCH_PICTURE_DIR;
    std::filesystem::create_directories(folder);
    std::vector<std::string> names;
    for (int i = 0; i < kPictures; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "picture%03d.png", i);
        names.emplace_back(name);
        if (!std::filesystem::exists(folder / name)) {
            BenchPicture(i).save(QString::fromStdString((folder / name).string()), "PNG");
        }
    }
    return names;
}

void WholeRunPngToTgaWithInvert(benchmark::State& state) {
    const std::vector<std::string> names = PrepareInputs();
    const std::filesystem::path output = std::filesystem::temp_directory_path() / "tinta_bench_out";
    std::filesystem::create_directories(output);
    NoMessages messages;
    FilterHost host(messages, BUNDLED_MODULE_DIR);
    host.DiscoverModules();
    host.SelectFilter(host.FindFilter("色反転"));
    BatchSettings settings;
    settings.inputFolder = BENCH_PICTURE_DIR;
    settings.outputFolder = output.string();
    settings.formatText = "*.TGA";
    NoProgress progress;
    for (auto _ : state) {
        const BatchReport report = BatchRun(names, settings, host, progress);
        if (report.written != kPictures) {
            state.SkipWithError("not every picture was written");
            break;
        }
    }
    state.counters["pictures"] =
        benchmark::Counter(static_cast<double>(kPictures) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    std::filesystem::remove_all(output);
}
BENCHMARK(WholeRunPngToTgaWithInvert)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace tinta
