#pragma once

#include "cli/Options.h"

#include <filesystem>
#include <iosfwd>
#include <string>

namespace tonvik {

class ListFileOps;

// Where tonvik calls finds the lists.
struct CallsPaths {
    std::filesystem::path Personal;
    std::filesystem::path Backup;
    std::filesystem::path Shipped;
};

// The personal list's and the shipped list's places for this user.
CallsPaths DefaultCallsPaths();

// tonvik calls: which list the window draws from, its path and callsigns;
// tonvik calls import FILE... [--append]: a personal list from logs and call
// lists; tonvik calls reset: the personal list set aside, the shipped one
// used again. Returns the exit status: 0 done, 1 nothing could be imported,
// a list could not be written, or there is no list to draw from.
int RunCalls(const CliOptions& options, std::ostream& out, std::ostream& err);
int RunCalls(const CliOptions& options, const CallsPaths& paths, ListFileOps& ops,
             std::ostream& out, std::ostream& err);

// The calls command's words and options taken together: an error line, or "".
std::string CheckCallsOptions(const CliOptions& options);

} // namespace tonvik
