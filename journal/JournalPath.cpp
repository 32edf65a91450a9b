#include "journal/JournalPath.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace tonvik {
namespace {

const char* const JournalFolder = "tonvik";
const char* const JournalFile = "journal.sqlite";

std::filesystem::path HomeFolder(const char* home) {
    if (home != nullptr && *home != '\0')
        return home;
    // HOME unset (a service, a bare environment): the password database.
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return ".";
}

} // namespace

std::filesystem::path JournalPathFrom(const char* xdgDataHome, const char* home) {
    std::filesystem::path base;
    if (xdgDataHome != nullptr && *xdgDataHome == '/')
        base = xdgDataHome;
    else
        base = HomeFolder(home) / ".local" / "share";
    return base / JournalFolder / JournalFile;
}

std::filesystem::path DefaultJournalPath() {
    return JournalPathFrom(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::filesystem::path AsidePath(const std::filesystem::path& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, ".broken-%Y%m%d-%H%M%S", &local);
    const std::string base = path.string() + stamp;
    std::filesystem::path candidate = base;
    std::error_code error;
    for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(candidate, error)); ++n)
        candidate = base + "-" + std::to_string(n);
    return candidate;
}

} // namespace tonvik
