#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sf_private_tag;

namespace tonvik {

enum class AudioFormat { Wav, Rf64, Flac, Ogg, Opus, Mp3 };

// "wav", "flac", "ogg" (Vorbis), "opus", "mp3"; nothing for an unknown name.
std::optional<AudioFormat> AudioFormatFromName(std::string_view name);
// Where the extension's dot stands in the file name part of path, or npos.
std::string::size_type ExtensionDot(const std::string& path);
// From the output file's extension, case-insensitive.
std::optional<AudioFormat> AudioFormatFromPath(const std::string& path);
const char* AudioFormatName(AudioFormat format);

// Writes 8000 Hz mono 16-bit audio through libsndfile. The file is written
// under a temporary name beside the target and renamed into place only by
// Commit, so a failed or interrupted export never leaves a partial file.
class AudioFileWriter {
public:
    AudioFileWriter() = default;
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // False with Error() set when the file cannot be created.
    bool Open(const std::string& path, AudioFormat format);
    bool Write(const int16_t* samples, int64_t count);
    // Finishes the file and moves it to its name.
    bool Commit();
    // Removes the unfinished file; safe to call at any time.
    void Abandon();

    const std::string& Error() const { return Message; }
    const std::string& Path() const { return Target; }

private:
    bool Fail(const std::string& message);

    sf_private_tag* File = nullptr;
    std::string Target;
    std::string Temporary;
    std::string Message;
};

} // namespace tonvik
