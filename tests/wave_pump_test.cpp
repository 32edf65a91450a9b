#include "keying/MmErrMsg.h"
#include "keying/WavePump.h"
#include "tests/support/KeyedText.h"
#include "tests/support/TestWaveOut.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace tonvik;

namespace {

class FakeHost : public PumpHost {
public:
    explicit FakeHost(PlayState& state) : State(state) {}

    int ActivePage() const override { return Settings.ActivePage; }
    KeyerSettings CurrentKeyerSettings() const override { return Settings; }
    void PauseForAnswer() override {
        ++Pauses;
        State.StopRequested = true;
        State.AwaitingAnswer = true;
    }
    void EndExercise() override {
        ++Ends;
        State.StopRequested = true;
        if (DuringEndMessage) // what a modal message box's loop would deliver
            DuringEndMessage();
    }
    void ShowWarning(const std::string& text, const std::string& caption) override {
        Warnings.push_back(caption + "|" + text);
    }

    PlayState& State;
    KeyerSettings Settings;
    int Pauses = 0;
    int Ends = 0;
    std::vector<std::string> Warnings;
    std::function<void()> DuringEndMessage;
};

class PumpTest : public ::testing::Test {
protected:
    void SetUp() override { keyer.BuildSineTable(5); }

    void Start(const std::string& text, int page) {
        host.Settings.ActivePage = page;
        state.PlayText = text;
        state.PlayPos = 1;
        state.SentText.clear();
        pump->OpenWaveOut();
    }
    // Delivers queued notifications, as the window's event loop would.
    void Deliver() {
        while (!notices.Empty()) {
            const auto n = notices.Take();
            pump->Dispatch(n.Message, n.Device, n.Header);
        }
    }
    // Plays buffers one by one until the device closes or nothing is queued.
    void PlayToEnd(int limit = 100000) {
        Deliver();
        while (limit-- > 0 && device.CompleteNext())
            Deliver();
    }
    std::vector<int16_t> KeyedAlone(const std::string& text, int page) {
        KeyerSettings s = host.Settings;
        s.ActivePage = page;
        return KeyedText(text, s);
    }

    Keyer keyer;
    PlayState state;
    FakeHost host{state};
    TestWaveOut device;
    QueueNotifier notices;
    std::unique_ptr<WavePump> pump =
        std::make_unique<WavePump>(device, notices, keyer, state, host);
};

} // namespace

TEST_F(PumpTest, OneCharacterTextKeysSpaceThenCodeZeroAndEnds) {
    for (int page : {CallsignPage, TextPage}) {
        Start(" ", page);
        Deliver();
        ASSERT_EQ(device.Writes.size(), 2u);
        EXPECT_EQ(state.SentText, std::string(" \0", 2));
        EXPECT_EQ(device.Writes[0], device.Writes[1]); // code 0 renders like a space
        PlayToEnd();
        EXPECT_EQ(host.Ends, 1);
        EXPECT_EQ(host.Pauses, 0);
        EXPECT_FALSE(device.IsOpen());
        EXPECT_EQ(pump->WaveDevice(), 0u);
        host.Ends = 0;
        device.Writes.clear();
    }
}

TEST_F(PumpTest, OpeningPastTheEndKeysSilenceAndEndsAtFirstCompletion) {
    host.Settings.ActivePage = CallsignPage;
    state.PlayText = "UA3ABC ";
    state.PlayPos = 8;
    pump->OpenWaveOut();
    Deliver();
    ASSERT_EQ(device.Writes.size(), 2u);
    for (const auto& w : device.Writes) {
        ASSERT_EQ(w.size(), 640u);
        for (int16_t v : w)
            ASSERT_EQ(v, 0);
    }
    device.CompleteNext();
    Deliver();
    EXPECT_EQ(host.Ends, 1);
    // The second buffer plays out; its completion closes the device.
    EXPECT_TRUE(device.IsOpen());
    device.CompleteNext();
    Deliver();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.ResetCount, 1);
}

TEST_F(PumpTest, AnEndMessageDismissedAtOnceLetsTheLastCharacterPlayOut) {
    Start("MMM OOO", TextPage);
    Deliver();
    while (state.PlayPos <= static_cast<int>(state.PlayText.size())) {
        ASSERT_TRUE(device.CompleteNext());
        Deliver();
    }
    // The buffer of the second-to-last O completes: the end, whose message is
    // answered at once, while the last O is still queued.
    const std::size_t writes = device.Writes.size();
    ASSERT_TRUE(device.CompleteNext());
    Deliver();
    ASSERT_EQ(host.Ends, 1);
    EXPECT_EQ(device.ResetCount, 0);
    EXPECT_EQ(device.QueuedCount(), 1u);
    ASSERT_TRUE(device.CompleteNext());
    Deliver();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.Writes.size(), writes);
    EXPECT_EQ(state.SentText, "MMM OOO");
}

TEST_F(PumpTest, ZeroByteCharacterIsWrittenAndItsCompletionQueuesTheNext) {
    Start(" aE", TextPage);
    Deliver();
    ASSERT_EQ(device.Writes.size(), 2u);
    EXPECT_TRUE(device.Writes[1].empty()); // 'a' right after a word gap
    PlayToEnd();
    ASSERT_GE(device.Writes.size(), 3u);
    // The silent character still ends the word start, so E gets its letter gap.
    EXPECT_EQ(device.Writes[2].size(), 960u + 640u);
    EXPECT_EQ(host.Ends, 1);
}

TEST_F(PumpTest, TestTextPausesAfterLastVInCallsignMode) {
    Start(std::string(1001, 'V') + " ", CallsignPage);
    PlayToEnd();
    EXPECT_EQ(device.Writes.size(), 1002u);
    EXPECT_EQ(host.Pauses, 2); // once, then again from the returned space buffer
    EXPECT_EQ(host.Ends, 0);
    EXPECT_TRUE(state.AwaitingAnswer);
    EXPECT_EQ(state.SentText, std::string(1001, 'V') + " ");
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(pump->WaveDevice(), 0u);
}

TEST_F(PumpTest, TestTextEndsTheExerciseInTextMode) {
    host.DuringEndMessage = [this] { PlayToEnd(); };
    Start(std::string(1001, 'V') + " ", TextPage);
    PlayToEnd();
    EXPECT_EQ(device.Writes.size(), 1002u);
    EXPECT_EQ(host.Ends, 1);
    EXPECT_EQ(host.Pauses, 0);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.AllSamples(), KeyedAlone(std::string(1001, 'V') + " ", TextPage));
}

TEST_F(PumpTest, UserStopCutsTheQueuedCharacterAndCloses) {
    Start("PARIS PARIS", TextPage);
    Deliver();
    device.CompleteNext();
    Deliver();
    ASSERT_EQ(device.Writes.size(), 3u);
    state.StopRequested = true;
    device.CompleteNext();
    Deliver();
    EXPECT_EQ(device.Writes.size(), 3u); // nothing more queued
    EXPECT_EQ(device.ResetCount, 1);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(pump->WaveDevice(), 0u);
    EXPECT_EQ(host.Ends, 0);
}

TEST_F(PumpTest, CompletionsAfterResetAndCloseChangeNothing) {
    Start("AB CD ", CallsignPage);
    Deliver();
    device.CompleteNext();
    const WaveHandle old = pump->WaveDevice();
    Deliver();
    state.StopRequested = true;
    device.CompleteNext();
    Deliver();
    const auto writes = device.Writes.size();
    const int pauses = host.Pauses;
    // A late notice for the closed device.
    pump->MmWomDone(old, &pump->Header(0));
    pump->MmWomClose(old);
    EXPECT_EQ(device.Writes.size(), writes);
    EXPECT_EQ(host.Pauses, pauses);
    EXPECT_EQ(pump->WaveDevice(), 0u);
}

TEST_F(PumpTest, CallsignPauseCutsTheSpaceAndKeepsItInSentText) {
    Start("UA3ABC RK9X ", CallsignPage);
    PlayToEnd();
    EXPECT_EQ(host.Pauses, 2);
    EXPECT_EQ(state.SentText, "UA3ABC ");
    EXPECT_EQ(state.PlayPos, 8);
    EXPECT_TRUE(state.AwaitingAnswer);
    EXPECT_EQ(device.Writes.size(), 7u);
    // Resuming for the next callsign starts at its first letter.
    state.SentText.clear();
    pump->OpenWaveOut();
    PlayToEnd();
    EXPECT_EQ(state.SentText, "RK9X ");
}

TEST_F(PumpTest, FailedOpenWarnsOncePerAttemptAndKeysNothing) {
    device.NextOpenResult = MmNoDriver;
    Start("CQ", TextPage);
    Deliver();
    ASSERT_EQ(host.Warnings.size(), 1u);
    EXPECT_EQ(host.Warnings[0],
              "Warning|Error opening waveform audio!\r\nno device driver present");
    EXPECT_EQ(pump->WaveDevice(), 0u);
    EXPECT_TRUE(device.Writes.empty());
    device.NextOpenResult = MmAllocated;
    pump->OpenWaveOut();
    ASSERT_EQ(host.Warnings.size(), 2u);
    EXPECT_EQ(host.Warnings[1],
              "Warning|Error opening waveform audio!\r\ndevice already allocated");
}

TEST_F(PumpTest, StopBeforeTheDeviceReportsOpenClosesIt) {
    Start("CQ CQ", TextPage);
    state.StopRequested = true;
    Deliver();
    EXPECT_TRUE(device.Writes.empty());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(pump->WaveDevice(), 0u);
}

TEST_F(PumpTest, OpeningWhileOpenFinishesTheOldKeyingFirst) {
    Start("UA3ABC ", CallsignPage);
    Deliver();
    device.CompleteNext();
    Deliver(); // U done, A queued; U.. playing
    state.PlayPos = 1;
    state.SentText.clear();
    pump->OpenWaveOut(); // a replay while the callsign is still keyed
    EXPECT_EQ(device.ResetCount, 1);
    EXPECT_EQ(device.CloseCount, 1);
    EXPECT_EQ(device.OpenCount, 2);
    PlayToEnd();
    EXPECT_EQ(state.SentText, "UA3ABC ");
    EXPECT_TRUE(state.AwaitingAnswer);
    EXPECT_EQ(pump->WaveDevice(), 0u);
}

TEST_F(PumpTest, LongGapsContinueInTheNextBuffersWithTheirTiming) {
    host.Settings.DotSamples = 960; // 10 wpm
    host.Settings.LetterGap = 72;
    host.Settings.WordGap = 108;
    host.DuringEndMessage = [this] { PlayToEnd(); };
    const std::string text = "EE TEST";
    Start(text, TextPage);
    PlayToEnd();
    EXPECT_EQ(host.Ends, 1);
    for (const auto& w : device.Writes)
        ASSERT_LE(w.size() * 2, WaveBufferSize);
    EXPECT_GT(device.Writes.size(), text.size() + 2);
    std::vector<int16_t> expected = KeyedAlone(text, TextPage);
    const auto all = device.AllSamples();
    // The two code-0 characters after the text add word gaps of silence.
    ASSERT_GE(all.size(), expected.size());
    EXPECT_EQ(std::vector<int16_t>(all.begin(), all.begin() + static_cast<long>(expected.size())),
              expected);
}

TEST_F(PumpTest, DestroyingThePumpWhileOpenResetsAndClosesTheDevice) {
    Start("CQ CQ CQ", TextPage);
    Deliver();
    EXPECT_TRUE(device.IsOpen());
    pump.reset();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.ResetCount, 1);
    EXPECT_TRUE(state.StopRequested);
}

TEST_F(PumpTest, DeviceThatStopsPlayingEndsKeyingWithOneWarningPerOpening) {
    for (int page : {CallsignPage, TextPage}) {
        Start("CQ DE UA3ABC ", page);
        Deliver();
        ASSERT_EQ(device.Writes.size(), 2u);
        device.StatusResult = WaveDeviceGone;
        // The lost device returns both buffers: the first completion stops
        // and warns, the second (before the close arrives) stays quiet.
        device.CompleteNext();
        device.CompleteNext();
        Deliver();
        EXPECT_TRUE(state.StopRequested);
        EXPECT_EQ(device.Writes.size(), 2u) << "keyed on into a lost device";
        EXPECT_EQ(state.SentText, "CQ");
        EXPECT_EQ(host.Pauses, 0);
        EXPECT_EQ(host.Ends, 0);
        EXPECT_FALSE(device.IsOpen());
        EXPECT_EQ(pump->WaveDevice(), 0u);
        ASSERT_EQ(host.Warnings.size(), 1u);
        EXPECT_EQ(host.Warnings[0],
                  "Warning|Error opening waveform audio!\r\nport no longer connected");

        // The next opening on a device that plays again keys as before.
        device.StatusResult = MmNoError;
        host.Warnings.clear();
        device.Writes.clear();
        Start("E ", page);
        PlayToEnd();
        EXPECT_TRUE(host.Warnings.empty());
        EXPECT_EQ(device.Writes.size(), 2u);
        EXPECT_EQ(host.Ends, page == TextPage ? 1 : 0);
        EXPECT_EQ(host.Pauses > 0, page == CallsignPage);
        host.Pauses = host.Ends = 0;
        device.Writes.clear();
    }
}

TEST(MmErrorText, KnownCodesAndFallback) {
    EXPECT_EQ(MmErrorText(0), "no error");
    EXPECT_EQ(MmErrorText(8), "function isn't supported");
    EXPECT_EQ(MmErrorText(33), "still something playing");
    EXPECT_EQ(MmErrorText(65), "still something playing");
    EXPECT_EQ(MmErrorText(64), "header not prepared");
    EXPECT_EQ(MmErrorText(166), "request not completed");
    EXPECT_EQ(MmErrorText(266), "file is unbuffered");
    EXPECT_EQ(MmErrorText(12), "invalid parameter passed to error translation routine!");
    EXPECT_EQ(MmErrorText(0xFFFF), "invalid parameter passed to error translation routine!");
    EXPECT_EQ(MmErrorText(0x10000 + 6), "no device driver present"); // taken as 16 bits
    int known = 0;
    for (uint32_t code = 0; code < 0x10000; ++code)
        known += MmErrorText(code) != "invalid parameter passed to error translation routine!";
    EXPECT_EQ(known, 37);
}
