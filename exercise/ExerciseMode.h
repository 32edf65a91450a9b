#pragma once

#include <string>

namespace tonvik {

// The callsign page's part in an exercise: exercise control calls it at the
// points where a callsign exercise differs from a text exercise.
class ExerciseMode {
public:
    virtual ~ExerciseMode() = default;

    // Start on the callsign page, after the own callsign was found: reset
    // the figures of the exercise and make the answer field ready.
    virtual void BeginExercise() = 0;
    // The callsigns of the exercise, each followed by one space.
    virtual void AppendPlayText(std::string& playText) = 0;
    // The pump has queued the space after a callsign (or after the test's
    // letters on this page).
    virtual void PauseForAnswer() = 0;
    // The end of an exercise on the callsign page, after its message.
    virtual void ExerciseEnded() = 0;
    // The device has closed, after a pause or an end.
    virtual void DeviceClosed() {}
};

} // namespace tonvik
