// tinta_batch with existing outputs and dry runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "batch_process.h"

namespace tinta {
namespace {

using testing::BatchProcessTest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::Lines;
using ::testing::Not;
using testing::ProcessResult;
using testing::TreeOf;

class TintaBatchPlanTest : public BatchProcessTest {
  protected:
    TintaBatchPlanTest() {
        testing::WriteSamplePictures(In());
        std::ofstream(Out() / "photo.TGA") << "earlier result";
    }
    std::string Text(const std::string& name) const { return testing::Slurp(Out() / name); }
};

TEST_F(TintaBatchPlanTest, ExistingOutputsAreReplacedSkippedOrKeptBesideAsAsked) {
    const std::string run =
        "--format tga --input in --mask '*.png' --output out --quiet --existing ";
    ProcessResult skip = Run(run + "skip");
    EXPECT_EQ(skip.status, 1);  // broken.png
    EXPECT_EQ(Text("photo.TGA"), "earlier result");
    skip = Run("--format tga --input in --mask photo.png --output out --existing skip");
    EXPECT_EQ(skip.status, 0);
    EXPECT_THAT(skip.err, HasSubstr("書き込み 0 件、失敗 0 件、スキップ 1 件"));

    const ProcessResult rename = Run(run + "rename");
    EXPECT_EQ(rename.status, 1);
    EXPECT_EQ(Text("photo.TGA"), "earlier result");
    EXPECT_TRUE(testing::ReadTgaFile(Out() / "photo (2).TGA").has_value());
    EXPECT_TRUE(testing::ReadTgaFile(Out() / "alpha (2).TGA").has_value());
    EXPECT_FALSE(std::filesystem::exists(Out() / "broken.TGA"));
    EXPECT_FALSE(std::filesystem::exists(Out() / "broken (2).TGA"));

    EXPECT_EQ(Run(run + "replace").status, 1);
    EXPECT_TRUE(testing::ReadTgaFile(Out() / "photo.TGA").has_value());
    EXPECT_THAT(testing::SortedEntries(Out()),
                ElementsAre("alpha (2).TGA", "alpha.TGA", "photo (2).TGA", "photo.TGA"));

    EXPECT_EQ(Run(run + "keep").status, 2);
}

TEST_F(TintaBatchPlanTest, ADryRunWritesNothingAndPrintsWhatTheRunThenDoes) {
    std::filesystem::copy_file(In() / "tiles.bmp", In() / "photo.bmp");
    std::ofstream(Out() / "tiles (2).TGA") << "older";
    const auto inBefore = TreeOf(In());
    const auto outBefore = TreeOf(Out());
    const std::string arguments =
        "--format tga --input in --mask '*.*' --output out --existing rename";

    const ProcessResult dry = Run(arguments + " --dry-run");
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(TreeOf(In()), inBefore);
    EXPECT_EQ(TreeOf(Out()), outBefore);
    const std::string in = "in/";
    const std::string out = "out/";
    EXPECT_THAT(Lines(dry.out), ElementsAre(in + "[sub]\t-\tフォルダーのため対象外",
                                            in + "alpha.png\t" + out + "alpha.TGA\t新規",
                                            in + "broken.png\t" + out + "broken.TGA\t新規",
                                            in + "image.jpeg\t" + out + "image.TGA\t新規",
                                            in + "photo.bmp\t" + out + "photo (2).TGA\t別名で保存",
                                            in + "photo.png\t" + out + "photo (3).TGA\t別名で保存",
                                            in + "tiles.bmp\t" + out + "tiles.TGA\t新規"));
    EXPECT_THAT(dry.err, HasSubstr("書き込み予定 6 件(新規 4、上書き 0、入力を上書き 0、別名 2)"));

    // The real run writes exactly the planned names; only the damaged
    // picture, which a dry run does not load, fails.
    const ProcessResult real = Run(arguments);
    EXPECT_EQ(real.status, 1);
    EXPECT_THAT(testing::SortedEntries(Out()),
                ElementsAre("alpha.TGA", "image.TGA", "photo (2).TGA", "photo (3).TGA", "photo.TGA",
                            "tiles (2).TGA", "tiles.TGA"));
    EXPECT_THAT(real.err, HasSubstr("書き込み 5 件、失敗 1 件、フォルダー 1 件\nbroken.png: "));
}

TEST_F(TintaBatchPlanTest, ADryRunFailsWhenAnyFileWouldNotBeWrittenAndNeedsNoModule) {
    const std::filesystem::path bare = scratch.Path() / "bare";
    std::filesystem::create_directories(bare);
    const std::string clean = "--format tga --input ../in --mask '*.bmp' --output ../out --dry-run";
    EXPECT_EQ(Shell("\"$TINTA\" " + clean, bare).status, 0);
    EXPECT_EQ(Shell("\"$TINTA\" " + clean + " --filter 色反転", bare).status, 2);
    EXPECT_EQ(
        Run("--format tga --input in --mask '*.bmp' --output out --dry-run --filter 色反転").status,
        0);

    const ProcessResult skipped =
        Run("--format tga --input in --mask 'photo.png' --output out --dry-run --existing skip");
    EXPECT_EQ(skipped.status, 1);
    EXPECT_THAT(skipped.out, HasSubstr("\tout/photo.TGA\t既存のファイルを残してスキップ\n"));
    const ProcessResult replaced =
        Run("--format tga --input in --mask 'photo.png' --output out --dry-run");
    EXPECT_EQ(replaced.status, 0);
    EXPECT_THAT(replaced.out, HasSubstr("\t既存のファイルを上書き\n"));
    EXPECT_EQ(Run("--format tga --input in --mask '*.png' --output nowhere --dry-run").status, 1);
    EXPECT_EQ(Text("photo.TGA"), "earlier result");
}

// The run itself is pinned by the default run, which replaces its input.
TEST_F(TintaBatchPlanTest, ADryRunSaysWhenAnInputIsReplacedUnderItsOwnSpelling) {
    const ProcessResult dry =
        Run("--input in --mask photo.png --output in --format '*.PNG' --dry-run");
    EXPECT_THAT(dry.out, HasSubstr("in/photo.png\tin/photo.png\t入力ファイル自身を上書き\n"));
}

}  // namespace
}  // namespace tinta
