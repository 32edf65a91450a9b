// The paragraph breaks that keep a large text responsive in the window must
// change nothing that is keyed, cleaned or filtered.
#include "text/GenCodeUnit.h"
#include "text/WindowParagraphs.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace tonvik;

namespace {

std::vector<std::string> Paragraphs(const std::string& text) {
    std::vector<std::string> result(1);
    for (char c : text) {
        if (c == '\n')
            result.emplace_back();
        else
            result.back().push_back(c);
    }
    return result;
}

// Text in the word format: words of 1..12 letters, each followed by two spaces.
std::string WordFormat(size_t words, std::mt19937& engine) {
    std::string text;
    for (size_t n = 0; n < words; ++n) {
        text.append(1 + engine() % 12, static_cast<char>(0xC0 + engine() % 64));
        text += "  ";
    }
    return text;
}

TEST(BreakIntoParagraphs, BreaksWordFormatAfterSeparatorsOnly) {
    std::mt19937 engine(7);
    const std::string text = WordFormat(2000, engine);
    const std::string broken = BreakIntoParagraphs(text);
    const std::vector<std::string> paragraphs = Paragraphs(broken);
    ASSERT_GT(paragraphs.size(), 10u);
    for (size_t n = 0; n + 1 < paragraphs.size(); ++n) {
        const std::string& p = paragraphs[n];
        EXPECT_GE(p.size(), WindowParagraphLength) << n;
        // The paragraph is cut at the first separator past the length.
        EXPECT_LE(p.size(), WindowParagraphLength + 13) << n;
        EXPECT_EQ(p.substr(p.size() - 2), "  ") << n;
        EXPECT_NE(p[p.size() - 3], ' ') << n;
        EXPECT_NE(paragraphs[n + 1].front(), ' ') << n;
    }
    EXPECT_EQ(StripLineBreaks(broken), text);
}

TEST(BreakIntoParagraphs, LeavesShortAndUnbreakableTextsWhole) {
    EXPECT_EQ(BreakIntoParagraphs(""), "");
    // The largest radiogram: 100 groups, 700 characters.
    std::string radiogram;
    for (int n = 0; n < 100; ++n)
        radiogram += "ABCDE  ";
    EXPECT_EQ(BreakIntoParagraphs(radiogram), radiogram);
    const std::string oneWord(5000, 'W');
    EXPECT_EQ(BreakIntoParagraphs(oneWord), oneWord);
    // A run of spaces reaching the end is not followed by a break.
    EXPECT_EQ(BreakIntoParagraphs("AB   ", 2), "AB   ");
    EXPECT_EQ(BreakIntoParagraphs("AB  CD  EF  ", 2), "AB  \nCD  \nEF  ");
}

TEST(BreakIntoParagraphs, ExistingLineBreaksRestartTheCount) {
    EXPECT_EQ(BreakIntoParagraphs("ABC D\nE F G", 4), "ABC \nD\nE F \nG");
    // No empty paragraph is made before a line break that is already there.
    EXPECT_EQ(BreakIntoParagraphs("ABCD \nE", 2), "ABCD \nE");
    EXPECT_EQ(BreakIntoParagraphs("ABCD \r\nE", 2), "ABCD \r\nE");
}

// Any text, word format or not: what is keyed, cleaned and filtered is the
// same with the breaks as without them.
TEST(BreakIntoParagraphs, InvisibleToKeyingCleaningAndFiltering) {
    const std::string alphabet =
        std::string("AbZ09\xC0\xFF\xA8\xB8 \t\r\n.,-!?\"'\xA0\xB9", 22) + std::string(1, '\0');
    std::mt19937 engine(11);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const size_t size = engine() % 60;
        for (size_t n = 0; n < size; ++n)
            text.push_back(alphabet[engine() % alphabet.size()]);
        const size_t length = 1 + engine() % 8;
        const std::string broken = BreakIntoParagraphs(text, length);
        ASSERT_EQ(TextPlayText(broken), TextPlayText(text)) << round;
        const std::string cleaned = CleanText(WindowLines(text));
        ASSERT_EQ(CleanText(WindowLines(broken)), cleaned) << round;
        // The window is cleaned, shown in paragraphs, read back and filtered.
        const std::string shown = BreakIntoParagraphs(cleaned, length);
        for (int k = -1; k <= 4; ++k) {
            ASSERT_EQ(FilterWords(WindowLines(broken), k), FilterWords(WindowLines(text), k))
                << round << " k " << k;
            ASSERT_EQ(FilterWords(WindowLines(shown), k), FilterWords(cleaned, k))
                << round << " k " << k;
        }
    }
}

} // namespace
