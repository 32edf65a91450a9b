// Conversion between the widgets' text and CP1251 bytes.
#include "WindowText.h"

#include <gtest/gtest.h>

namespace tonvik {
namespace {

TEST(WindowText, RussianAndLatinBecomeCp1251) {
    EXPECT_EQ(WindowText::ToCp1251(QString("Прием CQ ёЁ№")),
              "\xCF\xF0\xE8\xE5\xEC CQ \xB8\xA8\xB9");
    EXPECT_EQ(WindowText::FromCp1251("\xCF\xF0\xE8\xE5\xEC CQ \xB8\xA8\xB9"),
              QString("Прием CQ ёЁ№"));
}

TEST(WindowText, EveryLetterSurvivesTheRoundTrip) {
    std::string letters;
    for (int code = 0xC0; code <= 0xFF; ++code)
        letters.push_back(static_cast<char>(code));
    EXPECT_EQ(WindowText::ToCp1251(WindowText::FromCp1251(letters)), letters);
}

TEST(WindowText, CharactersOutsideCp1251AreDroppedNotReplaced) {
    // A CJK character, an emoji and a Greek letter have no CP1251 byte.
    EXPECT_EQ(WindowText::ToCp1251(QString("A\u4E2D\U0001F600B\u03A9C")), "ABC");
    EXPECT_EQ(WindowText::ToCp1251(QString("\u4E2D")), "");
}

TEST(WindowText, FilesAreDecodedAsUtf8OrCp1251) {
    EXPECT_EQ(WindowText::DecodeFile(QString("Тест").toUtf8()), QString("Тест"));
    EXPECT_EQ(WindowText::DecodeFile("\xEF\xBB\xBF" + QString("Тест").toUtf8()), QString("Тест"));
    EXPECT_EQ(WindowText::DecodeFile("\xD2\xE5\xF1\xF2"), QString("Тест"));
    EXPECT_EQ(WindowText::DecodeFile("plain ASCII"), QString("plain ASCII"));
    EXPECT_EQ(WindowText::DecodeFile(QByteArray()), QString());
}

} // namespace
} // namespace tonvik
