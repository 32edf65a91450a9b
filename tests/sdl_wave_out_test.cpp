#include "keying/SdlWaveOut.h"
#include "tests/support/RecordingCompare.h"
#include "tests/support/TestWaveOut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

using namespace tonvik;
using namespace std::chrono_literals;

namespace {

// A sample buffer with its header, at a fixed address.
struct Buffer {
    std::vector<int16_t> Samples;
    WaveHeader Header;
};

// Nonzero samples counting up from `first`, so that a lost or repeated sample
// shows in the capture.
std::unique_ptr<Buffer> MakeBuffer(size_t count, int first) {
    auto buffer = std::make_unique<Buffer>();
    for (size_t n = 0; n < count; ++n)
        buffer->Samples.push_back(static_cast<int16_t>(first + static_cast<int>(n % 997)));
    buffer->Header.Data = buffer->Samples.data();
    buffer->Header.BufferLength = static_cast<uint32_t>(count * 2);
    return buffer;
}

using Buffers = std::vector<std::unique_ptr<Buffer>>;

struct Spec {
    size_t Count;
    int First;
};

Buffers MakeBuffers(std::initializer_list<Spec> specs) {
    Buffers buffers;
    for (const Spec& spec : specs)
        buffers.push_back(MakeBuffer(spec.Count, spec.First));
    return buffers;
}

std::vector<int16_t> Concat(const Buffers& buffers) {
    std::vector<int16_t> all;
    for (const auto& buffer : buffers)
        all.insert(all.end(), buffer->Samples.begin(), buffer->Samples.end());
    return all;
}

void UseDriver(const char* name) {
    setenv("SDL_AUDIODRIVER", name, 1);
}

constexpr auto NoticeWait = 3000ms;

class SdlWaveOutTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (!Capture.empty())
            std::filesystem::remove(Capture);
    }

    // The disk driver writes exactly what the device was handed, in real time.
    void UseDisk() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Capture = std::filesystem::temp_directory_path() /
                  ("tonvik_" + std::string(info->name()) + "_" + std::to_string(getpid()) + ".raw");
        setenv("SDL_DISKAUDIOFILE", Capture.c_str(), 1);
        UseDriver("disk");
    }

    void Expect(WaveMessage message, WaveHandle device, const WaveHeader* header,
                std::chrono::milliseconds wait = NoticeWait) {
        const auto notice = Notes.Next(wait);
        ASSERT_TRUE(notice.has_value()) << "no notice " << static_cast<int>(message);
        EXPECT_EQ(notice->Message, message);
        EXPECT_EQ(notice->Device, device);
        EXPECT_EQ(notice->Header, header);
    }

    void ExpectQuiet() { EXPECT_FALSE(Notes.Next(100ms).has_value()); }

    WaveHandle OpenOn(SdlWaveOut& out) {
        WaveHandle handle = 0;
        EXPECT_EQ(out.Open(&handle, PcmFormat8k16Mono(), &Notes), MmNoError) << out.LastError();
        EXPECT_NE(handle, 0u);
        Expect(WaveMessage::Open, handle, nullptr, 0ms);
        return handle;
    }

    static void WriteOne(SdlWaveOut& out, WaveHandle handle, Buffer& buffer) {
        ASSERT_EQ(out.PrepareHeader(handle, &buffer.Header), MmNoError);
        ASSERT_EQ(out.Write(handle, &buffer.Header), MmNoError);
    }

    static void WriteAll(SdlWaveOut& out, WaveHandle handle, const Buffers& buffers) {
        for (const auto& buffer : buffers)
            WriteOne(out, handle, *buffer);
    }

    WaitingNotifier Notes;
    std::filesystem::path Capture;
};

size_t FirstSound(const std::vector<int16_t>& capture) {
    return static_cast<size_t>(
        std::find_if(capture.begin(), capture.end(), [](int16_t s) { return s != 0; }) -
        capture.begin());
}

bool SilentFrom(const std::vector<int16_t>& capture, size_t from) {
    return std::all_of(capture.begin() + static_cast<std::ptrdiff_t>(from), capture.end(),
                       [](int16_t s) { return s == 0; });
}

bool SoundsAt(const std::vector<int16_t>& capture, size_t pos, const std::vector<int16_t>& sound) {
    return capture.size() >= pos + sound.size() &&
           std::equal(sound.begin(), sound.end(),
                      capture.begin() + static_cast<std::ptrdiff_t>(pos));
}

// Silence, the lead in full, a strict prefix of `cut`, maybe silence, the tail
// in full, silence.
void ExpectCutBetween(const std::vector<int16_t>& capture, const std::vector<int16_t>& lead,
                      const std::vector<int16_t>& cut, const std::vector<int16_t>& tail) {
    size_t pos = FirstSound(capture);
    ASSERT_TRUE(SoundsAt(capture, pos, lead));
    pos += lead.size();
    size_t played = 0;
    while (pos < capture.size() && played < cut.size() && capture[pos] == cut[played])
        ++pos, ++played;
    EXPECT_LT(played, cut.size());
    while (pos < capture.size() && capture[pos] == 0)
        ++pos;
    ASSERT_TRUE(SoundsAt(capture, pos, tail));
    EXPECT_TRUE(SilentFrom(capture, pos + tail.size()));
}

TEST_F(SdlWaveOutTest, PlaysBuffersBackToBackAndCompletesThemInOrder) {
    UseDisk();
    const Buffers buffers =
        MakeBuffers({{2000, 1}, {0, 1}, {2500, 3000}, {0, 1}, {0, 1}, {1500, 6000}});
    {
        SdlWaveOut out;
        const WaveHandle handle = OpenOn(out);
        WriteAll(out, handle, buffers);
        for (const auto& buffer : buffers)
            Expect(WaveMessage::Done, handle, &buffer->Header);
        EXPECT_EQ(out.Close(handle), MmNoError);
        Expect(WaveMessage::Close, handle, nullptr, 0ms);
        ExpectQuiet();
    }
    const std::vector<int16_t> expected = Concat(buffers);
    const std::vector<int16_t> capture = ReadRawSamples(Capture);
    const size_t first = FirstSound(capture);
    EXPECT_TRUE(SoundsAt(capture, first, expected));
    EXPECT_TRUE(SilentFrom(capture, std::min(capture.size(), first + expected.size())));
}

TEST_F(SdlWaveOutTest, ResetReturnsEveryQueuedBufferAndStopsReadingThem) {
    UseDisk();
    constexpr int16_t Marker = -31000;
    const auto lead = MakeBuffer(800, 1);
    const Buffers queued = MakeBuffers({{4000, 1000}, {4000, 5000}, {0, 1}, {4000, 9000}});
    const std::vector<int16_t> queuedSound = Concat(queued);
    const auto tail = MakeBuffer(400, 20000);
    {
        SdlWaveOut out;
        const WaveHandle handle = OpenOn(out);
        WriteOne(out, handle, *lead);
        WriteAll(out, handle, queued);
        Expect(WaveMessage::Done, handle, &lead->Header);

        // Playing the first of the queued buffers now; every one comes back
        // before Reset returns.
        EXPECT_EQ(out.Reset(handle), MmNoError);
        for (const auto& buffer : queued) {
            Expect(WaveMessage::Done, handle, &buffer->Header, 0ms);
            std::fill(buffer->Samples.begin(), buffer->Samples.end(), Marker);
        }
        // Once this has played, any late read of the old buffers would have shown.
        WriteOne(out, handle, *tail);
        Expect(WaveMessage::Done, handle, &tail->Header);
        EXPECT_EQ(out.Close(handle), MmNoError);
        Expect(WaveMessage::Close, handle, nullptr, 0ms);
        ExpectQuiet();
    }
    const std::vector<int16_t> capture = ReadRawSamples(Capture);
    EXPECT_EQ(std::count(capture.begin(), capture.end(), Marker), 0);
    ExpectCutBetween(capture, lead->Samples, queuedSound, tail->Samples);
}

TEST_F(SdlWaveOutTest, ZeroLengthBuffersCompleteWhenReachedInOrder) {
    UseDriver("dummy");
    SdlWaveOut out;
    const WaveHandle handle = OpenOn(out);
    // Nothing ahead of it: done before Write returns.
    const auto atHead = MakeBuffer(0, 1);
    WriteOne(out, handle, *atHead);
    Expect(WaveMessage::Done, handle, &atHead->Header, 0ms);

    // Behind a playing buffer: done right after it, never before.
    const Buffers mixed = MakeBuffers({{400, 1}, {0, 1}, {400, 1}, {0, 1}, {0, 1}});
    WriteAll(out, handle, mixed);
    for (const auto& buffer : mixed)
        Expect(WaveMessage::Done, handle, &buffer->Header);

    // Returned by a reset in its place among the others.
    const Buffers cut = MakeBuffers({{8000, 1}, {0, 1}, {400, 1}});
    WriteAll(out, handle, cut);
    EXPECT_EQ(out.Reset(handle), MmNoError);
    for (const auto& buffer : cut)
        Expect(WaveMessage::Done, handle, &buffer->Header, 0ms);
    EXPECT_EQ(out.Close(handle), MmNoError);
    Expect(WaveMessage::Close, handle, nullptr, 0ms);
    ExpectQuiet();
}

TEST_F(SdlWaveOutTest, FailedOpenPostsNothingAndCanBeRetried) {
    UseDriver("nonexistent");
    SdlWaveOut out;
    WaveHandle handle = 0;
    EXPECT_EQ(out.Open(&handle, PcmFormat8k16Mono(), &Notes), MmNoDriver);
    EXPECT_EQ(handle, 0u);
    EXPECT_FALSE(out.LastError().empty());
    EXPECT_FALSE(out.PhysicalDeviceOpen());
    ExpectQuiet();

    // A driver whose device cannot open: here the disk driver with nowhere to write.
    UseDriver("disk");
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/capture.raw", 1);
    EXPECT_EQ(out.Open(&handle, PcmFormat8k16Mono(), &Notes), MmBadDeviceId);
    EXPECT_EQ(handle, 0u);
    EXPECT_FALSE(out.PhysicalDeviceOpen());
    ExpectQuiet();

    UseDriver("dummy");
    const WaveHandle opened = OpenOn(out);
    EXPECT_EQ(out.Close(opened), MmNoError);
    Expect(WaveMessage::Close, opened, nullptr, 0ms);
}

TEST_F(SdlWaveOutTest, RepeatedLogicalOpensGetFreshHandlesOnOneDevice) {
    UseDriver("dummy");
    SdlWaveOut out;
    std::set<WaveHandle> handles;
    const auto buffer = MakeBuffer(4000, 1);
    for (int n = 0; n < 50; ++n) {
        const WaveHandle handle = OpenOn(out);
        handles.insert(handle);
        EXPECT_TRUE(out.PhysicalDeviceOpen());
        if (n % 10 == 0) {
            ASSERT_EQ(out.PrepareHeader(handle, &buffer->Header), MmNoError);
            ASSERT_EQ(out.Write(handle, &buffer->Header), MmNoError);
            EXPECT_EQ(out.Reset(handle), MmNoError);
            Expect(WaveMessage::Done, handle, &buffer->Header, 0ms);
            EXPECT_EQ(out.UnprepareHeader(handle, &buffer->Header), MmNoError);
        }
        EXPECT_EQ(out.Close(handle), MmNoError);
        Expect(WaveMessage::Close, handle, nullptr, 0ms);
    }
    EXPECT_EQ(handles.size(), 50u);
    ExpectQuiet();
}

TEST_F(SdlWaveOutTest, RefusesMisuseWithoutNotices) {
    UseDriver("dummy");
    SdlWaveOut out;
    WaveHandle handle = 0;
    WaveFormat stereo = PcmFormat8k16Mono();
    stereo.Channels = 2;
    EXPECT_EQ(out.Open(&handle, stereo, &Notes), WaveBadFormat);
    EXPECT_EQ(out.Open(nullptr, PcmFormat8k16Mono(), &Notes), 11u);
    ExpectQuiet();

    handle = OpenOn(out);
    WaveHandle second = 0;
    EXPECT_EQ(out.Open(&second, PcmFormat8k16Mono(), &Notes), MmAllocated);
    const auto buffer = MakeBuffer(8000, 1);
    EXPECT_EQ(out.Write(handle, &buffer->Header), WaveUnprepared);
    EXPECT_EQ(out.PrepareHeader(handle + 1, &buffer->Header), MmInvalidHandle);
    ASSERT_EQ(out.PrepareHeader(handle, &buffer->Header), MmNoError);
    EXPECT_EQ(out.Write(handle + 1, &buffer->Header), MmInvalidHandle);
    ASSERT_EQ(out.Write(handle, &buffer->Header), MmNoError);
    EXPECT_EQ(out.Write(handle, &buffer->Header), 33u);
    EXPECT_EQ(out.UnprepareHeader(handle, &buffer->Header), 33u);
    EXPECT_EQ(out.Reset(0), MmInvalidHandle);
    EXPECT_EQ(out.Close(handle + 1), MmInvalidHandle);
    ExpectQuiet();

    EXPECT_EQ(out.Close(handle), MmNoError);
    Expect(WaveMessage::Done, handle, &buffer->Header, 0ms);
    Expect(WaveMessage::Close, handle, nullptr, 0ms);
    // The pump resets and closes again for each late completion.
    EXPECT_EQ(out.Write(handle, &buffer->Header), MmInvalidHandle);
    EXPECT_EQ(out.Reset(handle), MmInvalidHandle);
    EXPECT_EQ(out.Close(handle), MmInvalidHandle);
    EXPECT_EQ(out.UnprepareHeader(handle, &buffer->Header), MmNoError);
    ExpectQuiet();
}

TEST_F(SdlWaveOutTest, ReleasesIdleDeviceAndOpensItAgain) {
    UseDriver("dummy");
    SdlWaveOut out(SdlWaveOut::DefaultPeriodSamples, 150ms);
    WaveHandle handle = OpenOn(out);
    EXPECT_FALSE(out.WaitUntilReleased(400ms)); // kept while open
    EXPECT_EQ(out.Close(handle), MmNoError);
    Expect(WaveMessage::Close, handle, nullptr, 0ms);
    EXPECT_TRUE(out.WaitUntilReleased(5000ms));
    EXPECT_FALSE(out.PhysicalDeviceOpen());

    handle = OpenOn(out);
    EXPECT_TRUE(out.PhysicalDeviceOpen());
    const auto buffer = MakeBuffer(200, 1);
    ASSERT_EQ(out.PrepareHeader(handle, &buffer->Header), MmNoError);
    ASSERT_EQ(out.Write(handle, &buffer->Header), MmNoError);
    Expect(WaveMessage::Done, handle, &buffer->Header);
    EXPECT_EQ(out.Close(handle), MmNoError);
    Expect(WaveMessage::Close, handle, nullptr, 0ms);
}

TEST_F(SdlWaveOutTest, DestructionDropsQueuedBuffersWithoutNotices) {
    UseDriver("dummy");
    {
        const auto buffer = MakeBuffer(8000, 1);
        SdlWaveOut out;
        const WaveHandle handle = OpenOn(out);
        ASSERT_EQ(out.PrepareHeader(handle, &buffer->Header), MmNoError);
        ASSERT_EQ(out.Write(handle, &buffer->Header), MmNoError);
    }
    ExpectQuiet();
}

} // namespace
