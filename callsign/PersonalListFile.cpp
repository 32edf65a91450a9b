#include "callsign/PersonalListFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tonvik {
namespace {

int ErrnoOf(int result) {
    return result == 0 ? 0 : errno;
}

std::string Reason(int error) {
    return std::strerror(error);
}

// A name beside path that no other run uses at the same time.
std::filesystem::path NewName(const std::filesystem::path& path) {
    return path.string() + ".new-" + std::to_string(::getpid());
}

bool Exists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

// Writes bytes into a new file at path and syncs it; the error line or "".
std::string WriteNewFile(const std::filesystem::path& path, std::string_view bytes,
                         ListFileOps& ops) {
    int fd = -1;
    if (const int error = ops.OpenNew(path, fd); error != 0)
        return "cannot create " + path.string() + ": " + Reason(error);
    int error = ops.Write(fd, bytes);
    if (error == 0)
        error = ops.Sync(fd);
    // A delayed write error may show only when the file is closed.
    const int closeError = ops.Close(fd);
    if (error == 0)
        error = closeError;
    if (error != 0) {
        ops.Remove(path);
        return "cannot write " + path.string() + ": " + Reason(error);
    }
    return "";
}

// Gives target's file the name backup as well, replacing any file there.
std::string KeepAsBackup(const std::filesystem::path& target, const std::filesystem::path& backup,
                         ListFileOps& ops) {
    const std::filesystem::path link = NewName(backup);
    ops.Remove(link);
    int error = ops.Link(target, link);
    if (error == 0) {
        error = ops.Rename(link, backup);
        // Where the backup is the target's file already (a replacement cut off
        // after this step), the rename does nothing and leaves the link.
        ops.Remove(link);
    }
    if (error != 0)
        return "cannot keep the previous list as " + backup.string() + ": " + Reason(error);
    return "";
}

} // namespace

int ListFileOps::OpenNew(const std::filesystem::path& path, int& fd) {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd < 0 ? errno : 0;
}

int ListFileOps::Write(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int ListFileOps::Sync(int fd) {
    return ErrnoOf(::fsync(fd));
}

int ListFileOps::Close(int fd) {
    return ErrnoOf(::close(fd));
}

int ListFileOps::Link(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ErrnoOf(::link(from.c_str(), to.c_str()));
}

int ListFileOps::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ErrnoOf(::rename(from.c_str(), to.c_str()));
}

int ListFileOps::SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ErrnoOf(::fsync(fd));
    ::close(fd);
    return error;
}

int ListFileOps::Remove(const std::filesystem::path& path) {
    return ErrnoOf(::unlink(path.c_str()));
}

std::string ReplaceListFile(const std::filesystem::path& target,
                            const std::filesystem::path& backup, std::string_view bytes,
                            ListFileOps& ops) {
    const std::filesystem::path folder = target.parent_path();
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made)
        return "cannot make the folder " + folder.string() + ": " + made.message();
    const std::filesystem::path temporary = NewName(target);
    ops.Remove(temporary); // left by a run with our process number that was cut off
    if (std::string error = WriteNewFile(temporary, bytes, ops); !error.empty())
        return error + "; the list is unchanged";
    if (Exists(target)) {
        if (std::string error = KeepAsBackup(target, backup, ops); !error.empty()) {
            ops.Remove(temporary);
            return error + "; the list is unchanged";
        }
    }
    if (const int error = ops.Rename(temporary, target); error != 0) {
        ops.Remove(temporary);
        return "cannot replace " + target.string() + ": " + Reason(error) +
               "; the list is unchanged";
    }
    if (const int error = ops.SyncFolder(folder); error != 0)
        return target.string() + " was replaced, but the folder could not be synced (" +
               Reason(error) + "): a power cut now may undo it";
    return "";
}

std::string MoveListAside(const std::filesystem::path& target, const std::filesystem::path& backup,
                          ListFileOps& ops) {
    if (!Exists(target))
        return "";
    if (const int error = ops.Rename(target, backup); error != 0)
        return "cannot rename " + target.string() + " to " + backup.string() + ": " + Reason(error);
    if (const int error = ops.SyncFolder(target.parent_path()); error != 0)
        return target.string() + " was renamed, but the folder could not be synced (" +
               Reason(error) + ")";
    return "";
}

} // namespace tonvik
