#include "keying/Keyer.h"

#include "keying/MorseCode.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tonvik {
namespace {

constexpr uint32_t PhaseMask = 0x3FFFFFFF; // 2^30 phase units make one period
constexpr int PhaseIndexShift = 15;        // bits 15..29 index the sine table
constexpr long double Pi = 3.141592653589793238462643383279502884L;

// One envelope step: 8/9 of the value, truncated toward zero, as often as asked.
int32_t Reduce(int32_t value, int64_t times) {
    for (int64_t n = 0; n < times; ++n)
        value = value * 8 / 9;
    return value;
}

} // namespace

void CharRendering::Add(const Run& run) {
    if (run.Samples <= 0 || Count == MaxRuns)
        return;
    RunList[Count++] = run;
    Total += run.Samples;
}

void CharRendering::AddTone(int64_t samples, int64_t step) {
    Add({samples, step, true});
}

void CharRendering::AddSilence(int64_t samples) {
    Add({samples, 0, false});
}

void CharRendering::AddRuns(const CharRendering& other, std::size_t count) {
    for (std::size_t i = 0; i < std::min(count, other.Count); ++i) {
        const Run& run = other.RunList[i];
        if (run.Tone)
            AddTone(run.Samples, run.Step);
        else
            AddSilence(run.Samples);
    }
}

Keyer::Keyer() : Table(SineTableSize, 0) {}

void Keyer::BuildSineTable(int32_t volumeFactor) {
    const long double k = static_cast<long double>(volumeFactor) / 8;
    for (int i = 0; i < SineTableSize; ++i) {
        const long double angle = (static_cast<long double>(i * 2) * Pi) / SineTableSize;
        // nearbyintl rounds halves to even in the default rounding mode.
        Table[i] = static_cast<int16_t>(std::nearbyintl(std::sin(angle) * (k * 32767)));
    }
}

int64_t Keyer::PhaseStep(long double toneFreq) {
    return std::llrint(toneFreq * 1073741824.0L / SampleRate);
}

CharRendering Keyer::PlanChar(unsigned char ch, const KeyerSettings& settings) {
    const int64_t dot = settings.DotSamples;
    CharRendering plan;
    if (ch > 32) {
        if (WordStartFlag)
            WordStartFlag = false;
        else if (settings.ActivePage == TextPage)
            plan.AddSilence(int64_t{settings.LetterGap} * dot);
        const int64_t step = PhaseStep(settings.ToneFreq);
        for (char element : MorseCode(ch)) {
            plan.AddTone(element == '-' ? 3 * dot : dot, step);
            plan.AddSilence(dot);
        }
    }
    if (settings.ActivePage == CallsignPage)
        plan.AddSilence(2 * dot);
    if (settings.ActivePage == TextPage && ch <= 32) {
        plan.AddSilence(int64_t{settings.WordGap} * dot);
        WordStartFlag = true;
    }
    return plan;
}

int64_t Keyer::RenderInto(CharRendering& rendering, int16_t* out, int64_t capacity) {
    int64_t written = 0;
    while (written < capacity && rendering.RunIndex < rendering.Count) {
        const CharRendering::Run& run = rendering.RunList[rendering.RunIndex];
        const int64_t count = std::min(capacity - written, run.Samples - rendering.RunOffset);
        if (run.Tone)
            ToneSpan(out + written, rendering.RunOffset, count, run.Samples, run.Step);
        else
            std::memset(out + written, 0, static_cast<size_t>(count) * sizeof(int16_t));
        written += count;
        rendering.RunOffset += count;
        if (rendering.RunOffset == run.Samples) {
            ++rendering.RunIndex;
            rendering.RunOffset = 0;
        }
    }
    rendering.Rendered += written;
    return written;
}

int32_t Keyer::KeyChar(int16_t* buffer, unsigned char ch, const KeyerSettings& settings) {
    CharRendering plan = PlanChar(ch, settings);
    const int64_t samples = RenderInto(plan, buffer, plan.TotalSamples());
    return static_cast<int32_t>(samples * 2);
}

void Keyer::ToneRun(int16_t* buffer, int64_t& position, int64_t count, long double toneFreq) {
    if (count <= 0)
        return;
    ToneSpan(buffer + position, 0, count, count, PhaseStep(toneFreq));
    position += count;
}

void Keyer::SilenceRun(int16_t* buffer, int64_t& position, int64_t count) {
    if (count <= 0)
        return;
    std::memset(buffer + position, 0, static_cast<size_t>(count) * sizeof(int16_t));
    position += count;
}

void Keyer::ToneSpan(int16_t* out, int64_t first, int64_t count, int64_t total, int64_t step) {
    // Every element starts at phase zero, so the phase of sample k is k steps on.
    uint32_t phase = static_cast<uint32_t>((first * step) & PhaseMask);
    const int16_t* table = Table.data();
    for (int64_t n = 0; n < count; ++n) {
        const int64_t i = first + n + 1; // 1-based sample number within the element
        int32_t s = table[phase >> PhaseIndexShift];
        if (i < EnvelopeSamples)
            s = Reduce(s, 33 - i);
        if (i > total - EnvelopeSamples)
            s = Reduce(s, i - total + 33);
        out[n] = static_cast<int16_t>(s);
        phase = static_cast<uint32_t>((phase + step) & PhaseMask);
    }
    PhaseAcc = phase;
}

} // namespace tonvik
