#include "cli/AudioSink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tonvik {
namespace {

AudioSink& Of(void* user) {
    return *static_cast<AudioSink*>(user);
}

extern "C" sf_count_t SinkLength(void* user) {
    return Of(user).FileLength();
}
extern "C" sf_count_t SinkSeek(sf_count_t offset, int whence, void* user) {
    return Of(user).Seek(offset, whence);
}
extern "C" sf_count_t SinkRead(void* data, sf_count_t count, void* user) {
    return Of(user).Read(data, count);
}
extern "C" sf_count_t SinkWrite(const void* data, sf_count_t count, void* user) {
    return Of(user).Write(data, count);
}
extern "C" sf_count_t SinkTell(void* user) {
    return Of(user).Tell();
}

} // namespace

AudioSink::AudioSink(Kind kind, int fd, const std::atomic<bool>* interrupted)
    : Type(kind), Fd(fd),
      Interrupted(interrupted), Callbacks{SinkLength, SinkSeek, SinkRead, SinkWrite, SinkTell} {}

// Writes everything or notes why not. A signal only interrupts the write when
// it asked the program to stop; a full pipe or a slow device is waited for.
bool AudioSink::WriteAll(const char* data, size_t count) {
    while (count > 0 && Error == 0) {
        const ssize_t n = ::write(Fd, data, count);
        if (n > 0) {
            data += n;
            count -= static_cast<size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            Error = n < 0 ? errno : EIO;
        }
        // A signal cuts a write to a full pipe short or makes it fail; either
        // way, stop here when it asked the program to.
        if (Error == 0 && Interrupted != nullptr && Interrupted->load())
            Error = EINTR;
    }
    return Error == 0;
}

sf_count_t AudioSink::Write(const void* data, sf_count_t count) {
    if (Error != 0 || count < 0)
        return 0;
    const char* bytes = static_cast<const char*>(data);
    switch (Type) {
    case Kind::File:
        if (!WriteAll(bytes, static_cast<size_t>(count)))
            return 0;
        break;
    case Kind::Stream:
        return WriteStream(bytes, count);
    case Kind::Probe:
        if (static_cast<size_t>(Position) < KeptBytes) {
            const size_t kept = std::min(static_cast<size_t>(count), KeptBytes - Position);
            if (Head.size() < Position + kept)
                Head.resize(Position + kept);
            std::memcpy(Head.data() + Position, bytes, kept);
        }
        break;
    }
    Position += count;
    End = std::max(End, Position);
    return count;
}

// Bytes below End were sent already; of the new ones, those under the head are
// replaced by it.
sf_count_t AudioSink::WriteStream(const char* data, sf_count_t count) {
    const int64_t resent = std::min<int64_t>(count, End - Position);
    Position += resent;
    for (int64_t at = resent; at < count && Error == 0;) {
        const bool inHead = static_cast<size_t>(Position) < Head.size();
        const int64_t n =
            inHead ? std::min<int64_t>(count - at, Head.size() - Position) : count - at;
        if (!WriteAll(inHead ? Head.data() + Position : data + at, static_cast<size_t>(n)))
            return 0;
        at += n;
        Position += n;
        End = Position;
    }
    return Error == 0 ? count : 0;
}

sf_count_t AudioSink::Seek(sf_count_t offset, int whence) {
    if (Type == Kind::File) {
        const off_t at = ::lseek(Fd, offset, whence);
        if (at < 0) {
            Error = Error == 0 ? errno : Error;
            return -1;
        }
        Position = at;
        return at;
    }
    const int64_t target = whence == SEEK_SET   ? offset
                           : whence == SEEK_CUR ? Position + offset
                                                : End + offset;
    // Nothing can be written past what was sent: there is no going forward.
    if (target < 0 || target > End)
        return -1;
    Position = target;
    return Position;
}

sf_count_t AudioSink::Read(void* data, sf_count_t count) {
    if (Type != Kind::File)
        return 0;
    const ssize_t n = ::read(Fd, data, static_cast<size_t>(count));
    if (n > 0)
        Position += n;
    return n < 0 ? 0 : n;
}

sf_count_t AudioSink::FileLength() {
    if (Type != Kind::File)
        return End;
    struct stat status {};
    if (::fstat(Fd, &status) != 0)
        return -1;
    return status.st_size;
}

} // namespace tonvik
