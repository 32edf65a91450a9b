#pragma once

#include <filesystem>

namespace tonvik {

// master.ped beside the running executable.
std::filesystem::path ShippedCallsignList();

} // namespace tonvik
