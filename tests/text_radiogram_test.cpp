#include "base/Random.h"
#include "text/GenCodeUnit.h"
#include "text/Radiogram.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using tonvik::MakeRadiogram;
using tonvik::Random;
using tonvik::RandomInRange;

namespace {

struct Kind {
    int Index;
    int First;
    int Last;
};

constexpr Kind Digits{tonvik::RadiogramDigits, 0x30, 0x39};
constexpr Kind Russian{tonvik::RadiogramRussian, 0xC0, 0xDF};
constexpr Kind Latin{tonvik::RadiogramLatin, 0x41, 0x5A};

// Every group is five characters of the kind and two spaces.
void ExpectGroups(const std::string& radiogram, const Kind& kind, int groups) {
    ASSERT_EQ(radiogram.size(), static_cast<size_t>(groups) * 7);
    for (size_t pos = 0; pos < radiogram.size(); ++pos) {
        const int code = static_cast<unsigned char>(radiogram[pos]);
        if (pos % 7 >= 5) {
            EXPECT_EQ(code, ' ') << pos;
        } else {
            EXPECT_GE(code, kind.First) << pos;
            EXPECT_LE(code, kind.Last) << pos;
        }
    }
}

std::set<int> CharactersOf(const std::string& radiogram) {
    std::set<int> codes;
    for (char c : radiogram) {
        if (c != ' ')
            codes.insert(static_cast<unsigned char>(c));
    }
    return codes;
}

} // namespace

TEST(RandomInRange, StaysInsideAndReachesBothEnds) {
    Random random(3);
    std::set<int> seen;
    for (int n = 0; n < 2000; ++n) {
        const int value = RandomInRange(random, 0xC0, 0xC7);
        ASSERT_GE(value, 0xC0);
        ASSERT_LE(value, 0xC7);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_EQ(RandomInRange(random, 0x41, 0x41), 0x41);
    EXPECT_EQ(RandomInRange(random, 0, 0), 0);
}

TEST(MakeRadiogram, LengthIsSevenPerGroup) {
    Random random(1);
    for (const Kind& kind : {Digits, Russian, Latin}) {
        for (int groups : {1, 30, 100}) {
            SCOPED_TRACE(kind.Index);
            ExpectGroups(MakeRadiogram(kind.Index, groups, random), kind, groups);
        }
    }
    EXPECT_EQ(MakeRadiogram(tonvik::RadiogramLatin, 30, random).size(), 210u);
    EXPECT_EQ(MakeRadiogram(tonvik::RadiogramLatin, 100, random).size(), 700u);
    EXPECT_EQ(MakeRadiogram(tonvik::RadiogramDigits, 1, random).size(), 7u);
}

TEST(MakeRadiogram, NoGroupsForZeroOrNegativeCounts) {
    Random random(1);
    EXPECT_EQ(MakeRadiogram(tonvik::RadiogramLatin, 0, random), "");
    EXPECT_EQ(MakeRadiogram(tonvik::RadiogramDigits, -5, random), "");
}

TEST(MakeRadiogram, UnknownKindGivesNothing) {
    Random random(1);
    EXPECT_EQ(MakeRadiogram(-1, 10, random), "");
    EXPECT_EQ(MakeRadiogram(3, 10, random), "");
}

TEST(MakeRadiogram, RussianGroupsNeverHoldTheHardSign) {
    Random random(20);
    std::string all;
    for (int n = 0; n < 100; ++n)
        all += MakeRadiogram(tonvik::RadiogramRussian, 100, random); // 10,000 groups
    ExpectGroups(all, Russian, 10000);
    const std::set<int> codes = CharactersOf(all);
    EXPECT_FALSE(codes.contains(0xDA));
    EXPECT_TRUE(codes.contains(0xDC)); // the soft sign may occur
    EXPECT_EQ(codes.size(), 31u);
}

TEST(MakeRadiogram, EveryCharacterOfTheKindTurnsUp) {
    Random random(21);
    EXPECT_EQ(CharactersOf(MakeRadiogram(tonvik::RadiogramDigits, 100, random)).size(), 10u);
    EXPECT_EQ(CharactersOf(MakeRadiogram(tonvik::RadiogramLatin, 100, random)).size(), 26u);
}

TEST(MakeRadiogram, SameSeedSameRadiogram) {
    Random first(99);
    Random second(99);
    EXPECT_EQ(MakeRadiogram(tonvik::RadiogramRussian, 30, first),
              MakeRadiogram(tonvik::RadiogramRussian, 30, second));
}

TEST(MakeRadiogram, FilterDropsAllGroupsUnderFourLettersAndKeepsThemFromFive) {
    Random random(7);
    for (const Kind& kind : {Digits, Russian, Latin}) {
        const std::string radiogram = MakeRadiogram(kind.Index, 30, random);
        const std::string lines = tonvik::WindowLines(radiogram);
        EXPECT_EQ(*tonvik::FilterWords(lines, 0), "");
        EXPECT_EQ(*tonvik::FilterWords(lines, 1), "");
        for (int k = 2; k <= 4; ++k)
            EXPECT_EQ(*tonvik::FilterWords(lines, k), radiogram);
    }
}

TEST(MakeRadiogram, IsAlreadyCleanAndKeyedUnchanged) {
    Random random(8);
    for (const Kind& kind : {Digits, Russian, Latin}) {
        const std::string radiogram = MakeRadiogram(kind.Index, 30, random);
        EXPECT_EQ(tonvik::CleanText(tonvik::WindowLines(radiogram)), radiogram);
        EXPECT_EQ(tonvik::TextPlayText(radiogram), radiogram);
    }
}
