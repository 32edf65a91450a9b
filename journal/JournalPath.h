#pragma once

#include <filesystem>
#include <string>

namespace tonvik {

// Where the journal lives: $XDG_DATA_HOME/tonvik/journal.sqlite, or
// ~/.local/share/tonvik/journal.sqlite when XDG_DATA_HOME is unset, empty or
// not an absolute path (which the XDG rules say to ignore). The folder is made
// when the journal is first opened, not here.
std::filesystem::path DefaultJournalPath();

// The same from given values; home is used when xdgDataHome does not count.
// Either may be null.
std::filesystem::path JournalPathFrom(const char* xdgDataHome, const char* home);

// The name a broken file is moved to: "<path>.broken-YYYYMMDD-HHMMSS" in local
// time, with "-2", "-3", ... added while such a file exists already.
std::filesystem::path AsidePath(const std::filesystem::path& path);

} // namespace tonvik
