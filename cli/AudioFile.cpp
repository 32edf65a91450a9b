#include "cli/AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace tonvik {
namespace {

constexpr int SampleRateHz = 8000;

int SndFormat(AudioFormat format) {
    switch (format) {
    case AudioFormat::Wav:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case AudioFormat::Rf64:
        return SF_FORMAT_RF64 | SF_FORMAT_PCM_16;
    case AudioFormat::Flac:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case AudioFormat::Ogg:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case AudioFormat::Opus:
        return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case AudioFormat::Mp3:
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return 0;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

} // namespace

std::optional<AudioFormat> AudioFormatFromName(std::string_view name) {
    const std::string n = Lower(name);
    if (n == "wav")
        return AudioFormat::Wav;
    if (n == "flac")
        return AudioFormat::Flac;
    if (n == "ogg" || n == "oga" || n == "vorbis")
        return AudioFormat::Ogg;
    if (n == "opus")
        return AudioFormat::Opus;
    if (n == "mp3")
        return AudioFormat::Mp3;
    return std::nullopt;
}

std::string::size_type ExtensionDot(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string::npos;
    return dot;
}

std::optional<AudioFormat> AudioFormatFromPath(const std::string& path) {
    const auto dot = ExtensionDot(path);
    if (dot == std::string::npos)
        return std::nullopt;
    return AudioFormatFromName(std::string_view(path).substr(dot + 1));
}

const char* AudioFormatName(AudioFormat format) {
    switch (format) {
    case AudioFormat::Wav:
        return "WAV";
    case AudioFormat::Rf64:
        return "RF64";
    case AudioFormat::Flac:
        return "FLAC";
    case AudioFormat::Ogg:
        return "Ogg Vorbis";
    case AudioFormat::Opus:
        return "Ogg Opus";
    case AudioFormat::Mp3:
        return "MP3";
    }
    return "?";
}

AudioFileWriter::~AudioFileWriter() {
    Abandon();
}

bool AudioFileWriter::Fail(const std::string& message) {
    Message = message;
    Abandon();
    return false;
}

bool AudioFileWriter::Open(const std::string& path, AudioFormat format) {
    Target = path;
    Temporary = path + ".part";
    SF_INFO info{};
    info.samplerate = SampleRateHz;
    info.channels = 1;
    info.format = SndFormat(format);
    if (!sf_format_check(&info))
        return Fail(std::string("this libsndfile cannot write ") + AudioFormatName(format));
    File = sf_open(Temporary.c_str(), SFM_WRITE, &info);
    if (File == nullptr) {
        const std::string reason = sf_strerror(nullptr);
        Temporary.clear(); // nothing was created
        return Fail("cannot create " + path + ": " + reason);
    }
    if (format == AudioFormat::Mp3) {
        // Keyed tones need few bits: variable bit rate at a modest quality
        // encodes faster and smaller than the default, with no audible loss.
        int mode = SF_BITRATE_MODE_VARIABLE;
        double level = 0.8;
        sf_command(File, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
        sf_command(File, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    }
    return true;
}

bool AudioFileWriter::Write(const int16_t* samples, int64_t count) {
    if (File == nullptr)
        return false;
    if (sf_write_short(File, samples, count) != count)
        return Fail("cannot write " + Target + ": " + sf_strerror(File));
    return true;
}

bool AudioFileWriter::Commit() {
    if (File == nullptr)
        return false;
    sf_write_sync(File);
    const int closed = sf_close(File);
    File = nullptr;
    if (closed != 0)
        return Fail("cannot finish " + Target + ": " + sf_error_number(closed));
    if (std::rename(Temporary.c_str(), Target.c_str()) != 0)
        return Fail("cannot write " + Target + ": " + std::strerror(errno));
    Temporary.clear();
    return true;
}

void AudioFileWriter::Abandon() {
    if (File != nullptr) {
        sf_close(File);
        File = nullptr;
    }
    if (!Temporary.empty()) {
        ::unlink(Temporary.c_str());
        Temporary.clear();
    }
}

} // namespace tonvik
