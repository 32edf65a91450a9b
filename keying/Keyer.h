#pragma once

#include "base/Pages.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tonvik {

inline constexpr int SampleRate = 8000;
inline constexpr int SineTableSize = 32768;
// Samples at each end of a tone element that are shaped by the attack and release.
inline constexpr int EnvelopeSamples = 32;

// What the keyer reads at every character; the host fills it from its controls.
struct KeyerSettings {
    int32_t DotSamples = 320;
    long double ToneFreq = 1000.0L;
    int32_t LetterGap = 3; // in dots, text page only
    int32_t WordGap = 7;   // in dots, text page only
    int32_t ActivePage = CallsignPage;
};

// One character as a short list of runs: tone elements and silences. Planning
// a character and rendering its samples are separate steps so that a rendering
// longer than one sound buffer can be carried on into the next buffer with its
// timing intact.
class CharRendering {
public:
    struct Run {
        int64_t Samples = 0;
        int64_t Step = 0; // phase step per sample; tone runs only
        bool Tone = false;
    };

    void AddTone(int64_t samples, int64_t step);
    void AddSilence(int64_t samples);
    // The first count runs of another plan (all of them at most), after these.
    void AddRuns(const CharRendering& other, std::size_t count);

    // A letter gap, six elements with their spaces, the callsign gap and a word gap.
    static constexpr std::size_t MaxRuns = 16;

    int64_t TotalSamples() const { return Total; }
    int64_t RemainingSamples() const { return Total - Rendered; }
    bool Finished() const { return Rendered >= Total; }
    std::size_t RunCount() const { return Count; }
    const Run& RunAt(std::size_t index) const { return RunList[index]; }

private:
    friend class Keyer;
    void Add(const Run& run);

    std::array<Run, MaxRuns> RunList{};
    std::size_t Count = 0;
    int64_t Total = 0;
    int64_t Rendered = 0;
    std::size_t RunIndex = 0; // run being rendered
    int64_t RunOffset = 0;    // samples of that run already rendered
};

// Turns characters into 8000 Hz signed 16-bit samples: the tone from a
// one-period sine table with a 30-bit phase accumulator, a fixed 32-sample
// attack and release on every element, and the spacing of the active page.
class Keyer {
public:
    Keyer();

    // Refills SineTable for a volume factor of 0 (silence) to 8 (full scale).
    void BuildSineTable(int32_t volumeFactor);

    // Renders one CP1251 character into buffer from its first sample and
    // returns the bytes written (twice the samples). The buffer must hold the
    // whole character; see PlanChar and RenderInto for bounded buffers.
    int32_t KeyChar(int16_t* buffer, unsigned char ch, const KeyerSettings& settings);

    // Decides the runs of a character from the current settings and updates
    // WordStart, exactly as KeyChar does, without writing samples.
    CharRendering PlanChar(unsigned char ch, const KeyerSettings& settings);

    // Renders the next samples of a planned character, at most capacity of
    // them, and returns how many were written.
    int64_t RenderInto(CharRendering& rendering, int16_t* out, int64_t capacity);

    // count tone samples of one whole element at the current ToneFreq, written at
    // buffer[position]; position advances by count.
    void ToneRun(int16_t* buffer, int64_t& position, int64_t count, long double toneFreq);
    // count zero samples; nothing for a count of zero or less.
    static void SilenceRun(int16_t* buffer, int64_t& position, int64_t count);

    // The phase step for a frequency: freq * 2^30 / 8000, halves to even.
    static int64_t PhaseStep(long double toneFreq);

    const std::vector<int16_t>& SineTable() const { return Table; }
    uint32_t Phase() const { return PhaseAcc; }
    bool WordStart() const { return WordStartFlag; }
    void SetWordStart(bool value) { WordStartFlag = value; }

private:
    // Samples [first, first + count) of a tone element of total samples.
    void ToneSpan(int16_t* out, int64_t first, int64_t count, int64_t total, int64_t step);

    std::vector<int16_t> Table;
    uint32_t PhaseAcc = 0;
    bool WordStartFlag = true;
};

} // namespace tonvik
