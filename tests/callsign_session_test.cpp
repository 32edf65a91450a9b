// The figures of a callsign exercise: start, answers, replays and the move
// to the next callsign.
#include "base/Random.h"
#include "callsign/CallsignSession.h"

#include <gtest/gtest.h>

#include <set>

using namespace tonvik;

namespace {

TEST(CallsignSession, BeginResetsEveryFigure) {
    CallsignSession session;
    session.Begin();
    session.Answer("UA3ABC ", "UA3ABC", 30, false, false);
    session.Answer("UA3ABC ", "UA3", 32, false, false);
    session.Begin();
    EXPECT_EQ(session.CallNumber(), 1);
    EXPECT_EQ(session.ReplayFactor(), 1.0L);
    EXPECT_EQ(session.ErrorCount(), 0);
    EXPECT_EQ(session.TotalPoints(), 0.0);
    EXPECT_EQ(session.MaxWpm(), 0);
    EXPECT_EQ(session.ShownTotal(), "0");
}

TEST(CallsignSession, AnswersAddUpAndTheShownTotalFollowsTheLabels) {
    CallsignSession session;
    session.Begin();
    session.Answer("UA3ABC ", "UA3ABC", 30, false, false); // 540
    EXPECT_EQ(session.ShownTotal(), "540");
    EXPECT_EQ(session.MaxWpm(), 32);
    session.Answer("UA3ABC ", "UA3ABD", 32, false, true); // 296, labels held by the fixed tone
    EXPECT_EQ(session.TotalPoints(), 836.0);
    EXPECT_EQ(session.ShownTotal(), "540");
    EXPECT_EQ(session.ErrorCount(), 1);
    EXPECT_EQ(session.CallWpm(), 32);
}

TEST(CallsignSession, NothingKeyedIsNothingScored) {
    CallsignSession session;
    session.Begin();
    const AnswerOutcome outcome = session.Answer("", "UA3ABC", 30, false, false);
    EXPECT_FALSE(outcome.Evaluated);
    EXPECT_EQ(session.TotalPoints(), 0.0);
    EXPECT_EQ(session.CallWpm(), 0);
}

TEST(CallsignSession, ReplaysHalveAndNextCallStartsWhereKeyingStands) {
    CallsignSession session;
    session.Begin();
    PlayState state;
    state.PlayText = "UA3ABC DL1XYZ ";
    state.CallStartPos = 1;
    state.PlayPos = 8;
    state.SentText = "UA3ABC ";
    for (long double factor : {0.5L, 0.25L, 0.125L}) {
        session.Replay(state);
        EXPECT_EQ(session.ReplayFactor(), factor);
        EXPECT_EQ(state.PlayPos, 1);
        EXPECT_TRUE(state.SentText.empty());
        state.PlayPos = 8;
        state.SentText = "UA3ABC ";
    }
    session.NextCall(state);
    EXPECT_EQ(session.CallNumber(), 2);
    EXPECT_EQ(session.ReplayFactor(), 1.0L);
    EXPECT_EQ(state.CallStartPos, 8);
    EXPECT_TRUE(state.SentText.empty());
}

TEST(CallsignSession, VariedToneLiesFromFiftyBelowToFortyNineAbove) {
    Random random(1957);
    std::set<long double> tones;
    for (int n = 0; n < 5000; ++n)
        tones.insert(CallsignSession::VariedTone(8, random));
    EXPECT_EQ(*tones.begin(), 750.0L);
    EXPECT_EQ(*tones.rbegin(), 849.0L);
    EXPECT_EQ(tones.size(), 100u);
}

} // namespace
