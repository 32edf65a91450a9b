#include "cli/AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// The header of a WAV or RF64 of this many frames as libsndfile finishes it,
// learnt by writing that many silent frames where only the first bytes are kept.
std::optional<std::string> FinishedHeader(SF_INFO info, int64_t frames) {
    AudioSink probe(AudioSink::Kind::Probe, -1);
    SNDFILE* file = sf_open_virtual(probe.Io(), SFM_WRITE, &info, &probe);
    if (file == nullptr)
        return std::nullopt;
    const std::vector<int16_t> silence(1 << 16, 0);
    for (int64_t left = frames; left > 0;) {
        const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(silence.size()));
        sf_write_short(file, silence.data(), n);
        left -= n;
    }
    sf_close(file);
    const int64_t headerBytes = probe.Length() - frames * 2;
    if (headerBytes <= 0 || headerBytes > static_cast<int64_t>(probe.Kept().size()))
        return std::nullopt;
    return probe.Kept().substr(0, static_cast<size_t>(headerBytes));
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

// Why the last step failed: the system's word when a write failed, else
// libsndfile's.
std::string AudioFileWriter::Reason() const {
    if (Sink && Sink->ErrorNumber() == EINTR)
        return "interrupted";
    if (Sink && Sink->ErrorNumber() != 0)
        return std::strerror(Sink->ErrorNumber());
    return sf_strerror(File);
}

bool AudioFileWriter::Open(const OutputTarget& target, AudioFormat format, int64_t frames,
                           const std::atomic<bool>* interrupted) {
    Output = target;
    SF_INFO info{};
    info.samplerate = SampleRateHz;
    info.channels = 1;
    info.format = SndFormat(format);
    if (!sf_format_check(&info))
        return Fail(std::string("this libsndfile cannot write ") + AudioFormatName(format));
    if (!OpenDescriptor(interrupted))
        return false;
    const bool stream = Output.Type != OutputTarget::Kind::File;
    Sink = std::make_unique<AudioSink>(stream ? AudioSink::Kind::Stream : AudioSink::Kind::File, Fd,
                                       interrupted);
    if (stream && (format == AudioFormat::Wav || format == AudioFormat::Rf64)) {
        const auto header = FinishedHeader(info, frames);
        if (!header)
            return Fail("cannot stream " + std::string(AudioFormatName(format)) + " to " +
                        Output.Shown);
        Sink->SetHead(*header);
    }
    File = sf_open_virtual(Sink->Io(), SFM_WRITE, &info, Sink.get());
    if (File == nullptr)
        return Fail("cannot create " + Output.Shown + ": " + Reason());
    if (stream && !Sink->Kept().empty() &&
        Sink->Tell() != static_cast<int64_t>(Sink->Kept().size()))
        return Fail("cannot stream " + std::string(AudioFormatName(format)) + " to " +
                    Output.Shown);
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

bool AudioFileWriter::OpenDescriptor(const std::atomic<bool>* interrupted) {
    switch (Output.Type) {
    case OutputTarget::Kind::StandardOutput:
        Fd = STDOUT_FILENO;
        return true;
    case OutputTarget::Kind::File:
        return CreateTemporary();
    case OutputTarget::Kind::Stream:
        break;
    }
    // A FIFO's open waits for its reader; Ctrl-C ends the wait.
    while ((Fd = ::open(Output.Path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY)) < 0) {
        if (errno != EINTR)
            return Fail("cannot write " + Output.Shown + ": " + std::strerror(errno));
        if (interrupted != nullptr && interrupted->load())
            return Fail("cannot write " + Output.Shown + ": interrupted");
    }
    OwnFd = true;
    return true;
}

// NAME.part beside the target, or NAME.2.part, ... when that name is taken:
// a file that is not ours is never truncated.
bool AudioFileWriter::CreateTemporary() {
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::string name =
            Output.Path + (attempt == 1 ? "" : '.' + std::to_string(attempt)) + ".part";
        Fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (Fd >= 0) {
            Temporary = name;
            OwnFd = true;
            return true;
        }
        if (errno != EEXIST)
            return Fail("cannot create " + Output.Shown + ": " + std::strerror(errno));
    }
    return Fail("cannot create " + Output.Shown + ": its temporary names are all taken");
}

bool AudioFileWriter::Write(const int16_t* samples, int64_t count) {
    if (File == nullptr)
        return false;
    if (sf_write_short(File, samples, count) != count || Sink->ErrorNumber() != 0)
        return Fail("cannot write " + Output.Shown + ": " + Reason());
    return true;
}

bool AudioFileWriter::Commit() {
    if (File == nullptr)
        return false;
    const int closed = sf_close(File);
    File = nullptr;
    if (Sink->ErrorNumber() != 0)
        return Fail("cannot write " + Output.Shown + ": " + Reason());
    if (closed != 0)
        return Fail("cannot finish " + Output.Shown + ": " + sf_error_number(closed));
    // Written means on the disk: a delayed failure shows at fsync or close.
    if (Output.Type == OutputTarget::Kind::File && ::fsync(Fd) != 0)
        return Fail("cannot write " + Output.Shown + ": " + std::strerror(errno));
    if (!CloseDescriptor())
        return Fail("cannot write " + Output.Shown + ": " + std::strerror(errno));
    if (Output.Type == OutputTarget::Kind::File)
        return PlaceFile();
    return true;
}

bool AudioFileWriter::CloseDescriptor() {
    const bool own = OwnFd;
    OwnFd = false;
    const int fd = Fd;
    Fd = -1;
    return !own || ::close(fd) == 0;
}

// Renames over a regular file or onto nothing, never over anything else that
// may have taken the name meanwhile.
bool AudioFileWriter::PlaceFile() {
    struct stat status {};
    int result = 0;
    bool linked = false;
    if (::lstat(Output.Path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode))
            return Fail("cannot write " + Output.Shown + ": it is no longer a regular file");
        result = ::rename(Temporary.c_str(), Output.Path.c_str());
    } else {
        result = ::renameat2(AT_FDCWD, Temporary.c_str(), AT_FDCWD, Output.Path.c_str(),
                             RENAME_NOREPLACE);
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) { // a file system without it
            result = ::link(Temporary.c_str(), Output.Path.c_str());
            linked = result == 0;
        }
    }
    if (result != 0)
        return Fail("cannot write " + Output.Shown + ": " + std::strerror(errno));
    if (linked)
        ::unlink(Temporary.c_str());
    Temporary.clear();
    return true;
}

void AudioFileWriter::Abandon() {
    if (File != nullptr) {
        sf_close(File);
        File = nullptr;
    }
    CloseDescriptor();
    if (!Temporary.empty()) {
        ::unlink(Temporary.c_str());
        Temporary.clear();
    }
}

} // namespace tonvik
