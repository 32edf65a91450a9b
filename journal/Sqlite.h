#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace tonvik::sql {

// Owning handles over SQLite's C API: a connection and a prepared statement.
// Nothing here throws; every call returns SQLite's result code.

class Connection {
public:
    Connection() = default;
    ~Connection() { Close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept : Db(other.Db) { other.Db = nullptr; }
    Connection& operator=(Connection&& other) noexcept;

    // flags as for sqlite3_open_v2. The handle is kept even on failure, so that
    // ErrorText() can tell why; Close() releases it.
    int Open(const std::string& path, int flags);
    void Close();
    bool IsOpen() const { return Db != nullptr; }
    sqlite3* Handle() const { return Db; }

    // Runs statements that return nothing worth reading.
    int Execute(const char* sqlText);
    // The first column of the first row as an integer; fallback when there is none.
    int QueryInt(const char* sqlText, int64_t& value, int64_t fallback = 0);
    std::string ErrorText() const;
    int ExtendedError() const {
        return Db != nullptr ? sqlite3_extended_errcode(Db) : SQLITE_MISUSE;
    }

private:
    sqlite3* Db = nullptr;
};

class Statement {
public:
    Statement() = default;
    ~Statement() { sqlite3_finalize(Stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept : Stmt(other.Stmt) { other.Stmt = nullptr; }
    Statement& operator=(Statement&& other) noexcept;

    int Prepare(const Connection& db, const char* sqlText);
    bool IsReady() const { return Stmt != nullptr; }

    // Parameters count from 1, as in SQLite.
    int Bind(int index, int64_t value) { return sqlite3_bind_int64(Stmt, index, value); }
    int Bind(int index, int value) { return sqlite3_bind_int64(Stmt, index, value); }
    int Bind(int index, bool value) { return sqlite3_bind_int(Stmt, index, value ? 1 : 0); }
    int Bind(int index, double value) { return sqlite3_bind_double(Stmt, index, value); }
    int Bind(int index, std::string_view text);
    int BindNull(int index) { return sqlite3_bind_null(Stmt, index); }

    // SQLITE_ROW while there are rows, SQLITE_DONE at the end, an error otherwise.
    int Step() { return sqlite3_step(Stmt); }
    // Resets for the next use and forgets the bound values.
    void Reset();

    int64_t Int(int column) const { return sqlite3_column_int64(Stmt, column); }
    double Real(int column) const { return sqlite3_column_double(Stmt, column); }
    bool IsNull(int column) const { return sqlite3_column_type(Stmt, column) == SQLITE_NULL; }
    int ColumnCount() const { return sqlite3_column_count(Stmt); }
    // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL.
    int Type(int column) const { return sqlite3_column_type(Stmt, column); }
    // UTF-8 text of a column; empty for NULL. Valid until the next Step or Reset.
    std::string_view Text(int column) const;

private:
    sqlite3_stmt* Stmt = nullptr;
};

} // namespace tonvik::sql
