// tinta_batch run as a process, as a script would run it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <thread>

#include "app/batch/runner/console_output.h"
#include "app/batch/runner/runner_options.h"
#include "batch_process.h"

namespace tinta {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::ReadTgaFile;
using testing::ScratchFolder;

using testing::ProcessResult;
using testing::Slurp;

// The process fixture with the sample pictures in in/.
class TintaBatchTest : public testing::BatchProcessTest {
  protected:
    TintaBatchTest() { testing::WriteSamplePictures(In()); }
};

TEST_F(TintaBatchTest, ConvertsTheMatchingFilesAndReportsTheFailureWithStatusOne) {
    const ProcessResult result =
        Run("--input in --mask '*.PNG' --filter 色反転 --format tga --output out");
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("[1/3] alpha.png\n[2/3] broken.png\n[3/3] photo.png\n"));
    EXPECT_THAT(
        result.err,
        HasSubstr("完了\n書き込み 2 件、失敗 1 件\n"
                  "broken.png: 画像として読み込めませんでした（Unsupported image format）\n"));
    EXPECT_THAT(result.out, IsEmpty());
    EXPECT_TRUE(std::filesystem::exists(scratch.Path() / "out" / "photo.TGA"));
    EXPECT_TRUE(std::filesystem::exists(scratch.Path() / "out" / "alpha.TGA"));
}

TEST_F(TintaBatchTest, EveryFileWrittenGivesStatusZeroAndQuietSaysOnlyTheFailures) {
    const ProcessResult result =
        Run("--input=in --mask=*.bmp --edging --output=out --format=*.PNG --quiet");
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.err, IsEmpty());
    QImage tiles(QString::fromStdString((scratch.Path() / "out" / "tiles.PNG").string()));
    EXPECT_EQ(tiles.pixel(0, 0), qRgb(245, 235, 55));

    const ProcessResult failed = Run("--input in --mask '*.png' --output out --quiet");
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err,
              "broken.png: 画像として読み込めませんでした（Unsupported image format）\n");
}

TEST_F(TintaBatchTest, DefaultsAreThoseOfANewDialog) {
    // Current folder in and out, the first module, the first input mask and
    // the first output format of the sorted lists (*.BMP for both): the
    // picture replaces itself under its own spelling.
    const std::filesystem::path in = scratch.Path() / "in";
    std::filesystem::create_directories(in / "tinta");
    std::filesystem::copy_file(scratch.Path() / "tinta" / "invert.so", in / "tinta" / "invert.so");
    const ProcessResult result = Run("", in);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.err, HasSubstr("[1/1] tiles.bmp\n完了\n書き込み 1 件、失敗 0 件\n"));
    QImage tiles(QString::fromStdString((in / "tiles.bmp").string()));
    EXPECT_EQ(tiles.pixel(0, 0), qRgb(245, 235, 55));
    EXPECT_FALSE(std::filesystem::exists(in / "tiles.BMP"));
}

TEST_F(TintaBatchTest, BadArgumentsAndMissingModulesGiveStatusTwo) {
    for (const char* arguments : {"--colour red", "--input", "--edging=yes", "--format XYZ",
                                  "--filter nothing", "--input missing"}) {
        const ProcessResult result = Run(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_THAT(result.err, Not(IsEmpty())) << arguments;
    }
    EXPECT_THAT(Run("--input missing").err, HasSubstr("入力フォルダー「missing」を読み込めません"));
    const ProcessResult noModules = Run("--input ../in", scratch.Path() / "out");
    EXPECT_EQ(noModules.status, 2);
    EXPECT_THAT(noModules.err, HasSubstr("フィルターモジュールを読み込めませんでした"));
}

TEST_F(TintaBatchTest, ListsFiltersAndFormatsOnStandardOutput) {
    std::ofstream(scratch.Path() / "tinta" / "junk.so") << "no library";
    const ProcessResult result = Run("--list-filters --list-formats");
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.out,
                AllOf(HasSubstr("色反転\tinvert.so\n"), HasSubstr("入力形式: "),
                      HasSubstr(" *.ERI"), HasSubstr("出力形式: *.BMP"), HasSubstr(" *.TGA")));
    EXPECT_THAT(result.err, HasSubstr("./tinta/junk.soをロードできませんでした\n"));
}

TEST_F(TintaBatchTest, VerboseSendsTheTraceToStandardError) {
    const std::string arguments = "--input in --mask broken.png --output out";
    EXPECT_THAT(Run(arguments).err, Not(HasSubstr("in/broken.png")));
    EXPECT_THAT(Run(arguments + " --verbose").err, HasSubstr("in/broken.png"));
}

TEST_F(TintaBatchTest, MaxPixelsLowersOrRaisesTheLimitOfEveryLoad) {
    // photo.png is 4 x 3, alpha.png 4 x 1.
    const ProcessResult lowered =
        Run("--input in --mask photo.png --output out --quiet --max-pixels 11");
    EXPECT_EQ(lowered.status, 1);
    EXPECT_EQ(lowered.err, "photo.png: 画像が大きすぎます（4×3 画素、上限 11 画素）\n");
    EXPECT_EQ(Run("--input in --mask photo.png --output out --quiet --max-pixels=12").status, 0);
    EXPECT_EQ(Run("--input in --mask photo.png --output out --max-pixels 1073741824").status, 0);
    for (const char* refused : {"--max-pixels 0", "--max-pixels 1073741825",
                                "--max-pixels=", "--max-pixels lots", "--max-pixels"}) {
        const ProcessResult result = Run(std::string("--input in --output out ") + refused);
        EXPECT_EQ(result.status, 2) << refused;
        EXPECT_THAT(result.err, HasSubstr("--max-pixels")) << refused;
    }
}

TEST_F(TintaBatchTest, NamesThatAreNotUtf8KeepTheirBytes) {
    const std::string cp932 = "\x83\x65\x83\x58\x83\x67";  // "テスト" in CP932
    const std::filesystem::path folder = scratch.Path() / cp932;
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(scratch.Path() / "in" / "photo.png", folder / (cp932 + ".png"));
    const ProcessResult result =
        Run("--input '" + cp932 + "' --mask '*.png' --format tga --output out");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(ReadTgaFile(scratch.Path() / "out" / (cp932 + ".TGA")).has_value());
}

// tinta_batch with a slow filter, stopped by a signal once a few files are
// done.
class StoppedRunTest : public TintaBatchTest, public ::testing::WithParamInterface<int> {
  protected:
    static constexpr int kPictures = 16;

    StoppedRunTest() {
        std::filesystem::copy_file(std::string(TEST_MODULE_DIR) + "recorder.so",
                                   scratch.Path() / "tinta" / "recorder.so");
        std::filesystem::create_directories(scratch.Path() / "many");
        for (int i = 0; i < kPictures; ++i) {
            // Appended piece by piece: GCC 12 warns falsely about a string
            // concatenation here when optimising.
            std::string name = "p";
            name += std::to_string(10 + i);
            name += ".png";
            std::filesystem::copy_file(scratch.Path() / "in" / "photo.png",
                                       scratch.Path() / "many" / name);
        }
    }

    // Starts the run, sends signal once the fourth file is started, and
    // returns the exit status and the error stream.
    ProcessResult RunAndStop(int signal, bool twice) {
        const std::string errPath = (scratch.Path() / "stderr.txt").string();
        // A second signal ends the program from its handler with the workers
        // still standing, as intended; under ThreadSanitizer that exit would
        // otherwise be reported as a thread leak and change the status.
        const std::string leaks =
            twice ? "TSAN_OPTIONS=\"$TSAN_OPTIONS:report_thread_leaks=0\" " : "";
        const std::string script = "cd '" + scratch.Path().string() + "' && " + leaks + "exec '" +
                                   TINTA_BATCH_PROGRAM +
                                   "' --input many --mask '*.png' --filter Recorder --format tga "
                                   "--output out --jobs 2 2>'" +
                                   errPath + "' </dev/null";
        setenv("TINTA_TEST_MODULE_DELAY_MS", "60", 1);
        pid_t child = 0;
        const char* argv[] = {"sh", "-c", script.c_str(), nullptr};
        EXPECT_EQ(
            posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
        unsetenv("TINTA_TEST_MODULE_DELAY_MS");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (Slurp(errPath).find("[4/") == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        kill(child, signal);
        if (twice) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            kill(child, signal);
        }
        int raw = 0;
        waitpid(child, &raw, 0);
        ProcessResult result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.err = Slurp(errPath);
        return result;
    }

    // Every file in out is a whole TGA under its final name; hidden
    // temporary files are passed over when allowed.
    int WholeOutputs(bool temporaryFilesAllowed = false) const {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(scratch.Path() / "out")) {
            if (temporaryFilesAllowed && entry.path().filename().string().starts_with(".")) {
                continue;
            }
            EXPECT_TRUE(ReadTgaFile(entry.path()).has_value()) << entry.path();
            EXPECT_EQ(entry.path().extension(), ".TGA") << entry.path();
            ++count;
        }
        return count;
    }
};

TEST_P(StoppedRunTest, LeavesOnlyWholeFilesAndACountedSummary) {
    const int signal = GetParam();
    const ProcessResult result = RunAndStop(signal, false);
    EXPECT_EQ(result.status, 128 + signal) << result.err;
    std::smatch counts;
    ASSERT_TRUE(std::regex_search(
        result.err, counts,
        std::regex("中止しました\n書き込み (\\d+) 件、失敗 0 件、未処理 (\\d+) 件")))
        << result.err;
    const int written = std::stoi(counts[1]);
    EXPECT_EQ(written + std::stoi(counts[2]), kPictures);
    EXPECT_GE(written, 3);
    EXPECT_EQ(WholeOutputs(), written);
}

INSTANTIATE_TEST_SUITE_P(Signals, StoppedRunTest, ::testing::Values(SIGINT, SIGTERM));

TEST_F(StoppedRunTest, ASecondInterruptEndsAtOnceWithoutHalfWrittenFiles) {
    const ProcessResult result = RunAndStop(SIGINT, true);
    EXPECT_EQ(result.status, 130) << result.err;
    WholeOutputs(true);
}

TEST(ConsoleProgress, DrawsOneBarLineOnATerminal) {
    std::ostringstream stream;
    ConsoleProgress bar(stream, ConsoleProgress::Style::kBar);
    bar.Progress(0, 2);
    bar.FileStarting(0, 2, "a.png");
    bar.Progress(1, 2);
    bar.Progress(2, 2);
    bar.Finish();
    const std::string text = stream.str();
    EXPECT_THAT(text,
                HasSubstr("\r[" + std::string(15, '#') + std::string(15, '-') + "] 1/2 a.png"));
    EXPECT_THAT(text, HasSubstr("\r[" + std::string(30, '#') + "] 2/2 \x1b[K\n"));
    EXPECT_EQ(text.find('\n'), text.size() - 1);
}

TEST(RunnerOptions, ParsesBothValueFormsAndRefusesTheUnknown) {
    const ParsedArguments parsed =
        ParseRunnerArguments({"--input", "a", "--output=b", "--filter=x=y", "--quiet"});
    EXPECT_THAT(parsed.error, IsEmpty());
    EXPECT_EQ(parsed.options.inputFolder, "a");
    EXPECT_EQ(parsed.options.outputFolder, "b");
    EXPECT_EQ(parsed.options.filter, "x=y");
    EXPECT_TRUE(parsed.options.quiet);
    EXPECT_THAT(ParseRunnerArguments({"--verbose", "--quiet"}).error, Not(IsEmpty()));
    EXPECT_THAT(ParseRunnerArguments({"photo.png"}).error, HasSubstr("photo.png"));

    const ParsedArguments sized = ParseRunnerArguments({"--jobs", "3", "--memory=512M"});
    EXPECT_THAT(sized.error, IsEmpty());
    EXPECT_EQ(sized.options.jobs, 3);
    EXPECT_EQ(sized.options.memoryBytes, uint64_t{512} << 20);
    for (const char* bad : {"--jobs=0", "--jobs=two", "--memory=0", "--memory=12X", "--memory="}) {
        EXPECT_THAT(ParseRunnerArguments({bad}).error, Not(IsEmpty())) << bad;
    }
}

}  // namespace
}  // namespace tinta
