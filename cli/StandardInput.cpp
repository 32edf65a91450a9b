#include "cli/StandardInput.h"

#include "cli/Interrupt.h"
#include "text/TextFile.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <unistd.h>

namespace tonvik {
namespace {

constexpr size_t Chunk = 1 << 16;

InputBytes TooLarge() {
    InputBytes result;
    result.Error = "standard input holds more than 50 MB of text; nothing was read";
    return result;
}

// Waits for input or for an interrupt, whichever comes first: the interrupt
// pipe makes a signal that lands just before the wait end it all the same.
bool WaitForInput(int fd) {
    pollfd watched[2] = {{fd, POLLIN, 0}, {InterruptPipe(), POLLIN, 0}};
    while (!InterruptRequested().load()) {
        if (::poll(watched, InterruptPipe() >= 0 ? 2 : 1, -1) >= 0)
            return !InterruptRequested().load();
        if (errno != EINTR)
            return true; // let the read report it
    }
    return false;
}

InputBytes FromDescriptor(int fd) {
    InputBytes result;
    std::string buffer(Chunk, '\0');
    while (true) {
        if (!WaitForInput(fd)) {
            result.Interrupted = true;
            return result;
        }
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR && errno != EAGAIN) {
            result.Error = std::string("cannot read standard input: ") + std::strerror(errno);
            return result;
        }
        if (n > 0)
            result.Bytes.append(buffer.data(), static_cast<size_t>(n));
        if (result.Bytes.size() > MaxTextFileBytes)
            return TooLarge();
    }
    result.Ok = true;
    return result;
}

InputBytes FromStream(std::istream& in) {
    InputBytes result;
    std::string buffer(Chunk, '\0');
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
        result.Bytes.append(buffer.data(), static_cast<size_t>(in.gcount()));
        if (result.Bytes.size() > MaxTextFileBytes)
            return TooLarge();
    }
    result.Ok = true;
    return result;
}

} // namespace

InputBytes ReadStandardInput(std::istream& in) {
    if (&in == &std::cin)
        return FromDescriptor(STDIN_FILENO);
    return FromStream(in);
}

} // namespace tonvik
