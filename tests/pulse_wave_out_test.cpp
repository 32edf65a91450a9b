// The sound server's stream as a waveform device: completion order, reset,
// the underrun count, the idle release and a server that goes away. Runs
// against the test server of TONVIK_TEST_PULSE and private servers of its
// own; skipped where there is none.
#include "keying/PulseWaveOut.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/TestWaveOut.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tonvik;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using Sound = SoundBuffer;

class PulseWaveOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string shared = SharedTestServer();
        if (shared.empty())
            GTEST_SKIP() << "no test sound server (TONVIK_TEST_PULSE)";
        UseServer(shared);
        Dir = fs::temp_directory_path() / ("tonvik-pulse-" + std::to_string(::getpid()));
        fs::create_directories(Dir);
    }
    void TearDown() override {
        Out.reset();
        if (!Dir.empty())
            fs::remove_all(Dir);
        ::unsetenv("PULSE_SERVER");
    }

    static void UseServer(const std::string& runtime) {
        ::setenv("PULSE_SERVER", ServerAddress(runtime).c_str(), 1);
    }

    WaveHandle OpenOne(std::chrono::milliseconds idle = HeldWaveOut::DefaultIdleRelease) {
        if (!Out)
            Out = std::make_unique<PulseWaveOut>(PulseWaveOut::DefaultBuffered, idle);
        WaveHandle handle = 0;
        EXPECT_EQ(Out->Open(&handle, PcmFormat8k16Mono(), &Notes), MmNoError) << Out->LastError();
        Expect(WaveMessage::Open, handle, nullptr);
        return handle;
    }
    void WriteOne(WaveHandle handle, Sound& sound) {
        ASSERT_EQ(Out->PrepareHeader(handle, &sound.Header), MmNoError);
        ASSERT_EQ(Out->Write(handle, &sound.Header), MmNoError);
    }
    void Expect(WaveMessage message, WaveHandle device, const WaveHeader* header,
                std::chrono::milliseconds wait = 3000ms) {
        const auto notice = Notes.Next(wait);
        ASSERT_TRUE(notice.has_value()) << "no notice " << static_cast<int>(message);
        EXPECT_EQ(notice->Message, message);
        EXPECT_EQ(notice->Device, device);
        EXPECT_EQ(notice->Header, header);
    }

    std::unique_ptr<PulseWaveOut> Out;
    WaitingNotifier Notes;
    fs::path Dir;
};

TEST_F(PulseWaveOutTest, BuffersCompleteInOrderAndResetReturnsThoseNotYetHandedOver) {
    const WaveHandle handle = OpenOne();
    // Short ones fit into the server's buffer at once; a zero-length one
    // completes in its place.
    Sound first(400), empty(0), second(400);
    WriteOne(handle, first);
    WriteOne(handle, empty);
    WriteOne(handle, second);
    Expect(WaveMessage::Done, handle, &first.Header);
    Expect(WaveMessage::Done, handle, &empty.Header);
    Expect(WaveMessage::Done, handle, &second.Header);

    // Two seconds cannot be handed over into 400 ms: reset returns both, in order.
    Sound long1(8000), long2(8000);
    WriteOne(handle, long1);
    WriteOne(handle, long2);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Out->UnprepareHeader(handle, &long1.Header), 33u);
    EXPECT_EQ(Out->Reset(handle), MmNoError);
    Expect(WaveMessage::Done, handle, &long1.Header, 0ms);
    Expect(WaveMessage::Done, handle, &long2.Header, 0ms);
    EXPECT_EQ(Out->Close(handle), MmNoError);
    Expect(WaveMessage::Close, handle, nullptr, 0ms);
    EXPECT_FALSE(Notes.Next(300ms).has_value());
    EXPECT_EQ(Out->Write(handle, &long1.Header), MmInvalidHandle);
}

TEST_F(PulseWaveOutTest, UnderrunWhileKeyingIsCountedAndTheQuietBetweenCallsignsIsNot) {
    WaveHandle handle = OpenOne();
    Sound first(800), late(800);
    WriteOne(handle, first);
    Expect(WaveMessage::Done, handle, &first.Header);
    std::this_thread::sleep_for(600ms); // played out: the server ran dry
    WriteOne(handle, late);
    Expect(WaveMessage::Done, handle, &late.Header);
    EXPECT_GE(Out->Starvations(), 1u);
    const uint64_t whileKeying = Out->Starvations();

    // Closed at the end of a callsign: running empty now is the pause.
    EXPECT_EQ(Out->Close(handle), MmNoError);
    Expect(WaveMessage::Close, handle, nullptr, 0ms);
    std::this_thread::sleep_for(600ms);
    handle = OpenOne();
    Sound next(800);
    WriteOne(handle, next);
    Expect(WaveMessage::Done, handle, &next.Header);
    EXPECT_EQ(Out->Close(handle), MmNoError);
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(Out->Starvations(), whileKeying);
}

TEST_F(PulseWaveOutTest, IdleStreamIsReleasedAndOpensAgain) {
    WaveHandle handle = OpenOne(150ms);
    EXPECT_FALSE(Out->WaitUntilReleased(400ms)); // kept while open
    EXPECT_EQ(Out->Close(handle), MmNoError);
    Expect(WaveMessage::Close, handle, nullptr, 0ms);
    EXPECT_TRUE(Out->WaitUntilReleased(5000ms));
    EXPECT_FALSE(Out->PhysicalDeviceOpen());
    handle = OpenOne();
    EXPECT_TRUE(Out->PhysicalDeviceOpen());
    Sound sound(200);
    WriteOne(handle, sound);
    Expect(WaveMessage::Done, handle, &sound.Header);
    EXPECT_EQ(Out->Close(handle), MmNoError);
}

TEST_F(PulseWaveOutTest, NoServerFailsTheOpenWithNothingPosted) {
    ::setenv("PULSE_SERVER", ("unix:" + (Dir / "none").string()).c_str(), 1);
    EXPECT_FALSE(PulseWaveOut::ServerAnswers());
    PulseWaveOut out;
    WaveHandle handle = 0;
    EXPECT_EQ(out.Open(&handle, PcmFormat8k16Mono(), &Notes), MmNoDriver);
    EXPECT_EQ(handle, 0u);
    EXPECT_FALSE(out.LastError().empty());
    EXPECT_FALSE(Notes.Next(200ms).has_value());
}

TEST_F(PulseWaveOutTest, ServerGoneCompletesEveryBufferAndTheNextServerIsUsed) {
    PrivatePulseServer server(Dir / "server");
    ASSERT_TRUE(server.Start());
    UseServer(server.Folder());
    WaveHandle handle = OpenOne();
    Sound long1(80000), later(400);
    WriteOne(handle, long1);
    EXPECT_EQ(Out->Status(handle), MmNoError);
    server.Stop();
    Expect(WaveMessage::Done, handle, &long1.Header, 5000ms);
    EXPECT_EQ(Out->Status(handle), WaveDeviceGone);
    WriteOne(handle, later); // completes at once: nothing plays it
    Expect(WaveMessage::Done, handle, &later.Header, 0ms);
    EXPECT_EQ(Out->Close(handle), MmNoError);
    Expect(WaveMessage::Close, handle, nullptr, 0ms);

    ASSERT_TRUE(server.Start());
    handle = OpenOne();
    EXPECT_EQ(Out->Status(handle), MmNoError);
    Sound sound(400);
    WriteOne(handle, sound);
    Expect(WaveMessage::Done, handle, &sound.Header);
    EXPECT_EQ(Out->Close(handle), MmNoError);
}

} // namespace
