#pragma once

// The sound servers of the tests: the one .ci/run (or a developer) started
// for them, named by TONVIK_TEST_PULSE, and private ones that a test starts
// and stops itself, both through scripts/pulse_server.sh.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace tonvik {

// The runtime folder of the shared test server; empty when there is none.
inline std::string SharedTestServer() {
    const char* runtime = std::getenv("TONVIK_TEST_PULSE");
    return runtime != nullptr ? runtime : "";
}

// The address a client gives to reach the server of a runtime folder.
inline std::string ServerAddress(const std::string& runtime) {
    return "unix:" + runtime + "/pulse/native";
}

// A server of its own, in `runtime`, stopped at the latest on destruction.
class PrivatePulseServer {
public:
    explicit PrivatePulseServer(std::filesystem::path runtime) : Runtime(std::move(runtime)) {}
    ~PrivatePulseServer() { Stop(); }
    PrivatePulseServer(const PrivatePulseServer&) = delete;
    PrivatePulseServer& operator=(const PrivatePulseServer&) = delete;

    bool Start() { return Run("start") == 0; }
    void Stop() { Run("stop"); }
    std::string Folder() const { return Runtime.string(); }

private:
    int Run(const char* action) const {
        const std::string command = std::string("bash '") + TONVIK_SOURCE_DIR +
                                    "/scripts/pulse_server.sh' " + action + " '" +
                                    Runtime.string() + "'";
        return std::system(command.c_str());
    }

    std::filesystem::path Runtime;
};

} // namespace tonvik
