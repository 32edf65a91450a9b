#pragma once

// The measuring programs' view of their own memory, from /proc/self.
#include <fstream>
#include <string>

namespace tonvik {

// A "kB" field of /proc/self/status (VmRSS, VmHWM, ...); -1 when absent.
inline long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

// Lets the next VmHWM reading start from the current resident size.
inline void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace tonvik
