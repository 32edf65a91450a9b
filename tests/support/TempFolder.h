#pragma once

// A fresh folder for the running test, named after it and the process, and
// removed with everything in it when the test ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace tonvik {

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix)
        : Root(std::filesystem::temp_directory_path() /
               (prefix + "-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::remove_all(Root);
        std::filesystem::create_directories(Root);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Root, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Folder() const { return Root; }
    std::string Path(const std::string& name) const { return (Root / name).string(); }
    // The names in it, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Root))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path Root;
};

} // namespace tonvik
