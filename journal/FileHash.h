#pragma once

#include <filesystem>
#include <string>

namespace tonvik {

// The SHA-256 of a file's bytes in lower-case hex, as the journal keeps it for
// the callsign list an exercise was drawn from; "" when it cannot be read.
std::string FileSha256(const std::filesystem::path& path);

} // namespace tonvik
