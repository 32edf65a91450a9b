#pragma once

#include "callsign/CallsignSession.h"
#include "callsign/ResultsTable.h"
#include "exercise/ExerciseMode.h"

#include <filesystem>

namespace tonvik {

class CallsignView;
class ExerciseControl;
class Random;

// The callsign page: the draw of 30 callsigns, the pause after each one,
// the answer, the replay, the error list and the results table.
class CallsignTrainer : public ExerciseMode {
public:
    CallsignTrainer(ExerciseControl& control, CallsignView& view, Random& random);
    ~CallsignTrainer() override;
    CallsignTrainer(const CallsignTrainer&) = delete;
    CallsignTrainer& operator=(const CallsignTrainer&) = delete;

    // The callsign list read instead of the personal list or, without one,
    // master.ped beside the executable; an empty path restores that choice.
    // The list is read anew at every start.
    void SetListFile(const std::filesystem::path& path) { ListOverride = path; }
    std::filesystem::path ListFile() const;

    // The window's first showing: the results table starts at row 1.
    void FormShow();

    // ExerciseMode.
    void BeginExercise() override;
    void AppendPlayText(std::string& playText) override;
    void PauseForAnswer() override;
    void ExerciseEnded() override;

    // Keys of the answer field: F6 and Esc; Enter, true when it was taken.
    void InputKeyDown(int key);
    bool InputEnter();
    void EvaluateAnswer();
    void NextCall();

    // A cell of the results grid was selected.
    void SelectResult(int row, int column);

    const CallsignSession& Session() const { return Figures; }
    const ResultsTable& Results() const { return Table; }

private:
    // Whether the answer field's keys have a callsign exercise to act on.
    bool ExerciseRunning() const;
    void ReplayCall();

    ExerciseControl& Control;
    CallsignView& View;
    Random& Rng;
    CallsignSession Figures;
    ResultsTable Table;
    std::filesystem::path ListOverride;
};

} // namespace tonvik
