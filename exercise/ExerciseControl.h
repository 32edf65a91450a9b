#pragma once

#include "air/ExerciseBand.h"
#include "exercise/ExerciseObserver.h"
#include "exercise/ExerciseView.h"
#include "keying/Keyer.h"
#include "keying/PlayState.h"
#include "keying/WaveOut.h"
#include "keying/WavePump.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tonvik {

class ExerciseMode;
class ExerciseObserver;

// Letters of the preliminary test; a space follows them.
inline constexpr int TestLetterCount = 1001;

// What is running, as the controls show it.
enum class ExercisePhase { Idle, CallsignExercise, TextExercise, Test };

// Starts, stops and ends an exercise on either page and runs the preliminary
// test. It owns the running state (what plays, the keyer's settings, the
// keyer and the pump) and tells the view which controls are usable; the
// callsign page adds its part through an ExerciseMode.
class ExerciseControl : public PumpHost {
public:
    // device plays the sound and posts its notices to notifier, whose
    // receiver hands them to Dispatch. All three must outlive this object.
    ExerciseControl(WaveOut& device, WaveNotifier& notifier, ExerciseView& view);
    ExerciseControl(const ExerciseControl&) = delete;
    ExerciseControl& operator=(const ExerciseControl&) = delete;
    ~ExerciseControl() override;

    void SetCallsignMode(ExerciseMode* mode) { CallsignPart = mode; }
    // Told of every start and end; nullptr for none.
    void SetObserver(ExerciseObserver* observer) { Observer = observer; }

    // The window's life: its creation, its first showing, and its closing,
    // which silences the device at once.
    void FormCreate();
    void FormShow();
    void Shutdown();

    // The three settings, as their track bars' handlers apply them.
    void SetSpeed(int wpm);
    void SetPitch(int position);
    void SetVolume(int position);
    // The callsign trainer's tone for the next callsign.
    void SetToneFreq(long double hertz) { Tone = hertz; }
    // The band the exercises are heard through: its conditions, and a
    // device of its own for its background, so that it goes on through the
    // pause for the answer (without one the band is heard only while
    // characters are keyed).
    ExerciseBand& Air() { return AirBand; }
    const ExerciseBand& Air() const { return AirBand; }

    void StartButClick();
    void StopButClick();
    void TestButClick();
    void EndExercise() override;
    void BuildPlayText();
    void OpenWaveOut() { Pump.OpenWaveOut(); }

    // Keys of the own-callsign field, the track bars and the results grid.
    void CallEditKeyDown(int key);
    // Enter typed in the own-callsign field; true when it was taken.
    bool CallEditEnter();
    void SettingsKeyDown(int key);

    void Dispatch(WaveMessage message, WaveHandle device, WaveHeader* header);

    // PumpHost.
    int ActivePage() const override;
    KeyerSettings CurrentKeyerSettings() const override;
    void PauseForAnswer() override;
    void ShowWarning(const std::string& text, const std::string& caption) override;
    void DeviceClosed() override;
    void KeyedSamples(int16_t* samples, int64_t count, int startedChar) override;

    ExercisePhase Phase() const { return Running; }
    // The controls as the running state makes them usable now.
    ExerciseControls Controls() const;
    bool TestRunning() const { return TestIsRunning; }
    const PlayState& State() const { return Play; }
    PlayState& State() { return Play; }
    int32_t DotSamples() const { return Dot; }
    long double ToneFreq() const { return Tone; }
    int32_t VolumeFactor() const { return Volume; }
    const Keyer& CharKeyer() const { return Voice; }
    const WavePump& WaveOutPump() const { return Pump; }

private:
    void Enter(ExercisePhase phase);
    void ShowControls();
    void StartTest();
    void StopTest();
    void Began();
    void Ended(ExerciseEndCause cause);
    void TuneIn();

    ExerciseView& View;
    ExerciseMode* CallsignPart = nullptr;
    ExerciseObserver* Observer = nullptr;
    // What the observer was told began, until it is told of its end.
    std::optional<ExercisePhase> Observed;
    bool StopPressed = false;  // the end now running is a stop, not the text used up
    bool DeviceFailed = false; // the device could not be opened since the start
    PlayState Play;
    Keyer Voice;
    ExercisePhase Running = ExercisePhase::Idle;
    bool TestIsRunning = false;
    int32_t Dot = 0;
    long double Tone = 1000.0L;
    int32_t Volume = 0;
    ExerciseBand AirBand;
    // Declared last so that it is destroyed first: its destructor stops the
    // device while the keyer and the state it uses still exist.
    WavePump Pump;
};

} // namespace tonvik
