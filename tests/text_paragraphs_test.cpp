// Where the text window breaks a text into paragraphs for display: after a
// separator where it can, within twice the paragraph length where it cannot.
#include "text/WindowParagraphs.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace tonvik;

namespace {

using Breaks = std::vector<std::size_t>;

// The lengths of the paragraphs the breaks make.
std::vector<std::size_t> Lengths(const std::string& text, const Breaks& breaks) {
    std::vector<std::size_t> lengths;
    std::size_t start = 0;
    for (const std::size_t at : breaks) {
        lengths.push_back(at - start);
        start = at;
    }
    lengths.push_back(text.size() - start);
    return lengths;
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

TEST(DisplayBreaks, BreakWordFormatAfterSeparatorsOnly) {
    std::mt19937 engine(7);
    const std::string text = WordFormat(2000, engine);
    const Breaks breaks = DisplayBreaks(text);
    ASSERT_GT(breaks.size(), 10u);
    const std::vector<std::size_t> lengths = Lengths(text, breaks);
    for (size_t n = 0; n < breaks.size(); ++n) {
        EXPECT_GE(lengths[n], WindowParagraphLength) << n;
        // The paragraph is cut at the first separator past the length.
        EXPECT_LE(lengths[n], WindowParagraphLength + 13) << n;
        EXPECT_EQ(text.substr(breaks[n] - 2, 2), "  ") << n;
        EXPECT_NE(text[breaks[n] - 3], ' ') << n;
        EXPECT_NE(text[breaks[n]], ' ') << n;
    }
}

TEST(DisplayBreaks, RunWithoutSpacesIsCutAtTwiceTheLength) {
    EXPECT_EQ(DisplayBreaks(std::string(5000, 'W')), (Breaks{2000, 4000}));
    EXPECT_EQ(DisplayBreaks("ABCDEFGHIJ", 2), (Breaks{4, 8}));
    // A separator past the length comes first.
    EXPECT_EQ(DisplayBreaks("ABC DEFGHIJ", 2), (Breaks{4, 8}));
    EXPECT_EQ(DisplayBreaks("AB  CD  EF  ", 2), (Breaks{4, 8}));
    // The largest radiogram, 100 groups of 700 characters, stays whole.
    std::string radiogram;
    for (int n = 0; n < 100; ++n)
        radiogram += "ABCDE  ";
    EXPECT_TRUE(DisplayBreaks(radiogram).empty());
    EXPECT_TRUE(DisplayBreaks("").empty());
    EXPECT_TRUE(DisplayBreaks(std::string(2000, 'W')).empty());
}

TEST(DisplayBreaks, NoneAtTheEndOrBesideALineBreak) {
    // A run of spaces reaching the end is not followed by a break.
    EXPECT_TRUE(DisplayBreaks("AB   ", 3).empty());
    EXPECT_TRUE(DisplayBreaks("ABCD", 2).empty());
    // Line breaks of the text restart the count and are never doubled.
    EXPECT_EQ(DisplayBreaks("ABC D\nE F G", 4), (Breaks{4, 10}));
    EXPECT_TRUE(DisplayBreaks("ABCD \nE", 3).empty());
    EXPECT_TRUE(DisplayBreaks("ABCD \r\nE", 3).empty());
    EXPECT_TRUE(DisplayBreaks("ABC\nDEF\r\nGHI", 2).empty());
    EXPECT_EQ(DisplayBreaks("ABCDE\nABCDE", 2), (Breaks{4, 10}));
}

// Any text: breaks ascend, fall inside the text, and leave no paragraph of
// more than twice the length.
TEST(DisplayBreaks, BoundEveryParagraph) {
    const std::string alphabet("AbZ09\xC0\xFF \t\r\n.,", 13);
    std::mt19937 engine(11);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const size_t size = engine() % 80;
        for (size_t n = 0; n < size; ++n)
            text.push_back(alphabet[engine() % alphabet.size()]);
        const size_t length = 1 + engine() % 8;
        const Breaks breaks = DisplayBreaks(text, length);
        std::size_t previous = 0;
        for (const std::size_t at : breaks) {
            ASSERT_GT(at, previous) << round;
            ASSERT_LT(at, text.size()) << round;
            ASSERT_NE(text[at], '\n') << round;
            ASSERT_NE(text[at - 1], '\n') << round;
            previous = at;
        }
        std::size_t run = 0;
        std::size_t next = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (next < breaks.size() && breaks[next] == i) {
                run = 0;
                ++next;
            }
            run = text[i] == '\n' || text[i] == '\r' ? 0 : run + 1;
            ASSERT_LE(run, 2 * length) << round;
        }
    }
}

} // namespace
