// The latency a user sets for the window through the environment, and the
// starvation count of the SDL device, on SDL's dummy driver.
#include "keying/SdlWaveOut.h"
#include "keying/SoundOutput.h"
#include "tests/support/TestWaveOut.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

using namespace tonvik;
using namespace std::chrono_literals;

namespace {

std::optional<int> LatencyWith(const char* value, std::string& error) {
    if (value == nullptr)
        ::unsetenv(LatencyVariable);
    else
        ::setenv(LatencyVariable, value, 1);
    error.clear();
    return LatencyFromEnvironment(error);
}

} // namespace

TEST(SoundLatency, EnvironmentGivesAWholeNumberOfMillisecondsInRange) {
    std::string error;
    EXPECT_EQ(LatencyWith(nullptr, error), 0);
    EXPECT_EQ(LatencyWith("", error), 0);
    EXPECT_EQ(LatencyWith("20", error), 20);
    EXPECT_EQ(LatencyWith("1000", error), 1000);
    EXPECT_EQ(error, "");
    for (const char* bad : {"19", "1001", "-50", "100ms", " 100", "1e2", "99999999999999"}) {
        EXPECT_FALSE(LatencyWith(bad, error).has_value()) << bad;
        EXPECT_EQ(error, "TONVIK_LATENCY_MS must be a number of milliseconds, 20..1000") << bad;
    }
    ::unsetenv(LatencyVariable);
}

TEST(SoundLatency, AnSdlDriverChosenByNameGetsTheSdlDevice) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    const auto device = CreateSoundOutput(48);
    EXPECT_NE(dynamic_cast<SdlWaveOut*>(device.get()), nullptr);
}

class SdlStarvation : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        Samples.assign(400, 1000);
        for (auto& header : Headers) {
            header.Data = Samples.data();
            header.BufferLength = static_cast<uint32_t>(Samples.size() * 2);
        }
        ASSERT_EQ(Out.Open(&Handle, PcmFormat8k16Mono(), &Notes), MmNoError) << Out.LastError();
        ASSERT_TRUE(Notes.WaitFor(WaveMessage::Open, 1000ms));
    }
    void PlayOut(WaveHeader& header) {
        ASSERT_EQ(Out.PrepareHeader(Handle, &header), MmNoError);
        ASSERT_EQ(Out.Write(Handle, &header), MmNoError);
        ASSERT_TRUE(Notes.WaitFor(WaveMessage::Done, 2000ms));
        std::this_thread::sleep_for(200ms); // several callbacks of silence after it
    }

    // A long period (half a second), so that only a late write can count
    // here, never a callback of the dummy driver a little late.
    SdlWaveOut Out{4096};
    WaitingNotifier Notes;
    WaveHandle Handle = 0;
    std::vector<int16_t> Samples;
    WaveHeader Headers[2];
};

TEST_F(SdlStarvation, ABufferWrittenAfterTheQueueRanDryIsCounted) {
    PlayOut(Headers[0]);
    EXPECT_EQ(Out.Starvations(), 0u); // the end of the sound is no starvation by itself
    PlayOut(Headers[1]);
    EXPECT_EQ(Out.Starvations(), 1u);
    EXPECT_EQ(Out.Status(Handle), MmNoError);
    Out.Close(Handle);
}

TEST_F(SdlStarvation, KeyingThatStoppedOnPurposeIsNotCounted) {
    PlayOut(Headers[0]);
    // Reset, or a new opening, starts the next keying from silence.
    Out.Reset(Handle);
    PlayOut(Headers[1]);
    Out.Close(Handle);
    ASSERT_EQ(Out.Open(&Handle, PcmFormat8k16Mono(), &Notes), MmNoError);
    PlayOut(Headers[0]);
    EXPECT_EQ(Out.Starvations(), 0u);
    Out.Close(Handle);
}
