#include "callsign/PersonalListLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tonvik {

PersonalListLock::~PersonalListLock() {
    if (Fd >= 0)
        ::close(Fd); // and the lock with it
}

std::string PersonalListLock::Take(const std::filesystem::path& folder,
                                   const std::function<void()>& waiting) {
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made)
        return "cannot make the folder " + folder.string() + ": " + made.message();
    Fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd < 0)
        return "cannot open the folder " + folder.string() + ": " + std::strerror(errno);
    if (::flock(Fd, LOCK_EX | LOCK_NB) == 0)
        return "";
    if (errno == EWOULDBLOCK && waiting)
        waiting();
    int result = 0;
    while ((result = ::flock(Fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (result == 0)
        return "";
    const std::string why = std::strerror(errno);
    ::close(Fd);
    Fd = -1;
    return "cannot lock the folder " + folder.string() + ": " + why;
}

} // namespace tonvik
