#pragma once

#include "air/BandConditions.h"

#include <filesystem>
#include <string>

namespace tonvik {

// The window's band, kept between runs: one line of DescribeConditions in
// band.txt in the data folder.
std::filesystem::path BandSettingsPath();

struct LoadedBand {
    BandConditions Conditions; // clean when the file is missing or unreadable
    std::string Problem;       // why a file that exists was not taken; "" otherwise
};

LoadedBand LoadBandSettings(const std::filesystem::path& path);

// Writes under a temporary name and renames: a failed write leaves the old
// file. Returns "" or the reason.
std::string SaveBandSettings(const std::filesystem::path& path, const BandConditions& conditions);

} // namespace tonvik
