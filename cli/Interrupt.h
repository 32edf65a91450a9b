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

} // namespace tonvik
