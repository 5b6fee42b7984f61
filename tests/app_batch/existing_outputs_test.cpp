// A run carrying out its plan, one file after the other and with workers:
// each policy for existing outputs, clashes, claimed names that are never
// left empty, folders made below the output folder, and a later entry
// that reads an earlier entry's planned output.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

#include "app/batch/batch_run.h"
#include "app/batch/output_claim.h"
#include "batch_fixture.h"

namespace tinta {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::ScratchFolder;

class ExistingOutputsTest : public testing::InvertRunTest<::testing::TestWithParam<int>> {
  protected:
    ExistingOutputsTest() { std::ofstream(Out() / "photo.TGA") << "earlier result"; }
    BatchReport Run(const std::vector<std::string>& names, ExistingPolicy policy,
                    const ImageFileSteps& steps = {}) {
        return Run(PlanRun(names, settings, policy), steps);
    }
    BatchReport Run(const RunPlan& plan, const ImageFileSteps& steps = {}) {
        RunOptions options;
        options.jobs = GetParam();
        return BatchRun(plan, settings, invert, observer, steps, options);
    }
    std::string Text(const std::string& name) const { return testing::Slurp(Out() / name); }
};

TEST_P(ExistingOutputsTest, ReplaceWritesOverTheEarlierResult) {
    const BatchReport report = Run({"photo.png", "tiles.bmp"}, ExistingPolicy::kReplace);
    EXPECT_EQ(report.written, 2);
    EXPECT_THAT(Written(), ElementsAre("photo.TGA", "tiles.TGA"));
    EXPECT_TRUE(testing::ReadTgaFile(Out() / "photo.TGA").has_value());
}

TEST_P(ExistingOutputsTest, SkipKeepsTheEarlierResultAndCountsIt) {
    std::atomic<int> loads = 0;
    ImageFileSteps steps;
    steps.load = [&](const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
        ++loads;
        return LoadWorkImage(path, buffer, limits);
    };
    const BatchReport report = Run({"photo.png", "tiles.bmp"}, ExistingPolicy::kSkip, steps);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(report.skipped, 1);
    EXPECT_THAT(report.failures, IsEmpty());
    EXPECT_EQ(Text("photo.TGA"), "earlier result");
    EXPECT_EQ(SummaryLine(report), "書き込み 1 件、失敗 0 件、スキップ 1 件");
}

TEST_P(ExistingOutputsTest, SkipAlsoKeepsAFileThatAppearedAfterThePlan) {
    const RunPlan plan = PlanRun({"tiles.bmp"}, settings, ExistingPolicy::kSkip);
    std::ofstream(Out() / "tiles.TGA") << "another process";
    const BatchReport report = Run(plan);
    EXPECT_EQ(report.skipped, 1);
    EXPECT_EQ(report.written, 0);
    EXPECT_EQ(Text("tiles.TGA"), "another process");
}

TEST_P(ExistingOutputsTest, RenameTakesTheFirstFreeNumberedName) {
    std::ofstream(Out() / "photo (2).TGA") << "older";
    const BatchReport report = Run({"photo.png", "tiles.bmp"}, ExistingPolicy::kRename);
    EXPECT_EQ(report.written, 2);
    EXPECT_THAT(Written(), ElementsAre("photo (2).TGA", "photo (3).TGA", "photo.TGA", "tiles.TGA"));
    EXPECT_EQ(Text("photo.TGA"), "earlier result");
    EXPECT_TRUE(testing::ReadTgaFile(Out() / "photo (3).TGA").has_value());

    // A name taken after the plan was made moves the output on.
    const RunPlan plan = PlanRun({"tiles.bmp"}, settings, ExistingPolicy::kRename);
    ASSERT_EQ(plan.entries[0].outputPath, (Out() / "tiles (2).TGA").string());
    std::ofstream(Out() / "tiles (2).TGA") << "another process";
    EXPECT_EQ(Run(plan).written, 1);
    EXPECT_EQ(Text("tiles (2).TGA"), "another process");
    EXPECT_TRUE(testing::ReadTgaFile(Out() / "tiles (3).TGA").has_value());
}

TEST_P(ExistingOutputsTest, AClaimedNameIsRemovedWhenTheFileIsNotWritten) {
    ImageFileSteps steps;
    steps.save = [](const WorkImage&, const std::string& path, DibBuffer&) {
        std::ofstream(path) << "half";
        return SaveResult{false, "disk full"};
    };
    for (ExistingPolicy policy : {ExistingPolicy::kSkip, ExistingPolicy::kRename}) {
        const BatchReport report = Run({"photo.png", "tiles.bmp"}, policy, steps);
        EXPECT_EQ(report.written, 0);
        EXPECT_THAT(Written(), ElementsAre("photo.TGA"));
        ASSERT_FALSE(report.failures.empty());
        EXPECT_THAT(report.failures.back().reason, HasSubstr("disk full"));
    }
}

TEST_P(ExistingOutputsTest, ALaterEntryWithTheSameOutputFailsAndIsNotLoaded) {
    std::filesystem::remove(Out() / "photo.TGA");
    std::filesystem::copy_file(In() / "tiles.bmp", In() / "photo.bmp");
    std::mutex loadedMutex;
    std::vector<std::string> loaded;
    ImageFileSteps steps;
    steps.load = [&](const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
        {
            const std::lock_guard lock(loadedMutex);
            loaded.push_back(std::filesystem::path(path).filename().string());
        }
        return LoadWorkImage(path, buffer, limits);
    };
    const BatchReport report = Run({"photo.bmp", "photo.png"}, ExistingPolicy::kReplace, steps);
    EXPECT_THAT(loaded, ElementsAre("photo.bmp"));
    EXPECT_EQ(report.written, 1);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].name, "photo.png");
    EXPECT_THAT(report.failures[0].reason, HasSubstr("photo.bmp"));
}

TEST_P(ExistingOutputsTest, OwnInputIsReplacedUnderItsOwnSpelling) {
    settings.outputFolder = settings.inputFolder;
    settings.formatText = "*.PNG";
    const BatchReport report = Run({"photo.png"}, ExistingPolicy::kReplace);
    EXPECT_EQ(report.written, 1);
    EXPECT_FALSE(std::filesystem::exists(In() / "photo.PNG"));
    QImage readBack(QString::fromStdString((In() / "photo.png").string()));
    EXPECT_EQ(readBack.pixel(0, 0), qRgb(255 - 10, 255 - 20, 255 - 200));
}

TEST_P(ExistingOutputsTest, FoldersBelowTheOutputFolderAreMadeAsNeeded) {
    std::filesystem::create_directories(In() / "a" / "b");
    std::filesystem::copy_file(In() / "photo.png", In() / "a" / "b" / "deep.png");
    const BatchReport report = Run({"a/b/deep.png"}, ExistingPolicy::kReplace);
    EXPECT_EQ(report.written, 1);
    EXPECT_TRUE(testing::ReadTgaFile(Out() / "a" / "b" / "deep.TGA").has_value());
}

TEST_P(ExistingOutputsTest, APlannedOutputIsSavedBeforeALaterEntryLoadsIt) {
    // in/a.png goes to in/out/a.PNG, which the later entry "out/a.PNG"
    // reads: it must see the filtered picture, so twice inverted is the
    // original.
    settings.outputFolder = (In() / "out").string();
    settings.formatText = "*.PNG";
    std::filesystem::create_directories(In() / "out");
    std::filesystem::copy_file(In() / "photo.png", In() / "a.png");
    std::ofstream(In() / "out" / "a.PNG") << "stale";
    std::atomic<int> saves = 0;
    ImageFileSteps steps;
    steps.save = [&](const WorkImage& image, const std::string& path, DibBuffer& buffer) {
        if (saves++ == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return SaveWorkImage(image, path, buffer);
    };
    const RunPlan plan = PlanRun({"a.png", "out/a.PNG"}, settings, ExistingPolicy::kReplace);
    ASSERT_EQ(plan.entries[0].outcome, PlannedOutcome::kReplacesExisting);
    const BatchReport report = Run(plan, steps);
    EXPECT_EQ(report.written, 2);
    EXPECT_THAT(report.failures, IsEmpty());
    QImage twice(QString::fromStdString((In() / "out" / "out" / "a.PNG").string()));
    ASSERT_FALSE(twice.isNull());
    EXPECT_EQ(twice.pixel(0, 0), qRgb(10, 20, 200));
}

INSTANTIATE_TEST_SUITE_P(Jobs, ExistingOutputsTest, ::testing::Values(1, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "jobs" + std::to_string(info.param);
                         });

TEST(OutputClaim, TwoWritersNeverTakeTheSameName) {
    ScratchFolder scratch;
    const std::string base = scratch / "photo.TGA";
    constexpr int kClaims = 40;
    std::vector<ClaimResult> claims(kClaims);
    {
        std::vector<std::jthread> writers;
        for (int i = 0; i < kClaims; ++i) {
            writers.emplace_back(
                [&, i] { claims[static_cast<size_t>(i)] = ClaimOutputName(base, 1, true); });
        }
    }
    std::set<std::string> names;
    for (ClaimResult& claim : claims) {
        ASSERT_EQ(claim.status, ClaimStatus::kClaimed);
        names.insert(claim.path);
        claim.claim.Keep();
    }
    EXPECT_EQ(names.size(), static_cast<size_t>(kClaims));
    EXPECT_EQ(ClaimOutputName(base, 1, false).status, ClaimStatus::kTaken);

    ClaimResult unkept = ClaimOutputName(scratch / "other.TGA", 1, false);
    ASSERT_EQ(unkept.status, ClaimStatus::kClaimed);
    EXPECT_TRUE(std::filesystem::exists(scratch / "other.TGA"));
    unkept = {};
    EXPECT_FALSE(std::filesystem::exists(scratch / "other.TGA"));

    EXPECT_EQ(ClaimOutputName(scratch / "no/such/a.TGA", 1, true).status, ClaimStatus::kFailed);
}

}  // namespace
}  // namespace tinta
