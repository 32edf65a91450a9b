#pragma once

#include "air/BandConditions.h"
#include "cli/OptionTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonvik {

// The band's options of export and play: --conditions and the single values
// that override the chosen preset's.
extern const std::vector<std::string> BandOptionNames;

// Adds the band's options to the option catalogue.
void AppendBandOptions(std::vector<OptionDef>& catalogue);

// Checks them against the rest of the command line; an error line or "".
std::string CheckBandOptions(const CliOptions& options);

// The conditions asked for: the preset, then each value given over it.
BandConditions CommandConditions(const CliOptions& options);

// The seed given with --seed, or a fresh one.
uint64_t CommandBandSeed(const CliOptions& options);

// Callsigns for the other stations: up to limit of the list the callsign
// exercise draws from (the calls before any comma); none when it cannot be read.
std::vector<std::string> BandCallsigns(std::size_t limit = 2000);

} // namespace tonvik
