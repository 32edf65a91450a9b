#pragma once

#include "journal/Sqlite.h"

#include <cstdint>
#include <string>

namespace tonvik {

// The journal's tables and their history. The file carries its version in
// PRAGMA user_version and the mark of this program in PRAGMA application_id;
// every older version is brought forward step by step, each step in code
// for as long as files of that version may exist.

inline constexpr int64_t JournalApplicationId = 0x544F4E56; // "TONV"
inline constexpr int JournalSchemaVersion = 4;

// What a file holds, judged before anything is written to it.
enum class SchemaState {
    Empty,   // a new or empty database: the journal is begun in it
    Ours,    // a journal of this or an older version
    Newer,   // a journal of a later program: left untouched
    Foreign, // some other database
};

struct SchemaCheck {
    int Result = SQLITE_OK; // SQLite's code when the file could not be read at all
    SchemaState State = SchemaState::Empty;
    int64_t Version = 0;
};

SchemaCheck CheckSchema(sql::Connection& db);

// Brings an Empty or Ours database to JournalSchemaVersion in one write
// transaction; the state is judged again inside it, so two programs opening
// one file at once migrate it once. Returns SQLite's code; error gets its text.
int MigrateSchema(sql::Connection& db, std::string& error);

// The tables as the first version made them; kept to build the first step
// and to let tests make a journal of that version.
extern const char* const SchemaVersion1;

} // namespace tonvik
