// Random command lines: the parser must answer every one with options or one
// error line, never crash.
#include "cli/Options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back().push_back(static_cast<char>(data[i]));
    }
    const tonvik::ParseResult result = tonvik::ParseCommandLine(args);
    if (result.Error.find('\n') != std::string::npos)
        __builtin_trap(); // errors are one line
    return 0;
}
