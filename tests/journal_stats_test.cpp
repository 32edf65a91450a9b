// The statistics on a prepared journal: accuracy per character with the
// period filter, the confusions, the missed callsigns newest first, the
// re-drill's inputs, and the progress of finished exercises. Characters are
// compared position by position, as the scoring counts errors.
#include "journal/JournalStats.h"
#include "tests/support/Cp1251Literal.h"
#include "tests/support/JournalTestSupport.h"

#include <utility>

using namespace tonvik;

namespace {

using Answers = std::vector<std::pair<std::string, std::string>>; // sent, typed

JournalTime DaysAgo(int days, int seconds = 0) {
    return TestTime(-days * 86400 + seconds);
}

class JournalStatsTest : public JournalTest {
protected:
    void SetUp() override {
        JournalTest::SetUp();
        ASSERT_TRUE(Recorder.Open(Path).Ok());
        // 40 days ago, 10 days ago and today.
        Add(40, ExerciseKind::Callsign, EndReason::Completed, {{"UB5K", "U65K"}, {"UB5K", "UB5K"}});
        Add(10, ExerciseKind::Callsign, EndReason::Stopped,
            {{"UA3ABC", "UA3A6C"}, {"DL1XYZ", "DL1XY"}});
        Add(0, ExerciseKind::MissedCallsDrill, EndReason::Completed,
            {{"OK2AB", "0K2AB"}, {"OK2AB", "OK2AB"}, {"R3A", "R3A"}});
        ASSERT_TRUE(Reader.Open(Path).Ok());
    }

    void Add(int daysAgo, ExerciseKind kind, EndReason reason, const Answers& answers,
             int maxWpm = 30, double points = 100) {
        ExerciseStart start = CallsignStart(DaysAgo(daysAgo));
        start.Kind = kind;
        ASSERT_TRUE(Recorder.BeginExercise(start));
        int number = 0;
        for (const auto& [sent, typed] : answers) {
            ++number;
            ASSERT_TRUE(Recorder.RecordAnswer(
                ScoredAnswer(number, sent, typed, 30, 0, DaysAgo(daysAgo, number))));
        }
        ASSERT_TRUE(
            Recorder.EndExercise(CallsignEnd(DaysAgo(daysAgo, 60), reason, points, maxWpm)));
        ASSERT_TRUE(Recorder.Flush());
    }

    const CharacterStat* Find(const std::vector<CharacterStat>& stats, const std::string& c) {
        for (const CharacterStat& stat : stats)
            if (stat.Character == c)
                return &stat;
        return nullptr;
    }

    Journal Recorder;
    JournalReader Reader;
};

} // namespace

TEST_F(JournalStatsTest, AccuracyPerCharacterWorstFirst) {
    const auto stats = CharacterAccuracy(Reader, StatsPeriod::AllTime, TestTime());
    EXPECT_FALSE(Reader.Failed());
    // Z once sent and missing from the answer; O typed as 0 once of twice;
    // B typed as 6 twice of five times; then every character always right,
    // by character.
    std::vector<std::string> order;
    for (const CharacterStat& stat : stats)
        order.push_back(stat.Character);
    EXPECT_EQ(order, (std::vector<std::string>{"Z", "O", "B", "1", "2", "3", "5", "A", "C", "D",
                                               "K", "L", "R", "U", "X", "Y"}));
    ASSERT_EQ(stats.size(), 16u);
    EXPECT_EQ(stats[0].Sent, 1);
    EXPECT_EQ(stats[0].Wrong, 1);
    EXPECT_DOUBLE_EQ(stats[0].AccuracyPercent, 0);
    EXPECT_EQ(stats[2].Sent, 5);
    EXPECT_EQ(stats[2].Wrong, 2);
    EXPECT_DOUBLE_EQ(stats[2].AccuracyPercent, 60);
    const CharacterStat* a = Find(stats, "A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Sent, 5); // twice in UA3ABC
    EXPECT_DOUBLE_EQ(a->AccuracyPercent, 100);
}

TEST_F(JournalStatsTest, ThePeriodCoversTodayAndTheDaysBefore) {
    EXPECT_EQ(PeriodStartDay(StatsPeriod::LastWeek, TestTime()), "2024-03-03");
    EXPECT_EQ(PeriodStartDay(StatsPeriod::LastMonth, TestTime()), "2024-02-09");
    EXPECT_EQ(PeriodStartDay(StatsPeriod::AllTime, TestTime()), "");

    const auto week = CharacterAccuracy(Reader, StatsPeriod::LastWeek, TestTime());
    ASSERT_FALSE(week.empty());
    EXPECT_EQ(week[0].Character, "O");
    EXPECT_EQ(Find(week, "Z"), nullptr);
    EXPECT_EQ(Find(week, "B")->Sent, 2);

    const auto month = CharacterAccuracy(Reader, StatsPeriod::LastMonth, TestTime());
    ASSERT_GE(month.size(), 3u);
    EXPECT_EQ(month[0].Character, "Z");
    EXPECT_EQ(month[1].Character, "O");
    EXPECT_EQ(month[2].Character, "B");
    EXPECT_EQ(month[2].Sent, 3); // UB5K of 40 days ago left out
    EXPECT_EQ(month[2].Wrong, 1);
    EXPECT_EQ(Find(month, "5"), nullptr);
}

TEST_F(JournalStatsTest, ConfusionsMostFrequentFirstWithoutMissingCharacters) {
    const auto all = Confusions(Reader, StatsPeriod::AllTime, TestTime(), 10);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Sent, "B");
    EXPECT_EQ(all[0].Typed, "6");
    EXPECT_EQ(all[0].Count, 2);
    EXPECT_EQ(all[1].Sent, "O");
    EXPECT_EQ(all[1].Typed, "0");
    EXPECT_EQ(all[1].Count, 1);
    EXPECT_EQ(Confusions(Reader, StatsPeriod::AllTime, TestTime(), 1).size(), 1u);
    const auto week = Confusions(Reader, StatsPeriod::LastWeek, TestTime(), 10);
    ASSERT_EQ(week.size(), 1u);
    EXPECT_EQ(week[0].Sent, "O");
}

TEST_F(JournalStatsTest, CyrillicCharactersComeBackAsCp1251) {
    Add(0, ExerciseKind::Callsign, EndReason::Completed, {{Cp1251("ЭХО"), Cp1251("ЭХЩ")}});
    const auto confusions = Confusions(Reader, StatsPeriod::LastWeek, TestTime(), 10);
    ASSERT_EQ(confusions.size(), 2u);
    // One each: O -> 0, and the Cyrillic О -> Щ, by character.
    EXPECT_EQ(confusions[0].Sent, "O");
    EXPECT_EQ(confusions[1].Sent, Cp1251("О"));
    EXPECT_EQ(confusions[1].Typed, Cp1251("Щ"));
    const auto rates = CharacterMissRates(Reader);
    EXPECT_DOUBLE_EQ(rates[static_cast<unsigned char>(Cp1251("О")[0])], 1.0);
    EXPECT_DOUBLE_EQ(rates[static_cast<unsigned char>(Cp1251("Э")[0])], 0.0);
}

TEST_F(JournalStatsTest, MissedCallsNewestFirstAPageAtATime) {
    const auto missed = MissedCalls(Reader, 10);
    ASSERT_EQ(missed.size(), 4u);
    EXPECT_EQ(missed[0].Sent, "OK2AB");
    EXPECT_EQ(missed[0].Typed, "0K2AB");
    EXPECT_EQ(missed[0].Answered, DaysAgo(0, 1));
    EXPECT_EQ(missed[0].Wpm, 30);
    EXPECT_EQ(missed[1].Sent, "DL1XYZ");
    EXPECT_EQ(missed[2].Sent, "UA3ABC");
    EXPECT_EQ(missed[3].Sent, "UB5K");
    const auto page = MissedCalls(Reader, 2, 1);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].Sent, "DL1XYZ");
    EXPECT_EQ(page[1].Sent, "UA3ABC");
}

TEST_F(JournalStatsTest, TheReDrillTakesEachMissedCallsignOnceNewestFirst) {
    Add(0, ExerciseKind::Callsign, EndReason::Completed, {{"UA3ABC", "UA3AB"}});
    EXPECT_EQ(RecentlyMissedCallsigns(Reader, 30),
              (std::vector<std::string>{"UA3ABC", "OK2AB", "DL1XYZ", "UB5K"}));
    EXPECT_EQ(RecentlyMissedCallsigns(Reader, 2), (std::vector<std::string>{"UA3ABC", "OK2AB"}));
}

TEST_F(JournalStatsTest, MissRatesWeighTheCharactersMissedMost) {
    const auto rates = CharacterMissRates(Reader);
    EXPECT_DOUBLE_EQ(rates['Z'], 1.0);
    EXPECT_DOUBLE_EQ(rates['O'], 0.5);
    EXPECT_DOUBLE_EQ(rates['B'], 0.4);
    EXPECT_DOUBLE_EQ(rates['U'], 0.0);
    EXPECT_DOUBLE_EQ(rates['Q'], 0.0); // never sent
}

TEST_F(JournalStatsTest, ProgressHoldsFinishedPlainCallsignExercisesOldestFirst) {
    Add(5, ExerciseKind::Callsign, EndReason::Completed, {{"R3A", "R3A"}}, 44, 6000);
    Add(1, ExerciseKind::WeakCharactersDrill, EndReason::Completed, {{"R3A", "R3A"}}, 50, 7000);
    const auto series = ProgressSeries(Reader);
    // The one of 40 days ago and the one of 5 days ago; not the stopped one of
    // 10 days ago, nor the drills.
    ASSERT_EQ(series.size(), 2u);
    EXPECT_EQ(series[0].Started, DaysAgo(40));
    EXPECT_EQ(series[0].MaxWpm, 30);
    EXPECT_EQ(series[1].Started, DaysAgo(5));
    EXPECT_EQ(series[1].MaxWpm, 44);
    EXPECT_EQ(series[1].TotalPoints, 6000);
}
