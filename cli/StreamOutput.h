#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tonvik {

// The exit status of a command whose reader went away (tonvik journal --csv |
// head -1): 128 + SIGPIPE, which the shell reports for a program of coreutils
// ended by that signal. The command ends quietly with it, as they do.
inline constexpr int ClosedPipeStatus = 141;

// fd is a pipe or a FIFO whose reading end is closed.
bool IsClosedPipe(int fd);

// out is the process's standard output, and its reader has gone.
bool StandardOutputClosed(const std::ostream& out);

// Writes bytes into the device or pipe at path (/dev/stdout), waiting for a
// slow reader; 0 or the errno of the failure (EPIPE: the reader went away).
int WriteIntoStream(const std::string& path, std::string_view bytes);

} // namespace tonvik
