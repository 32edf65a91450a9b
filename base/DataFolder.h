#pragma once

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace tonvik {

// The folder of the files the program keeps for its user:
// $XDG_DATA_HOME/tonvik, or ~/.local/share/tonvik when XDG_DATA_HOME is unset,
// empty or not an absolute path (which the XDG rules say to ignore). Without
// HOME (a service, a bare environment) the password database names the home
// folder. Either argument may be null. Nothing is created here.
inline std::filesystem::path DataFolderFrom(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && *xdgDataHome == '/')
        return std::filesystem::path(xdgDataHome) / "tonvik";
    std::filesystem::path homeFolder = ".";
    if (home != nullptr && *home != '\0')
        homeFolder = home;
    else if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        homeFolder = entry->pw_dir;
    return homeFolder / ".local" / "share" / "tonvik";
}

// The same from the environment, read at every call.
inline std::filesystem::path DataFolder() {
    return DataFolderFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

} // namespace tonvik
