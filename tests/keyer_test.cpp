#include "keying/Keyer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace tonvik;

namespace {

KeyerSettings At(int wpm, int page, long double freq = 800.0L) {
    KeyerSettings s;
    s.DotSamples = 9600 / wpm;
    s.ToneFreq = freq;
    s.ActivePage = page;
    return s;
}

std::vector<int16_t> Render(Keyer& keyer, unsigned char ch, const KeyerSettings& s) {
    CharRendering plan = keyer.PlanChar(ch, s);
    std::vector<int16_t> out(static_cast<size_t>(plan.TotalSamples()));
    keyer.RenderInto(plan, out.data(), plan.TotalSamples());
    return out;
}

// The oscillator and envelope written out step by step, as an oracle.
std::vector<int16_t> ReferenceTone(const std::vector<int16_t>& table, int n, int64_t step) {
    std::vector<int16_t> out;
    uint32_t phase = 0;
    for (int i = 1; i <= n; ++i) {
        int32_t s = table[phase >> 15];
        if (i < 32)
            for (int k = 0; k < 33 - i; ++k)
                s = s * 8 / 9;
        if (i > n - 32)
            for (int k = 0; k < i - n + 33; ++k)
                s = s * 8 / 9;
        out.push_back(static_cast<int16_t>(s));
        phase = (phase + static_cast<uint32_t>(step)) & 0x3FFFFFFF;
    }
    return out;
}

class KeyerTest : public ::testing::Test {
protected:
    void SetUp() override { keyer.BuildSineTable(5); }
    Keyer keyer;
    std::vector<int16_t> buffer = std::vector<int16_t>(400000, 0x5555);
};

} // namespace

TEST_F(KeyerTest, WorkedExampleLetterAAt30Wpm) {
    keyer.SetWordStart(false);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'A', At(30, CallsignPage)), 5120);
    keyer.SetWordStart(false);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'A', At(30, TextPage)), 5760);
    keyer.SetWordStart(true);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'A', At(30, TextPage)), 3840);
    EXPECT_FALSE(keyer.WordStart());
    EXPECT_EQ(keyer.KeyChar(buffer.data(), ' ', At(30, CallsignPage)), 1280);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), ' ', At(30, TextPage)), 4480);
    EXPECT_TRUE(keyer.WordStart());
}

TEST_F(KeyerTest, LetterALayoutInCallsignMode) {
    keyer.SetWordStart(false);
    const auto s = Render(keyer, 'A', At(30, CallsignPage));
    ASSERT_EQ(s.size(), 2560u);
    // 320 tone, 320 silence, 960 tone, 320 + 640 silence.
    EXPECT_EQ(s[0], 0);
    EXPECT_NE(s[100], 0);
    for (int i = 320; i < 640; ++i)
        ASSERT_EQ(s[i], 0) << i;
    EXPECT_NE(s[1000], 0);
    for (int i = 1600; i < 2560; ++i)
        ASSERT_EQ(s[i], 0) << i;
}

TEST_F(KeyerTest, LetterEInCallsignModeIsOneDotAndThreeDotsOfSilence) {
    keyer.SetWordStart(false);
    const auto s = Render(keyer, 'E', At(30, CallsignPage));
    ASSERT_EQ(s.size(), 2560u / 2);
    EXPECT_EQ(s, [&] {
        auto expected = ReferenceTone(keyer.SineTable(), 320, Keyer::PhaseStep(800.0L));
        expected.resize(1280, 0);
        return expected;
    }());
}

TEST_F(KeyerTest, SineTablePeaksFollowVolume) {
    Keyer k;
    k.BuildSineTable(8);
    EXPECT_EQ(k.SineTable()[8192], 32767);
    EXPECT_EQ(k.SineTable()[0], 0);
    EXPECT_EQ(k.SineTable()[24576], -32767);
    k.BuildSineTable(5);
    EXPECT_EQ(k.SineTable()[8192], 20479);
    k.BuildSineTable(4);
    EXPECT_EQ(k.SineTable()[8192], 16384); // 16383.5, half to even
    k.BuildSineTable(0);
    for (int16_t v : k.SineTable())
        ASSERT_EQ(v, 0);
}

TEST_F(KeyerTest, SineTableMatchesExtendedPrecisionFormula) {
    for (int i = 0; i < SineTableSize; i += 97) {
        const long double x =
            std::sin((static_cast<long double>(i * 2) * 3.14159265358979323846L) / 32768) *
            (0.625L * 32767);
        EXPECT_EQ(keyer.SineTable()[i], static_cast<int16_t>(std::nearbyintl(x))) << i;
    }
}

TEST_F(KeyerTest, PhaseStepRoundsOnce) {
    EXPECT_EQ(Keyer::PhaseStep(800.0L), 107374182);
    EXPECT_EQ(Keyer::PhaseStep(1000.0L), 134217728);
    EXPECT_EQ(Keyer::PhaseStep(400.0L), 53687091);
    // 751 Hz is 100797513.728 units a sample: to the nearest, not truncated.
    EXPECT_EQ(Keyer::PhaseStep(751.0L), 100797514);
    EXPECT_EQ(Keyer::PhaseStep(1001.0L), 134351946);
}

TEST_F(KeyerTest, ToneAdvancesByTheRoundedStep) {
    Keyer k;
    k.BuildSineTable(8);
    std::vector<int16_t> out(100);
    int64_t position = 0;
    k.ToneRun(out.data(), position, 100, 751.0L);
    EXPECT_EQ(k.Phase(), static_cast<uint32_t>((100LL * 100797514) & 0x3FFFFFFF));
    // Sample 40 reads the entry at that phase, unreduced.
    EXPECT_EQ(out[39], k.SineTable()[static_cast<size_t>(((39LL * 100797514) & 0x3FFFFFFF) >> 15)]);
}

TEST_F(KeyerTest, EnvelopeReducesWithTruncationAtEveryStep) {
    // 20479 becomes 18203 after one reduction and 16180 after two; -20479 gives -16180.
    Keyer k;
    k.BuildSineTable(5);
    // At 1000 Hz the index advances by 4096 a sample: the undamped samples
    // repeat every 8 and reach the peak entry at the third.
    constexpr int N = 202;
    std::vector<int16_t> out(N);
    int64_t pos = 0;
    k.ToneRun(out.data(), pos, N, 1000.0L);
    EXPECT_EQ(pos, N);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[34], 20479);  // sample 35: past the attack
    EXPECT_EQ(out[162], 20479); // sample 163: before the release
    EXPECT_EQ(k.SineTable()[6 * 4096], -20479);
    EXPECT_EQ(out[30], -16180); // sample 31: reduced twice
    EXPECT_EQ(out[170], 16180); // sample N-31: reduced twice
    EXPECT_EQ(out[26], [] {
        int32_t s = 20479;
        for (int n = 0; n < 6; ++n) // sample 27: 33 - 27 = 6 times
            s = s * 8 / 9;
        return s;
    }());
    EXPECT_EQ(k.Phase(), static_cast<uint32_t>((int64_t{N} * 134217728) & 0x3FFFFFFF));
    // Sample 7 sits on the negative half: 26 reductions, each truncated toward zero.
    int32_t expected = k.SineTable()[6 * 4096];
    for (int n = 0; n < 26; ++n)
        expected = expected * 8 / 9;
    EXPECT_EQ(out[6], expected);
    // One truncation per step differs from one rounding of the product.
    EXPECT_NE(expected, static_cast<int32_t>(-20479 * std::pow(8.0 / 9.0, 26)));
}

TEST_F(KeyerTest, At800HzSamples32And33ReadIndices3276And6553Unreduced) {
    std::vector<int16_t> out(65);
    int64_t pos = 0;
    keyer.ToneRun(out.data(), pos, 65, 800.0L);
    EXPECT_EQ(out[31], keyer.SineTable()[3276]);
    EXPECT_EQ(out[32], keyer.SineTable()[6553]);
    EXPECT_EQ(out[0], 0);
    // In an element of exactly 64 samples, sample 33 is N-31 and so already
    // takes two release steps.
    std::vector<int16_t> out64(64);
    pos = 0;
    keyer.ToneRun(out64.data(), pos, 64, 800.0L);
    EXPECT_EQ(out64[31], keyer.SineTable()[3276]);
    EXPECT_EQ(out64[32], keyer.SineTable()[6553] * 8 / 9 * 8 / 9);
}

TEST_F(KeyerTest, ToneRunMatchesOracleForShortAndLongElements) {
    for (long double freq : {400.0L, 749.0L, 800.0L, 1000.0L, 1549.0L, 1600.0L}) {
        for (int n : {1, 2, 31, 32, 33, 62, 63, 64, 65, 96, 137, 320, 2880}) {
            std::vector<int16_t> out(static_cast<size_t>(n));
            int64_t pos = 0;
            keyer.ToneRun(out.data(), pos, n, freq);
            EXPECT_EQ(out, ReferenceTone(keyer.SineTable(), n, Keyer::PhaseStep(freq)))
                << "freq " << static_cast<double>(freq) << " n " << n;
        }
    }
}

TEST_F(KeyerTest, CharactersWithoutPatternGetOnlyTheirGaps) {
    keyer.SetWordStart(false);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'a', At(30, CallsignPage)), 1280);
    for (int i = 0; i < 640; ++i)
        ASSERT_EQ(buffer[i], 0);
    keyer.SetWordStart(true);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'a', At(30, TextPage)), 0);
    EXPECT_FALSE(keyer.WordStart());
    EXPECT_EQ(keyer.KeyChar(buffer.data(), ',', At(30, TextPage)), 960 * 2);
}

TEST_F(KeyerTest, CodeZeroRendersLikeASpace) {
    for (int page : {CallsignPage, TextPage}) {
        Keyer a, b;
        a.BuildSineTable(5);
        b.BuildSineTable(5);
        a.SetWordStart(false);
        b.SetWordStart(false);
        EXPECT_EQ(Render(a, 0, At(25, page)), Render(b, ' ', At(25, page)));
        EXPECT_EQ(a.WordStart(), b.WordStart());
    }
}

TEST_F(KeyerTest, VolumeZeroKeepsLengthsButIsSilent) {
    Keyer k;
    k.BuildSineTable(0);
    k.SetWordStart(false);
    const auto s = Render(k, 0xD7, At(30, TextPage));    // Ч
    EXPECT_EQ(s.size(), 960u + 3 * 960 + 320 + 4 * 320); // letter gap, ---., element spaces
    for (int16_t v : s)
        ASSERT_EQ(v, 0);
}

TEST_F(KeyerTest, ZeroOrNegativeGapsAddNoSilence) {
    KeyerSettings s = At(30, TextPage);
    s.LetterGap = 0;
    s.WordGap = -5;
    keyer.SetWordStart(false);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'E', s), 640 * 2);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), ' ', s), 0);
    EXPECT_TRUE(keyer.WordStart());
    s.LetterGap = -3;
    keyer.SetWordStart(false);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'E', s), 640 * 2);
}

TEST_F(KeyerTest, TwoSpacesInTextModeGiveTwoWordGapsAndNoLetterGapAfter) {
    const KeyerSettings s = At(30, TextPage);
    keyer.SetWordStart(false);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), ' ', s), 4480);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), ' ', s), 4480);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'E', s), 640 * 2);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'E', s), (960 + 640) * 2);
}

TEST_F(KeyerTest, SpeedsTruncateDotLength) {
    keyer.SetWordStart(false);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'T', At(70, CallsignPage)),
              (3 * 137 + 137 + 2 * 137) * 2);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'E', At(100, CallsignPage)), 384 * 2);
}

TEST_F(KeyerTest, OnAnotherPageNoModeSpacingIsAdded) {
    keyer.SetWordStart(false);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), 'E', At(30, 1)), 640 * 2);
    EXPECT_EQ(keyer.KeyChar(buffer.data(), ' ', At(30, 1)), 0);
}

// A rendering longer than one buffer is carried on with every sample intact.
TEST_F(KeyerTest, RenderingInPiecesEqualsWholeRendering) {
    std::mt19937 rng(7);
    KeyerSettings s = At(10, TextPage);
    s.LetterGap = 72;
    s.WordGap = 108;
    const std::string text = "PARIS \xCF\xD0\xC8\xC2\xC5\xD2 ?/09";
    Keyer whole, pieces;
    whole.BuildSineTable(5);
    pieces.BuildSineTable(5);
    for (unsigned char ch : text) {
        const auto expected = Render(whole, ch, s);
        CharRendering plan = pieces.PlanChar(ch, s);
        std::vector<int16_t> got;
        while (!plan.Finished()) {
            std::vector<int16_t> chunk(1 + rng() % 60000);
            const int64_t n =
                pieces.RenderInto(plan, chunk.data(), static_cast<int64_t>(chunk.size()));
            got.insert(got.end(), chunk.begin(), chunk.begin() + n);
        }
        EXPECT_EQ(got, expected) << "char " << int(ch);
    }
}

TEST_F(KeyerTest, LongestGapsExceedOneBufferButRenderInFull) {
    KeyerSettings s = At(10, TextPage);
    s.WordGap = 108;
    CharRendering plan = keyer.PlanChar(' ', s);
    EXPECT_EQ(plan.TotalSamples(), 108 * 960);
    s.LetterGap = 1000000; // a typed value far beyond the range
    keyer.SetWordStart(false);
    plan = keyer.PlanChar('E', s);
    EXPECT_EQ(plan.TotalSamples(), 1000000LL * 960 + 2 * 960);
    std::vector<int16_t> chunk(56000, 1);
    EXPECT_EQ(keyer.RenderInto(plan, chunk.data(), 56000), 56000);
    EXPECT_EQ(chunk[55999], 0);
    EXPECT_EQ(plan.RemainingSamples(), 1000000LL * 960 + 2 * 960 - 56000);
}
