#pragma once

#include "cli/AudioSink.h"
#include "cli/OutputTarget.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tonvik {

enum class AudioFormat { Wav, Rf64, Flac, Ogg, Opus, Mp3 };

// "wav", "flac", "ogg" (Vorbis), "opus", "mp3"; nothing for an unknown name.
std::optional<AudioFormat> AudioFormatFromName(std::string_view name);
// Where the extension's dot stands in the file name part of path, or npos.
std::string::size_type ExtensionDot(const std::string& path);
// From the output file's extension, case-insensitive.
std::optional<AudioFormat> AudioFormatFromPath(const std::string& path);
const char* AudioFormatName(AudioFormat format);

// Writes 8000 Hz mono 16-bit audio through libsndfile, every byte through an
// AudioSink, so that a full disk or a file-size limit fails the export in
// every format. A file is written under a temporary name beside the target and
// renamed into place only by Commit; a stream is written to directly.
class AudioFileWriter {
public:
    AudioFileWriter() = default;
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // False with Error() set when it cannot be created. A stream needs the
    // length in frames beforehand: a WAV header is sent first and finished.
    bool Open(const OutputTarget& target, AudioFormat format, int64_t frames,
              const std::atomic<bool>* interrupted = nullptr);
    bool Write(const int16_t* samples, int64_t count);
    // Finishes the file and moves it to its name.
    bool Commit();
    // Removes the unfinished file; safe to call at any time.
    void Abandon();

    const std::string& Error() const { return Message; }
    const OutputTarget& Target() const { return Output; }

private:
    bool OpenDescriptor(const std::atomic<bool>* interrupted);
    bool CreateTemporary();
    bool PlaceFile();
    bool CloseDescriptor();
    std::string Reason() const;
    bool Fail(const std::string& message);

    OutputTarget Output;
    std::unique_ptr<AudioSink> Sink;
    sf_private_tag* File = nullptr;
    int Fd = -1;
    bool OwnFd = false;
    std::string Temporary;
    std::string Message;
};

} // namespace tonvik
