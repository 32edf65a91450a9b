#pragma once

#include "cli/Options.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tonvik {

// The window's options when the command line asks for the window (no
// arguments, or only the window's own options); nothing when it names a
// command, asks for help or the version, or is wrong: RunCommandLine then
// handles it.
std::optional<CliOptions> WindowOptions(int argc, char** argv);

// Runs a headless command (export, play, radiogram, help, --version) and
// returns the process exit status: 0 done, 1 a file or the sound device
// failed, 2 bad usage, 130 interrupted.
int RunCommandLine(int argc, char** argv);
int RunCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err);

} // namespace tonvik
