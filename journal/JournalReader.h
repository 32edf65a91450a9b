#pragma once

#include "journal/JournalProblem.h"
#include "journal/JournalTypes.h"
#include "journal/Sqlite.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace tonvik {

// An exercise as the journal holds it.
struct ExerciseRow {
    long long Id = 0;
    ExerciseStart Start;                   // its kind, start time and settings
    std::optional<JournalTime> Ended;      // none when the end was never recorded
    EndReason Reason = EndReason::Stopped; // an exercise cut off reads as stopped
    int Answers = 0;                       // callsign kinds: answers recorded
    int RightAnswers = 0;
    double TotalPoints = 0;
    int MaxWpm = 0;
    long long CharactersKeyed = 0; // text exercises and the test
    bool RanToEnd() const { return Reason == EndReason::Completed; }
};

inline constexpr int ExerciseKindCount = 7;

// Reads the journal for the command line and the statistics window, on a
// read-only connection of its own; it never creates, moves or changes a file
// (an older journal of ours excepted, which is brought up to date as the
// trainer would). Every query returns plain values, CP1251 for callsigns and
// answers; a query that fails returns what it has and sets Failed().
class JournalReader {
public:
    JournalProblem Open(const std::filesystem::path& path);
    // Open found no journal: no file, or an empty one.
    bool Missing() const { return NoJournal; }
    bool IsOpen() const { return Db.IsOpen(); }
    bool Failed() const { return LastResult != SQLITE_OK; }
    // SQLite's words for the failed query.
    std::string FailureText() const { return Db.ErrorText(); }

    // Exercises of each kind, indexed by ExerciseKind.
    std::array<long long, ExerciseKindCount> CountByKind() const;
    // The newest exercises of a kind, newest first.
    std::vector<ExerciseRow> LastExercises(ExerciseKind kind, int limit) const;
    // The one with the most points of a kind, the later of equal ones.
    std::optional<ExerciseRow> Best(ExerciseKind kind) const;
    std::optional<ExerciseRow> Exercise(long long id) const;
    // The answers of one exercise in the order they were given.
    std::vector<AnswerRecord> Answers(long long exercise) const;

    // Runs a query for the readers beside this class: bind sets its
    // parameters, row reads one row and returns false to stop early.
    template <class Bind, class Row> void Query(const char* sqlText, Bind&& bind, Row&& row) const {
        sql::Statement s;
        int rc = s.Prepare(Db, sqlText);
        if (rc == SQLITE_OK) {
            bind(s);
            while ((rc = s.Step()) == SQLITE_ROW && row(s)) {
            }
        }
        Note(rc);
    }
    static void NoParameters(sql::Statement&) {}

private:
    std::vector<ExerciseRow> Exercises(const char* tail,
                                       const std::function<void(sql::Statement&)>& bind) const;
    // Notes the end of a query's stepping: SQLITE_DONE (or a row) is success.
    void Note(int resultCode) const;

    sql::Connection Db;
    bool NoJournal = false;
    mutable int LastResult = SQLITE_OK;
};

} // namespace tonvik
