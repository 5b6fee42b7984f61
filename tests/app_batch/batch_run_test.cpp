#include "app/batch/batch_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>

#include "app/batch/batch_texts.h"
#include "batch_fixture.h"
#include "filterhost/pixel_callbacks.h"

namespace tinta {
namespace {

using testing::CopyTestModule;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::ReadTgaFile;

using BatchRunTest = testing::InvertRunTest<>;

TEST_F(BatchRunTest, FiltersEveryPictureAndReportsTheFileThatFailed) {
    const std::vector<std::string> names = Names();
    ASSERT_THAT(names, ElementsAre("[sub]", "alpha.png", "broken.png", "image.jpeg", "photo.png",
                                   "tiles.bmp"));

    const BatchReport report = BatchRun(names, settings, invert, observer);

    EXPECT_THAT(Written(), ElementsAre("alpha.TGA", "image.TGA", "photo.TGA", "tiles.TGA"));
    EXPECT_EQ(report.entries, 6);
    EXPECT_EQ(report.written, 4);
    EXPECT_EQ(report.folders, 1);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].name, "broken.png");
    EXPECT_THAT(
        FailureLines(report),
        ElementsAre("broken.png: 画像として読み込めませんでした（Unsupported image format）"));
    EXPECT_EQ(SummaryLine(report), "書き込み 4 件、失敗 1 件、フォルダー 1 件");
    EXPECT_EQ(observer.events.front(), "progress 0/6");
    EXPECT_EQ(observer.events[1], "start 0 [sub]");
    EXPECT_EQ(observer.events.back(), "progress 6/6");
    EXPECT_EQ(CurrentWorkImage, nullptr);
    EXPECT_TRUE(messages.texts.empty());

    for (const char* name : {"photo.TGA", "tiles.TGA"}) {
        const auto picture = ReadTgaFile(Out() / name);
        ASSERT_TRUE(picture.has_value()) << name;
        ASSERT_EQ(picture->width, 4);
        ASSERT_EQ(picture->height, 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const uint8_t* pixel = &picture->pixels[static_cast<size_t>((y * 4 + x) * 4)];
                EXPECT_EQ(pixel[0], 255 - 200) << name;
                EXPECT_EQ(pixel[1], 255 - (20 + 50 * y)) << name;
                EXPECT_EQ(pixel[2], 255 - (10 + 60 * x)) << name;
                EXPECT_EQ(pixel[3], 255) << name;
            }
        }
    }
    const auto jpeg = ReadTgaFile(Out() / "image.TGA");
    ASSERT_TRUE(jpeg.has_value());
    EXPECT_NEAR(jpeg->pixels[0], 155, 2);
}

TEST_F(BatchRunTest, EdgingColoursTransparentPixelsBeforeTheFilterWhenAsked) {
    BatchRun({"alpha.png"}, settings, invert, observer);
    const auto plain = ReadTgaFile(Out() / "alpha.TGA");
    settings.edging = true;
    BatchRun({"alpha.png"}, settings, invert, observer);
    const auto edged = ReadTgaFile(Out() / "alpha.TGA");
    ASSERT_TRUE(plain.has_value());
    ASSERT_TRUE(edged.has_value());

    // The opaque red pixel comes out cyan either way.
    for (const auto* picture : {&*plain, &*edged}) {
        EXPECT_THAT(std::vector<uint8_t>(picture->pixels.begin(), picture->pixels.begin() + 4),
                    ElementsAre(255, 255, 0, 255));
    }
    // Its transparent neighbour was black (inverted: white) and is red after
    // edging (inverted: cyan); alpha stays 0.
    EXPECT_THAT(std::vector<uint8_t>(plain->pixels.begin() + 4, plain->pixels.begin() + 8),
                ElementsAre(255, 255, 255, 0));
    EXPECT_THAT(std::vector<uint8_t>(edged->pixels.begin() + 4, edged->pixels.begin() + 8),
                ElementsAre(255, 255, 0, 0));
}

TEST_F(BatchRunTest, FilesThatCannotBeWrittenOrFoundAreReportedByName) {
    settings.outputFolder = (scratch.Path() / "no such folder").string();
    const BatchReport report = BatchRun({"photo.png", "gone.png"}, settings, invert, observer);
    ASSERT_EQ(report.failures.size(), 2u);
    EXPECT_EQ(report.failures[0].name, "photo.png");
    EXPECT_THAT(report.failures[0].reason, HasSubstr("書き込めませんでした"));
    EXPECT_EQ(report.failures[1].name, "gone.png");
    EXPECT_EQ(report.failures[1].reason, kNoSuchFileReason);
    EXPECT_EQ(report.written, 0);
}

TEST_F(BatchRunTest, WithoutFilterProcEveryFileIsSkippedAndReported) {
    const std::filesystem::path plugins = scratch.Path() / "tinta";
    CopyTestModule("procless", plugins, "procless.so");
    FilterHost procless(messages, plugins.string() + "/");
    procless.DiscoverModules();
    FilterHost none(messages, (scratch.Path() / "empty").string() + "/");
    none.DiscoverModules();

    for (FilterHost* host : {&procless, &none}) {
        const BatchReport report = BatchRun(Names(), settings, *host, observer);
        EXPECT_EQ(report.failures.size(), 5u);
        EXPECT_EQ(report.failures[0].name, "alpha.png");
        EXPECT_EQ(report.failures[0].reason, kNoFilterReason);
    }
    EXPECT_THAT(Written(), IsEmpty());
}

TEST_F(BatchRunTest, RunningOutOfMemoryStopsTheRunAfterOneMessage) {
    int loads = 0;
    ImageFileSteps steps;
    steps.load = [&](const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
        if (++loads == 2) {
            throw std::bad_alloc();
        }
        return LoadWorkImage(path, buffer, limits);
    };
    const BatchReport report = BatchRun({"photo.png", "tiles.bmp", "image.jpeg", "alpha.png"},
                                        settings, invert, observer, steps);

    EXPECT_THAT(observer.events, ElementsAre("progress 0/4", "start 0 photo.png", "progress 1/4",
                                             "start 1 tiles.bmp", "out of memory", "progress 4/4"));
    EXPECT_TRUE(report.outOfMemory);
    EXPECT_EQ(report.notProcessed, 2);
    EXPECT_EQ(loads, 2);
    EXPECT_THAT(Written(), ElementsAre("photo.TGA"));
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].name, "tiles.bmp");
    EXPECT_EQ(SummaryLine(report), "書き込み 1 件、失敗 1 件、未処理 2 件");
    EXPECT_EQ(CurrentWorkImage, nullptr);
}

TEST_F(BatchRunTest, EmptyListStillEndsTheRun) {
    const BatchReport report = BatchRun(std::vector<std::string>{}, settings, invert, observer);
    EXPECT_THAT(observer.events, ElementsAre("progress 0/0", "progress 0/0"));
    EXPECT_EQ(report.entries, 0);
    EXPECT_THAT(report.failures, IsEmpty());
}

}  // namespace
}  // namespace tinta
