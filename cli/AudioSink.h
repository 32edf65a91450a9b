#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include <sndfile.h>

namespace tonvik {

// Where libsndfile's bytes go, through its virtual I/O, so that every failed
// write is seen: some of its writers (MPEG) ignore a short write, and none
// says why a write failed.
//   File:   a regular file of ours, seekable.
//   Stream: a pipe, a FIFO, a character device or standard output. Bytes go out
//           once, in order; a later rewrite of bytes already sent (a header
//           finished at close) is dropped. A Head set beforehand replaces the
//           first bytes, so that a WAV header can be sent finished at once.
//   Probe:  no descriptor; counts the length and keeps the first bytes, to learn
//           the finished header of a file of known length.
class AudioSink {
public:
    enum class Kind { File, Stream, Probe };

    AudioSink(Kind kind, int fd, const std::atomic<bool>* interrupted = nullptr);
    AudioSink(const AudioSink&) = delete;
    AudioSink& operator=(const AudioSink&) = delete;

    SF_VIRTUAL_IO* Io() { return &Callbacks; }

    // The errno of the first failed write or seek; 0 while all went well.
    int ErrorNumber() const { return Error; }
    int64_t Length() const { return End; }
    // Probe: the first bytes written (up to KeptBytes).
    const std::string& Kept() const { return Head; }
    // Stream: the bytes that replace the first ones written.
    void SetHead(std::string head) { Head = std::move(head); }

    static constexpr size_t KeptBytes = 1 << 16;

    // The callbacks' work; public for the C callbacks only.
    sf_count_t Write(const void* data, sf_count_t count);
    sf_count_t Seek(sf_count_t offset, int whence);
    sf_count_t Read(void* data, sf_count_t count);
    sf_count_t FileLength();
    sf_count_t Tell() const { return Position; }

private:
    bool WriteAll(const char* data, size_t count);
    sf_count_t WriteStream(const char* data, sf_count_t count);

    Kind Type;
    int Fd;
    const std::atomic<bool>* Interrupted;
    SF_VIRTUAL_IO Callbacks;
    std::string Head;
    int64_t Position = 0;
    int64_t End = 0; // bytes written or sent so far
    int Error = 0;
};

} // namespace tonvik
