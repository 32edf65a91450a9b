// Instant recognition: the run's draw and the reaction time measured from the
// sound layer's completion of the character's buffer, on the test device.
#include "course/Recognition.h"
#include "course/RecognitionPlayer.h"
#include "tests/support/TestWaveOut.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace tonvik;
using Clock = std::chrono::steady_clock;

namespace {

void ProcessEvents() {
    for (int n = 0; n < 20; ++n)
        QCoreApplication::processEvents();
}

KeyerSettings At(int wpm) {
    KeyerSettings s;
    s.DotSamples = 9600 / wpm;
    s.ToneFreq = 800;
    return s;
}

TEST(RecognitionTiming, ReactionIsTimedFromTheCompletionOfTheCharactersSound) {
    TestWaveOut device;
    int ended = 0;
    RecognitionPlayer player(
        device, [&] { ++ended; }, [](const std::string&) {});
    player.Play('K', At(25), 5);
    ProcessEvents();
    ASSERT_GE(device.Writes.size(), 1u);
    // K at 25 wpm without the space after it: dash, dot, dash and two spaces.
    ASSERT_EQ(device.Writes[0].size(), 9u * 384);
    // It ends in its last tone: sound within its last 16 samples.
    EXPECT_TRUE(std::any_of(device.Writes[0].end() - 16, device.Writes[0].end(),
                            [](int16_t v) { return v != 0; }));
    // Still sounding: a key now is no reaction at all.
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_FALSE(player.SoundEnd());
    EXPECT_EQ(player.ReactionMs(Clock::now()), 0);
    EXPECT_EQ(ended, 0);

    const Clock::time_point before = Clock::now();
    ASSERT_TRUE(device.CompleteNext()); // the sound layer reports the character played
    ProcessEvents();
    const Clock::time_point after = Clock::now();
    ASSERT_TRUE(player.SoundEnd());
    EXPECT_EQ(ended, 1);
    EXPECT_GE(*player.SoundEnd(), before);
    EXPECT_LE(*player.SoundEnd(), after);

    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const Clock::time_point pressed = Clock::now();
    const int64_t reaction = player.ReactionMs(pressed);
    const auto sinceBefore =
        std::chrono::duration_cast<std::chrono::milliseconds>(pressed - before).count();
    const auto sinceAfter =
        std::chrono::duration_cast<std::chrono::milliseconds>(pressed - after).count();
    EXPECT_GE(reaction, sinceAfter);
    EXPECT_LE(reaction, sinceBefore);
    EXPECT_GE(reaction, 150);
    while (device.CompleteNext())
        ProcessEvents();
    ProcessEvents();
    EXPECT_FALSE(player.Playing());
    EXPECT_FALSE(device.IsOpen());
}

TEST(RecognitionTiming, EachCharacterIsTimedFromItsOwnEnd) {
    TestWaveOut device;
    device.AutoComplete = true;
    RecognitionPlayer player(
        device, [] {}, [](const std::string&) {});
    for (char c : std::string("EM5")) {
        player.Play(c, At(25), 5);
        ProcessEvents();
        ASSERT_TRUE(player.SoundEnd()) << c;
        EXPECT_FALSE(player.Playing()) << c;
    }
    EXPECT_EQ(device.OpenCount, 3);
}

TEST(RecognitionRun, AWrongAnswerComesBackAfterThreeOthers) {
    RecognitionRun run("KMURESNAPTLWIJZFOYVG", 5);
    const char first = run.Next();
    run.Answer(first == 'K' ? 'M' : 'K', 300);
    for (int n = 0; n < 3; ++n)
        run.Answer(run.Next(), 300);
    EXPECT_EQ(run.Next(), first);
}

TEST(RecognitionRun, ASlowerThanMedianAnswerComesBackSooner) {
    RecognitionRun run("KMURESNAPTLWIJZFOYVG", 9);
    for (int n = 0; n < 5; ++n)
        run.Answer(run.Next(), 400);
    EXPECT_EQ(run.MedianReactionMs(), 400);
    const char slow = run.Next();
    run.Answer(slow, 900);
    for (int n = 0; n < 3; ++n)
        run.Answer(run.Next(), 400);
    EXPECT_EQ(run.Next(), slow);
}

TEST(RecognitionRun, ARunIsAHundredCharactersOfTheSet) {
    RecognitionRun run("KMU", 1);
    int keyed = 0;
    for (char c = run.Next(); c != 0; c = run.Next()) {
        EXPECT_NE(std::string("KMU").find(c), std::string::npos);
        run.Answer(c, 100 + keyed);
        ++keyed;
    }
    EXPECT_EQ(keyed, 100);
    EXPECT_TRUE(run.Over());
    EXPECT_EQ(run.RightCount(), 100);
    EXPECT_EQ(run.MedianReactionMs(), 150); // 100..199 ms, the 51st
}

TEST(RecognitionRun, TheSetsOfACourse) {
    EXPECT_EQ(RecognitionCharacters(CourseKind::Latin, 3, RecognitionSet::Lesson), "KMUR");
    EXPECT_EQ(RecognitionCharacters(CourseKind::Latin, 3, RecognitionSet::Digits), "0123456789");
    EXPECT_EQ(RecognitionCharacters(CourseKind::Latin, 3, RecognitionSet::Letters),
              "KMURESNAPTLWIJZFOYVGQHBCDX");
    EXPECT_EQ(RecognitionCharacters(CourseKind::Latin, 3, RecognitionSet::All).size(), 38u);
}

} // namespace
