// Runs with worker threads: the same outputs and report as a run of one file
// at a time, FilterProc on the calling thread in list order, bounded
// pictures in flight, and stopping.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <new>

#include "app/batch/batch_run.h"
#include "app/batch/batch_texts.h"
#include "batch_fixture.h"
#include "eriwriter/lossy_seeds.h"
#include "filterhost/pixel_callbacks.h"

namespace tinta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ReadTgaFile;

using testing::SortedEntries;

namespace fs = std::filesystem;

// Every regular file of a and b, byte for byte.
void ExpectSameFiles(const fs::path& a, const fs::path& b) {
    ASSERT_EQ(SortedEntries(a), SortedEntries(b));
    for (const std::string& name : SortedEntries(a)) {
        EXPECT_EQ(test::ReadFileBytes((a / name).string()),
                  test::ReadFileBytes((b / name).string()))
            << name;
    }
}

int Accounted(const BatchReport& report) {
    return report.written + static_cast<int>(report.failures.size()) + report.folders +
           report.notProcessed;
}

class PipelinedRunTest : public testing::InvertRunTest<> {
  protected:
    BatchReport RunInto(const std::string& out, int jobs, FilterHost& host,
                        const ImageFileSteps& steps = {}) {
        fs::create_directories(scratch.Path() / out);
        settings.outputFolder = (scratch.Path() / out).string();
        RunOptions options;
        options.jobs = jobs;
        options.stop = &stop;
        return BatchRun(Names(), settings, host, observer, steps, options);
    }

    std::atomic<bool> stop{false};
};

TEST_F(PipelinedRunTest, OneAndFourJobsWriteTheSameBytesAndTheSameReport) {
    for (const auto& sample : fs::directory_iterator(SAMPLES_DIR)) {
        fs::copy_file(sample.path(), In() / ("sample_" + sample.path().filename().string()));
    }
    const auto lossy = eriwriter::lossySeedFiles();
    ASSERT_FALSE(lossy.empty());
    std::ofstream(In() / "lossy.eri", std::ios::binary)
        .write(reinterpret_cast<const char*>(lossy[0].data()),
               static_cast<std::streamsize>(lossy[0].size()));
    auto damaged = test::ReadFileBytes((In() / "sample_hills_huffman.eri").string());
    damaged.resize(damaged.size() / 2);
    std::ofstream(In() / "damaged.eri", std::ios::binary)
        .write(reinterpret_cast<const char*>(damaged.data()),
               static_cast<std::streamsize>(damaged.size()));
    std::ofstream(In() / "locked.png") << "x";
    chmod((In() / "locked.png").c_str(), 0);
    settings.edging = true;

    for (const char* format : {"*.TGA", "*.PNG"}) {
        settings.formatText = format;
        const std::string tag = std::string(format + 2);
        const BatchReport one = RunInto("one" + tag, 1, invert);
        const std::vector<std::string> oneEvents = observer.events;
        observer.events.clear();
        const BatchReport four = RunInto("four" + tag, 4, invert);

        EXPECT_GE(one.written, 10) << format;
        EXPECT_EQ(one.written, four.written);
        EXPECT_EQ(one.folders, four.folders);
        EXPECT_EQ(FailureLines(one), FailureLines(four));
        EXPECT_EQ(SummaryLine(one), SummaryLine(four));
        EXPECT_EQ(Accounted(four), four.entries);
        EXPECT_EQ(oneEvents.back(), observer.events.back()) << "progress ends at the count";
        ExpectSameFiles(scratch.Path() / ("one" + tag), scratch.Path() / ("four" + tag));
        observer.events.clear();
    }
    EXPECT_EQ(CurrentWorkImage, nullptr);
}

TEST_F(PipelinedRunTest, FilterProcRunsOnTheCallingThreadInListOrderOneCallAtATime) {
    testing::ModuleLog log(scratch.Path());
    testing::CopyTestModule("recorder", scratch.Path() / "modules", "recorder.so");
    FilterHost recorder(messages, (scratch.Path() / "modules").string() + "/");
    recorder.DiscoverModules();
    ASSERT_TRUE(recorder.Module().IsLoaded());
    log.Clear();

    const BatchReport report = RunInto("out", 3, recorder);
    EXPECT_EQ(report.written, 4);

    const std::string self = std::to_string(syscall(SYS_gettid));
    std::vector<std::string> calls;
    for (const std::string& line : log.Lines()) {
        if (line.starts_with("enter") || line.starts_with("leave")) {
            calls.push_back(line);
        }
    }
    // alpha.png, image.jpeg, photo.png, tiles.bmp in list order.
    EXPECT_THAT(calls, ElementsAre("enter recorder " + self + " 4x1", "leave recorder " + self,
                                   "enter recorder " + self + " 8x8", "leave recorder " + self,
                                   "enter recorder " + self + " 4x3", "leave recorder " + self,
                                   "enter recorder " + self + " 4x3", "leave recorder " + self));
}

TEST_F(PipelinedRunTest, PicturesInFlightStayWithinJobsPlusTwoAndTheMemoryBudget) {
    for (int i = 0; i < 12; ++i) {
        fs::copy_file(In() / "photo.png", In() / ("copy" + std::to_string(i) + ".png"));
    }
    std::mutex lock;
    int alive = 0;
    int mostAlive = 0;
    std::atomic<int> loading{0};
    std::atomic<int> mostLoading{0};
    ImageFileSteps steps;
    steps.load = [&](const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
        const int now = ++loading;
        mostLoading = std::max(mostLoading.load(), now);
        usleep(2000);
        LoadedImage loaded = LoadWorkImage(path, buffer, limits);
        --loading;
        const std::lock_guard guard(lock);
        if (loaded) {
            mostAlive = std::max(mostAlive, ++alive);
        }
        return loaded;
    };
    steps.save = [&](const WorkImage& image, const std::string& path, DibBuffer& buffer) {
        SaveResult saved = SaveWorkImage(image, path, buffer);
        const std::lock_guard guard(lock);
        --alive;
        return saved;
    };
    const BatchReport open = RunInto("open", 2, invert, steps);
    EXPECT_EQ(open.written, 16);
    EXPECT_LE(mostAlive, 4);

    mostLoading = 0;
    RunOptions tight;
    tight.jobs = 2;
    tight.memoryBudget = 1;  // no room beside the one picture always allowed
    settings.outputFolder = (scratch.Path() / "open").string();
    const BatchReport narrow = BatchRun(Names(), settings, invert, observer, steps, tight);
    EXPECT_EQ(narrow.written, 16);
    EXPECT_EQ(mostLoading, 1);
}

TEST_F(PipelinedRunTest, EdgingRunsOnlyWhenAskedAndAFailedOneFailsTheFileWritingNothing) {
    std::atomic<int> edged{0};
    ImageFileSteps steps;
    steps.edge = [&](WorkImage& image, int reach) {
        EXPECT_EQ(reach, 4);
        ++edged;
        return image.width == 8 ? -4 : 0;
    };
    EXPECT_EQ(RunInto("plain", 2, invert, steps).written, 4);
    EXPECT_EQ(edged, 0);
    settings.edging = true;
    for (int jobs : {1, 2}) {
        edged = 0;
        const std::string out = "out" + std::to_string(jobs);
        const BatchReport report = RunInto(out, jobs, invert, steps);
        EXPECT_EQ(edged, 4);
        EXPECT_THAT(SortedEntries(scratch.Path() / out),
                    ElementsAre("alpha.TGA", "photo.TGA", "tiles.TGA"));
        ASSERT_EQ(report.failures.size(), 2u);
        EXPECT_EQ(report.failures[1].name, "image.jpeg");
        EXPECT_EQ(report.failures[1].reason,
                  "透明縁取りができませんでした（作業用の画像を確保できません）");
    }
}

TEST_F(PipelinedRunTest, OutOfMemoryStopsTakingFilesAndIsReportedOnce) {
    std::atomic<int> loads{0};
    ImageFileSteps steps;
    steps.load = [&](const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
        if (path.ends_with("image.jpeg")) {
            throw std::bad_alloc();
        }
        ++loads;
        return LoadWorkImage(path, buffer, limits);
    };
    const BatchReport report = RunInto("out", 2, invert, steps);
    EXPECT_TRUE(report.outOfMemory);
    EXPECT_EQ(std::count(observer.events.begin(), observer.events.end(), "out of memory"), 1);
    EXPECT_EQ(observer.events.back(), "progress 6/6");
    EXPECT_EQ(Accounted(report), 6);
    EXPECT_EQ(report.failures.back().reason, kOutOfMemoryReason);
    EXPECT_EQ(CurrentWorkImage, nullptr);
}

TEST_F(PipelinedRunTest, AnExceptionInAWorkerFailsOnlyThatFile) {
    ImageFileSteps steps;
    steps.save = [](const WorkImage& image, const std::string& path, DibBuffer& buffer) {
        if (path.ends_with("photo.TGA")) {
            throw std::runtime_error("disk on fire");
        }
        return SaveWorkImage(image, path, buffer);
    };
    const BatchReport report = RunInto("out", 2, invert, steps);
    EXPECT_EQ(report.written, 3);
    EXPECT_THAT(
        FailureLines(report),
        ElementsAre("broken.png: 画像として読み込めませんでした（Unsupported image format）",
                    "photo.png: 書き込めませんでした（disk on fire）"));
}

TEST_F(PipelinedRunTest, AStopLeavesWholeFilesAndCountsThatAddUp) {
    for (int jobs : {1, 2}) {
        observer.events.clear();
        stop = false;
        ImageFileSteps steps;
        steps.load = [&](const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
            if (path.ends_with("photo.png")) {
                stop = true;  // asked for while the fourth entry loads
            }
            return LoadWorkImage(path, buffer, limits);
        };
        const std::string out = "out" + std::to_string(jobs);
        const BatchReport report = RunInto(out, jobs, invert, steps);
        EXPECT_TRUE(report.stopped);
        EXPECT_EQ(Accounted(report), 6);
        EXPECT_GE(report.notProcessed, 1);
        for (const std::string& name : SortedEntries(scratch.Path() / out)) {
            EXPECT_TRUE(ReadTgaFile(scratch.Path() / out / name).has_value()) << name;
        }
        EXPECT_EQ(static_cast<int>(SortedEntries(scratch.Path() / out).size()), report.written);
    }
}

}  // namespace
}  // namespace tinta
