#pragma once

#include <filesystem>

namespace tonvik {

// master.ped beside the running executable.
std::filesystem::path ShippedCallsignList();

// The user's own list: master.ped in the data folder, $XDG_DATA_HOME/tonvik
// (~/.local/share/tonvik). The environment is read at every call.
std::filesystem::path PersonalCallsignList();

// Where the previous personal list is kept when a new one replaces it.
std::filesystem::path BackupCallsignList();

// The list callsign exercises draw from.
struct ChosenCallsignList {
    std::filesystem::path Path;
    bool Personal = false;
};

// The personal list when a file exists at its path (whatever it holds: a
// broken one is reported when read, not passed over), else the shipped one.
ChosenCallsignList ChooseCallsignList(const std::filesystem::path& personal,
                                      const std::filesystem::path& shipped);
// The same for the two paths above, decided anew at every call.
ChosenCallsignList ChooseCallsignList();

} // namespace tonvik
