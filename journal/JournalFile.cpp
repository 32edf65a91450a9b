#include "journal/JournalFile.h"

#include "journal/JournalPath.h"
#include "journal/JournalSchema.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <system_error>

namespace tonvik {
namespace {

namespace fs = std::filesystem;

const int ReadWriteFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;

JournalProblem Fault(JournalFault fault, const fs::path& path, std::string detail = {}) {
    JournalProblem problem;
    problem.Fault = fault;
    problem.Path = path.string();
    problem.Detail = std::move(detail);
    return problem;
}

JournalProblem MakeFolder(const fs::path& path) {
    const fs::path folder = path.parent_path();
    if (folder.empty())
        return {};
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder, error))
        return Fault(JournalFault::FolderUnavailable, path,
                     folder.string() + ": " +
                         (error ? error.message() : std::string("not a directory")));
    return {};
}

// The files SQLite keeps beside the journal, which it opens as it opens the
// journal itself.
constexpr const char* Companions[] = {"-wal", "-shm", "-journal"};

// What stands at one name of the journal's family, judged by stat alone: a
// FIFO opened for reading waits for a writer for ever, and SQLite opens it so.
// Nothing there is fine (missing is then set); a regular file is fine; a
// folder, a pipe, a device or a name that cannot be reached is a fault that
// names the system's reason.
JournalProblem CheckOneFile(const fs::path& journal, const fs::path& file, bool& missing) {
    struct stat info {};
    missing = false;
    if (::stat(file.c_str(), &info) != 0) {
        const int error = errno;
        missing = error == ENOENT;
        const std::string where = file == journal ? "" : file.string() + ": ";
        return missing ? JournalProblem{}
                       : Fault(JournalFault::CannotOpen, journal, where + std::strerror(error));
    }
    if (S_ISREG(info.st_mode))
        return {};
    const std::string what = S_ISDIR(info.st_mode)
                                 ? "a directory stands in its place"
                                 : "not a regular file: a pipe, a device or a socket";
    return Fault(JournalFault::CannotOpen, journal,
                 (file == journal ? "" : file.string() + ": ") + what);
}

// The journal and its companions, each a regular file or absent; missing
// tells that the journal itself is absent.
JournalProblem CheckJournalFamily(const fs::path& path, bool& missing) {
    JournalProblem problem = CheckOneFile(path, path, missing);
    for (const char* suffix : Companions) {
        bool absent = false;
        if (problem.Ok())
            problem = CheckOneFile(path, path.string() + suffix, absent);
    }
    return problem;
}

// Moves the file and what SQLite keeps beside it out of the way, together.
JournalProblem MoveAside(const fs::path& path) {
    JournalProblem problem;
    problem.Path = path.string();
    const fs::path aside = AsidePath(path);
    std::error_code error;
    fs::rename(path, aside, error);
    if (error)
        return Fault(JournalFault::Broken, path,
                     "it could not be moved aside to " + aside.string() + ": " + error.message());
    for (const char* suffix : {"-wal", "-shm"}) {
        const fs::path companion = path.string() + suffix;
        if (fs::exists(fs::symlink_status(companion, error)))
            fs::rename(companion, aside.string() + suffix, error);
    }
    problem.AsidePath = aside.string();
    return problem;
}

// A file SQLite would refuse as "not a database": not empty, and without the
// header every SQLite file begins with. Judged before SQLite opens it, so
// that nothing beside it (a -wal) is taken for part of a database.
bool HasForeignHeader(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char header[16] = {};
    in.read(header, sizeof header);
    const auto got = in.gcount();
    return got > 0 && (got < 16 || std::memcmp(header, "SQLite format 3", 16) != 0);
}

// What an open that failed means: a folder we may not write to is read-only
// whatever errno SQLite's last try left behind.
JournalProblem OpenFailure(const sql::Connection& db, int resultCode, const fs::path& path) {
    JournalProblem problem = ProblemOf(db, resultCode, path.string());
    if ((resultCode & 0xff) == SQLITE_CANTOPEN && access(path.parent_path().c_str(), W_OK) != 0)
        problem.Fault = JournalFault::ReadOnly;
    return problem;
}

bool IsBroken(int resultCode) {
    const int primary = resultCode & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Switches the file to WAL. Two programs switching a new journal at once
// each hold a read lock and wait for the other's: SQLite answers one of them
// "busy" at once instead of calling the busy handler, so that one tries again
// once the other is through, within the same timeout.
int SwitchToWal(sql::Connection& db, std::chrono::milliseconds busyTimeout, bool& refused) {
    const auto giveUp = std::chrono::steady_clock::now() + busyTimeout;
    for (;;) {
        sql::Statement mode;
        int rc = mode.Prepare(db, "PRAGMA journal_mode = WAL");
        if (rc == SQLITE_OK && (rc = mode.Step()) == SQLITE_ROW) {
            refused = mode.Text(0) != "wal";
            return SQLITE_OK;
        }
        if ((rc & 0xff) != SQLITE_BUSY || std::chrono::steady_clock::now() >= giveUp)
            return rc;
        sqlite3_sleep(5);
    }
}

// Brings the journal forward; a failure is told in the words SQLite gave
// before the migration was rolled back, not in those of the rollback.
JournalProblem Migrated(sql::Connection& db, const fs::path& path) {
    std::string error;
    const int rc = MigrateSchema(db, error);
    if (rc == SQLITE_OK)
        return {};
    JournalProblem problem = ProblemOf(db, rc, path.string());
    problem.Detail = "bringing it to journal version " + std::to_string(JournalSchemaVersion) +
                     " failed: " + error;
    return problem;
}

// After the schema check: WAL, durability, and the migration when needed.
JournalProblem Prepare(sql::Connection& db, const SchemaCheck& check,
                       std::chrono::milliseconds busyTimeout, const fs::path& path) {
    if (sqlite3_db_readonly(db.Handle(), "main") == 1)
        return Fault(JournalFault::ReadOnly, path, "opened read-only");
    bool refused = false;
    int rc = SwitchToWal(db, busyTimeout, refused);
    if (rc != SQLITE_OK)
        return ProblemOf(db, rc, path.string());
    if (refused)
        return Fault(JournalFault::ReadOnly, path, "WAL mode refused");
    // FULL: every commit reaches the disk before it returns, so a power cut
    // loses no answer that was recorded. The checkpoint runs between
    // exercises, not inside an answer's commit.
    rc = db.Execute("PRAGMA synchronous = FULL; PRAGMA wal_autocheckpoint = 0;");
    if (rc == SQLITE_OK && check.Version < JournalSchemaVersion) {
        if (JournalProblem problem = Migrated(db, path); !problem.Ok())
            return problem;
    }
    if (rc == SQLITE_OK)
        rc = db.Execute("PRAGMA wal_checkpoint(PASSIVE)");
    return rc == SQLITE_OK ? JournalProblem{} : ProblemOf(db, rc, path.string());
}

// One try at the file as it is; broken tells the caller to move it aside.
JournalProblem TryOpen(const fs::path& path, std::chrono::milliseconds busyTimeout,
                       sql::Connection& db, bool& broken) {
    broken = HasForeignHeader(path);
    if (broken)
        return Fault(JournalFault::Broken, path, "not a database");
    int rc = db.Open(path.string(), ReadWriteFlags);
    if (rc != SQLITE_OK)
        return OpenFailure(db, rc, path);
    sqlite3_busy_timeout(db.Handle(), static_cast<int>(busyTimeout.count()));
    const SchemaCheck check = CheckSchema(db);
    if (check.Result != SQLITE_OK) {
        broken = IsBroken(check.Result);
        return ProblemOf(db, check.Result, path.string());
    }
    if (check.State == SchemaState::Newer) {
        JournalProblem problem = Fault(JournalFault::NewerSchema, path);
        problem.Version = check.Version;
        return problem;
    }
    if (check.State == SchemaState::Foreign) {
        broken = true;
        return Fault(JournalFault::Broken, path, "another program's database");
    }
    JournalProblem problem = Prepare(db, check, busyTimeout, path);
    broken = problem.Fault == JournalFault::Broken;
    return problem;
}

SchemaCheck OpenReadOnly(const fs::path& path, sql::Connection& db) {
    SchemaCheck check;
    check.Result = db.Open(path.string(), SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    if (check.Result != SQLITE_OK)
        return check;
    sqlite3_busy_timeout(db.Handle(), static_cast<int>(DefaultBusyTimeout.count()));
    return CheckSchema(db);
}

JournalProblem Upgrade(const fs::path& path) {
    sql::Connection db;
    const int rc = db.Open(path.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    if (rc != SQLITE_OK)
        return ProblemOf(db, rc, path.string());
    sqlite3_busy_timeout(db.Handle(), static_cast<int>(DefaultBusyTimeout.count()));
    return Migrated(db, path);
}

} // namespace

JournalFault FaultOf(int resultCode, int systemErrno) {
    if (systemErrno == ENOSPC || systemErrno == EDQUOT)
        return JournalFault::DiskFull;
    if (systemErrno == EACCES || systemErrno == EROFS || systemErrno == EPERM)
        return JournalFault::ReadOnly;
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return JournalFault::Locked;
    case SQLITE_FULL:
        return JournalFault::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return JournalFault::ReadOnly;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return JournalFault::Broken;
    default:
        return JournalFault::CannotOpen;
    }
}

JournalProblem ProblemOf(const sql::Connection& db, int resultCode, const std::string& path) {
    const int systemErrno = db.IsOpen() ? sqlite3_system_errno(db.Handle()) : 0;
    JournalProblem problem;
    problem.Fault = FaultOf(resultCode, systemErrno);
    problem.Path = path;
    problem.Detail = db.IsOpen() ? db.ErrorText() : sqlite3_errstr(resultCode);
    if (systemErrno != 0)
        problem.Detail += ": " + std::generic_category().message(systemErrno);
    return problem;
}

JournalProblem OpenJournalFile(const fs::path& path, std::chrono::milliseconds busyTimeout,
                               sql::Connection& db) {
    if (JournalProblem folder = MakeFolder(path); !folder.Ok())
        return folder;
    bool missing = false;
    if (JournalProblem family = CheckJournalFamily(path, missing); !family.Ok())
        return family;
    bool broken = false;
    JournalProblem problem = TryOpen(path, busyTimeout, db, broken);
    if (problem.Ok())
        return problem;
    db.Close();
    if (!broken)
        return problem;
    JournalProblem aside = MoveAside(path);
    if (!aside.Ok())
        return aside;
    problem = TryOpen(path, busyTimeout, db, broken);
    if (!problem.Ok())
        db.Close();
    problem.AsidePath = aside.AsidePath;
    return problem;
}

JournalProblem OpenJournalForReading(const fs::path& path, sql::Connection& db, bool& missing) {
    // Only a journal that is not there reads as empty: one that cannot be
    // reached is a fault with the system's reason.
    if (JournalProblem family = CheckJournalFamily(path, missing); !family.Ok() || missing) {
        missing = missing && family.Ok();
        return family;
    }
    SchemaCheck check = OpenReadOnly(path, db);
    if (check.Result == SQLITE_OK && check.State == SchemaState::Ours &&
        check.Version < JournalSchemaVersion) {
        // An older journal of ours is brought forward as the trainer would.
        db.Close();
        if (JournalProblem problem = Upgrade(path); !problem.Ok())
            return problem;
        check = OpenReadOnly(path, db);
    }
    JournalProblem problem;
    if (check.Result != SQLITE_OK)
        problem = ProblemOf(db, check.Result, path.string());
    else if (check.State == SchemaState::Foreign)
        problem = Fault(JournalFault::Broken, path, "another program's database");
    else if (check.State == SchemaState::Newer)
        problem = Fault(JournalFault::NewerSchema, path);
    problem.Version = check.Version;
    // An empty file holds no exercise, as a missing one.
    missing = check.Result == SQLITE_OK && check.State == SchemaState::Empty;
    if (!problem.Ok() || missing)
        db.Close();
    return problem;
}

} // namespace tonvik
