// One run split into several tinta_batch processes with GNU parallel, all
// writing into one output folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "batch_process.h"

namespace tinta {
namespace {

using testing::BatchProcessTest;
using ::testing::IsEmpty;
using testing::ProcessResult;
using testing::TreeOf;

constexpr int kPictures = 36;
constexpr int kDamaged = 4;

std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines = testing::Lines(text);
    std::sort(lines.begin(), lines.end());
    return lines;
}

class SplitRunTest : public BatchProcessTest {
  protected:
    void SetUp() override {
        if (std::system("command -v parallel >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "GNU parallel is not installed (Debian package parallel)";
        }
        // Pictures in three formats, each its own colours, and damaged ones.
        const char* formats[] = {"PNG", "BMP", "JPG"};
        for (int i = 0; i < kPictures; ++i) {
            QImage picture(5 + i % 3, 4, QImage::Format_ARGB32);
            picture.fill(qRgba(7 * i, 255 - 5 * i, 3 * i, 128 + i));
            const char* format = formats[i % 3];
            // Appended piece by piece: GCC 12 warns falsely about a string
            // concatenation here when optimising.
            std::string name = "p";
            name += std::to_string(i);
            name += ".";
            name += format;
            ASSERT_TRUE(picture.save(QString::fromStdString((In() / name).string()), format, 100));
        }
        for (int i = 0; i < kDamaged; ++i) {
            std::string name = "damaged";
            name += std::to_string(i);
            name += ".png";
            std::ofstream(In() / name) << "no picture " << i;
        }
        ASSERT_EQ(Shell("cd in && find . -type f | sort > ../all.txt", scratch.Path()).status, 0);
    }
};

TEST_F(SplitRunTest, FourProcessesWriteWhatOneRunWritesAndFailTheSameFiles) {
    std::filesystem::create_directories(scratch.Path() / "single");
    const ProcessResult single =
        Run("--format tga --input in --output single --files-from all.txt --quiet");
    EXPECT_EQ(single.status, 1);
    EXPECT_EQ(SortedLines(single.err).size(), static_cast<size_t>(kDamaged));

    const ProcessResult split = Shell(
        "split -n l/4 all.txt part. && "
        "parallel -j4 \"$TINTA\" --format tga --input in --output out --files-from {} --quiet ::: "
        "part.*",
        scratch.Path());
    EXPECT_GE(split.status, 1);  // the number of lists with a failure
    EXPECT_EQ(TreeOf(Out()), TreeOf(scratch.Path() / "single"));
    EXPECT_EQ(TreeOf(Out()).size(), static_cast<size_t>(kPictures));
    EXPECT_EQ(SortedLines(split.err), SortedLines(single.err));
}

TEST_F(SplitRunTest, UnderRenameNoTwoProcessesTakeTheSameName) {
    ASSERT_EQ(Run("--format tga --input in --output out --files-from all.txt --quiet").status, 1);
    const auto first = TreeOf(Out());

    // The lists through standard input, as find would pipe them.
    const ProcessResult split = Shell(
        "parallel --pipe -N 10 -j4 \"$TINTA\" --format tga --input in --output out --files-from - "
        "--existing rename --quiet < all.txt",
        scratch.Path());
    EXPECT_NE(split.status, 0);
    // Four processes over the whole list at once: every name contended.
    const ProcessResult contended = Shell(
        "parallel -j4 -N0 \"$TINTA\" --format tga --input in --output out --files-from all.txt "
        "--existing rename "
        "--quiet ::: 1 2 3 4",
        scratch.Path());
    EXPECT_EQ(contended.status, 4);

    const auto outputs = TreeOf(Out());
    EXPECT_EQ(outputs.size(), static_cast<size_t>(6 * kPictures));
    for (const auto& [name, bytes] : first) {
        const std::string stem = name.substr(0, name.rfind('.'));
        for (int n = 2; n <= 6; ++n) {
            const std::string renamed = stem + " (" + std::to_string(n) + ").TGA";
            ASSERT_TRUE(outputs.contains(renamed)) << renamed;
            EXPECT_EQ(outputs.at(renamed), bytes) << renamed;
        }
    }
    for (const auto& [name, bytes] : outputs) {
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(name.find("damaged"), std::string::npos) << name;
    }
    EXPECT_THAT(SortedLines(contended.out), IsEmpty());
}

}  // namespace
}  // namespace tinta
