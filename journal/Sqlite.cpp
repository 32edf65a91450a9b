#include "journal/Sqlite.h"

#include <utility>

namespace tonvik::sql {

Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        Close();
        Db = std::exchange(other.Db, nullptr);
    }
    return *this;
}

int Connection::Open(const std::string& path, int flags) {
    Close();
    return sqlite3_open_v2(path.c_str(), &Db, flags, nullptr);
}

void Connection::Close() {
    // Statements are finalized by their owners first; close_v2 defers the
    // rest until the last of them is gone instead of failing.
    if (Db != nullptr)
        sqlite3_close_v2(Db);
    Db = nullptr;
}

int Connection::Execute(const char* sqlText) {
    return sqlite3_exec(Db, sqlText, nullptr, nullptr, nullptr);
}

int Connection::QueryInt(const char* sqlText, int64_t& value, int64_t fallback) {
    Statement statement;
    int rc = statement.Prepare(*this, sqlText);
    if (rc != SQLITE_OK)
        return rc;
    rc = statement.Step();
    value = rc == SQLITE_ROW ? statement.Int(0) : fallback;
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::string Connection::ErrorText() const {
    return Db != nullptr ? sqlite3_errmsg(Db) : "out of memory";
}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(Stmt);
        Stmt = std::exchange(other.Stmt, nullptr);
    }
    return *this;
}

int Statement::Prepare(const Connection& db, const char* sqlText) {
    sqlite3_finalize(Stmt);
    Stmt = nullptr;
    return sqlite3_prepare_v3(db.Handle(), sqlText, -1, SQLITE_PREPARE_PERSISTENT, &Stmt, nullptr);
}

int Statement::Bind(int index, std::string_view text) {
    // A null pointer would bind NULL; an empty text stays an empty text.
    const char* data = text.data() != nullptr ? text.data() : "";
    return sqlite3_bind_text(Stmt, index, data, static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::Reset() {
    sqlite3_reset(Stmt);
    sqlite3_clear_bindings(Stmt);
}

std::string_view Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(Stmt, column));
    if (text == nullptr)
        return {};
    return {text, static_cast<size_t>(sqlite3_column_bytes(Stmt, column))};
}

} // namespace tonvik::sql
