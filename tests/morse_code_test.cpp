#include "keying/MorseCode.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using tonvik::MorseCode;

namespace {

std::string Pattern(unsigned char code) {
    return std::string(MorseCode(code));
}

} // namespace

TEST(MorseCode, CountsPatternsAndEmptyEntries) {
    int withPattern = 0;
    for (int code = 32; code <= 255; ++code)
        withPattern += MorseCode(static_cast<unsigned char>(code)).empty() ? 0 : 1;
    EXPECT_EQ(withPattern, 104);
    EXPECT_EQ(224 - withPattern, 120);
}

TEST(MorseCode, EmptyRangesHaveNoPattern) {
    auto expectEmpty = [](int from, int to) {
        for (int code = from; code <= to; ++code)
            EXPECT_EQ(Pattern(static_cast<unsigned char>(code)), "") << "code " << code;
    };
    expectEmpty(32, 46);
    expectEmpty(58, 62);
    expectEmpty(64, 64);
    expectEmpty(91, 127);
    expectEmpty(128, 167);
    expectEmpty(169, 183);
    expectEmpty(185, 191);
    EXPECT_EQ(Pattern(','), "");
    EXPECT_EQ(Pattern('.'), "");
    EXPECT_EQ(Pattern('-'), "");
    EXPECT_EQ(Pattern(0xB9), ""); // numero sign
}

TEST(MorseCode, LatinAndRussianShareOnePattern) {
    EXPECT_EQ(Pattern('K'), "-.-");
    EXPECT_EQ(Pattern(0xCA), "-.-"); // К
    EXPECT_EQ(Pattern(0xEA), "-.-"); // к
    EXPECT_EQ(Pattern('X'), "-..-");
    EXPECT_EQ(Pattern(0xDA), "-..-"); // Ъ
    EXPECT_EQ(Pattern(0xDC), "-..-"); // Ь
    EXPECT_EQ(Pattern(0xFA), "-..-"); // ъ
    EXPECT_EQ(Pattern(0xFC), "-..-"); // ь
    EXPECT_EQ(Pattern(0xA8), ".");    // Ё
    EXPECT_EQ(Pattern(0xB8), ".");    // ё
    EXPECT_EQ(Pattern('?'), "..--..");
    EXPECT_EQ(Pattern(0xDD), "..-.."); // Э
    EXPECT_EQ(Pattern('/'), "-..-.");
    EXPECT_EQ(Pattern('0'), "-----");
    EXPECT_EQ(Pattern('9'), "----.");
    EXPECT_EQ(Pattern(0xD7), "---."); // Ч
    EXPECT_EQ(Pattern(0xD8), "----"); // Ш
    EXPECT_EQ(Pattern(0xDE), "..--"); // Ю
    EXPECT_EQ(Pattern(0xDF), ".-.-"); // Я
}

TEST(MorseCode, EveryRussianLetterHasAPatternInBothCases) {
    for (int code = 0xC0; code <= 0xDF; ++code) {
        EXPECT_FALSE(Pattern(static_cast<unsigned char>(code)).empty()) << code;
        EXPECT_EQ(Pattern(static_cast<unsigned char>(code)),
                  Pattern(static_cast<unsigned char>(code + 32)))
            << code;
    }
    for (int code = 'a'; code <= 'z'; ++code)
        EXPECT_EQ(Pattern(static_cast<unsigned char>(code)), "") << code;
}

TEST(MorseCode, PatternsAreWellFormedAndOnlyQuestionMarkHasSix) {
    for (int code = 33; code <= 255; ++code) {
        const std::string p = Pattern(static_cast<unsigned char>(code));
        EXPECT_LE(p.size(), 6u);
        EXPECT_EQ(p.find_first_not_of(".-"), std::string::npos) << code;
        if (p.size() == 6) {
            EXPECT_EQ(code, '?');
        }
    }
    EXPECT_EQ(Pattern(32), "");
    EXPECT_EQ(Pattern(0), "");
}

// Decoding every pattern back gives exactly the characters that share it:
// the Latin/Russian pairs, Ё with Е, and Ъ/Ь with X.
TEST(MorseCode, RoundTripGroupsCharactersByPattern) {
    std::map<std::string, std::set<int>> byPattern;
    for (int code = 32; code <= 255; ++code) {
        const std::string p = Pattern(static_cast<unsigned char>(code));
        if (!p.empty())
            byPattern[p].insert(code);
    }
    EXPECT_EQ(byPattern.size(), 43u); // distinct patterns
    EXPECT_EQ(byPattern["-..-"], (std::set<int>{'X', 0xDA, 0xDC, 0xFA, 0xFC}));
    EXPECT_EQ(byPattern["."], (std::set<int>{'E', 0xA8, 0xB8, 0xC5, 0xE5}));
    EXPECT_EQ(byPattern["---."], (std::set<int>{0xD7, 0xF7}));
    EXPECT_EQ(byPattern["..--.."], (std::set<int>{'?'}));
    for (const auto& [pattern, codes] : byPattern) {
        for (int code : codes)
            EXPECT_EQ(Pattern(static_cast<unsigned char>(code)), pattern);
    }
}
