#include "cli/OutputTarget.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace tonvik {
namespace {

std::optional<FileIdentity> Identity(const struct stat& status) {
    return FileIdentity{status.st_dev, status.st_ino};
}

OutputTarget Refused(OutputTarget target, std::string why, bool badUsage = false) {
    target.Error = std::move(why);
    target.BadUsage = badUsage;
    return target;
}

OutputTarget SameAsInput(OutputTarget target) {
    std::string why =
        "the output " + target.Shown + " is the input file itself; nothing was written";
    return Refused(std::move(target), std::move(why), true);
}

// A link's final target, or nothing when it leads nowhere.
std::optional<std::string> ResolvedLink(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (!resolved)
        return std::nullopt;
    return std::string(resolved.get());
}

OutputTarget StandardOutput(const std::optional<FileIdentity>& input) {
    OutputTarget target{OutputTarget::Kind::StandardOutput, "-", "standard output", "", false};
    if (::isatty(STDOUT_FILENO))
        return Refused(target,
                       "standard output is a terminal, not a place for audio: redirect it "
                       "(-o - | aplay) or give a file name",
                       true);
    if (input && IdentityOfDescriptor(STDOUT_FILENO) == input)
        return SameAsInput(target);
    return target;
}

} // namespace

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return Identity(status);
}

std::optional<FileIdentity> IdentityOfDescriptor(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return std::nullopt;
    return Identity(status);
}

OutputTarget ResolveOutput(const std::string& path, const std::optional<FileIdentity>& input) {
    if (path == "-")
        return StandardOutput(input);
    OutputTarget target{OutputTarget::Kind::File, path, path, "", false};
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT)
            return target; // created; a missing folder is reported then
        return Refused(target, "cannot write " + path + ": " + std::strerror(errno));
    }
    if (S_ISLNK(status.st_mode)) {
        const auto resolved = ResolvedLink(path);
        if (!resolved || ::stat(resolved->c_str(), &status) != 0)
            return Refused(target, path + " is a symbolic link that leads to no file; give the "
                                          "file itself");
        target.Path = *resolved;
    }
    if (input && Identity(status) == input)
        return SameAsInput(target);
    if (S_ISREG(status.st_mode))
        return target;
    if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)) {
        target.Type = OutputTarget::Kind::Stream;
        return target;
    }
    const char* what = S_ISDIR(status.st_mode) ? "a folder"
                                               : "neither a file, a FIFO nor a "
                                                 "character device";
    return Refused(target, "cannot write " + path + ": it is " + what);
}

} // namespace tonvik
