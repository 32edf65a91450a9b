// The text window's routines on the cases the trainer must get right.
#include "text/Cp1251.h"
#include "text/GenCodeUnit.h"

#include <gtest/gtest.h>

#include <string>

using tonvik::CleanText;
using tonvik::FilterWords;
using tonvik::StripLineBreaks;
using tonvik::TextPlayText;
using tonvik::WindowLines;

namespace {

// Russian literals are written in UTF-8 and used as CP1251.
std::string Cp(const char* utf8) {
    return tonvik::Utf8ToCp1251(utf8);
}

// What "Открыть файл" leaves in the window for a window holding plainText.
std::string Cleaned(const std::string& plainText) {
    return CleanText(WindowLines(plainText));
}

std::string Filtered(const std::string& plainText, int k) {
    return FilterWords(WindowLines(plainText), k).value_or("<untouched>");
}

} // namespace

TEST(WindowLines, EveryLineEndsInCrLf) {
    EXPECT_EQ(WindowLines(""), "");
    EXPECT_EQ(WindowLines("a"), "a\r\n");
    EXPECT_EQ(WindowLines("a\nb"), "a\r\nb\r\n");
    EXPECT_EQ(WindowLines("a\r\nb\rc"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(WindowLines("a\n\rb"), "a\r\n\r\nb\r\n"); // LF then a lone CR: two breaks
}

TEST(WindowLines, FinalBreakOpensNoEmptyLine) {
    EXPECT_EQ(WindowLines("a\n"), "a\r\n");
    EXPECT_EQ(WindowLines("a\r\n"), "a\r\n");
    EXPECT_EQ(WindowLines("a\r"), "a\r\n");
    EXPECT_EQ(WindowLines("\n"), "\r\n");
    EXPECT_EQ(WindowLines("a\n\n"), "a\r\n\r\n");
}

TEST(WindowLines, KeepsEveryOtherByte) {
    const std::string bytes("x\0\xFF\t y", 6);
    EXPECT_EQ(WindowLines(bytes), bytes + "\r\n");
}

TEST(CleanText, CommaAndExclamationMergeWithTheirBlanks) {
    EXPECT_EQ(CleanText(Cp("ПРИВЕТ, МИР!\r\n")), Cp("ПРИВЕТ  МИР  "));
    EXPECT_EQ(Cleaned(Cp("ПРИВЕТ, МИР!")), Cp("ПРИВЕТ  МИР  "));
}

TEST(CleanText, LeadingQuoteOrBlankLineGivesLeadingSeparator) {
    EXPECT_EQ(Cleaned(Cp("\"Да\", сказал он.")), Cp("  Да  сказал  он  "));
    EXPECT_EQ(Cleaned(Cp("\nПривет")), Cp("  Привет  "));
    EXPECT_EQ(Cleaned(Cp("   \n\n(Привет)")), Cp("  Привет  "));
}

TEST(CleanText, BlankLinesCollapseIntoOneSeparator) {
    EXPECT_EQ(Cleaned(Cp("Один.\n\n\n\nДва\r\n\r\n\r\nтри")), Cp("Один  Два  три  "));
}

TEST(CleanText, TabAndApostropheJoinWords) {
    EXPECT_EQ(Cleaned("rock'n'roll\tis here"), "rocknrollis  here  ");
    EXPECT_EQ(Cleaned(Cp("до\tсвидания")), Cp("досвидания  "));
}

TEST(CleanText, YoDisappears) {
    EXPECT_EQ(Cleaned(Cp("Ёлка и ёжик")), Cp("лка  и  жик  "));
}

TEST(CleanText, ReplacedCharactersSeparateWords) {
    for (char c : std::string("\r\n!.,-?()\xB9\"")) {
        const std::string text = std::string("ab") + c + "cd\r\n";
        EXPECT_EQ(CleanText(text), "ab  cd  ") << "byte " << int(static_cast<unsigned char>(c));
    }
}

TEST(CleanText, DeletedCharactersCloseUp) {
    static const char deletedBytes[] = "\t\0\x1A\x7F\x98\xA8\xB8\xBF'`;:/*_~[]{}@#$%^&=+<>|\\";
    const std::string deleted(deletedBytes, sizeof deletedBytes - 1);
    for (char c : deleted) {
        const std::string text = std::string("ab") + c + "cd\r\n";
        EXPECT_EQ(CleanText(text), "abcd  ") << "byte " << int(static_cast<unsigned char>(c));
    }
}

TEST(CleanText, KeptRangesEndWhereTheyShould) {
    const std::string kept = "09AZaz\xC0\xDA\xDF\xE0\xFF";
    EXPECT_EQ(CleanText(kept + "\r\n"), kept + "  ");
    for (char outside : std::string("/:@[`{\xBF"))
        EXPECT_EQ(CleanText(std::string(1, outside) + "x\r\n"), "x  ") << outside;
}

TEST(CleanText, DeletedCharacterInsideARunOfSpaces) {
    EXPECT_EQ(CleanText("a \t b\r\n"), "a  b  ");
    EXPECT_EQ(CleanText("a\t \tb\r\n"), "a  b  ");
}

TEST(CleanText, EmptyAndJunkOnlyTexts) {
    EXPECT_EQ(Cleaned(""), "");
    EXPECT_EQ(Cleaned(std::string("\x01\x02\0", 3)), "  ");
    EXPECT_EQ(Cleaned("\n\n"), "  ");
}

TEST(CleanText, SingleSpaceAtTheVeryEndIsNotDoubled) {
    // Window lines always end in CR LF; bare text keeps the spacing pass's own rule.
    EXPECT_EQ(CleanText("a "), "a ");
    EXPECT_EQ(CleanText("a!"), "a ");
    EXPECT_EQ(CleanText(" "), " ");
    EXPECT_EQ(CleanText("a  "), "a  ");
    EXPECT_EQ(CleanText("a    "), "a  ");
    EXPECT_EQ(CleanText(" a"), "  a");
}

TEST(FilterWords, NoLengthChosenLeavesTheWindowAlone) {
    EXPECT_FALSE(FilterWords("ab  c  \r\n", -1).has_value());
    EXPECT_FALSE(FilterWords("", -1).has_value());
    EXPECT_FALSE(FilterWords("ab  ", -7).has_value());
}

TEST(FilterWords, ThreeLettersKeepsTwoAndThreeLetterWords) {
    const std::string text = Cleaned(Cp("я ты дом окно в он кит рыба"));
    EXPECT_EQ(Filtered(text, 0), Cp("ты  дом  он  кит  "));
    EXPECT_EQ(Filtered(text, 1), Cp("ты  дом  окно  он  кит  рыба  "));
}

TEST(FilterWords, LongestKeptWordIsKPlusThree) {
    const std::string text = "ab  abc  abcd  abcde  abcdef  abcdefg  abcdefgh  ";
    EXPECT_EQ(Filtered(text, 0), "ab  abc  ");
    EXPECT_EQ(Filtered(text, 2), "ab  abc  abcd  abcde  ");
    EXPECT_EQ(Filtered(text, 4), "ab  abc  abcd  abcde  abcdef  abcdefg  ");
}

TEST(FilterWords, DigitsCountLikeLetters) {
    EXPECT_EQ(Filtered("12  1234  5  73  ", 0), "12  73  ");
}

TEST(FilterWords, StepsOverALeadingSeparator) {
    const std::string text = Cleaned(Cp("\"Да\", сказал он."));
    EXPECT_EQ(Filtered(text, 0), Cp("  Да  он  "));
}

TEST(FilterWords, LineBreaksGoFirst) {
    EXPECT_EQ(*FilterWords("ab  abcdef  \r\ncd  \r\n", 0), "ab  cd  ");
    EXPECT_EQ(*FilterWords("ab  \r\n", 0), "ab  ");
}

TEST(FilterWords, EmptyOrAllDroppedGivesEmpty) {
    EXPECT_EQ(Filtered("", 0), "");
    EXPECT_EQ(Filtered("a  b  abcdefgh  ", 0), "");
}

TEST(FilterWords, LastWordWithoutSeparatorIsMeasuredToo) {
    EXPECT_EQ(*FilterWords("ab  cde", 0), "ab  cde");
    EXPECT_EQ(*FilterWords("ab  cdefgh", 0), "ab  ");
    EXPECT_EQ(*FilterWords("ab  c", 0), "ab  ");
    EXPECT_EQ(*FilterWords("c", 0), "");
    EXPECT_EQ(*FilterWords("ab ", 0), "ab ");
}

TEST(FilterWords, UncleanedTextRunsTheSameSteps) {
    // After a dropped word its two following characters go, whatever they are.
    EXPECT_EQ(*FilterWords("x abc", 0), "bc");
    EXPECT_EQ(*FilterWords("abcdef ghi jkl", 0), "hi jkl");
    // After a kept word two characters are stepped over, so "d" is measured alone.
    EXPECT_EQ(*FilterWords("ab cd ef", 0), "ab c");
}

TEST(StripLineBreaks, RemovesOnlyCrAndLf) {
    EXPECT_EQ(StripLineBreaks(""), "");
    EXPECT_EQ(StripLineBreaks("\r\n\r\n"), "");
    EXPECT_EQ(StripLineBreaks(std::string("a\rb\nc\r\nd \t\0e", 12)), std::string("abcd \t\0e", 8));
}

TEST(TextPlayText, EmptyWindowKeysOneSpace) {
    EXPECT_EQ(TextPlayText(""), " ");
}

TEST(TextPlayText, TypedTextIsKeyedUpperCasedWithoutLineBreaks) {
    // Single spaces stay, and words split only by a line break run together.
    EXPECT_EQ(TextPlayText(Cp("hello мир\nworld Zz")), Cp("HELLO мирWORLD ZZ"));
    EXPECT_EQ(TextPlayText(Cp("Привет,  как\r\nдела?")), Cp("Привет,  какдела?"));
}

TEST(TextPlayText, OnlyLatinSmallLettersChangeCase) {
    const std::string all = [] {
        std::string bytes;
        for (int code = 1; code < 256; ++code)
            bytes.push_back(static_cast<char>(code));
        return StripLineBreaks(bytes);
    }();
    const std::string keyed = TextPlayText(all);
    ASSERT_EQ(keyed.size(), all.size());
    for (size_t pos = 0; pos < all.size(); ++pos) {
        const char c = all[pos];
        EXPECT_EQ(keyed[pos], c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) << pos;
    }
}

TEST(TextPlayText, CleanedTextIsKeyedAsItIs) {
    const std::string cleaned = Cleaned(Cp("ПРИВЕТ, МИР!"));
    EXPECT_EQ(TextPlayText(cleaned), cleaned);
}
