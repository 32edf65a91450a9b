#pragma once

// Files for the tests of the personal list: bytes in and out, the data folder pointed elsewhere for
// a while, and file operations that fail at a chosen step.
#include "callsign/PersonalListFile.h"

#include <QByteArray>
#include <QtGlobal>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace tonvik {

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void PutFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
}

// XDG_DATA_HOME set to a folder (or unset) until the end of the scope.
class DataHomeScope {
public:
    explicit DataHomeScope(const std::optional<std::string>& value) {
        if (qEnvironmentVariableIsSet("XDG_DATA_HOME"))
            Saved = qgetenv("XDG_DATA_HOME").toStdString();
        if (value)
            qputenv("XDG_DATA_HOME", QByteArray::fromStdString(*value));
        else
            qunsetenv("XDG_DATA_HOME");
    }
    ~DataHomeScope() {
        if (Saved)
            qputenv("XDG_DATA_HOME", QByteArray::fromStdString(*Saved));
        else
            qunsetenv("XDG_DATA_HOME");
    }
    DataHomeScope(const DataHomeScope&) = delete;
    DataHomeScope& operator=(const DataHomeScope&) = delete;

private:
    std::optional<std::string> Saved;
};

// The system's file operations but one, which fails with Error the Nth time
// it is made. A write that fails has written half its bytes first, as a
// full disk does.
class FailingListFileOps : public ListFileOps {
public:
    enum class Step { None, OpenNew, Write, Sync, Close, Link, Rename, SyncFolder };

    explicit FailingListFileOps(Step step = Step::None, int nth = 1, int error = ENOSPC)
        : FailStep(step), Nth(nth), Error(error) {}

    int OpenNew(const std::filesystem::path& path, int& fd) override {
        return Fails(Step::OpenNew) ? Error : ListFileOps::OpenNew(path, fd);
    }
    int Write(int fd, std::string_view bytes) override {
        if (!Fails(Step::Write))
            return ListFileOps::Write(fd, bytes);
        ListFileOps::Write(fd, bytes.substr(0, bytes.size() / 2));
        return Error;
    }
    int Sync(int fd) override { return Fails(Step::Sync) ? Error : ListFileOps::Sync(fd); }
    int Close(int fd) override {
        const int result = ListFileOps::Close(fd); // closed either way, as the system does
        return Fails(Step::Close) ? Error : result;
    }
    int Link(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return Fails(Step::Link) ? Error : ListFileOps::Link(from, to);
    }
    int Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return Fails(Step::Rename) ? Error : ListFileOps::Rename(from, to);
    }
    int SyncFolder(const std::filesystem::path& folder) override {
        return Fails(Step::SyncFolder) ? Error : ListFileOps::SyncFolder(folder);
    }

    bool Failed = false; // the chosen step was reached and failed

private:
    bool Fails(Step step) {
        if (step != FailStep || ++Count != Nth)
            return false;
        Failed = true;
        return true;
    }

    Step FailStep;
    int Nth;
    int Error;
    int Count = 0;
};

} // namespace tonvik
