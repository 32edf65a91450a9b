#include "course/Farnsworth.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tonvik;

namespace {

KeyerSettings TextAt(int wpm) {
    KeyerSettings s;
    s.DotSamples = 9600 / wpm;
    s.ToneFreq = 700.0L;
    s.ActivePage = TextPage;
    return s;
}

std::vector<int16_t> Render(const std::string& text, int characterWpm, int effectiveWpm) {
    Keyer keyer;
    keyer.BuildSineTable(5);
    keyer.SetWordStart(true);
    FarnsworthSpacing spacing(9600 / characterWpm, effectiveWpm);
    std::vector<int16_t> out;
    for (unsigned char ch : text) {
        CharRendering plan = PlanFarnsworthChar(keyer, spacing, ch, TextAt(characterWpm));
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(plan.TotalSamples()));
        keyer.RenderInto(plan, out.data() + at, plan.TotalSamples());
    }
    return out;
}

struct Span {
    size_t Start = 0, Length = 0;
};

// The silences of a rendering: runs of at least 8 zero samples (a tone of
// 700 Hz never holds zero that long).
std::vector<Span> Silences(const std::vector<int16_t>& samples) {
    std::vector<Span> spans;
    size_t i = 0;
    while (i < samples.size()) {
        size_t j = i;
        while (j < samples.size() && samples[j] == 0)
            ++j;
        if (j - i >= 8)
            spans.push_back({i, j - i});
        i = j == i ? i + 1 : j;
    }
    return spans;
}

std::string Repeat(const std::string& word, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += word;
    return text;
}

TEST(Farnsworth, TenParisAtTwentyOverTenTakeExactlyOneMinute) {
    const std::vector<int16_t> audio = Render(Repeat("PARIS ", 10), 20, 10);
    EXPECT_EQ(audio.size(), 60u * SampleRate);
    EXPECT_EQ(FarnsworthTotalSamples(Repeat("PARIS ", 10), TextAt(20), 10), 60 * SampleRate);
}

TEST(Farnsworth, EffectiveSpeedHoldsToTheSampleOverLongTexts) {
    struct Case {
        int Character, Effective;
    };
    const Case cases[] = {{20, 10}, {25, 5}, {30, 13}, {18, 18}, {50, 7}};
    for (const Case& c : cases) {
        // 60/s seconds per word: 100 words take 6000/s seconds, to the sample
        // where the character speed's dot is whole (9600 divides by it).
        const int64_t samples =
            FarnsworthTotalSamples(Repeat("PARIS ", 100), TextAt(c.Character), c.Effective);
        const int64_t expected = int64_t{100} * 60 * SampleRate / c.Effective;
        EXPECT_NEAR(static_cast<double>(samples), static_cast<double>(expected), 1.0)
            << c.Character << "/" << c.Effective;
    }
}

TEST(Farnsworth, GapsFollowTheArrlRuleInTheRenderedSamples) {
    // 20/10: ta = (60*20 - 37.2*10) / (20*10) = 4.14 s; a letter gap of
    // 3*ta/19 = 0.65368 s (5229.5 samples), a word gap of 7*ta/19 = 1.52526 s
    // (12202.1 samples), each from the end of a tone to the next one.
    const std::vector<int16_t> audio = Render("PARIS PARIS ", 20, 10);
    const std::vector<Span> gaps = Silences(audio);
    const double dot = 480;
    int letterGaps = 0, wordGaps = 0;
    for (const Span& gap : gaps) {
        const double length = static_cast<double>(gap.Length);
        if (length < 1.5 * dot) {
            EXPECT_NEAR(length, dot, 3); // between the elements of a character
        } else if (length < 8000) {
            EXPECT_NEAR(length, 5229.5, 4);
            ++letterGaps;
        } else if (gap.Start + gap.Length < audio.size()) {
            EXPECT_NEAR(length, 12202.1, 4);
            ++wordGaps;
        }
    }
    EXPECT_EQ(letterGaps, 8);
    EXPECT_EQ(wordGaps, 1);
}

TEST(Farnsworth, AtEqualSpeedsTheGapsAreTheStandardThreeAndSevenDots) {
    const std::vector<int16_t> audio = Render("EE EE ", 20, 20);
    const std::vector<Span> gaps = Silences(audio);
    ASSERT_GE(gaps.size(), 3u);
    EXPECT_NEAR(static_cast<double>(gaps[0].Length), 3 * 480, 3);
    EXPECT_NEAR(static_cast<double>(gaps[1].Length), 7 * 480, 3);
    EXPECT_NEAR(static_cast<double>(gaps[2].Length), 3 * 480, 3);
}

TEST(Farnsworth, CharactersAreTheKeyersOwnSamples) {
    // The elements of each character are the keyer's text-page rendering of it.
    Keyer reference;
    reference.BuildSineTable(5);
    CharRendering plan = reference.PlanChar('K', TextAt(20));
    std::vector<int16_t> expected(static_cast<size_t>(plan.TotalSamples()));
    reference.RenderInto(plan, expected.data(), plan.TotalSamples());
    const std::vector<int16_t> audio = Render("K", 20, 10);
    ASSERT_EQ(audio.size(), 10u * 480); // dash, dot, dash, each with its space
    EXPECT_EQ(audio, expected);
}

} // namespace
