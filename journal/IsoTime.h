#pragma once

#include "journal/JournalTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace tonvik {

// The journal's times as text: ISO 8601 in UTC to the millisecond,
// "2024-03-09T17:05:42.120Z". Every stored time has this one width, so the
// text order is the time order and an index on it serves ranges.
std::string FormatIsoTime(JournalTime time);

// Reads that form back; nothing for any other text.
std::optional<JournalTime> ParseIsoTime(std::string_view text);

// "2024-03-09 17:05" of a stored time (the summary's date column); the text
// itself when it is not a stored time.
std::string ShortIsoTime(std::string_view text);

} // namespace tonvik
