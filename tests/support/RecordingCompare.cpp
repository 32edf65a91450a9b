#include "tests/support/RecordingCompare.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace tonvik {

namespace {

// Zeros inside a tone are single samples where the sine crosses zero; a run
// this long is a gap between elements.
constexpr size_t GapRun = 16;
// Samples compared to find where the recording picks up again after a loss.
constexpr size_t Anchor = 32;

size_t FirstTone(const std::vector<int16_t>& s) {
    return static_cast<size_t>(std::find_if(s.begin(), s.end(), [](int16_t v) { return v != 0; }) -
                               s.begin());
}

bool InsideTone(const std::vector<int16_t>& s, size_t at) {
    const size_t from = at >= GapRun ? at - GapRun : 0;
    return std::any_of(s.begin() + static_cast<std::ptrdiff_t>(from),
                       s.begin() + static_cast<std::ptrdiff_t>(at),
                       [](int16_t v) { return v != 0; });
}

bool SameAt(const std::vector<int16_t>& a, size_t i, const std::vector<int16_t>& b, size_t j,
            size_t n) {
    return i + n <= a.size() && j + n <= b.size() &&
           std::equal(a.begin() + static_cast<std::ptrdiff_t>(i),
                      a.begin() + static_cast<std::ptrdiff_t>(i + n),
                      b.begin() + static_cast<std::ptrdiff_t>(j));
}

} // namespace

RecordingDiff CompareRecording(const std::vector<int16_t>& recorded,
                               const std::vector<int16_t>& expected) {
    RecordingDiff diff;
    size_t r = FirstTone(recorded);
    size_t e = FirstTone(expected);
    diff.Expected = expected.size() - std::min(e, expected.size());
    if (r == recorded.size()) {
        diff.NoTone = true;
        return diff;
    }
    while (e < expected.size()) {
        if (r >= recorded.size()) {
            diff.LostSamples += expected.size() - e;
            ++diff.Losses;
            break;
        }
        if (recorded[r] == expected[e]) {
            ++r, ++e;
            continue;
        }
        if (recorded[r] == 0) { // silence where the sound goes on
            const size_t start = r;
            while (r < recorded.size() && recorded[r] == 0)
                ++r;
            diff.InsertedSamples += r - start;
            ++diff.Insertions;
            ++(InsideTone(expected, e) ? diff.ChoppedElements : diff.StretchedGaps);
            continue;
        }
        // Something else: find where the recording goes on in the meant sound.
        size_t next = e + 1;
        const size_t limit = std::min(expected.size(), e + 80000);
        while (next < limit && !SameAt(recorded, r, expected, next, Anchor))
            ++next;
        if (next >= limit) {
            diff.Diverged = true;
            return diff;
        }
        diff.LostSamples += next - e;
        ++diff.Losses;
        e = next;
    }
    diff.SoundAfterEnd = static_cast<size_t>(
        std::count_if(recorded.begin() + static_cast<std::ptrdiff_t>(std::min(r, recorded.size())),
                      recorded.end(), [](int16_t v) { return v != 0; }));
    return diff;
}

std::string RecordingDiff::Summary() const {
    if (NoTone)
        return "no tone in the recording";
    std::string text = std::to_string(Expected) + " samples: inserted " +
                       std::to_string(InsertedSamples) + " in " + std::to_string(Insertions) +
                       " places (" + std::to_string(ChoppedElements) + " chopped elements, " +
                       std::to_string(StretchedGaps) + " stretched gaps), lost " +
                       std::to_string(LostSamples) + " in " + std::to_string(Losses) + " places, " +
                       std::to_string(SoundAfterEnd) + " sound samples after the end";
    return Diverged ? text + ", then the recording no longer matches" : text;
}

std::vector<int16_t> ReadRawSamples(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

std::vector<int16_t> ReadSoundFile(const std::filesystem::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return {};
    std::vector<int16_t> samples(static_cast<size_t>(info.frames));
    sf_read_short(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

} // namespace tonvik
