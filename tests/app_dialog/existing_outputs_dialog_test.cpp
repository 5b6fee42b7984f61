// The question about existing outputs before a run, answered by the fake.
#include "app/dialog/existing_outputs_question.h"
#include "app_dialog/dialog_fixture.h"

namespace tinta::testing {
namespace {

TEST_F(DialogTest, RunAsksNothingWhenNoOutputExists) {
    Open();
    Get<QPushButton>(kIdRun)->click();
    EXPECT_EQ(fake_.existingCounts, 1);
    EXPECT_TRUE(fake_.existingQuestions.empty());
    ASSERT_EQ(fake_.jobs.size(), 1u);
    EXPECT_EQ(fake_.jobs[0].existing, ExistingOutputs::kReplace);
}

TEST_F(DialogTest, EachAnswerToTheQuestionBecomesTheRunsPolicy) {
    Open();
    fake_.existingOutputs = 3;
    for (ExistingOutputs answer :
         {ExistingOutputs::kReplace, ExistingOutputs::kSkip, ExistingOutputs::kRename}) {
        fake_.existingAnswer = answer;
        Get<QPushButton>(kIdRun)->click();
        ASSERT_FALSE(fake_.jobs.empty());
        EXPECT_EQ(fake_.jobs.back().existing, answer);
    }
    EXPECT_EQ(fake_.existingQuestions, std::vector<int>({3, 3, 3}));
    EXPECT_EQ(fake_.jobs.size(), 3u);
}

TEST_F(DialogTest, CancelInTheQuestionStartsNoRun) {
    Open();
    fake_.existingOutputs = 1;
    fake_.existingAnswer = std::nullopt;
    Get<QPushButton>(kIdRun)->click();
    EXPECT_TRUE(fake_.jobs.empty());
    EXPECT_TRUE(fake_.messages.empty());
    EXPECT_EQ(Get<QProgressBar>(kIdProgress)->value(), 0);
}

TEST(ExistingOutputsQuestion, SaysTheCount) {
    EXPECT_EQ(ExistingOutputsQuestion(12),
              QString::fromUtf8("出力先に同じ名前のファイルが 12 件あります。どうしますか?"));
}

}  // namespace
}  // namespace tinta::testing
