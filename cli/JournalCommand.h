#pragma once

#include "cli/Options.h"

#include <iosfwd>
#include <string>

namespace tonvik {

// tonvik journal: the training journal on the terminal. Without options a
// summary; --csv every callsign answer as CSV, --exercises --csv every
// exercise; --characters the per-character table. Returns the exit status:
// 0 done (an empty or missing journal included), 1 the journal could not be
// read or the output written, 2 bad options.
int RunJournal(const CliOptions& options, std::ostream& out, std::ostream& err);

} // namespace tonvik
