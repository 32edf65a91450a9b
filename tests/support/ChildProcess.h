#pragma once

// A function run in a forked child with its own standard input, output and
// error, for tests of what a command does as a process: signals, exit status,
// file-size limits, pipes that never close.
#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tonvik {

struct ChildOutcome {
    bool Exited = false; // false: killed by a signal, or by Wait's deadline
    int Status = -1;     // the exit status when Exited
    bool TimedOut = false;
    std::string Out; // standard output, unless it was given a descriptor of its own
    std::string Err;
};

class ChildProcess {
public:
    // Starts body in a child. Its standard input is stdinFd (-1: /dev/null) and
    // its standard output stdoutFd (-1: captured into Out); the child's return
    // value is its exit status. The parent's copies of the descriptors are kept.
    ChildProcess(const std::function<int()>& body, int stdinFd = -1, int stdoutFd = -1);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return Child; }
    // Waits until the child catches the signal (its handler is installed), so
    // that a signal sent then is handled, not fatal. False if it never does.
    bool WaitUntilCatching(int signal, std::chrono::milliseconds limit);
    void Signal(int signal);
    // Collects the output and the exit; past the deadline the child is killed.
    ChildOutcome Wait(std::chrono::milliseconds limit);

private:
    pid_t Child = -1;
    int OutPipe = -1;
    int ErrPipe = -1;
    bool Reaped = false;
};

// Runs body in a child whose standard input, output and error are one
// terminal; what it wrote there comes back in Out.
ChildOutcome RunOnTerminal(const std::function<int()>& body, std::chrono::milliseconds limit);

// The arguments as RunCommandLine(argc, argv) takes them, with "tonvik" first.
class ArgumentVector {
public:
    explicit ArgumentVector(std::vector<std::string> args);
    int Count() const { return static_cast<int>(Words.size()); }
    char** Values() { return Pointers.data(); }

private:
    std::vector<std::string> Words;
    std::vector<char*> Pointers;
};

} // namespace tonvik
