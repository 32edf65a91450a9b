#include "journal/JournalSchema.h"

#include "journal/CharacterPairs.h"

#include <string_view>

namespace tonvik {

const char* const SchemaVersion1 = R"(
CREATE TABLE exercises(
    id INTEGER PRIMARY KEY,
    kind TEXT NOT NULL,
    started TEXT NOT NULL,
    ended TEXT,
    end_reason TEXT,
    own_call TEXT NOT NULL DEFAULT '',
    wpm INTEGER NOT NULL,
    pitch_hz INTEGER NOT NULL,
    volume INTEGER NOT NULL,
    speed_fixed INTEGER NOT NULL,
    tone_fixed INTEGER NOT NULL,
    letter_gap INTEGER NOT NULL,
    word_gap INTEGER NOT NULL,
    list_path TEXT NOT NULL DEFAULT '',
    list_sha256 TEXT NOT NULL DEFAULT '',
    total_points REAL NOT NULL DEFAULT 0,
    max_wpm INTEGER NOT NULL DEFAULT 0,
    characters INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE answers(
    id INTEGER PRIMARY KEY,
    exercise INTEGER NOT NULL REFERENCES exercises(id),
    answered TEXT NOT NULL,
    number INTEGER NOT NULL,
    sent TEXT NOT NULL,
    typed TEXT NOT NULL,
    right INTEGER NOT NULL,
    errors INTEGER NOT NULL,
    wpm INTEGER NOT NULL,
    tone_hz INTEGER NOT NULL,
    replays INTEGER NOT NULL,
    points INTEGER NOT NULL,
    call_points REAL NOT NULL,
    response_ms INTEGER NOT NULL
);
CREATE INDEX answers_exercise ON answers(exercise);
)";

namespace {

// Version 2: what the statistics read without scanning every answer. Each
// exercise counts its answers as they come (so an unfinished one reads
// right), and the characters of the answers are counted sent against typed,
// per UTC day for the last days and in all for all time, so the
// per-character figures are a GROUP BY over a few thousand rows however long
// the history (a year of daily training makes some 75,000 daily rows and
// about a thousand in all).
//
// Every statement may meet its work done already: a step cut off by an older
// program that did not hold it in one transaction leaves a file at version 1
// with some of version 2's tables, and the step is then finished, not failed.
const char* const AddedColumns[] = {"answers", "right_answers"};

const char* const SchemaVersion2 = R"(
UPDATE exercises SET
    answers = (SELECT count(*) FROM answers WHERE exercise = exercises.id),
    right_answers = (SELECT count(*) FROM answers WHERE exercise = exercises.id AND right = 1);
CREATE TABLE IF NOT EXISTS character_counts(
    day TEXT NOT NULL,
    sent TEXT NOT NULL,
    typed TEXT NOT NULL,
    count INTEGER NOT NULL,
    PRIMARY KEY(day, sent, typed)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS character_totals(
    sent TEXT NOT NULL,
    typed TEXT NOT NULL,
    count INTEGER NOT NULL,
    PRIMARY KEY(sent, typed)
) WITHOUT ROWID;
DELETE FROM character_counts;
DELETE FROM character_totals;
CREATE INDEX IF NOT EXISTS exercises_kind_started ON exercises(kind, started);
CREATE INDEX IF NOT EXISTS exercises_kind_points ON exercises(kind, total_points);
CREATE INDEX IF NOT EXISTS answers_wrong ON answers(id) WHERE right = 0;
)";

// Version 4: the course. A lesson's result and every recognition answer
// have tables of their own; the character counts gain where the character
// was heard (callsign, lesson, recognition) and whether the band was clean,
// so that each can be shown apart. The counts are rebuilt from the answers
// kept; the tables are dropped first, so a step cut off anywhere is finished
// by running it again.
const char* const SchemaVersion4 = R"(
CREATE TABLE IF NOT EXISTS lesson_results(
    exercise INTEGER PRIMARY KEY REFERENCES exercises(id),
    checked TEXT NOT NULL,
    course TEXT NOT NULL,
    lesson INTEGER NOT NULL,
    minutes INTEGER NOT NULL,
    effective_wpm INTEGER NOT NULL,
    sent_count INTEGER NOT NULL,
    copied_count INTEGER NOT NULL,
    right_count INTEGER NOT NULL,
    score REAL NOT NULL,
    passed INTEGER NOT NULL,
    sent_text TEXT NOT NULL,
    copy TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS lesson_results_course ON lesson_results(course, lesson, score);
CREATE TABLE IF NOT EXISTS recognition_answers(
    id INTEGER PRIMARY KEY,
    exercise INTEGER NOT NULL REFERENCES exercises(id),
    answered TEXT NOT NULL,
    number INTEGER NOT NULL,
    character TEXT NOT NULL,
    pressed TEXT NOT NULL,
    right INTEGER NOT NULL,
    reaction_ms INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS recognition_answers_exercise ON recognition_answers(exercise);
CREATE INDEX IF NOT EXISTS recognition_answers_answered ON recognition_answers(answered);
CREATE INDEX IF NOT EXISTS recognition_answers_character
    ON recognition_answers(character, reaction_ms, answered, right);
DROP TABLE IF EXISTS character_counts;
DROP TABLE IF EXISTS character_totals;
CREATE TABLE character_counts(
    day TEXT NOT NULL,
    source TEXT NOT NULL,
    clean INTEGER NOT NULL,
    sent TEXT NOT NULL,
    typed TEXT NOT NULL,
    count INTEGER NOT NULL,
    PRIMARY KEY(day, source, clean, sent, typed)
) WITHOUT ROWID;
CREATE TABLE character_totals(
    source TEXT NOT NULL,
    clean INTEGER NOT NULL,
    sent TEXT NOT NULL,
    typed TEXT NOT NULL,
    count INTEGER NOT NULL,
    PRIMARY KEY(source, clean, sent, typed)
) WITHOUT ROWID;
)";

// Version 3: the band every exercise was heard through, as the band's own
// short text ("clean", a preset's name, or its values). Every exercise of an
// older journal was heard clean.
// Like version 2's step, it finishes a step that was cut off.
const char* const SchemaVersion3 = R"(
CREATE INDEX IF NOT EXISTS exercises_conditions ON exercises(conditions, kind, started);
)";

int SetVersion(sql::Connection& db, int version) {
    const std::string pragma = "PRAGMA user_version = " + std::to_string(version);
    return db.Execute(pragma.c_str());
}

int CreateVersion1(sql::Connection& db) {
    const std::string pragma =
        "PRAGMA application_id = " + std::to_string(JournalApplicationId) + ";";
    int rc = db.Execute(pragma.c_str());
    if (rc == SQLITE_OK)
        rc = db.Execute(SchemaVersion1);
    return rc;
}

// Counts the characters of every callsign answer and recognition answer kept
// so far, each under its exercise's band. Lessons need no recount: a journal
// before this version has none.
int FillCharacterCounts(sql::Connection& db) {
    sql::Statement answers;
    int rc = answers.Prepare(
        db, "SELECT a.answered, a.sent, a.typed, e.conditions = 'clean', 0 FROM answers a "
            "JOIN exercises e ON e.id = a.exercise UNION ALL "
            "SELECT r.answered, r.character, r.pressed, e.conditions = 'clean', 1 "
            "FROM recognition_answers r JOIN exercises e ON e.id = r.exercise");
    if (rc != SQLITE_OK)
        return rc;
    CharacterTally tally;
    while ((rc = answers.Step()) == SQLITE_ROW) {
        const bool recognition = answers.Int(4) != 0;
        const std::vector<CharacterPair> pairs =
            recognition ? std::vector<CharacterPair>{{std::string(answers.Text(1)),
                                                      std::string(answers.Text(2))}}
                        : CharacterPairsOf(answers.Text(1), answers.Text(2));
        tally.Add(answers.Text(0), pairs,
                  recognition ? CountSource::Recognition : CountSource::Callsign,
                  answers.Int(3) != 0);
    }
    if (rc != SQLITE_DONE)
        return rc;
    return tally.Write(db);
}

int AddColumnIfMissing(sql::Connection& db, const std::string& column,
                       const std::string& definition = "INTEGER NOT NULL DEFAULT 0") {
    sql::Statement present;
    int rc = present.Prepare(db, "SELECT count(*) FROM pragma_table_info('exercises') "
                                 "WHERE name = ?1");
    if (rc != SQLITE_OK)
        return rc;
    present.Bind(1, column);
    if ((rc = present.Step()) != SQLITE_ROW)
        return rc;
    if (present.Int(0) > 0)
        return SQLITE_OK;
    const std::string add = "ALTER TABLE exercises ADD COLUMN " + column + " " + definition;
    return db.Execute(add.c_str());
}

int UpgradeToVersion2(sql::Connection& db) {
    int rc = SQLITE_OK;
    for (const char* column : AddedColumns)
        if (rc == SQLITE_OK)
            rc = AddColumnIfMissing(db, column);
    if (rc == SQLITE_OK)
        rc = db.Execute(SchemaVersion2);
    return rc; // the counts are filled by version 4's step, in their later shape
}

int UpgradeToVersion3(sql::Connection& db) {
    const int rc = AddColumnIfMissing(db, "conditions", "TEXT NOT NULL DEFAULT 'clean'");
    return rc == SQLITE_OK ? db.Execute(SchemaVersion3) : rc;
}

int UpgradeToVersion4(sql::Connection& db) {
    const int rc = db.Execute(SchemaVersion4);
    return rc == SQLITE_OK ? FillCharacterCounts(db) : rc;
}

int StepFrom(sql::Connection& db, int64_t version) {
    switch (version) {
    case 0:
        return CreateVersion1(db);
    case 1:
        return UpgradeToVersion2(db);
    case 2:
        return UpgradeToVersion3(db);
    case 3:
        return UpgradeToVersion4(db);
    default:
        return SQLITE_INTERNAL;
    }
}

int Migrate(sql::Connection& db) {
    const SchemaCheck check = CheckSchema(db);
    if (check.Result != SQLITE_OK)
        return check.Result;
    if (check.State != SchemaState::Empty && check.State != SchemaState::Ours)
        return SQLITE_NOTADB; // changed under us since the first look
    for (int64_t version = check.Version; version < JournalSchemaVersion; ++version) {
        int rc = StepFrom(db, version);
        if (rc == SQLITE_OK)
            rc = SetVersion(db, static_cast<int>(version + 1));
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

} // namespace

SchemaCheck CheckSchema(sql::Connection& db) {
    SchemaCheck check;
    // One statement, so one snapshot: read one by one, the marks of another
    // program creating the journal at this moment could be seen half set,
    // and its new journal taken for someone else's database.
    sql::Statement marks;
    check.Result = marks.Prepare(db, "SELECT (SELECT application_id FROM pragma_application_id),"
                                     " (SELECT user_version FROM pragma_user_version),"
                                     " (SELECT count(*) FROM sqlite_master)");
    if (check.Result == SQLITE_OK)
        check.Result = marks.Step();
    if (check.Result != SQLITE_ROW)
        return check;
    check.Result = SQLITE_OK;
    const int64_t applicationId = marks.Int(0);
    check.Version = marks.Int(1);
    const int64_t tables = marks.Int(2);
    if (applicationId == 0 && check.Version == 0 && tables == 0)
        check.State = SchemaState::Empty;
    else if (applicationId != JournalApplicationId || check.Version < 1)
        check.State = SchemaState::Foreign;
    else if (check.Version > JournalSchemaVersion)
        check.State = SchemaState::Newer;
    else
        check.State = SchemaState::Ours;
    return check;
}

int MigrateSchema(sql::Connection& db, std::string& error) {
    int rc = db.Execute("BEGIN IMMEDIATE");
    if (rc == SQLITE_OK) {
        rc = Migrate(db);
        rc = rc == SQLITE_OK ? db.Execute("COMMIT") : rc;
    }
    if (rc != SQLITE_OK) {
        error = db.ErrorText();
        db.Execute("ROLLBACK");
    }
    return rc;
}

} // namespace tonvik
