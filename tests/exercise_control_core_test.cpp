// Exercise control without a window: the controls each running state makes
// usable, the shortcut table, and what Start, the test and the end leave behind.
#include "exercise/ExerciseControl.h"
#include "exercise/ExerciseMode.h"
#include "exercise/Shortcuts.h"
#include "tests/support/TestWaveOut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

using namespace tonvik;

namespace {

class FakeView : public ExerciseView {
public:
    int ActivePage() const override { return Page; }
    bool OwnCallEmpty() const override { return OwnCall.empty(); }
    int LetterGap() const override { return 3; }
    int WordGap() const override { return 7; }
    std::string TextWindowText() const override { return Text; }
    void ApplySettings() override { ++SettingsApplied; }
    void ShowControls(const ExerciseControls& controls) override { Shown = controls; }
    void ShowPageTabs(bool callsignPage, bool textPage) override {
        Tabs = {callsignPage, textPage};
    }
    void FocusOwnCall() override { ++OwnCallFocused; }
    void ShowNotice(ExerciseNotice notice) override { Notices.push_back(notice); }
    void ShowWarning(const std::string&, const std::string&) override { ++Warnings; }

    int Page = CallsignPage;
    std::string OwnCall = "UA3ABC";
    std::string Text;
    int SettingsApplied = 0;
    int OwnCallFocused = 0;
    int Warnings = 0;
    ExerciseControls Shown;
    std::pair<bool, bool> Tabs{true, true};
    std::vector<ExerciseNotice> Notices;
};

auto Tuple(const ExerciseControls& c) {
    return std::make_tuple(c.StartEnabled, c.StopEnabled, c.TestEnabled, c.TestShowsStop,
                           c.OwnCallEnabled, c.SettingsEnabled);
}

class ExerciseCore : public ::testing::Test {
protected:
    // Delivers the device's notices, as the window's event loop would.
    void Deliver() {
        while (!Notices.Empty()) {
            const auto n = Notices.Take();
            Control.Dispatch(n.Message, n.Device, n.Header);
        }
    }
    void ExpectShown(bool start, bool stop, bool test, bool testShowsStop, bool ownCall,
                     bool settings) const {
        EXPECT_EQ(Tuple(View.Shown),
                  std::make_tuple(start, stop, test, testShowsStop, ownCall, settings));
        EXPECT_EQ(Tuple(View.Shown), Tuple(Control.Controls()));
    }

    TestWaveOut Device;
    QueueNotifier Notices;
    FakeView View;
    ExerciseControl Control{Device, Notices, View};
};

TEST(Shortcuts, EscF3AndEnterFollowOnlyTheTest) {
    EXPECT_EQ(ShortcutOf(VkEscape, true), Shortcut::Test);
    EXPECT_EQ(ShortcutOf(VkEscape, false), Shortcut::None);
    EXPECT_EQ(ShortcutOf(VkF3, false), Shortcut::Test);
    EXPECT_EQ(ShortcutOf(VkF3, true), Shortcut::None);
    EXPECT_EQ(ShortcutOf(VkReturn, false), Shortcut::Start);
    EXPECT_EQ(ShortcutOf(VkReturn, true), Shortcut::None);
    for (int key : {0, VkF6, 65, 112, 115})
        for (bool test : {false, true})
            EXPECT_EQ(ShortcutOf(key, test), Shortcut::None) << key;
}

TEST_F(ExerciseCore, EachRunningStateShowsItsControls) {
    Control.FormShow();
    ExpectShown(true, false, true, false, true, true);

    Control.StartButClick(); // callsign page
    ExpectShown(false, true, false, false, false, false);
    EXPECT_EQ(View.Tabs, std::make_pair(true, false));
    Control.StopButClick();
    ExpectShown(true, false, true, false, true, true);
    EXPECT_EQ(View.Tabs, std::make_pair(true, true));

    View.Page = TextPage;
    Control.StartButClick();
    ExpectShown(false, true, false, false, false, true);
    EXPECT_EQ(View.Tabs, std::make_pair(false, true));
    Control.StopButClick();

    Control.TestButClick();
    ExpectShown(false, false, true, true, true, true);
    Control.TestButClick();
    ExpectShown(true, false, true, false, true, true);
    EXPECT_EQ(View.Notices, (std::vector<ExerciseNotice>{ExerciseNotice::ExerciseOver,
                                                         ExerciseNotice::ExerciseOver}));
}

TEST_F(ExerciseCore, ButtonsActOnlyWhileTheyWouldBeUsable) {
    Control.StartButClick();
    const int opens = Device.OpenCount;
    Control.StartButClick(); // Enter from a track bar during the exercise
    Control.TestButClick();  // F3
    EXPECT_EQ(Device.OpenCount, opens);
    EXPECT_FALSE(Control.TestRunning());
    Control.StopButClick();
    Control.StopButClick(); // Esc once more: nothing left to stop
    EXPECT_EQ(View.Notices.size(), 1u);
}

TEST_F(ExerciseCore, StartWithoutOwnCallOrOnTheHiddenPageChangesNothing) {
    Control.FormShow();
    View.OwnCall.clear();
    Control.StartButClick();
    View.Page = HiddenPage;
    View.OwnCall = "UA3ABC";
    Control.StartButClick();
    EXPECT_EQ(View.Notices, (std::vector<ExerciseNotice>{ExerciseNotice::OwnCallMissing,
                                                         ExerciseNotice::PageNotWorking}));
    EXPECT_EQ(View.OwnCallFocused, 2);
    EXPECT_EQ(View.SettingsApplied, 2); // the settings are re-applied all the same
    EXPECT_EQ(Device.OpenCount, 0);
    ExpectShown(true, false, true, false, true, true);
}

TEST_F(ExerciseCore, TestThatRanOutOnTheTextPageKeepsItsCaptionUntilStopped) {
    View.Page = TextPage;
    Device.AutoComplete = true;
    Control.TestButClick();
    EXPECT_EQ(Control.State().PlayText, std::string(TestLetterCount, 'V') + ' ');
    for (int n = 0; n < 5000 && View.Notices.empty(); ++n)
        Deliver();
    ASSERT_EQ(View.Notices.size(), 1u);
    EXPECT_TRUE(Control.TestRunning());
    ExpectShown(true, false, true, true, true, true);
    Control.TestButClick();
    EXPECT_FALSE(Control.TestRunning());
    ExpectShown(true, false, true, false, true, true);
    EXPECT_TRUE(Control.State().SentText.empty());
}

TEST_F(ExerciseCore, TestOnTheCallsignPagePausesAfterItsLetters) {
    Device.AutoComplete = true;
    Control.TestButClick();
    for (int n = 0; n < 5000 && !Control.State().AwaitingAnswer; ++n)
        Deliver();
    EXPECT_TRUE(Control.State().AwaitingAnswer);
    EXPECT_TRUE(Control.TestRunning());
    EXPECT_TRUE(View.Notices.empty());
    // Start clears what the test left behind.
    Control.TestButClick();
    Control.StartButClick();
    EXPECT_FALSE(Control.State().AwaitingAnswer);
    EXPECT_FALSE(Control.TestRunning());
}

TEST_F(ExerciseCore, SettingsTurnIntoTheKeyersFigures) {
    Control.SetSpeed(70);
    Control.SetPitch(12);
    Control.SetVolume(8);
    const KeyerSettings settings = Control.CurrentKeyerSettings();
    EXPECT_EQ(settings.DotSamples, 137);
    EXPECT_EQ(settings.ToneFreq, 1200.0L);
    EXPECT_EQ(Control.VolumeFactor(), 0);
    EXPECT_EQ(Control.CharKeyer().SineTable()[8192], 0);
    Control.SetVolume(0);
    EXPECT_EQ(Control.CharKeyer().SineTable()[8192], 32767);
}

// A callsign page that keys one short callsign and pauses after it.
class OneCallMode : public ExerciseMode {
public:
    explicit OneCallMode(PlayState& state) : State(state) {}
    void BeginExercise() override {}
    void AppendPlayText(std::string& playText) override { playText += "EEE "; }
    void PauseForAnswer() override {
        State.StopRequested = true;
        State.AwaitingAnswer = true;
    }
    void ExerciseEnded() override {}

private:
    PlayState& State;
};

double Rms(const std::vector<int16_t>& samples) {
    double sum = 0;
    for (const int16_t s : samples)
        sum += static_cast<double>(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// The band's background on a device of its own: it plays from Start through
// the pause for the answer to the end, while the keying stream closes.
class ExerciseOnTheBand : public ExerciseCore {
protected:
    void SetUp() override {
        Control.SetCallsignMode(&Mode);
        Control.SetSpeed(30);
        Control.SetPitch(8);
        Control.SetVolume(3);
        Device.AutoComplete = true;
    }
    void TearDown() override { Control.SetCallsignMode(nullptr); }
    void UseBand(const BandConditions& conditions, bool bedDevice = true) {
        Control.Air().Choose(conditions, {});
        if (bedDevice)
            Control.Air().SetDevice(Bed, BedNotices);
    }
    static BandConditions Noise() {
        BandConditions c;
        c.Noise = true;
        c.SnrDb = 10;
        return c;
    }
    // The keying runs to the pause: the callsign keyed, its device closed.
    void KeyToThePause() {
        Control.StartButClick();
        for (int n = 0; n < 1000 && !(Control.State().AwaitingAnswer && !Device.IsOpen()); ++n)
            Deliver();
        ASSERT_TRUE(Control.State().AwaitingAnswer);
        ASSERT_FALSE(Device.IsOpen());
    }
    // The band's device plays one more buffer.
    void BedPlaysOne() {
        ASSERT_TRUE(Bed.CompleteNext());
        while (!BedNotices.Empty()) {
            const auto n = BedNotices.Take();
            Control.Air().Dispatch(n.Message, n.Device, n.Header);
        }
    }
    void OpenBed() {
        while (!BedNotices.Empty()) {
            const auto n = BedNotices.Take();
            Control.Air().Dispatch(n.Message, n.Device, n.Header);
        }
    }

    OneCallMode Mode{Control.State()};
    TestWaveOut Bed;
    QueueNotifier BedNotices;
};

TEST_F(ExerciseOnTheBand, TheBandGoesOnThroughThePauseAtASteadyLevelAndStopsAtTheEnd) {
    UseBand(Noise());
    KeyToThePause();
    ASSERT_TRUE(Bed.IsOpen());
    OpenBed();
    const std::size_t before = Bed.Writes.size();
    for (int n = 0; n < 30; ++n) // three seconds of waiting for the answer
        BedPlaysOne();
    ASSERT_EQ(Bed.Writes.size(), before + 30);
    // Half a second a level: the noise's own wobble stays within a dB.
    std::vector<double> levels;
    for (std::size_t n = 0; n + 5 <= Bed.Writes.size(); n += 5) {
        std::vector<int16_t> half;
        for (std::size_t k = n; k < n + 5; ++k) {
            EXPECT_EQ(Bed.Writes[k].size(), 800u);
            half.insert(half.end(), Bed.Writes[k].begin(), Bed.Writes[k].end());
        }
        levels.push_back(Rms(half));
    }
    const auto [low, high] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_GT(*low, 100.0);
    EXPECT_LT(20 * std::log10(*high / *low), 2.5) << "the noise is not steady";
    // Our stream carries our signal alone: silent around the callsign.
    const std::vector<int16_t> keyed = Device.AllSamples();
    EXPECT_TRUE(std::all_of(keyed.end() - 100, keyed.end(), [](int16_t s) { return s == 0; }));

    Control.StopButClick();
    EXPECT_FALSE(Bed.IsOpen());
    EXPECT_FALSE(Control.Air().BackgroundPlaying());
    EXPECT_FALSE(Bed.CompleteNext());
}

TEST_F(ExerciseOnTheBand, WithoutItsOwnDeviceTheBandIsHeardOnTheKeyingStream) {
    for (const bool withDevice : {false, true}) {
        SCOPED_TRACE(withDevice ? "a band device that does not open" : "no band device");
        Bed.NextOpenResult = withDevice ? MmNoDriver : MmNoError;
        UseBand(Noise(), withDevice);
        KeyToThePause();
        EXPECT_FALSE(Control.Air().BackgroundPlaying());
        const std::vector<int16_t> keyed = Device.AllSamples();
        EXPECT_GT(Rms({keyed.end() - 400, keyed.end()}), 100.0) << "no noise after the callsign";
        EXPECT_EQ(View.Warnings, 0);
        Control.StopButClick();
        Device.Writes.clear();
    }
}

TEST_F(ExerciseOnTheBand, NothingToHearBetweenCallsignsOpensNoBandDevice) {
    BandConditions fading;
    fading.QsbHz = 0.5;
    for (const BandConditions& c : {BandConditions{}, fading}) {
        UseBand(c);
        KeyToThePause();
        EXPECT_EQ(Bed.OpenCount, 0);
        Control.StopButClick();
    }
}

} // namespace
