#include "cli/StreamOutput.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

namespace tonvik {

bool IsClosedPipe(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISFIFO(info.st_mode))
        return false;
    // The writing end of a pipe without a reader polls as an error.
    pollfd watched{fd, POLLOUT, 0};
    return ::poll(&watched, 1, 0) > 0 && (watched.revents & POLLERR) != 0;
}

bool StandardOutputClosed(const std::ostream& out) {
    return &out == &std::cout && IsClosedPipe(STDOUT_FILENO);
}

int WriteIntoStream(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    while (!bytes.empty() && error == 0) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0)
            bytes.remove_prefix(static_cast<std::size_t>(written));
        else if (written == 0 || errno != EINTR)
            error = written < 0 ? errno : EIO;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error;
}

} // namespace tonvik
