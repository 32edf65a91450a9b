#include "cli/Interrupt.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tonvik {
namespace {

// The one flag a signal handler may touch; lock-free, so safe to set there.
std::atomic<bool> Requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
int Pipe[2] = {-1, -1};

extern "C" void OnInterrupt(int) {
    Requested.store(true);
    if (Pipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto n = ::write(Pipe[1], &byte, 1); // async-signal-safe
    }
}

} // namespace

const std::atomic<bool>& InterruptRequested() {
    return Requested;
}

int InterruptPipe() {
    return Pipe[0];
}

void WatchInterrupts() {
    if (Pipe[0] < 0 && ::pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        Pipe[0] = Pipe[1] = -1;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    // A file-size limit must fail the write, not kill the program mid-file.
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace tonvik
