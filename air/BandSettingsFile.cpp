#include "air/BandSettingsFile.h"

#include "base/DataFolder.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace tonvik {
namespace {

constexpr std::uintmax_t MaxBytes = 4096; // one short line; anything larger is not ours

} // namespace

std::filesystem::path BandSettingsPath() {
    return DataFolder() / "band.txt";
}

LoadedBand LoadBandSettings(const std::filesystem::path& path) {
    LoadedBand loaded;
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return loaded;
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > MaxBytes || error) {
        loaded.Problem = path.string() + " is not a band settings file";
        return loaded;
    }
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    const auto conditions = ParseConditions(line);
    if (!file && !file.eof()) {
        loaded.Problem = "cannot read " + path.string() + ": " + std::strerror(errno);
    } else if (!conditions) {
        loaded.Problem = path.string() + " does not hold band settings";
    } else {
        loaded.Conditions = ClampConditions(*conditions);
    }
    return loaded;
}

std::string SaveBandSettings(const std::filesystem::path& path, const BandConditions& conditions) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        return "cannot create " + path.parent_path().string() + ": " + error.message();
    const std::filesystem::path temporary = path.string() + ".part";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << DescribeConditions(conditions) << "\n";
        file.flush();
        if (!file) {
            std::filesystem::remove(temporary, error);
            return "cannot write " + temporary.string();
        }
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return "cannot write " + path.string() + ": " + error.message();
    }
    return "";
}

} // namespace tonvik
