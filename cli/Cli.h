#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tonvik {

// Runs a headless command (export, play, radiogram, help) and returns the
// process exit status: 0 done, 1 a file or device failed, 2 bad options.
int RunCommandLine(int argc, char** argv);
int RunCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err);

} // namespace tonvik
