#include "tests/support/ChildProcess.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tonvik {
namespace {

using Clock = std::chrono::steady_clock;

// The child's caught-signal mask, from /proc/PID/status.
unsigned long long CaughtSignals(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0)
            return std::stoull(line.substr(7), nullptr, 16);
    }
    return 0;
}

} // namespace

ChildProcess::ChildProcess(const std::function<int()>& body, int stdinFd, int stdoutFd) {
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (::pipe(err) != 0 || (stdoutFd < 0 && ::pipe(out) != 0))
        return;
    Child = ::fork();
    if (Child == 0) {
        const int input = stdinFd >= 0 ? stdinFd : ::open("/dev/null", O_RDONLY);
        ::dup2(input, STDIN_FILENO);
        ::dup2(stdoutFd >= 0 ? stdoutFd : out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1]}) {
            if (fd > STDERR_FILENO)
                ::close(fd);
        }
        ::_exit(body());
    }
    OutPipe = out[0];
    ErrPipe = err[0];
    for (int fd : {out[1], err[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
}

ChildProcess::~ChildProcess() {
    if (Child > 0 && !Reaped) {
        ::kill(Child, SIGKILL);
        ::waitpid(Child, nullptr, 0);
    }
    for (int fd : {OutPipe, ErrPipe}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool ChildProcess::WaitUntilCatching(int signal, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        if (CaughtSignals(Child) & (1ull << (signal - 1)))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void ChildProcess::Signal(int signal) {
    if (Child > 0 && !Reaped)
        ::kill(Child, signal);
}

ChildOutcome ChildProcess::Wait(std::chrono::milliseconds limit) {
    ChildOutcome outcome;
    const auto deadline = Clock::now() + limit;
    std::string* sinks[2] = {&outcome.Out, &outcome.Err};
    int fds[2] = {OutPipe, ErrPipe};
    while (fds[0] >= 0 || fds[1] >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            outcome.TimedOut = true;
            ::kill(Child, SIGKILL);
            break;
        }
        pollfd watched[2] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}};
        if (::poll(watched, 2, static_cast<int>(left.count())) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i] < 0 || watched[i].revents == 0)
                continue;
            char buffer[65536];
            const ssize_t n = ::read(fds[i], buffer, sizeof buffer);
            if (n > 0)
                sinks[i]->append(buffer, static_cast<size_t>(n));
            else
                fds[i] = -1;
        }
    }
    int status = 0;
    ::waitpid(Child, &status, 0);
    Reaped = true;
    outcome.Exited = !outcome.TimedOut && WIFEXITED(status);
    outcome.Status = outcome.Exited ? WEXITSTATUS(status) : -1;
    return outcome;
}

ChildOutcome RunOnTerminal(const std::function<int()>& body, std::chrono::milliseconds limit) {
    ChildOutcome outcome;
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child < 0)
        return outcome;
    if (child == 0)
        ::_exit(body());
    const auto deadline = Clock::now() + limit;
    pollfd watched{terminal, POLLIN, 0};
    char buffer[4096];
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || ::poll(&watched, 1, static_cast<int>(left.count())) <= 0) {
            outcome.TimedOut = true;
            ::kill(child, SIGKILL);
            break;
        }
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n <= 0)
            break; // the child closed its side: EIO on Linux
        outcome.Out.append(buffer, static_cast<size_t>(n));
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.Exited = !outcome.TimedOut && WIFEXITED(status);
    outcome.Status = outcome.Exited ? WEXITSTATUS(status) : -1;
    return outcome;
}

ArgumentVector::ArgumentVector(std::vector<std::string> args) : Words(std::move(args)) {
    Words.insert(Words.begin(), "tonvik");
    for (auto& word : Words)
        Pointers.push_back(word.data());
    Pointers.push_back(nullptr);
}

} // namespace tonvik
