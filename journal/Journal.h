#pragma once

#include "journal/CharacterPairs.h"
#include "journal/JournalFile.h"
#include "journal/JournalProblem.h"
#include "journal/JournalTypes.h"
#include "journal/Sqlite.h"

#include <chrono>
#include <filesystem>
#include <optional>

namespace tonvik {

// The recorder of the training journal, used by the window on its GUI thread.
//
// The window opens it once at start (Open), shows the returned problem if it
// is Worth() a message, and then calls BeginExercise at Start, RecordAnswer at
// every evaluated answer and EndExercise when the exercise ends. Each answer
// is committed in its own transaction before RecordAnswer returns (WAL,
// synchronous FULL), so a crash or a power cut loses at most the answer not
// yet given. No call throws; without a journal, or after a failed write,
// every call does nothing and returns false. A failed write closes the
// journal for the rest of the run; TakeWriteProblem hands its problem out once.
//
// Two windows may record into one file at once: each waits up to the busy
// timeout for the other's transaction.
class Journal {
public:
    Journal() = default;
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Opens or begins the journal at path (DefaultJournalPath() for the
    // user's own). On a fault the journal stays closed.
    JournalProblem Open(const std::filesystem::path& path,
                        std::chrono::milliseconds busyTimeout = DefaultBusyTimeout);
    void Close();
    bool IsOpen() const { return Db.IsOpen(); }
    const std::filesystem::path& Path() const { return FilePath; }

    // Begins an exercise; an exercise begun before and not ended stays as it
    // is (it reads as stopped).
    bool BeginExercise(const ExerciseStart& start);
    // Records one answer of the exercise begun last.
    bool RecordAnswer(const AnswerRecord& answer);
    // Ends the exercise begun last; later answers are not recorded.
    bool EndExercise(const ExerciseEnd& end);

    // The problem of the write that closed the journal, once.
    std::optional<JournalProblem> TakeWriteProblem();
    // The journal's row id of the exercise being recorded; 0 when none.
    long long CurrentExercise() const { return Exercise; }

private:
    int PrepareStatements();
    // Runs body in one write transaction; a failure rolls back and closes.
    template <class Body> bool Write(Body&& body);
    int InsertExercise(const ExerciseStart& start);
    int InsertAnswer(const AnswerRecord& answer);
    int UpdateEnd(const ExerciseEnd& end);
    void Fail(int resultCode);

    sql::Connection Db;
    std::filesystem::path FilePath;
    sql::Statement Begin, Commit, Rollback;
    sql::Statement ExerciseInsert, AnswerInsert, CountsUpdate, EndUpdate;
    CharacterCountWriter Characters;
    long long Exercise = 0;
    std::optional<JournalProblem> WriteProblem;
};

} // namespace tonvik
