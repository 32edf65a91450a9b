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

// The journal's writes, made at once on the calling thread: each call is one
// transaction, committed to the disk (WAL, synchronous FULL) before it
// returns. Journal runs it on its writer thread. A failed write rolls back
// and closes the file; Problem() tells what went wrong.
class JournalWriter {
public:
    JournalWriter() = default;
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Opens or begins the journal at path. On a fault it stays closed.
    JournalProblem Open(const std::filesystem::path& path, std::chrono::milliseconds busyTimeout);
    void Close();
    bool IsOpen() const { return Db.IsOpen(); }

    // As Journal's; false when nothing was written (closed, no exercise, or
    // the write failed).
    bool BeginExercise(const ExerciseStart& start);
    bool RecordAnswer(const AnswerRecord& answer);
    bool EndExercise(const ExerciseEnd& end);
    // The course's records, in an exercise of their kind begun before.
    bool RecordLessonResult(const LessonResultRecord& result);
    bool RecordRecognitionAnswer(const RecognitionAnswerRecord& answer);

    // Why the write that closed the file failed; none while all went well.
    const std::optional<JournalProblem>& Problem() const { return WriteProblem; }
    // The row id of the exercise being recorded; 0 when none.
    long long CurrentExercise() const { return Exercise; }

private:
    int PrepareStatements();
    // Runs body in one write transaction; a failure rolls back and closes.
    template <class Body> bool Write(Body&& body);
    int InsertExercise(const ExerciseStart& start);
    int InsertAnswer(const AnswerRecord& answer);
    int UpdateEnd(const ExerciseEnd& end);
    int InsertLessonResult(const LessonResultRecord& result);
    int InsertRecognitionAnswer(const RecognitionAnswerRecord& answer);
    void Fail(int resultCode);

    sql::Connection Db;
    std::filesystem::path FilePath;
    sql::Statement Begin, Commit, Rollback;
    sql::Statement ExerciseInsert, AnswerInsert, CountsUpdate, EndUpdate;
    sql::Statement LessonInsert, RecognitionInsert;
    CharacterCountWriter Characters;
    long long Exercise = 0;
    bool ExerciseClean = true; // the band of the exercise being recorded was clean
    std::optional<JournalProblem> WriteProblem;
};

} // namespace tonvik
