#include "app/batch/input_file_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "filterhost/test_folders.h"

namespace tinta {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::ScratchFolder;

TEST(MatchesMask, IgnoresLetterCaseAndKnowsBothWildcards) {
    EXPECT_TRUE(MatchesMask("photo.png", "*.PNG"));
    EXPECT_TRUE(MatchesMask("PHOTO.PNG", "*.png"));
    EXPECT_TRUE(MatchesMask("a.b.png", "*.png"));
    EXPECT_FALSE(MatchesMask("photo.png.bak", "*.PNG"));
    EXPECT_FALSE(MatchesMask("photopng", "*.PNG"));
    EXPECT_TRUE(MatchesMask("img07.jpg", "img??.JPG"));
    EXPECT_FALSE(MatchesMask("img7.jpg", "img??.JPG"));
    EXPECT_TRUE(MatchesMask("README", "*.*"));
    EXPECT_TRUE(MatchesMask("anything", "*"));
    EXPECT_TRUE(MatchesMask("写真.png", "*.PNG"));
}

TEST(ListInputFiles, ListsMatchingFilesAndFoldersSortedWithoutRegardToCase) {
    ScratchFolder scratch;
    const auto& folder = scratch.Path();
    for (const char* name : {"c.Png", "a.png", "B.PNG", ".hidden.png", "notes.txt", "d.png.bak"}) {
        std::ofstream(folder / name) << "x";
    }
    std::filesystem::create_directory(folder / "sub.png");
    std::filesystem::create_directory(folder / "other");
    std::filesystem::create_directory(folder / ".git.png");
    ASSERT_EQ(mkfifo((folder / "pipe.png").c_str(), 0600), 0);

    const InputFileList list = ListInputFiles(folder.string(), "*.PNG");
    EXPECT_THAT(list.names, ElementsAre("[sub.png]", "a.png", "B.PNG", "c.Png"));
    EXPECT_THAT(list.error, IsEmpty());

    EXPECT_THAT(
        ListInputFiles(folder.string() + "/", "*").names,
        ElementsAre("[other]", "[sub.png]", "a.png", "B.PNG", "c.Png", "d.png.bak", "notes.txt"));
}

TEST(ListInputFiles, FolderThatCannotBeReadGivesNoNamesAndSaysWhich) {
    ScratchFolder scratch;
    std::ofstream(scratch.Path() / "file.png") << "x";
    const std::string missing = (scratch.Path() / "missing").string();

    const InputFileList gone = ListInputFiles(missing, "*.PNG");
    EXPECT_THAT(gone.names, IsEmpty());
    EXPECT_THAT(gone.error, HasSubstr("入力フォルダー「" + missing + "」を読み込めません"));

    const InputFileList notAFolder = ListInputFiles((scratch.Path() / "file.png").string(), "*");
    EXPECT_THAT(notAFolder.names, IsEmpty());
    EXPECT_THAT(notAFolder.error, Not(IsEmpty()));

    // An empty folder name never falls back to the current folder.
    testing::CurrentFolderScope current(scratch.Path());
    EXPECT_THAT(ListInputFiles("", "*").names, IsEmpty());
}

}  // namespace
}  // namespace tinta
