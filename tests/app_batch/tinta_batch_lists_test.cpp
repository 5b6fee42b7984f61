// tinta_batch over folder trees (--recursive) and lists of names
// (--files-from).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/batch/name_list_file.h"
#include "app/batch/recursive_listing.h"
#include "batch_process.h"

namespace tinta {
namespace {

using testing::BatchProcessTest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::Lines;
using testing::ProcessResult;

class TintaBatchListsTest : public BatchProcessTest {
  protected:
    void Picture(const std::filesystem::path& path) const {
        std::filesystem::create_directories(path.parent_path());
        testing::PhotoPicture().save(QString::fromStdString(path.string()), "PNG");
    }
    bool Written(const std::string& name) const {
        return testing::ReadTgaFile(Out() / name).has_value();
    }
};

TEST_F(TintaBatchListsTest, RecursiveRunsKeepTheFolderTree) {
    Picture(In() / "top.png");
    Picture(In() / "a" / "one.png");
    Picture(In() / "a" / "b" / "two.PNG");
    Picture(In() / "a" / "b" / "skip.bmp.txt");
    const ProcessResult result =
        Run("--format tga --input in --mask '*.png' --output out --recursive");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.err, HasSubstr("] a/b/two.PNG\n"));
    EXPECT_TRUE(Written("top.TGA"));
    EXPECT_TRUE(Written("a/one.TGA"));
    EXPECT_TRUE(Written("a/b/two.TGA"));
    EXPECT_THAT(testing::SortedEntries(Out() / "a" / "b"), ElementsAre("two.TGA"));

    // Without --recursive the folders are passed over as before.
    const ProcessResult flat = Run("--format tga --input in --mask '*' --output out --dry-run");
    EXPECT_THAT(flat.out, HasSubstr("in/[a]\t-\tフォルダーのため対象外\n"));
}

TEST_F(TintaBatchListsTest, AFolderThatCannotBeMadeFailsItsFilesWithTheReason) {
    Picture(In() / "x" / "one.png");
    Picture(In() / "x" / "two.png");
    Picture(In() / "fine.png");
    std::ofstream(Out() / "x") << "a file where the folder belongs";
    const ProcessResult result =
        Run("--format tga --input in --mask '*.png' --output out --recursive");
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("x/one.png: 書き込めませんでした（フォルダー「"));
    EXPECT_THAT(result.err, HasSubstr("x/two.png: 書き込めませんでした（フォルダー「"));
    EXPECT_THAT(result.err, HasSubstr("書き込み 1 件、失敗 2 件"));
    EXPECT_TRUE(Written("fine.TGA"));
}

TEST_F(TintaBatchListsTest, SymlinkLoopsAreNotFollowedAndOutputsInsideTheInputAreNotWalked) {
    Picture(In() / "a" / "one.png");
    std::filesystem::create_directories(In() / "results");
    std::filesystem::create_directory_symlink("..", In() / "a" / "up");
    std::filesystem::create_directory_symlink("a", In() / "alias");
    const ProcessResult result =
        Run("--input in --mask '*.png' --output in/results --format '*.PNG' --recursive");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(In() / "results" / "a" / "one.PNG"));
    EXPECT_TRUE(std::filesystem::exists(In() / "results" / "alias" / "one.PNG"));

    // A second run does not take the first run's results as inputs.
    const ProcessResult again =
        Run("--input in --mask '*.png' --output in/results --format '*.PNG' --recursive --dry-run");
    for (const std::string& line : Lines(again.out)) {
        EXPECT_FALSE(line.starts_with("in/results")) << line;
    }
    EXPECT_THAT(again.out, HasSubstr("in/[a/up]\t-\tフォルダーのため対象外\n"));
    EXPECT_THAT(again.out,
                HasSubstr("in/a/one.png\tin/results/a/one.PNG\t既存のファイルを上書き\n"));
}

TEST(ListInputTree, ListsEveryDepthSortedAndPassesOverLoops) {
    testing::ScratchFolder scratch;
    const std::filesystem::path root = scratch.Path();
    std::filesystem::create_directories(root / "B" / "c");
    std::filesystem::create_directories(root / "out");
    std::filesystem::create_directories(root / ".hidden");
    for (const char* name :
         {"z.png", "B/a.png", "B/c/d.PNG", "B/c/e.jpg", "out/o.png", ".hidden/h.png"}) {
        std::ofstream(root / name) << "x";
    }
    std::filesystem::create_directory_symlink("../..", root / "B" / "c" / "loop");
    const InputFileList list = ListInputTree(root.string(), "*.png", (root / "out").string());
    EXPECT_THAT(list.error, IsEmpty());
    EXPECT_THAT(list.names, ElementsAre("[B/c/loop]", "B/a.png", "B/c/d.PNG", "z.png"));
    EXPECT_THAT(ListInputTree((root / "gone").string(), "*", "").error, HasSubstr("gone"));
}

TEST_F(TintaBatchListsTest, FilesFromTakesNamesWithSpacesFoldersAndAbsolutePaths) {
    Picture(In() / "with space.png");
    Picture(In() / "deep" / "er" / "a.png");
    Picture(scratch.Path() / "elsewhere" / "abs.png");
    std::ofstream(scratch.Path() / "list.txt")
        << "with space.png\ndeep/er/a.png\n"
        << (scratch.Path() / "elsewhere" / "abs.png").string() << "\n\nmissing.png\n";
    const ProcessResult result = Run("--format tga --input in --output out --files-from list.txt");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(Written("with space.TGA"));
    EXPECT_TRUE(Written("deep/er/a.TGA"));
    EXPECT_TRUE(Written("abs.TGA"));
    EXPECT_THAT(result.err,
                HasSubstr("書き込み 3 件、失敗 1 件\nmissing.png: ファイルが見つかりません\n"));
}

TEST_F(TintaBatchListsTest, FilesFromStandardInputWithNulSeparatedNames) {
    Picture(In() / "two\nlines.png");
    Picture(In() / "plain.png");
    const ProcessResult result = Shell(
        "printf 'two\\nlines.png\\0plain.png\\0' | \"$TINTA\" --format tga --input in --output out "
        "--files-from - --null",
        scratch.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Written("two\nlines.TGA"));
    EXPECT_TRUE(Written("plain.TGA"));
}

TEST_F(TintaBatchListsTest, AnEmptyListWritesNothingAndSucceeds) {
    Picture(In() / "plain.png");
    std::ofstream(scratch.Path() / "empty.txt");
    const ProcessResult result = Run("--format tga --input in --output out --files-from empty.txt");
    EXPECT_EQ(result.status, 0);
    EXPECT_THAT(result.err, HasSubstr("書き込み 0 件、失敗 0 件"));
    EXPECT_THAT(testing::SortedEntries(Out()), IsEmpty());

    EXPECT_EQ(Run("--format tga --input in --output out --files-from nothing.txt").status, 2);
    EXPECT_EQ(Run("--format tga --input in --files-from empty.txt --mask '*.png'").status, 2);
    EXPECT_EQ(Run("--format tga --input in --null").status, 2);
}

TEST(ReadNameList, SplitsOnTheSeparatorAndKeepsEveryOtherByte) {
    std::istringstream lines(std::string("a b.png\n\nc\rd\n\xff.png"));
    EXPECT_THAT(ReadNameList(lines, NameSeparator::kNewline),
                ElementsAre("a b.png", "c\rd", "\xff.png"));
    std::istringstream nul(std::string("x\ny\0\0z\0", 7));
    EXPECT_THAT(ReadNameList(nul, NameSeparator::kNul), ElementsAre("x\ny", "z"));
}

}  // namespace
}  // namespace tinta
