#include "cli/Interrupt.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tonvik {
namespace {

// The one flag a signal handler may touch; lock-free, so safe to set there.
std::atomic<bool> Requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<bool> AtOnce{false};
int Pipe[2] = {-1, -1};

constexpr char Farewell[] = "tonvik: interrupted\n";

[[noreturn]] void EndNow() {
    [[maybe_unused]] const auto n = ::write(STDERR_FILENO, Farewell, sizeof Farewell - 1);
    ::_exit(130);
}

extern "C" void OnInterrupt(int) {
    if (AtOnce.load())
        EndNow(); // write and _exit: async-signal-safe
    Requested.store(true);
    if (Pipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto n = ::write(Pipe[1], &byte, 1); // async-signal-safe
    }
}

void Handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read from a terminal or a pipe, an open of a FIFO and a
    // write to a full pipe return EINTR, so that every phase sees the request.
    action.sa_flags = 0;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

const std::atomic<bool>& InterruptRequested() {
    return Requested;
}

int InterruptPipe() {
    return Pipe[0];
}

EndAtOnceOnInterrupt::EndAtOnceOnInterrupt() : Before(AtOnce.exchange(true)) {
    if (Requested.load())
        EndNow();
}

EndAtOnceOnInterrupt::~EndAtOnceOnInterrupt() {
    AtOnce.store(Before);
}

FinishBeforeInterrupt::FinishBeforeInterrupt() : Before(AtOnce.exchange(false)) {}

FinishBeforeInterrupt::~FinishBeforeInterrupt() {
    AtOnce.store(Before);
}

void WatchInterrupts() {
    if (Pipe[0] < 0 && ::pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        Pipe[0] = Pipe[1] = -1;
    Handle(SIGINT, OnInterrupt);
    Handle(SIGTERM, OnInterrupt);
    // A file-size limit must fail the write, not kill the program mid-file, and
    // a reader that goes away is a write error to report, not a silent death.
    Handle(SIGXFSZ, SIG_IGN);
    Handle(SIGPIPE, SIG_IGN);
}

} // namespace tonvik
