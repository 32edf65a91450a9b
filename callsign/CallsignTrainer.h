#pragma once

#include "callsign/AnswerObserver.h"
#include "callsign/CallsignSession.h"
#include "callsign/ResultsTable.h"
#include "exercise/ExerciseMode.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tonvik {

class CallsignView;
class ExerciseControl;
class Random;

// What a callsign exercise is made of: callsigns drawn from the list, or a
// drill of the user's own weak points.
enum class CallsignDrill { None, MissedCalls, WeakCharacters };

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

    // Told of every evaluated answer; nullptr for none.
    void SetObserver(AnswerObserver* observer) { Observer = observer; }

    // Starts a drill as Start starts an exercise (the own callsign needed,
    // every rule the same), on the given callsigns (CP1251) instead of a draw
    // from the list. A drill does not enter the results table. False when
    // it did not start.
    bool StartDrill(CallsignDrill kind, const std::vector<std::string>& callsigns);
    // What the exercise now running, or the last one, was made of.
    CallsignDrill Drill() const { return DrillKind; }

    // The window's first showing: the results table starts at row 1.
    void FormShow();

    // ExerciseMode.
    void BeginExercise() override;
    void AppendPlayText(std::string& playText) override;
    void PauseForAnswer() override;
    void ExerciseEnded() override;
    void DeviceClosed() override;

    // Keys of the answer field: F6 and Esc; Enter, true when it was taken.
    // An Enter while the callsign is still being keyed (or replayed) is kept
    // and evaluated the moment the callsign has been keyed in full.
    void InputKeyDown(int key);
    bool InputEnter();
    bool AnswerPending() const { return PendingAnswer.has_value(); }
    void EvaluateAnswer();
    void NextCall();

    // A cell of the results grid was selected.
    void SelectResult(int row, int column);

    const CallsignSession& Session() const { return Figures; }
    const ResultsTable& Results() const { return Table; }

private:
    // Whether the answer field's keys have a callsign exercise to act on.
    bool ExerciseRunning() const;
    // A callsign of the exercise is on its way to the device.
    bool KeyingCallsign() const;
    void ReplayCall();
    void DropPendingAnswer();
    // typed is what the scoring compares (CP1251), asTyped the field's text
    // itself (UTF-8), which the journal keeps.
    void Evaluate(const std::string& typed, const std::string& asTyped, int64_t responseMs);
    AnsweredCall Answered(const std::string& sentText, const std::string& typed,
                          const std::string& asTyped, const AnswerOutcome& outcome,
                          int64_t responseMs) const;

    ExerciseControl& Control;
    CallsignView& View;
    Random& Rng;
    CallsignSession Figures;
    ResultsTable Table;
    std::filesystem::path ListOverride;
    AnswerObserver* Observer = nullptr;
    // The answer of an Enter pressed while its callsign was being keyed.
    std::optional<std::string> PendingAnswer;
    std::string PendingAsTyped;
    std::chrono::steady_clock::time_point KeyedAt{};
    int Replays = 0;
    CallsignDrill DrillKind = CallsignDrill::None;
    std::vector<std::string> DrillCalls;
};

} // namespace tonvik
