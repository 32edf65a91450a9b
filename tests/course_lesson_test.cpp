#include "course/CopyAlignment.h"
#include "course/KochOrder.h"
#include "course/LessonDraw.h"
#include "keying/MorseCode.h"
#include "support/Cp1251Literal.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace tonvik;

namespace {

std::string WithoutSpaces(const std::string& spaced) {
    std::string out;
    for (char c : spaced)
        if (c != ' ')
            out += c;
    return out;
}

TEST(KochOrder, LatinOrderIsTheOnlineCoursesOrder) {
    EXPECT_EQ(CourseOrder(CourseKind::Latin),
              WithoutSpaces("K M U R E S N A P T L W I J Z F O Y V G 5 / Q 9 2 H 3 8 B ? 4 7 C "
                            "1 D 6 0 X"));
    EXPECT_EQ(LessonCount(CourseKind::Latin), 37);
}

TEST(KochOrder, CyrillicOrderHoldsEveryRussianSoundOnce) {
    const std::string order = CourseOrder(CourseKind::Cyrillic);
    EXPECT_EQ(order, Cp1251(WithoutSpaces("К М У Р Е С Н А П Т Л В И Й З Ф О Ы Ж Г Я Ч Ш Ю Э "
                                          "5 / Щ 9 2 Х 3 8 Б ? 4 7 Ц 1 Д 6 0 Ь")));
    std::set<std::string_view> sounds;
    for (unsigned char c : order) {
        EXPECT_FALSE(MorseCode(c).empty()) << int(c);
        EXPECT_TRUE(sounds.insert(MorseCode(c)).second) << "two characters sound alike: " << int(c);
    }
    // Every Russian capital's sound is in the course (Ё and Ъ sound as Е and Ь).
    for (int c = 0xC0; c <= 0xDF; ++c)
        EXPECT_TRUE(sounds.count(MorseCode(static_cast<unsigned char>(c)))) << c;
}

TEST(KochOrder, LessonNUsesTheFirstNPlusOneCharacters) {
    struct Case {
        CourseKind Course;
        int Lesson;
        std::string Set;
    };
    const Case cases[] = {
        {CourseKind::Latin, 1, "KM"},
        {CourseKind::Latin, 2, "KMU"},
        {CourseKind::Latin, 5, "KMURES"},
        {CourseKind::Latin, 20, "KMURESNAPTLWIJZFOYVG5"},
        {CourseKind::Latin, 37, "KMURESNAPTLWIJZFOYVG5/Q92H38B?47C1D60X"},
        {CourseKind::Latin, 0, "KM"}, // below the first: the first
        {CourseKind::Latin, 99, "KMURESNAPTLWIJZFOYVG5/Q92H38B?47C1D60X"},
        {CourseKind::Cyrillic, 1, Cp1251("КМ")},
        {CourseKind::Cyrillic, 21, Cp1251("КМУРЕСНАПТЛВИЙЗФОЫЖГЯЧ")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LessonCharacters(c.Course, c.Lesson), c.Set) << c.Lesson;
    for (int lesson = 1; lesson <= LessonCount(CourseKind::Latin); ++lesson) {
        const std::string set = LessonCharacters(CourseKind::Latin, lesson);
        ASSERT_EQ(set.size(), static_cast<size_t>(lesson + 1));
        EXPECT_EQ(NewestCharacter(CourseKind::Latin, lesson),
                  static_cast<unsigned char>(set.back()));
    }
}

// Share of each character over many draws.
std::map<char, double> Shares(LessonDraw& draw, int count) {
    std::map<char, double> shares;
    for (int i = 0; i < count; ++i)
        shares[static_cast<char>(draw.Next())] += 1.0 / count;
    return shares;
}

TEST(LessonDraw, NewestCharacterIsDrawnTwiceAsOften) {
    const std::string set = LessonCharacters(CourseKind::Latin, 4); // KMURE
    LessonDraw draw(set, DrawWeights(set, {}), 7);
    const auto shares = Shares(draw, 200000);
    // Four at weight 1, the newest at 2: 1/6 and 2/6.
    for (char c : std::string("KMUR"))
        EXPECT_NEAR(shares.at(c), 1.0 / 6, 0.006) << c;
    EXPECT_NEAR(shares.at('E'), 2.0 / 6, 0.006);
}

TEST(LessonDraw, CharactersTheUserMissesAreDrawnMoreOften) {
    const std::string set = "KMURES";
    std::map<unsigned char, CharacterRecord> history;
    history['K'] = {100, 0};
    history['M'] = {100, 50};  // missed half the time
    history['U'] = {100, 100}; // missed every time
    history['R'] = {3, 3};     // too few answers to say
    LessonDraw draw(set, DrawWeights(set, history), 11);
    const auto shares = Shares(draw, 300000);
    // Weights K 1, M 2, U 3, R 1, E 1, S 2 (newest): 10 in all.
    const std::map<char, double> expected{{'K', 0.1}, {'M', 0.2}, {'U', 0.3},
                                          {'R', 0.1}, {'E', 0.1}, {'S', 0.2}};
    for (const auto& [c, share] : expected)
        EXPECT_NEAR(shares.at(c), share, 0.005) << c;
}

TEST(LessonDraw, GroupsAreFiveCharactersOfTheSetAndRepeatWithTheSeed) {
    const std::string set = "KMU";
    LessonDraw a(set, DrawWeights(set, {}), 42), b(set, DrawWeights(set, {}), 42);
    const std::string text = a.Groups(20);
    EXPECT_EQ(text, b.Groups(20));
    ASSERT_EQ(text.size(), 120u);
    for (size_t i = 0; i < text.size(); ++i) {
        if (i % 6 == 5)
            EXPECT_EQ(text[i], ' ');
        else
            EXPECT_NE(set.find(text[i]), std::string::npos) << text;
    }
    EXPECT_EQ(GroupsForMinutes(2, 10), 20);
}

TEST(CopyAlignment, OneSlipCostsOneCharacter) {
    struct Case {
        const char* Name;
        std::string Sent, Copied;
        int Right, Errors;
        std::string Kinds; // R right, W wrong, M missed, X extra
    };
    const Case cases[] = {
        {"all right", "KMUREKMURE", "kmure kmure", 10, 0, "RRRRRRRRRR"},
        {"a dropped character", "KMURE SNAPT", "KMRE SNAPT", 9, 1, "RRMRRRRRRR"},
        {"an inserted character", "KMURE SNAPT", "KMUXRE SNAPT", 10, 1, "RRRXRRRRRRR"},
        {"a wrong character", "KMURE", "KMARE", 4, 1, "RRWRR"},
        {"a swapped pair", "KMURE", "KMRUE", 3, 2, "RRWWR"},
        {"an empty copy", "KMURE", "", 0, 5, "MMMMM"},
        {"a missed group", "KMURE SNAPT LWIJZ", "KMURE LWIJZ", 10, 5, "RRRRRMMMMMRRRRR"},
        {"nothing sent", "", "KM", 0, 2, "XX"},
    };
    for (const Case& c : cases) {
        const CopyScore score = AlignCopy(c.Sent, c.Copied);
        std::string kinds;
        for (const AlignedPair& p : score.Pairs)
            kinds += "RWMX"[static_cast<int>(p.What)];
        EXPECT_EQ(score.Right, c.Right) << c.Name;
        EXPECT_EQ(score.Errors, c.Errors) << c.Name;
        EXPECT_EQ(kinds, c.Kinds) << c.Name;
    }
}

TEST(CopyAlignment, RussianLettersAreComparedAsCapitals) {
    const CopyScore score = AlignCopy(Cp1251("КМУРЕ"), Cp1251("кмуре"));
    EXPECT_EQ(score.Right, 5);
    EXPECT_DOUBLE_EQ(score.Percent(), 100.0);
}

TEST(CopyAlignment, AHugeCopyIsAlignedAndItsTailCountedExtra) {
    const CopyScore score = AlignCopy("KMURE", "KMURE" + std::string(100000, 'K'));
    EXPECT_EQ(score.Right, 5);
    EXPECT_EQ(score.Errors, 100000);
}

TEST(LessonGate, OpensTheNextLessonAtNinetyPercent) {
    struct Case {
        int Sent, Copied;
        bool Passes;
    };
    // Copies of a sent text with the last characters missed.
    const Case cases[] = {{100, 90, true}, {100, 89, false}, {100, 100, true}, {10, 9, true},
                          {10, 8, false},  {30, 27, true},   {31, 27, false},  {0, 0, false}};
    for (const Case& c : cases) {
        const std::string sent(static_cast<size_t>(c.Sent), 'K');
        const CopyScore score = AlignCopy(sent, sent.substr(0, static_cast<size_t>(c.Copied)));
        EXPECT_EQ(PassesLesson(score), c.Passes) << c.Copied << " of " << c.Sent;
    }
}

} // namespace
