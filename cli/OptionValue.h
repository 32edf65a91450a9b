#pragma once

#include <string>

namespace tonvik {

// A value as an error line shows it: in quotes, control characters and broken
// UTF-8 made visible as '?', so that the message stays one readable line; a
// value over 200 characters is cut to its start and its length.
std::string QuoteValue(const std::string& value);

} // namespace tonvik
