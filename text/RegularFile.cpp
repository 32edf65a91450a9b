#include "text/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tonvik {

namespace {

FileRead Refused(FileReadStatus status, int error) {
    FileRead read;
    read.Status = status;
    read.Message = std::strerror(error);
    return read;
}

FileRead NotRegular() {
    FileRead read;
    read.Status = FileReadStatus::NotRegular;
    read.Message = "Not a regular file";
    return read;
}

} // namespace

#ifdef _WIN32

// No pipe or device can stand in a folder here under a file's name.
FileRead ReadRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (status.type() == std::filesystem::file_type::not_found)
        return Refused(FileReadStatus::Missing, ENOENT);
    if (status.type() == std::filesystem::file_type::directory)
        return Refused(FileReadStatus::Directory, EISDIR);
    if (code || status.type() != std::filesystem::file_type::regular)
        return NotRegular();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Refused(FileReadStatus::Failed, EIO);
    FileRead read;
    try {
        char buffer[1 << 16];
        while (read.Bytes.size() <= maxBytes && file.read(buffer, sizeof buffer).gcount() > 0)
            read.Bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
    } catch (const std::bad_alloc&) {
        return Refused(FileReadStatus::TooLarge, ENOMEM);
    }
    if (file.bad())
        return Refused(FileReadStatus::Failed, EIO);
    if (read.Bytes.size() > maxBytes)
        return Refused(FileReadStatus::TooLarge, EFBIG);
    read.Status = FileReadStatus::Ok;
    return read;
}

#else

namespace {

FileReadStatus StatusOfError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileReadStatus::Missing;
    case EACCES:
    case EPERM:
        return FileReadStatus::Denied;
    case ENOMEM:
    case EFBIG:
        return FileReadStatus::TooLarge;
    default:
        return FileReadStatus::Failed;
    }
}

struct Descriptor {
    int Fd;
    ~Descriptor() {
        if (Fd >= 0)
            ::close(Fd);
    }
};

// Reads to the end, or to one byte past maxBytes: the file may have grown
// since it was measured.
FileRead ReadOpened(int fd, std::uintmax_t size, std::uintmax_t maxBytes) {
    FileRead read;
    try {
        read.Bytes.reserve(static_cast<std::size_t>(size) + 1);
        char buffer[1 << 16];
        while (read.Bytes.size() <= maxBytes) {
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                return Refused(StatusOfError(errno), errno);
            if (count == 0)
                break;
            read.Bytes.append(buffer, static_cast<std::size_t>(count));
        }
    } catch (const std::bad_alloc&) {
        return Refused(FileReadStatus::TooLarge, ENOMEM);
    }
    if (read.Bytes.size() > maxBytes)
        return Refused(FileReadStatus::TooLarge, EFBIG);
    read.Status = FileReadStatus::Ok;
    return read;
}

FileRead Judge(const struct stat& info) {
    if (S_ISDIR(info.st_mode))
        return Refused(FileReadStatus::Directory, EISDIR);
    if (!S_ISREG(info.st_mode))
        return NotRegular();
    return FileRead{FileReadStatus::Ok, {}, {}};
}

} // namespace

FileRead ReadRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    // Judged by name first, so that a device is not even opened; then by what
    // was opened, without waiting for a writer, should a pipe have taken the
    // file's place in between.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return Refused(StatusOfError(errno), errno);
    if (FileRead judged = Judge(info); judged.Status != FileReadStatus::Ok)
        return judged;
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.Fd < 0)
        return Refused(StatusOfError(errno), errno);
    if (::fstat(file.Fd, &info) != 0)
        return Refused(FileReadStatus::Failed, errno);
    if (FileRead judged = Judge(info); judged.Status != FileReadStatus::Ok)
        return judged;
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > maxBytes)
        return Refused(FileReadStatus::TooLarge, EFBIG);
    return ReadOpened(file.Fd, size, maxBytes);
}

#endif

} // namespace tonvik
