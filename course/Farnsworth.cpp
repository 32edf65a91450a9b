#include "course/Farnsworth.h"

#include <algorithm>

namespace tonvik {
namespace {

// The dots of "PARIS" from its first element to its last: the time the
// characters of the standard word take, its gaps left out.
constexpr int64_t ParisDots = 31;
constexpr int64_t SamplesPerWordMinute = int64_t{SampleRate} * 60;

} // namespace

FarnsworthSpacing::FarnsworthSpacing(int32_t dotSamples, int effectiveWpm)
    : Dot(std::max(1, dotSamples)) {
    // The character speed whose dot this is; the effective speed never above it.
    const int64_t characterWpm = std::max<int64_t>(1, 9600 / Dot);
    Effective = std::clamp<int64_t>(effectiveWpm, 1, characterWpm);
}

int64_t FarnsworthSpacing::Take(int64_t parts) {
    // One word lasts 480000/s samples; the characters of PARIS take 31 dots of
    // it and the rest, ta, is the word's gap time: ta*s = 480000 - 31*dot*s.
    const int64_t wordGapTimesS = SamplesPerWordMinute - ParisDots * Dot * Effective;
    const int64_t denominator = 19 * Effective;
    Owed += parts * std::max<int64_t>(0, wordGapTimesS);
    const int64_t samples = Owed / denominator;
    Owed -= samples * denominator;
    return samples;
}

CharRendering PlanFarnsworthChar(Keyer& keyer, FarnsworthSpacing& spacing, unsigned char ch,
                                 const KeyerSettings& settings) {
    // The keyer's own rendering of the elements alone: a page with no gaps of
    // its own gives each element and its following dot, and nothing else.
    KeyerSettings elementsOnly = settings;
    elementsOnly.ActivePage = HiddenPage;
    const int64_t dot = settings.DotSamples;
    CharRendering plan;
    if (ch <= 32) {
        // The last character's trailing dot is already part of the gap.
        plan.AddSilence(spacing.NextWordGap() - dot);
        keyer.SetWordStart(true);
        return plan;
    }
    if (!keyer.WordStart())
        plan.AddSilence(spacing.NextLetterGap() - dot);
    const CharRendering elements = keyer.PlanChar(ch, elementsOnly);
    plan.AddRuns(elements, elements.RunCount());
    return plan;
}

int64_t FarnsworthTotalSamples(const std::string& text, const KeyerSettings& settings,
                               int effectiveWpm) {
    Keyer planner;
    planner.SetWordStart(true);
    FarnsworthSpacing spacing(settings.DotSamples, effectiveWpm);
    int64_t total = 0;
    for (unsigned char ch : text)
        total += PlanFarnsworthChar(planner, spacing, ch, settings).TotalSamples();
    return total;
}

} // namespace tonvik
