// Callsign fields take a Cyrillic letter typed with the Russian layout as the
// Latin letter on the same key. The expectations are the rows of the standard
// Russian (ЙЦУКЕН) keyboard laid over the Latin (QWERTY) one.
#include "callsign/KeyboardLayout.h"

#include <gtest/gtest.h>

using namespace tonvik;

namespace {

struct KeyRow {
    std::u16string Latin;
    std::u16string Russian;
};

const KeyRow LetterRows[] = {
    {u"QWERTYUIOP", u"ЙЦУКЕНГШЩЗ"},
    {u"ASDFGHJKL", u"ФЫВАПРОЛД"},
    {u"ZXCVBNM", u"ЯЧСМИТЬ"},
};

std::u16string Lower(std::u16string text) {
    for (char16_t& c : text)
        c = static_cast<char16_t>(c + 0x20);
    return text;
}

} // namespace

TEST(KeyboardLayout, EveryCyrillicLetterOnALetterKeyGivesThatKeysLatinCapital) {
    for (const KeyRow& row : LetterRows) {
        EXPECT_EQ(LatinOnSameKeys(row.Russian), row.Latin);
        EXPECT_EQ(LatinOnSameKeys(Lower(row.Russian)), row.Latin);
    }
}

TEST(KeyboardLayout, TheSlashKeysDotAndCommaGiveSlashAndQuestionMark) {
    EXPECT_EQ(LatinOnSameKeys(u"ГФ3ФИС.З"), u"UA3ABC/P");
    EXPECT_EQ(LatinOnSameKeys(u","), u"?");
}

TEST(KeyboardLayout, WhatACallsignMayHoldAndCyrillicOnPunctuationKeysStayAsTheyAre) {
    const std::u16string kept = u"UA3ABC/P?0123456789 ХЪЖЭБЮЁхъжэбюё-№";
    EXPECT_EQ(LatinOnSameKeys(kept), kept);
    // Exactly 26 Cyrillic capitals change, one for each Latin letter.
    int changed = 0;
    for (char32_t c = U'\u0400'; c <= U'\u04FF'; ++c)
        if (LatinOnSameKey(c) != c)
            ++changed;
    EXPECT_EQ(changed, 2 * 26);
}
