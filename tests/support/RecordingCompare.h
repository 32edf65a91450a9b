#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tonvik {

// How a recording of played sound differs from the sound that was meant,
// counted from the first tone of each: silence inserted (where an element was
// cut in two, or a gap stretched), samples lost, and sound after the end.
struct RecordingDiff {
    size_t Expected = 0; // samples of the meant sound from its first tone
    size_t InsertedSamples = 0;
    size_t Insertions = 0;
    size_t ChoppedElements = 0; // insertions inside a tone
    size_t StretchedGaps = 0;   // insertions between tones
    size_t LostSamples = 0;
    size_t Losses = 0;
    size_t SoundAfterEnd = 0; // nonzero samples after the meant sound ended
    bool NoTone = false;      // the recording holds no tone at all
    bool Diverged = false;    // the recording stopped matching altogether

    bool Exact() const {
        return !NoTone && !Diverged && InsertedSamples == 0 && LostSamples == 0 &&
               SoundAfterEnd == 0;
    }
    std::string Summary() const;
};

RecordingDiff CompareRecording(const std::vector<int16_t>& recorded,
                               const std::vector<int16_t>& expected);

// Raw signed 16-bit little-endian samples; and the samples of a sound file.
std::vector<int16_t> ReadRawSamples(const std::filesystem::path& path);
std::vector<int16_t> ReadSoundFile(const std::filesystem::path& path);

} // namespace tonvik
