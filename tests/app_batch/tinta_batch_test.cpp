// tinta_batch run as a process, as a script would run it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "app/batch/runner/console_output.h"
#include "app/batch/runner/runner_options.h"
#include "batch_fixture.h"

namespace tinta {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::ScratchFolder;

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class TintaBatchTest : public ::testing::Test {
  protected:
    TintaBatchTest() {
        std::filesystem::create_directories(scratch.Path() / "in");
        std::filesystem::create_directories(scratch.Path() / "out");
        testing::WriteSamplePictures(scratch.Path() / "in");
        std::filesystem::create_directories(scratch.Path() / "tinta");
        std::filesystem::copy_file(std::string(BUNDLED_MODULE_DIR) + "invert.so",
                                   scratch.Path() / "tinta" / "invert.so");
    }

    // Runs tinta_batch with arguments (shell words) in folder.
    ProcessResult Run(const std::string& arguments, const std::filesystem::path& folder) const {
        const std::filesystem::path out = scratch.Path() / "stdout.txt";
        const std::filesystem::path err = scratch.Path() / "stderr.txt";
        const std::string command = "cd '" + folder.string() + "' && '" TINTA_BATCH_PROGRAM "' " +
                                    arguments + " >'" + out.string() + "' 2>'" + err.string() +
                                    "' </dev/null";
        const int raw = std::system(command.c_str());
        ProcessResult result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = Slurp(out);
        result.err = Slurp(err);
        return result;
    }
    ProcessResult Run(const std::string& arguments) const { return Run(arguments, scratch.Path()); }

    ScratchFolder scratch;
};

TEST_F(TintaBatchTest, ConvertsTheMatchingFilesAndReportsTheFailureWithStatusOne) {
    const ProcessResult result =
        Run("--input in --mask '*.PNG' --filter 色反転 --format tga --output out");
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("[1/3] alpha.png\n[2/3] broken.png\n[3/3] photo.png\n"));
    EXPECT_THAT(result.err, HasSubstr("完了\n書き込み 2 件、失敗 1 件\n"
                                      "broken.png: 画像として読み込めませんでした\n"));
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
    EXPECT_EQ(failed.err, "broken.png: 画像として読み込めませんでした\n");
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
}

}  // namespace
}  // namespace tinta
