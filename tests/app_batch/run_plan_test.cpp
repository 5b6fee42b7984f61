// The plan of a run: outputs, existing files under each policy, clashes
// within the run, own inputs, missing inputs and output folders.
#include "app/batch/run_plan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "app/batch/batch_run.h"
#include "app/batch/batch_texts.h"
#include "support/scratch_folder.h"

namespace tinta {
namespace {

using ::testing::HasSubstr;
using testing::ScratchFolder;

class RunPlanTest : public ::testing::Test {
  protected:
    RunPlanTest() {
        std::filesystem::create_directories(scratch.Path() / "in");
        std::filesystem::create_directories(scratch.Path() / "out");
        settings.inputFolder = scratch / "in";
        settings.outputFolder = scratch / "out";
        settings.formatText = "*.TGA";
    }
    void Touch(const std::string& name) const { std::ofstream(scratch / name) << "x"; }
    RunPlan Plan(const std::vector<std::string>& names, ExistingPolicy policy) const {
        return PlanRun(names, settings, policy);
    }
    std::string Out(const std::string& name) const { return settings.outputFolder + "/" + name; }

    ScratchFolder scratch;
    BatchSettings settings;
};

TEST_F(RunPlanTest, NewAndExistingOutputsFollowThePolicy) {
    Touch("in/a.png");
    Touch("in/b.png");
    Touch("out/b.TGA");
    Touch("out/b (2).TGA");

    const RunPlan replace = Plan({"a.png", "b.png"}, ExistingPolicy::kReplace);
    EXPECT_EQ(replace.entries[0].outcome, PlannedOutcome::kNew);
    EXPECT_EQ(replace.entries[0].inputPath, settings.inputFolder + "/a.png");
    EXPECT_EQ(replace.entries[0].outputPath, Out("a.TGA"));
    EXPECT_EQ(replace.entries[1].outcome, PlannedOutcome::kReplacesExisting);
    EXPECT_EQ(replace.entries[1].outputPath, Out("b.TGA"));
    EXPECT_EQ(CountExistingOutputs(replace), 1);

    const RunPlan skip = Plan({"a.png", "b.png"}, ExistingPolicy::kSkip);
    EXPECT_EQ(skip.entries[0].outcome, PlannedOutcome::kNew);
    EXPECT_EQ(skip.entries[1].outcome, PlannedOutcome::kSkipped);

    const RunPlan rename = Plan({"a.png", "b.png"}, ExistingPolicy::kRename);
    EXPECT_EQ(rename.entries[0].outcome, PlannedOutcome::kNew);
    EXPECT_EQ(rename.entries[1].outcome, PlannedOutcome::kRenamed);
    EXPECT_EQ(rename.entries[1].outputPath, Out("b (3).TGA"));
    EXPECT_EQ(rename.entries[1].nameNumber, 3);
    EXPECT_EQ(rename.entries[1].baseName, Out("b.TGA"));
}

TEST_F(RunPlanTest, TwoInputsForOneOutputClashAndTheEarlierKeepsIt) {
    Touch("in/a.jpg");
    Touch("in/a.png");
    for (ExistingPolicy policy : {ExistingPolicy::kReplace, ExistingPolicy::kSkip}) {
        const RunPlan plan = Plan({"a.jpg", "a.png"}, policy);
        EXPECT_EQ(plan.entries[0].outcome, PlannedOutcome::kNew);
        EXPECT_EQ(plan.entries[1].outcome, PlannedOutcome::kClash);
        EXPECT_EQ(plan.entries[1].clashesWith, "a.jpg");
        EXPECT_THAT(plan.entries[1].reason, HasSubstr("「a.jpg」"));
        EXPECT_FALSE(WillWrite(plan.entries[1].outcome));
    }
    // Existing or not, the earlier one keeps the name.
    Touch("out/a.TGA");
    EXPECT_EQ(Plan({"a.jpg", "a.png"}, ExistingPolicy::kSkip).entries[1].outcome,
              PlannedOutcome::kClash);

    const RunPlan rename = Plan({"a.jpg", "a.png"}, ExistingPolicy::kRename);
    EXPECT_EQ(rename.entries[0].outputPath, Out("a (2).TGA"));
    EXPECT_EQ(rename.entries[1].outputPath, Out("a (3).TGA"));
    EXPECT_EQ(rename.entries[1].outcome, PlannedOutcome::kRenamed);

    // The same name listed twice is one clash too.
    const RunPlan twice = Plan({"a.png", "./a.png"}, ExistingPolicy::kReplace);
    EXPECT_EQ(twice.entries[1].outcome, PlannedOutcome::kClash);
}

TEST_F(RunPlanTest, AnInputReplacedByItsOwnOutputKeepsItsSpelling) {
    settings.outputFolder = settings.inputFolder;
    settings.formatText = "*.PNG";
    Touch("in/photo.png");
    Touch("in/other.PNG");

    const RunPlan plan = Plan({"other.PNG", "photo.png"}, ExistingPolicy::kReplace);
    EXPECT_EQ(plan.entries[0].outputPath, settings.inputFolder + "/other.PNG");
    EXPECT_EQ(plan.entries[0].outcome, PlannedOutcome::kReplacesInput);
    EXPECT_EQ(plan.entries[1].outputPath, settings.inputFolder + "/photo.png");
    EXPECT_EQ(plan.entries[1].outcome, PlannedOutcome::kReplacesInput);
    EXPECT_EQ(CountExistingOutputs(plan), 2);

    EXPECT_EQ(Plan({"photo.png"}, ExistingPolicy::kSkip).entries[0].outcome,
              PlannedOutcome::kSkipped);
    EXPECT_EQ(Plan({"photo.png"}, ExistingPolicy::kRename).entries[0].outputPath,
              settings.inputFolder + "/photo (2).png");

    // Into another folder the format's spelling stays.
    settings.outputFolder = scratch / "out";
    EXPECT_EQ(Plan({"photo.png"}, ExistingPolicy::kReplace).entries[0].outputPath,
              Out("photo.PNG"));
}

TEST_F(RunPlanTest, EntriesThatCannotBeWrittenFailBeforeTheRun) {
    Touch("in/a.png");
    std::filesystem::create_directories(scratch.Path() / "in" / "sub");
    std::filesystem::create_directories(scratch.Path() / "out" / "a.TGA");

    const RunPlan plan = Plan({"[sub]", "gone.png", "a.png", "sub"}, ExistingPolicy::kReplace);
    EXPECT_EQ(plan.entries[0].outcome, PlannedOutcome::kFolder);
    EXPECT_EQ(plan.entries[1].outcome, PlannedOutcome::kFails);
    EXPECT_EQ(plan.entries[1].reason, kNoSuchFileReason);
    EXPECT_EQ(plan.entries[2].outcome, PlannedOutcome::kFails);
    EXPECT_THAT(plan.entries[2].reason, HasSubstr("フォルダーです"));
    EXPECT_EQ(plan.entries[3].outcome, PlannedOutcome::kFolder);

    settings.outputFolder = scratch / "missing";
    const RunPlan missing = Plan({"a.png"}, ExistingPolicy::kReplace);
    EXPECT_EQ(missing.entries[0].outcome, PlannedOutcome::kFails);
    EXPECT_THAT(missing.entries[0].reason, HasSubstr("書き込めませんでした"));
    EXPECT_THAT(missing.entries[0].reason, HasSubstr("出力フォルダー"));
}

TEST_F(RunPlanTest, RelativeFoldersOfNamesAreKeptUnlessTheyLeadOutside) {
    std::filesystem::create_directories(scratch.Path() / "in" / "sub" / "deep");
    Touch("in/sub/deep/a.png");
    Touch("b.png");
    std::filesystem::create_directories(scratch.Path() / "in" / "x");
    Touch("in/x/c.png");

    const RunPlan plan = Plan({"sub/deep/a.png", scratch / "b.png", "../b.png", "x/c.png"},
                              ExistingPolicy::kReplace);
    EXPECT_EQ(plan.entries[0].inputPath, settings.inputFolder + "/sub/deep/a.png");
    EXPECT_EQ(plan.entries[0].outputPath, Out("sub/deep/a.TGA"));
    EXPECT_EQ(plan.entries[0].outcome, PlannedOutcome::kNew);
    EXPECT_EQ(plan.entries[1].inputPath, scratch / "b.png");
    EXPECT_EQ(plan.entries[1].outputPath, Out("b.TGA"));
    EXPECT_EQ(plan.entries[2].outputPath, Out("b.TGA"));
    EXPECT_EQ(plan.entries[2].outcome, PlannedOutcome::kClash);

    // A file where a folder has to be made.
    Touch("out/x");
    const RunPlan blocked = Plan({"x/c.png"}, ExistingPolicy::kReplace);
    EXPECT_EQ(blocked.entries[0].outcome, PlannedOutcome::kFails);
    EXPECT_THAT(blocked.entries[0].reason, HasSubstr("を作成できません"));
}

TEST(NumberedPath, PutsTheNumberBeforeTheExtensionOfTheFileName) {
    EXPECT_EQ(NumberedPath("out/photo.TGA", 1), "out/photo.TGA");
    EXPECT_EQ(NumberedPath("out/photo.TGA", 2), "out/photo (2).TGA");
    EXPECT_EQ(NumberedPath("o.d/README", 12), "o.d/README (12)");
    EXPECT_EQ(NumberedPath("a.b.png", 3), "a.b (3).png");
}

}  // namespace
}  // namespace tinta
