#pragma once

#include "air/BandConditions.h"
#include "cli/AudioFile.h"
#include "keying/Keyer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tonvik {

struct ExportJob {
    std::string PlayText; // CP1251, as the exercise would key it
    KeyerSettings Settings;
    int FarnsworthWpm = 0; // Farnsworth gaps at this effective speed; 0: the settings' gaps
    int VolumeFactor = 5;
    std::string OutputPath;
    AudioFormat Format = AudioFormat::Wav;
    int64_t SplitSamples = 0; // length of a part; 0: one file
    // The file the text was read from: never overwritten.
    std::optional<FileIdentity> Input;
    // A WAV whose data would pass this many bytes is written as RF64.
    uint64_t Rf64ThresholdBytes = 0xFFFFFFFFull - 64;
    const std::atomic<bool>* Interrupted = nullptr;
    // The band the samples pass through; all off: the keyer's samples as they are.
    BandConditions Conditions;
    uint64_t Seed = 0;
    std::vector<std::string> Callsigns; // for other stations and second callers
};

struct ExportProgress {
    double TextShare = 0;    // 0..1 of the characters started
    double AudioSeconds = 0; // written so far
    double TotalAudioSeconds = 0;
};

struct ExportResult {
    bool Ok = false;
    bool WasInterrupted = false;
    bool BadUsage = false; // refused for what the user asked (exit status 2)
    bool UsedRf64 = false;
    std::vector<std::string> Files; // the files written; a stream is none
    std::string Error;
};

// Renders the play text and writes it, a chunk at a time, into one audio file
// or into numbered parts cut only at word gaps. On failure or interruption no
// file of this export is left behind.
ExportResult ExportAudio(const ExportJob& job,
                         const std::function<void(const ExportProgress&)>& onProgress = {});

// NAME-001.ext for part 1 of NAME.ext, with at least digits digits.
std::string PartPath(const std::string& path, int part, int digits = 3);

} // namespace tonvik
