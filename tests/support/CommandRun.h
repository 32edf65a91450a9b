#pragma once

// A command of tonvik run as from the terminal, with nothing on standard
// input, and what it printed.
#include "cli/Cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace tonvik {

struct CommandRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

inline CommandRun Tonvik(const std::vector<std::string>& args) {
    std::istringstream in;
    std::ostringstream out, err;
    CommandRun run;
    run.Status = RunCommandLine(args, in, out, err);
    run.Out = out.str();
    run.Err = err.str();
    return run;
}

} // namespace tonvik
