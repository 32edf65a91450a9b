#pragma once

// A journal as an older Tonvik made it: its marks and the first version's
// tables, on a connection the test then fills as that version would have.
#include "journal/JournalSchema.h"
#include "journal/Sqlite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tonvik {

inline void StartVersion1Journal(sql::Connection& db, const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    ASSERT_EQ(db.Open(path.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), SQLITE_OK);
    const std::string marks = "PRAGMA application_id = " + std::to_string(JournalApplicationId) +
                              "; PRAGMA journal_mode = WAL;";
    ASSERT_EQ(db.Execute(marks.c_str()), SQLITE_OK);
    ASSERT_EQ(db.Execute(SchemaVersion1), SQLITE_OK);
}

} // namespace tonvik
