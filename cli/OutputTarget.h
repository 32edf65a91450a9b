#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace tonvik {

// A file as the system knows it, whatever name or link leads to it.
struct FileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOfPath(const std::string& path);
std::optional<FileIdentity> IdentityOfDescriptor(int fd);

// What an output name stands for, decided before anything is written:
//   a regular file, or nothing yet: written under a temporary name beside it and
//     renamed into place when complete; a symbolic link is followed to its target;
//   "-", a FIFO or a character device: streamed to directly, nothing renamed;
//   anything else (a directory, a block device, a socket, a dangling link): refused.
struct OutputTarget {
    enum class Kind { File, Stream, StandardOutput };
    Kind Type = Kind::File;
    std::string Path;  // the file or device written; a link resolved
    std::string Shown; // the name as given, for messages
    // Why it cannot be written, one line, naming it; empty when it can.
    std::string Error;
    bool BadUsage = false; // the error is the user's choice (exit status 2), not a failure
};

// The input's identity, when known, guards it from being overwritten by its own
// export (the same file by another name or a hard link): that is refused.
OutputTarget ResolveOutput(const std::string& path, const std::optional<FileIdentity>& input);

} // namespace tonvik
