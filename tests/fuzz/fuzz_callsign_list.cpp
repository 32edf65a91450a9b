// Any bytes as a callsign list: reading, indexing and drawing never crash, and
// every drawn callsign is a line's text before its first comma, cut at its
// limit.
#include "base/Random.h"
#include "callsign/CallsignList.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto list =
        tonvik::CallsignList::FromBytes(std::string(reinterpret_cast<const char*>(data), size));
    if (!list.Ok())
        return 0;
    for (int i = 0; i < list.Count(); ++i) {
        const auto line = list.Line(i);
        const auto call = list.Callsign(i);
        const auto whole = line.substr(0, line.find(','));
        if (call != whole.substr(0, tonvik::MaxCallsignBytes) ||
            line.find_first_of("\r\n") != std::string_view::npos)
            __builtin_trap();
    }
    tonvik::Random random(size);
    const std::string play = tonvik::DrawCallsigns(list, random);
    if (play.empty() || play.back() != ' ')
        __builtin_trap();
    return 0;
}
