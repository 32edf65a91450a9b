#pragma once

#include "cli/Options.h"

#include <string>

namespace tonvik {

// The usage of a command with only its own options, or for the window the
// list of commands; every one ends with the exit status values.
std::string UsageText(CliCommand command);

} // namespace tonvik
