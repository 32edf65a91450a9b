#pragma once

// The sound servers of the tests: the one .ci/run (or a developer) started
// for them, named by TONVIK_TEST_PULSE, and private ones that a test starts
// and stops itself, both through scripts/pulse_server.sh.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

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

// The environment of a program that is to reach the server of a runtime
// folder, and no other sound system.
inline QProcessEnvironment ServerEnvironment(const std::string& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime));
    env.remove("PULSE_SERVER");
    env.remove("SDL_AUDIODRIVER");
    return env;
}

// True once the server of a runtime folder has a recording stream connected.
inline bool RecorderConnected(const std::string& runtime) {
    QProcess pactl;
    pactl.setProcessEnvironment(ServerEnvironment(runtime));
    pactl.start("pactl", {"list", "short", "source-outputs"});
    return pactl.waitForFinished(5000) && !pactl.readAllStandardOutput().trimmed().isEmpty();
}

// Records what the sink of the server of a runtime folder plays into raw
// (S16LE, 8000 Hz, mono) from the moment it returns.
inline void StartRecorder(QProcess& recorder, const std::string& runtime,
                          const std::filesystem::path& raw) {
    recorder.setProcessEnvironment(ServerEnvironment(runtime));
    recorder.setStandardOutputFile(QString::fromStdString(raw.string()));
    recorder.start(
        "parec", {"-d", "morse.monitor", "--format=s16le", "--rate=8000", "--channels=1", "--raw"});
    ASSERT_TRUE(recorder.waitForStarted(5000)) << "parec does not start";
    for (int n = 0; n < 100 && !RecorderConnected(runtime); ++n)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

// A test on the shared test server: skipped where there is none, with a
// temporary folder of its own (Dir) made before it and removed after it.
class SharedServerTest : public ::testing::Test {
protected:
    // The folder is named folderPrefix and the process's number.
    explicit SharedServerTest(std::string folderPrefix) : Prefix(std::move(folderPrefix)) {}

    void SetUp() override {
        Runtime = SharedTestServer();
        if (Runtime.empty())
            GTEST_SKIP() << "no test sound server (TONVIK_TEST_PULSE)";
        Dir = std::filesystem::temp_directory_path() / (Prefix + std::to_string(::getpid()));
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override {
        if (!Dir.empty())
            std::filesystem::remove_all(Dir);
    }

    std::string Runtime;
    std::filesystem::path Dir;

private:
    std::string Prefix;
};

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
