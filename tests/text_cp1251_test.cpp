#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>

using tonvik::Cp1251ToUtf8;
using tonvik::FromCp1251;
using tonvik::ToCp1251;
using tonvik::Utf8ToCp1251;

namespace {

std::string AllBytes() {
    std::string bytes;
    for (int code = 0; code < 256; ++code)
        bytes.push_back(static_cast<char>(code));
    return bytes;
}

} // namespace

TEST(Cp1251, RussianLettersHaveTheirCodePageBytes) {
    EXPECT_EQ(Utf8ToCp1251("АЯая"), "\xC0\xDF\xE0\xFF");
    EXPECT_EQ(Utf8ToCp1251("Привет"), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(Utf8ToCp1251("Ёё№ЪЬ"), "\xA8\xB8\xB9\xDA\xDC");
    EXPECT_EQ(Utf8ToCp1251("«—»"), "\xAB\x97\xBB");
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2, \xB9 5"), "Привет, № 5");
}

TEST(Cp1251, EveryByteSurvivesTheRoundTrip) {
    const std::string bytes = AllBytes();
    const QString text = FromCp1251(bytes);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(ToCp1251(text), bytes);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(bytes)), bytes);
}

TEST(Cp1251, NulBytesDoNotEndTheText) {
    const std::string bytes("a\0b\0", 4);
    EXPECT_EQ(FromCp1251(bytes).size(), 4);
    EXPECT_EQ(ToCp1251(FromCp1251(bytes)), bytes);
}

TEST(Cp1251, CharactersOutsideTheCodePageAreDropped) {
    EXPECT_EQ(Utf8ToCp1251("Мир😀 中文 ok"), "\xCC\xE8\xF0  ok");
    EXPECT_EQ(Utf8ToCp1251("a\u2028b\uFFFDc\u0416"), "abc\xC6");
    EXPECT_EQ(Utf8ToCp1251("😀😀😀"), "");
    for (char c : Utf8ToCp1251("Ελληνικά 日本語 🎉 ∑ ☃"))
        EXPECT_NE(c, '\x1A');
}

TEST(Cp1251, RealSubstituteCharacterIsKeptBesideDroppedOnes) {
    // U+001A stands for itself even where the encoder also writes it for a dropped character.
    EXPECT_EQ(Utf8ToCp1251("\x1A"), "\x1A");
    EXPECT_EQ(Utf8ToCp1251("x\x1A中y😀\x1Az"), "x\x1Ay\x1Az");
}

TEST(Cp1251, LoneSurrogatesAreDropped) {
    QString text = QStringLiteral("a");
    text.append(QChar(0xD800));
    text.append(QChar('b'));
    text.append(QChar(0xDC00));
    text.append(QChar(0x0416)); // Ж
    EXPECT_EQ(ToCp1251(text), "ab\xC6");
}

TEST(Cp1251, InvalidUtf8IsDropped) {
    EXPECT_EQ(Utf8ToCp1251("a\xFF"
                           "b\xC0\x80"
                           "c\xED\xA0\x80"
                           "d\xD0"),
              "abcd");
}

TEST(Cp1251, EmptyStaysEmpty) {
    EXPECT_EQ(Utf8ToCp1251(""), "");
    EXPECT_EQ(Cp1251ToUtf8(""), "");
    EXPECT_TRUE(FromCp1251("").isEmpty());
}
