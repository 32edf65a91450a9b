// Any bytes as a callsign list: reading, indexing and drawing never crash, and
// every drawn callsign is a line's text before its first comma.
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
        if (call.size() > line.size() || line.substr(0, call.size()) != call ||
            call.find(',') != std::string_view::npos ||
            line.find_first_of("\r\n") != std::string_view::npos)
            __builtin_trap();
    }
    tonvik::Random random(size);
    const std::string play = tonvik::DrawCallsigns(list, random);
    if (play.empty() || play.back() != ' ')
        __builtin_trap();
    return 0;
}
