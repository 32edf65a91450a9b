#pragma once

#include <iosfwd>
#include <string>

namespace tonvik {

struct InputBytes {
    bool Ok = false;
    bool Interrupted = false;
    std::string Bytes;
    std::string Error; // one line, when neither Ok nor Interrupted
};

// All of standard input (or of a test's stream), refused past the text-file
// limit as soon as it is passed. Reading the process's own standard input
// stops at once when Ctrl-C or SIGTERM asks, even while it waits for a
// terminal or a pipe that stays open.
InputBytes ReadStandardInput(std::istream& in);

} // namespace tonvik
