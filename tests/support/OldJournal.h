#pragma once

// A journal as an older Tonvik made it: its marks, the first version's
// tables, then the statements that bring it to that version and fill it.
#include "journal/JournalSchema.h"
#include "journal/Sqlite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tonvik {

inline void MakeOldJournal(const std::filesystem::path& path, const char* statements) {
    std::filesystem::create_directories(path.parent_path());
    sql::Connection db;
    ASSERT_EQ(db.Open(path.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), SQLITE_OK);
    const std::string marks = "PRAGMA application_id = " + std::to_string(JournalApplicationId) +
                              "; PRAGMA journal_mode = WAL;";
    ASSERT_EQ(db.Execute(marks.c_str()), SQLITE_OK);
    ASSERT_EQ(db.Execute(SchemaVersion1), SQLITE_OK);
    ASSERT_EQ(db.Execute(statements), SQLITE_OK);
}

} // namespace tonvik
