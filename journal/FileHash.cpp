#include "journal/FileHash.h"

#include <QCryptographicHash>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace tonvik {

std::string FileSha256(const std::filesystem::path& path) {
    // Opened without waiting and judged by what was opened: a pipe in the
    // list's place must not hold the window at Start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return "";
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::array<char, 65536> chunk{};
    while (ok) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got == 0)
            break;
        if (got < 0 && errno == EINTR)
            continue;
        ok = got > 0;
        if (ok)
            hash.addData(QByteArrayView(chunk.data(), got));
    }
    ::close(fd);
    return ok ? hash.result().toHex().toStdString() : "";
}

} // namespace tonvik
