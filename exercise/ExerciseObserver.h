#pragma once

namespace tonvik {

enum class ExercisePhase;

// How an exercise or the preliminary test ended.
enum class ExerciseEndCause {
    Completed,     // keyed to its end: every callsign answered, the text or the test played out
    Stopped,       // Stop, Esc, the test button or the window closing
    NoSoundDevice, // the sound device failed during it
};

// Told when an exercise or the test begins and ends, for the training
// journal. It only observes: nothing it does changes the exercise.
class ExerciseObserver {
public:
    virtual ~ExerciseObserver() = default;
    // After the play text is built and before the device opens.
    virtual void ExerciseStarted(ExercisePhase phase) = 0;
    // Once per start, with the characters the pump took from the play text.
    virtual void ExerciseEnded(ExercisePhase phase, ExerciseEndCause cause,
                               int charactersKeyed) = 0;
};

} // namespace tonvik
