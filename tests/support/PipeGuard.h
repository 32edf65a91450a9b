#pragma once

// A FIFO made for a test, and a guard that opens its writing end once a reader
// has waited on it for a while: code that wrongly blocks on the pipe then reads
// an empty file and goes on, so its test fails instead of hanging.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tonvik {

class PipeGuard {
public:
    explicit PipeGuard(std::filesystem::path path,
                       std::chrono::milliseconds patience = std::chrono::seconds(3))
        : Path(std::move(path)) {
        std::filesystem::create_directories(Path.parent_path());
        Made = ::mkfifo(Path.c_str(), 0600) == 0;
        EXPECT_TRUE(Made) << Path;
        if (Made)
            Guard = std::thread([this, patience] { Watch(patience); });
    }
    ~PipeGuard() {
        {
            std::lock_guard lock(Mutex);
            Done = true;
        }
        Wake.notify_all();
        if (Guard.joinable())
            Guard.join();
    }
    PipeGuard(const PipeGuard&) = delete;
    PipeGuard& operator=(const PipeGuard&) = delete;

    // Whether a reader had the pipe open and had to be let go.
    bool ReaderWaited() const { return Released; }

private:
    void Watch(std::chrono::milliseconds patience) {
        std::unique_lock lock(Mutex);
        if (Wake.wait_for(lock, patience, [this] { return Done; }))
            return;
        // Opening the writing end without waiting succeeds only while a
        // reader has the pipe open.
        while (!Wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return Done; })) {
            const int fd = ::open(Path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                Released = true;
                ::close(fd);
            }
        }
    }

    std::filesystem::path Path;
    bool Made = false;
    std::mutex Mutex;
    std::condition_variable Wake;
    bool Done = false;
    std::atomic<bool> Released{false};
    std::thread Guard;
};

} // namespace tonvik
