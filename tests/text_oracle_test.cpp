// The fast clean-up and word filter against a step-by-step rendering of their
// rules, and the properties every cleaned text has, over many random texts.
#include "text/Cp1251.h"
#include "text/GenCodeUnit.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

using tonvik::CleanText;
using tonvik::FilterWords;
using tonvik::WindowLines;

namespace {

// ---- Slow reference: the rules applied one position at a time, 1-based as written ----

bool IsKept(unsigned char c) {
    return (c >= 0x30 && c <= 0x39) || (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) ||
           c >= 0xC0 || c == 0x20;
}

bool IsReplaced(unsigned char c) {
    return c == 0x0D || c == 0x21 || c == 0x2E || c == 0x2C || c == 0x2D || c == 0x0A ||
           c == 0x3F || c == 0x28 || c == 0x29 || c == 0xB9 || c == 0x22;
}

std::string ReferenceCleanText(std::string s) {
    size_t i = 1;
    while (i <= s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i - 1]);
        if (IsKept(c)) {
            ++i;
        } else if (IsReplaced(c)) {
            s[i - 1] = ' ';
            ++i;
        } else {
            s.erase(i - 1, 1);
        }
    }
    size_t j = 1;
    while (j < s.size()) {
        if (s[j - 1] != ' ') {
            ++j;
        } else if (s[j] != ' ') {
            s.insert(j, 1, ' ');
            j += 2;
        } else if (j + 2 > s.size() || s[j + 1] != ' ') {
            j += 2;
        } else {
            s.erase(j + 1, 1);
        }
    }
    return s;
}

// measureLastCharacter: the loop also runs when a stands on the last character,
// so a final one-character word is measured like any other (our choice; the
// steps as written stop one short of it).
std::optional<std::string> ReferenceFilterWords(std::string s, int k, bool measureLastCharacter) {
    if (k == -1)
        return std::nullopt;
    s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }),
            s.end());
    size_t a = 1;
    while (a < s.size() || (measureLastCharacter && a == s.size())) {
        size_t i = 0;
        while (a <= s.size() && s[a - 1] != ' ') {
            ++i;
            ++a;
        }
        if (static_cast<int>(i) > k + 3 || i == 1) {
            s.erase(a - i - 1, i + 2);
            a -= i;
        } else {
            a += 2;
        }
    }
    return s;
}

// ---- Random texts ----

constexpr int Rounds = 4000;

// Bytes weighted toward the ones that matter: letters, blanks, replaced and
// deleted characters, line breaks.
std::string RandomText(std::mt19937& engine) {
    static const std::string replaced = "\r\n!.,-?()\xB9\"";
    static const std::string deleted = std::string("\t'`;:\xA8\xB8\x98\0\x1A", 10);
    auto pick = [&engine](int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine); };
    std::string text;
    const int length = pick(60);
    for (int n = 0; n < length; ++n) {
        switch (pick(10)) {
        case 0:
        case 1:
            text += ' ';
            break;
        case 2:
            text += replaced[static_cast<size_t>(pick(static_cast<int>(replaced.size())))];
            break;
        case 3:
            text += deleted[static_cast<size_t>(pick(static_cast<int>(deleted.size())))];
            break;
        case 4:
            text += static_cast<char>(pick(256));
            break;
        default:
            text += "aZ5\xC0\xFF\xDA"[pick(6)];
            break;
        }
    }
    return text;
}

// One line; words of kept characters; every separator exactly two spaces; a
// non-empty text ends with one.
::testing::AssertionResult InWordFormat(const std::string& text) {
    if (!text.empty() && !text.ends_with("  "))
        return ::testing::AssertionFailure() << "no final separator: [" << text << "]";
    size_t run = 0;
    for (size_t pos = 0; pos <= text.size(); ++pos) {
        const unsigned char c = pos < text.size() ? static_cast<unsigned char>(text[pos]) : 'x';
        if (c == ' ') {
            ++run;
            continue;
        }
        if (run != 0 && run != 2)
            return ::testing::AssertionFailure() << "separator of " << run << ": [" << text << "]";
        run = 0;
        if (!IsKept(c))
            return ::testing::AssertionFailure() << "byte " << int(c) << ": [" << text << "]";
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(TextReference, AgreesOnTheHandWrittenCases) {
    EXPECT_EQ(ReferenceCleanText(tonvik::Utf8ToCp1251("ПРИВЕТ, МИР!\r\n")),
              tonvik::Utf8ToCp1251("ПРИВЕТ  МИР  "));
    EXPECT_EQ(*ReferenceFilterWords("ab  abc  abcd  a  ", 0, false), "ab  abc  ");
}

TEST(CleanTextProperties, MatchesTheReferenceOnAnyBytes) {
    std::mt19937 engine(1251);
    for (int round = 0; round < Rounds; ++round) {
        const std::string text = RandomText(engine);
        ASSERT_EQ(CleanText(text), ReferenceCleanText(text)) << "[" << text << "]";
        const std::string lines = WindowLines(text);
        ASSERT_EQ(CleanText(lines), ReferenceCleanText(lines)) << "[" << text << "]";
    }
}

TEST(CleanTextProperties, WindowTextAlwaysComesOutInWordFormat) {
    std::mt19937 engine(77);
    for (int round = 0; round < Rounds; ++round) {
        const std::string text = RandomText(engine);
        const std::string cleaned = CleanText(WindowLines(text));
        ASSERT_TRUE(InWordFormat(cleaned)) << "from [" << text << "]";
        ASSERT_EQ(cleaned.empty(), text.empty());
    }
}

TEST(CleanTextProperties, CleaningTwiceChangesNothing) {
    std::mt19937 engine(5);
    for (int round = 0; round < Rounds; ++round) {
        const std::string text = RandomText(engine);
        const std::string once = CleanText(text);
        ASSERT_EQ(CleanText(once), once) << "[" << text << "]";
        // And through the window: the cleaned line read back as lines.
        const std::string cleaned = CleanText(WindowLines(text));
        ASSERT_EQ(CleanText(WindowLines(cleaned)), cleaned) << "[" << text << "]";
    }
}

TEST(FilterWordsProperties, MatchesTheReferenceOnAnyBytes) {
    std::mt19937 engine(42);
    for (int round = 0; round < Rounds; ++round) {
        const std::string text = RandomText(engine);
        for (int k = -1; k <= 4; ++k)
            ASSERT_EQ(FilterWords(text, k), ReferenceFilterWords(text, k, true))
                << "k " << k << " [" << text << "]";
    }
}

TEST(FilterWordsProperties, OnWordFormatTheLastWordChoiceMakesNoDifference) {
    std::mt19937 engine(43);
    for (int round = 0; round < Rounds; ++round) {
        const std::string lines = WindowLines(CleanText(WindowLines(RandomText(engine))));
        for (int k = 0; k <= 4; ++k)
            ASSERT_EQ(FilterWords(lines, k), ReferenceFilterWords(lines, k, false))
                << "k " << k << " [" << lines << "]";
    }
}

TEST(FilterWordsProperties, KeepsWordFormatAndOnlyWordsInRange) {
    std::mt19937 engine(44);
    for (int round = 0; round < Rounds; ++round) {
        const std::string cleaned = CleanText(WindowLines(RandomText(engine)));
        for (int k = 0; k <= 4; ++k) {
            const std::string filtered = *FilterWords(WindowLines(cleaned), k);
            ASSERT_LE(filtered.size(), cleaned.size());
            ASSERT_TRUE(InWordFormat(filtered));
            ASSERT_EQ(*FilterWords(filtered, k), filtered);
            size_t start = 0;
            while ((start = filtered.find_first_not_of(' ', start)) != std::string::npos) {
                const size_t end = std::min(filtered.find(' ', start), filtered.size());
                ASSERT_GE(end - start, 2u) << "[" << filtered << "]";
                ASSERT_LE(end - start, static_cast<size_t>(k + 3)) << "[" << filtered << "]";
                start = end;
            }
        }
    }
}

TEST(FilterWordsProperties, NeverLengthensAnyText) {
    std::mt19937 engine(45);
    for (int round = 0; round < Rounds; ++round) {
        const std::string text = RandomText(engine);
        for (int k = 0; k <= 4; ++k)
            ASSERT_LE(FilterWords(text, k)->size(), text.size());
    }
}

TEST(CleanTextProperties, Utf8AndCp1251FilesCleanAlike) {
    // Pieces of Russian text in UTF-8, typographic marks that CP1251 holds among them.
    static const std::vector<std::string> pieces = {
        "привет", "Мир", "ёлка", "ЪЬЭЮЯ", "съезд", ", ", ". ", "! ",   "? ",  " — ", "«",
        "»",      "№ 5", "\n",   "\r\n",  "\t",    " ",  "-",  "(да)", "abc", "XYZ", "2024"};
    std::mt19937 engine(1998);
    for (int round = 0; round < Rounds / 4; ++round) {
        // Lower-case Russian letters make a CP1251 text invalid as UTF-8.
        std::string utf8 = "текст ";
        const int count = std::uniform_int_distribution<int>(0, 30)(engine);
        for (int n = 0; n < count; ++n)
            utf8 += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(engine)];
        const std::string cp1251 = tonvik::Utf8ToCp1251(utf8);
        const std::string fromUtf8 = tonvik::DecodeTextBytes(utf8, tonvik::TextEncoding::Auto);
        const std::string fromCp1251 = tonvik::DecodeTextBytes(cp1251, tonvik::TextEncoding::Auto);
        ASSERT_EQ(fromUtf8, cp1251) << utf8;
        ASSERT_EQ(CleanText(WindowLines(fromUtf8)), CleanText(WindowLines(fromCp1251))) << utf8;
    }
}
