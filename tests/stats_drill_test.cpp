// The re-drills' draw: the missed callsigns newest first and repeated to 30,
// the weak-characters weighting and its share of the draw, with the last line
// of the list never drawn as for a normal exercise.
#include "base/Random.h"
#include "callsign/CallsignList.h"
#include "journal/JournalReader.h"
#include "stats/DrillDraw.h"
#include "tests/support/Cp1251Literal.h"
#include "tests/support/JournalTestSupport.h"

#include <algorithm>
#include <map>
#include <set>

using namespace tonvik;

namespace {

MissRates NoMisses() {
    MissRates rates{};
    return rates;
}

MissRates Missing(char c, double rate) {
    MissRates rates{};
    rates[static_cast<unsigned char>(c)] = rate;
    return rates;
}

// How often each callsign came in drills drills of the list.
std::map<std::string, int> Draws(const std::string& listBytes, const MissRates& rates, int drills,
                                 uint64_t seed = 7) {
    const CallsignList list = CallsignList::FromBytes(listBytes);
    Random random(seed);
    std::map<std::string, int> counts;
    for (int n = 0; n < drills; ++n) {
        const auto calls = WeakCharactersDrill(list, rates, random);
        EXPECT_EQ(calls.size(), 30u);
        for (const std::string& call : calls)
            ++counts[call];
    }
    return counts;
}

} // namespace

TEST(MissedCallsDrill, FewerThanThirtyAreRepeatedInTurnNewestFirst) {
    const auto calls = MissedCallsDrill({"UA3ABC", "DL1XYZ", "OK2AB"});
    ASSERT_EQ(calls.size(), 30u);
    for (size_t n = 0; n < calls.size(); n += 3) {
        EXPECT_EQ(calls[n], "UA3ABC") << n;
        EXPECT_EQ(calls[n + 1], "DL1XYZ") << n;
        EXPECT_EQ(calls[n + 2], "OK2AB") << n;
    }
    EXPECT_EQ(MissedCallsDrill({"R3A"}), std::vector<std::string>(30, "R3A"));
    // Seven do not divide 30: the round stops after the second.
    const auto seven = MissedCallsDrill({"A1", "A2", "A3", "A4", "A5", "A6", "A7"});
    ASSERT_EQ(seven.size(), 30u);
    EXPECT_EQ(seven[27], "A7");
    EXPECT_EQ(seven[28], "A1");
    EXPECT_EQ(seven[29], "A2");
}

TEST(MissedCallsDrill, ThirtyOrMoreAreTakenOnceAndNoneGivesNone) {
    std::vector<std::string> many;
    for (int n = 0; n < 35; ++n)
        many.push_back('R' + std::to_string(n));
    const auto calls = MissedCallsDrill(many);
    EXPECT_EQ(calls, std::vector<std::string>(many.begin(), many.begin() + 30));
    EXPECT_TRUE(MissedCallsDrill(std::vector<std::string>{}).empty());
}

TEST(DrillPlayText, EachCallsignIsFollowedByOneSpaceAndNoneKeysASpace) {
    EXPECT_EQ(DrillPlayText({"UA3ABC", "DL1XYZ"}), "UA3ABC DL1XYZ ");
    EXPECT_EQ(DrillPlayText(MissedCallsDrill({"R3A"})).size(), 30u * 4);
    EXPECT_EQ(DrillPlayText({}), " ");
}

TEST_F(JournalTest, TheMissedCallsDrillComesFromTheJournalNewestFirst) {
    Journal journal;
    ASSERT_TRUE(journal.Open(Path).Ok());
    ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime())));
    // UA3ABC missed twice counts once, at its newest place; the right answer
    // and the empty callsign are no missed calls.
    const std::vector<std::pair<std::string, std::string>> answers{
        {"UA3ABC", "UA3AB"}, {"DL1XYZ", "DL1XYZ"}, {"OK2AB", "0K2AB"}, {"UA3ABC", ""},
        {"", "X"},           {"RK9F", "RK9"}};
    int number = 0;
    for (const auto& [sent, typed] : answers) {
        ++number;
        ASSERT_TRUE(
            journal.RecordAnswer(ScoredAnswer(number, sent, typed, 30, 0, TestTime(number))));
    }
    ASSERT_TRUE(journal.Flush());
    JournalReader reader;
    ASSERT_TRUE(reader.Open(Path).Ok());
    const auto calls = MissedCallsDrill(reader);
    ASSERT_EQ(calls.size(), 30u);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 4),
              (std::vector<std::string>{"RK9F", "UA3ABC", "OK2AB", "RK9F"}));
    EXPECT_EQ(calls[29], "OK2AB");
}

TEST(CallsignWeight, OneAndTheSquaresOfTenTimesEachCharactersMissShare) {
    EXPECT_DOUBLE_EQ(CallsignWeight("UA3ABC", NoMisses()), 1);
    EXPECT_DOUBLE_EQ(CallsignWeight("", Missing('Q', 1)), 1);
    // Missed one time in two: 1 + 5^2.
    EXPECT_DOUBLE_EQ(CallsignWeight("DL1Q", Missing('Q', 0.5)), 26);
    // A character that comes twice counts twice.
    EXPECT_DOUBLE_EQ(CallsignWeight("QQ", Missing('Q', 0.5)), 51);
    EXPECT_DOUBLE_EQ(CallsignWeight("UB5B", Missing('B', 0.1)), 3);
    // Cyrillic characters are CP1251 bytes above 127.
    EXPECT_DOUBLE_EQ(CallsignWeight(Cp1251("РЖ3Ж"), Missing(Cp1251("Ж")[0], 0.2)), 9);
    // More misses, more weight.
    EXPECT_LT(CallsignWeight("DL1Q", Missing('Q', 0.2)), CallsignWeight("DL1Q", Missing('Q', 0.3)));
}

TEST(WeakCharactersDrill, ACallsignWithAMuchMissedCharacterTakesItsShare) {
    // Weights 1 and 26: DL1Q comes 26 times in 27; the last line is never drawn.
    const auto counts = Draws("UA3ABC\nDL1Q\nEND\n", Missing('Q', 0.5), 200);
    EXPECT_EQ(counts.count("END"), 0u);
    const double share = counts.at("DL1Q") / 6000.0;
    EXPECT_NEAR(share, 26.0 / 27, 0.012);
    // Never missed, still drawn.
    EXPECT_GT(counts.at("UA3ABC"), 100);
}

TEST(WeakCharactersDrill, WithoutMissesTheDrawIsUniform) {
    const auto counts = Draws("UA3ABC\nDL1XYZ\nOK2AB\nLAST\n", NoMisses(), 200);
    ASSERT_EQ(counts.size(), 3u);
    for (const auto& [call, count] : counts)
        EXPECT_NEAR(count / 6000.0, 1.0 / 3, 0.03) << call;
}

TEST(WeakCharactersDrill, TheListsEdgesAsForANormalExercise) {
    // One line: always that line, whatever it weighs.
    EXPECT_EQ(Draws("UA3ABC,Moscow\n", Missing('Q', 1), 2),
              (std::map<std::string, int>{{"UA3ABC", 60}}));
    // Two lines: always the first, even when the second is all weak characters.
    EXPECT_EQ(Draws("UA3ABC\nQQQQ\n", Missing('Q', 1), 2),
              (std::map<std::string, int>{{"UA3ABC", 60}}));
    // No lines, no callsigns: the play text is then a single space.
    Random random(1);
    EXPECT_TRUE(WeakCharactersDrill(CallsignList::FromBytes(""), NoMisses(), random).empty());
    // A line without a comma is taken whole, an empty one as an empty callsign.
    const auto counts = Draws("DL 1Q\n\nEND\n", Missing('Q', 0.5), 20);
    EXPECT_EQ(counts.size(), 2u);
    EXPECT_GT(counts.at("DL 1Q"), counts.at(""));
}

TEST(WeakCharactersDrill, TheSameSeedDrawsTheSameCallsigns) {
    const CallsignList list = CallsignList::FromBytes("UA3ABC\nDL1Q\nOK2AB\nR3A\nLAST\n");
    Random first(42), second(42), third(43);
    const auto a = WeakCharactersDrill(list, Missing('Q', 0.3), first);
    EXPECT_EQ(a, WeakCharactersDrill(list, Missing('Q', 0.3), second));
    EXPECT_NE(a, WeakCharactersDrill(list, Missing('Q', 0.3), third));
    // The draws are independent: not all one callsign, not in list order.
    const std::map<std::string, int> line{{"UA3ABC", 0}, {"DL1Q", 1}, {"OK2AB", 2}, {"R3A", 3}};
    std::vector<int> lines;
    for (const std::string& call : a)
        lines.push_back(line.at(call));
    EXPECT_GT(std::set<int>(lines.begin(), lines.end()).size(), 1u);
    EXPECT_FALSE(std::is_sorted(lines.begin(), lines.end()));
}
