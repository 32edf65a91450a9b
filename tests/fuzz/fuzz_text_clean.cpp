// Any bytes through the clean-up and the word filter: the clean-up's output is
// in the word format and stable under a second clean-up, and the filter never
// lengthens the text or reads past its end.
#include "text/GenCodeUnit.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool InWordFormat(const std::string& s) {
    if (s.empty())
        return true;
    if (s.size() < 2 || s.compare(s.size() - 2, 2, "  ") != 0)
        return false;
    size_t run = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n')
            return false;
        if (s[i] == ' ') {
            ++run;
        } else {
            if (run != 0 && run != 2)
                return false;
            run = 0;
        }
    }
    return run == 2;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::string lines = tonvik::WindowLines(raw);
    const std::string clean = tonvik::CleanText(lines);
    if (!InWordFormat(clean) || tonvik::CleanText(clean) != clean)
        __builtin_trap();
    for (int k = -1; k <= 4; ++k) {
        const auto filtered = tonvik::FilterWords(lines, k);
        if (filtered && filtered->size() > lines.size())
            __builtin_trap();
        const auto filteredClean = tonvik::FilterWords(clean, k);
        if (filteredClean &&
            (filteredClean->size() > clean.size() || !InWordFormat(*filteredClean)))
            __builtin_trap();
    }
    (void)tonvik::TextPlayText(raw);
    return 0;
}
