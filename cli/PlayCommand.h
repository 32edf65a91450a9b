#pragma once

#include "cli/Options.h"

#include <iosfwd>

namespace tonvik {

// Keys the command's text through the sound device with the real pump and
// returns when the last character has played (0), the device could not be
// opened (1), or Ctrl-C stopped it (130).
int RunPlay(const CliOptions& options, std::istream& in, std::ostream& err);

} // namespace tonvik
