#pragma once

// A main window whose keying stream plays at the shared test server, with a
// temporary folder of its own (Dir); skipped where there is no server.
#include "keying/PulseWaveOut.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/WindowFixture.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tonvik {

class ServerWindowFixture : public WindowFixture {
protected:
    // The folder is named folderPrefix and the process's number.
    explicit ServerWindowFixture(std::string folderPrefix) : Prefix(std::move(folderPrefix)) {}

    void SetUp() override {
        Runtime = SharedTestServer();
        if (Runtime.empty())
            GTEST_SKIP() << "no test sound server (TONVIK_TEST_PULSE)";
        ::setenv("PULSE_SERVER", ServerAddress(Runtime).c_str(), 1);
        OpenWindow(Stream);
        Dir = std::filesystem::temp_directory_path() / (Prefix + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override {
        WindowFixture::TearDown();
        ::unsetenv("PULSE_SERVER");
        if (!Dir.empty())
            std::filesystem::remove_all(Dir);
    }

    std::string Runtime;
    std::filesystem::path Dir;
    PulseWaveOut Stream; // the window's keying stream

private:
    std::string Prefix;
};

} // namespace tonvik
