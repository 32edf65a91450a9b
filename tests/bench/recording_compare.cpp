// Compares a recording of played sound (raw S16LE, 8000 Hz mono) with the
// export of the same text and prints one line: inserted samples and where,
// chopped elements, stretched gaps, lost samples.
//
// Run: recording_compare RECORDING.raw EXPORT.wav
#include "tests/support/RecordingCompare.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: recording_compare RECORDING.raw EXPORT.wav\n");
        return 2;
    }
    const auto expected = tonvik::ReadSoundFile(argv[2]);
    if (expected.empty()) {
        std::fprintf(stderr, "recording_compare: cannot read %s\n", argv[2]);
        return 1;
    }
    const tonvik::RecordingDiff diff =
        tonvik::CompareRecording(tonvik::ReadRawSamples(argv[1]), expected);
    std::printf("inserted=%zu insertions=%zu chopped=%zu stretched=%zu lost=%zu losses=%zu "
                "after_end=%zu diverged=%s exact=%s\n",
                diff.InsertedSamples, diff.Insertions, diff.ChoppedElements, diff.StretchedGaps,
                diff.LostSamples, diff.Losses, diff.SoundAfterEnd, diff.Diverged ? "yes" : "no",
                diff.Exact() ? "yes" : "no");
    return 0;
}
