#pragma once

#include "journal/JournalProblem.h"
#include "journal/Sqlite.h"

#include <chrono>
#include <filesystem>

namespace tonvik {

// How long a write waits for another program (a second window) that holds
// the journal, before it counts as locked.
inline constexpr std::chrono::milliseconds DefaultBusyTimeout{4000};

// The fault that SQLite's result code and the system's errno stand for.
JournalFault FaultOf(int resultCode, int systemErrno);
// The same for the last failure on db, with its words in problem.Detail.
JournalProblem ProblemOf(const sql::Connection& db, int resultCode, const std::string& path);

// Opens the journal at path for recording, in WAL mode: makes its folder,
// begins a new journal in a missing or empty file, brings an older one
// forward. A file that is not a journal (not a database, damaged, another
// program's) is moved aside to AsidePath(path), with its -wal and -shm, and
// a new journal begun; a journal of a newer version is not touched. On any
// fault db is left closed.
JournalProblem OpenJournalFile(const std::filesystem::path& path,
                               std::chrono::milliseconds busyTimeout, sql::Connection& db);

// Opens an existing journal read-only for the queries; never creates, moves or
// changes a file. Missing is not a fault: missing is set and db stays closed.
JournalProblem OpenJournalForReading(const std::filesystem::path& path, sql::Connection& db,
                                     bool& missing);

} // namespace tonvik
