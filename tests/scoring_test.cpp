#include "callsign/Scoring.h"

#include "tests/support/Cp1251Literal.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tonvik;

namespace {

AnswerInput Answer(std::string_view sent, std::string_view typed, int speed = 30) {
    AnswerInput input;
    input.SentText = sent;
    input.InputText = typed;
    input.SpeedPosition = speed;
    return input;
}

} // namespace

TEST(CountErrors, ComparesEveryCallsignPositionButNotTheTrailingSpace) {
    EXPECT_EQ(CountErrors("UA3ABC ", "UA3ABC "), 0);
    EXPECT_EQ(CountErrors("UA3ABC ", "UA3ABD "), 1);
    EXPECT_EQ(CountErrors("UA3ABC ", "XA3ABD "), 2);
    // Only the answer's space stands at the callsign's last position.
    EXPECT_EQ(CountErrors("UA3ABC ", "UA3AB "), 1);
    // Positions past the end of the answer are mismatches.
    EXPECT_EQ(CountErrors("UA3ABC ", " "), 6);
    EXPECT_EQ(CountErrors("UA3ABC ", ""), 6);
    // Extra characters of a longer answer are never compared.
    EXPECT_EQ(CountErrors("UA3ABC ", "UA3ABCDEF "), 0);
    // Case counts.
    EXPECT_EQ(CountErrors("UA3ABC ", "ua3abc "), 5);
    // Nothing to compare.
    EXPECT_EQ(CountErrors(" ", "X "), 0);
    EXPECT_EQ(CountErrors("", "X "), 0);
}

TEST(CallPoints, FollowsTheFourthPowerOfTheRightShare) {
    EXPECT_DOUBLE_EQ(CallPoints(6, 0, 1.0L, 30), 5400.0);
    EXPECT_DOUBLE_EQ(CallPoints(6, 0, 0.5L, 30), 2700.0);
    EXPECT_DOUBLE_EQ(CallPoints(6, 1, 1.0L, 30), 2604.0 + 1.0 / 6.0);
    EXPECT_DOUBLE_EQ(CallPoints(6, 6, 1.0L, 30), 0.0);
    EXPECT_DOUBLE_EQ(CallPoints(2, 1, 0.5L, 20), 25.0);
    EXPECT_DOUBLE_EQ(CallPoints(5, 0, 0.25L, 100), 12500.0);
    // An empty callsign has nothing to measure and must not give NaN.
    EXPECT_EQ(CallPoints(0, 0, 1.0L, 30), 0.0);
    EXPECT_EQ(CallPoints(-1, 0, 1.0L, 30), 0.0);
}

TEST(RoundPoints, RoundsHalvesToEven) {
    EXPECT_EQ(RoundPoints(5400.0), 540.0);
    EXPECT_EQ(RoundPoints(2604.0 + 1.0 / 6.0), 260.0);
    EXPECT_EQ(RoundPoints(25.0), 2.0);
    EXPECT_EQ(RoundPoints(35.0), 4.0);
    EXPECT_EQ(RoundPoints(15.0), 2.0);
    EXPECT_EQ(RoundPoints(5.0), 0.0);
    EXPECT_EQ(RoundPoints(26.0), 3.0);
    EXPECT_EQ(RoundPoints(24.9), 2.0);
}

TEST(FormatPoints, PrintsIntegralValuesWithoutSeparator) {
    EXPECT_EQ(FormatPoints(0.0), "0");
    EXPECT_EQ(FormatPoints(540.0), "540");
    EXPECT_EQ(FormatPoints(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatPoints(1e15), "1E15");
    EXPECT_EQ(FormatPoints(2.5e20), "2.5E20");
    EXPECT_EQ(FormatPoints(1.5e-7), "1.5E-7");
    EXPECT_EQ(FormatPoints(2604.5), "2604.5");
}

TEST(EvaluateAnswer, RightFirstAnswerRaisesTheSpeed) {
    AnswerOutcome out = EvaluateAnswer(Answer("UA3ABC ", "UA3ABC"));
    ASSERT_TRUE(out.Evaluated);
    EXPECT_TRUE(out.Right);
    EXPECT_EQ(out.ErrorCount, 0);
    EXPECT_EQ(out.CallWpm, 30);
    EXPECT_DOUBLE_EQ(out.CallPoints, 5400.0);
    EXPECT_EQ(out.Points, 540.0);
    EXPECT_EQ(out.TotalPoints, 540.0);
    EXPECT_EQ(out.SpeedPosition, 32);
    EXPECT_EQ(out.MaxWpm, 32);
    EXPECT_TRUE(out.UpdateLabels);
    EXPECT_EQ(out.PointText, "540");
    EXPECT_EQ(out.TotalText, "540");
    EXPECT_EQ(out.ErrorLine, "");
}

TEST(EvaluateAnswer, ReplayedRightAnswerKeepsTheSpeed) {
    AnswerInput input = Answer("UA3ABC ", "UA3ABC");
    input.ReplayFactor = 0.5L;
    input.TotalPoints = 540.0;
    AnswerOutcome out = EvaluateAnswer(input);
    EXPECT_TRUE(out.Right);
    EXPECT_DOUBLE_EQ(out.CallPoints, 2700.0);
    EXPECT_EQ(out.Points, 270.0);
    EXPECT_EQ(out.SpeedPosition, 30);
    EXPECT_EQ(out.MaxWpm, 30);
    EXPECT_EQ(out.TotalText, "810");

    input.MaxWpm = 34;
    EXPECT_EQ(EvaluateAnswer(input).MaxWpm, 34);
    input.ReplayFactor = 0.25L;
    EXPECT_EQ(EvaluateAnswer(input).Points, 135.0);
}

TEST(EvaluateAnswer, WrongLastCharacterLowersTheSpeedAndIsListed) {
    AnswerInput input = Answer("UA3ABC ", "UA3ABD");
    input.MaxWpm = 32;
    input.TotalPoints = 540.0;
    AnswerOutcome out = EvaluateAnswer(input);
    EXPECT_FALSE(out.Right);
    EXPECT_EQ(out.ErrorCount, 1);
    EXPECT_DOUBLE_EQ(out.CallPoints, 2604.0 + 1.0 / 6.0);
    EXPECT_EQ(out.Points, 260.0);
    EXPECT_EQ(out.SpeedPosition, 29);
    EXPECT_EQ(out.MaxWpm, 32);
    EXPECT_EQ(out.PointText, "260");
    EXPECT_EQ(out.TotalText, "800");
    EXPECT_EQ(out.ErrorLine, "UA3ABC  --> UA3ABD");
    EXPECT_EQ(out.ErrorLineSentLength, 7);
}

TEST(EvaluateAnswer, EmptyAnswerScoresNothing) {
    AnswerOutcome out = EvaluateAnswer(Answer("UA3ABC ", ""));
    EXPECT_FALSE(out.Right);
    EXPECT_EQ(out.ErrorCount, 6);
    EXPECT_EQ(out.Points, 0.0);
    EXPECT_EQ(out.PointText, "0");
    EXPECT_EQ(out.ErrorLine, "UA3ABC  --> ");
    EXPECT_EQ(out.SpeedPosition, 29);
}

TEST(EvaluateAnswer, LongerAnswerIsWrongButScoresInFull) {
    AnswerOutcome out = EvaluateAnswer(Answer("UA3ABC ", "UA3ABCD"));
    EXPECT_FALSE(out.Right);
    EXPECT_EQ(out.ErrorCount, 0);
    EXPECT_EQ(out.Points, 540.0);
    EXPECT_EQ(out.SpeedPosition, 29);
    EXPECT_EQ(out.MaxWpm, 0);
    EXPECT_EQ(out.ErrorLine, "UA3ABC  --> UA3ABCD");
}

TEST(EvaluateAnswer, HalfPointsRoundToEven) {
    AnswerInput input = Answer("UA ", "UB", 20);
    input.ReplayFactor = 0.5L;
    AnswerOutcome out = EvaluateAnswer(input);
    EXPECT_EQ(out.ErrorCount, 1);
    EXPECT_DOUBLE_EQ(out.CallPoints, 25.0);
    EXPECT_EQ(out.Points, 2.0);
    EXPECT_EQ(out.PointText, "2");
}

TEST(EvaluateAnswer, SpeedStaysWithinTheTrackBarRange) {
    EXPECT_EQ(EvaluateAnswer(Answer("UA3ABC ", "X", 10)).SpeedPosition, 10);
    EXPECT_EQ(EvaluateAnswer(Answer("UA3ABC ", "X", 11)).SpeedPosition, 10);
    AnswerOutcome at99 = EvaluateAnswer(Answer("UA3ABC ", "UA3ABC", 99));
    EXPECT_EQ(at99.SpeedPosition, 100);
    EXPECT_EQ(at99.MaxWpm, 100);
    // The callsign was keyed at 99, and it is scored at 99.
    EXPECT_DOUBLE_EQ(at99.CallPoints, 6.0 * 99 * 99);
    EXPECT_EQ(EvaluateAnswer(Answer("UA3ABC ", "UA3ABC", 100)).SpeedPosition, 100);
}

TEST(EvaluateAnswer, FixBoxesGateSpeedAndLabels) {
    AnswerInput speedFixed = Answer("UA3ABC ", "UA3ABC");
    speedFixed.SpeedFixed = true;
    AnswerOutcome out = EvaluateAnswer(speedFixed);
    EXPECT_EQ(out.SpeedPosition, 30);
    EXPECT_EQ(out.MaxWpm, 30); // reached without a raise
    EXPECT_FALSE(out.UpdateLabels);
    EXPECT_EQ(out.PointText, "");
    EXPECT_EQ(out.TotalText, "");
    EXPECT_EQ(out.TotalPoints, 540.0); // the total grows all the same
    speedFixed.InputText = "UA3";
    EXPECT_EQ(EvaluateAnswer(speedFixed).SpeedPosition, 30);

    AnswerInput toneFixed = Answer("UA3ABC ", "UA3ABC");
    toneFixed.ToneFixed = true;
    out = EvaluateAnswer(toneFixed);
    EXPECT_EQ(out.SpeedPosition, 32);
    EXPECT_FALSE(out.UpdateLabels);
    EXPECT_EQ(out.TotalPoints, 540.0);
}

TEST(EvaluateAnswer, NothingKeyedIgnoresTheEnter) {
    AnswerInput input = Answer("", "UA3ABC");
    input.MaxWpm = 40;
    input.TotalPoints = 100.0;
    AnswerOutcome out = EvaluateAnswer(input);
    EXPECT_FALSE(out.Evaluated);
    EXPECT_FALSE(out.UpdateLabels);
    EXPECT_EQ(out.ErrorLine, "");
}

TEST(EvaluateAnswer, EmptyCallsignsScoreWithoutNaN) {
    // A lone space: the empty answer matches, there is nothing to score.
    AnswerOutcome lone = EvaluateAnswer(Answer(" ", ""));
    EXPECT_TRUE(lone.Right);
    EXPECT_EQ(lone.Points, 0.0);
    EXPECT_EQ(lone.PointText, "0");
    // A callsign keyed after an empty one starts with its space and cannot match.
    AnswerOutcome shifted = EvaluateAnswer(Answer(" UA3ABC ", "UA3ABC"));
    EXPECT_FALSE(shifted.Right);
    EXPECT_EQ(shifted.ErrorCount, 7);
    EXPECT_EQ(shifted.Points, 0.0);
}
