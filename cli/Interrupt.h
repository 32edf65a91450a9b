#pragma once

#include <atomic>

namespace tonvik {

// Set by Ctrl-C (SIGINT) or SIGTERM once WatchInterrupts has run; long
// commands poll it between chunks of work and stop cleanly.
const std::atomic<bool>& InterruptRequested();
void WatchInterrupts();
// A pipe that receives a byte at every interrupt, for event loops to watch;
// -1 before WatchInterrupts.
int InterruptPipe();

// While one of these lives, the program holds nothing that an interrupt must
// clean up (no file, no device): Ctrl-C or SIGTERM then ends it at once from
// the signal handler with exit status 130, so that a long phase that cannot
// look at the flag (cleaning a 50 MB text) does not hold it up.
// Scopes nest: the end of one restores what was in force before it.
class EndAtOnceOnInterrupt {
public:
    EndAtOnceOnInterrupt();
    ~EndAtOnceOnInterrupt();
    EndAtOnceOnInterrupt(const EndAtOnceOnInterrupt&) = delete;
    EndAtOnceOnInterrupt& operator=(const EndAtOnceOnInterrupt&) = delete;

private:
    bool Before;
};

// Inside an EndAtOnceOnInterrupt scope, a short step that must not be cut
// off (a file renamed into place, a temporary file removed): an interrupt
// meanwhile is only noted, and the command then ends as it would.
class FinishBeforeInterrupt {
public:
    FinishBeforeInterrupt();
    ~FinishBeforeInterrupt();
    FinishBeforeInterrupt(const FinishBeforeInterrupt&) = delete;
    FinishBeforeInterrupt& operator=(const FinishBeforeInterrupt&) = delete;

private:
    bool Before;
};

} // namespace tonvik
