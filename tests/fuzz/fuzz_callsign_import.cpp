// Any bytes as an ADIF log, a Cabrillo log and a call list: every callsign
// taken is one the Morse table keys in full, each is taken once, and the
// personal list written from them gives them all back to the draw.
#include "callsign/CallsignImport.h"
#include "callsign/CallsignImportCheck.h"
#include "callsign/CallsignList.h"
#include "callsign/PersonalList.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tonvik::CallsignCollection calls;
    for (const char* name : {"log.adi", "log.cbr", "calls.txt"})
        calls.ImportBytes(name, bytes);
    const std::set<std::string> distinct(calls.Calls().begin(), calls.Calls().end());
    if (distinct.size() != calls.Calls().size())
        __builtin_trap();
    for (const std::string& call : calls.Calls()) {
        for (char c : call) {
            if (!tonvik::IsCallCharacter(c))
                __builtin_trap();
        }
    }
    const auto list = tonvik::CallsignList::FromBytes(tonvik::PersonalListBytes(calls.Calls()));
    if (!calls.Calls().empty()) {
        if (list.DrawableCount() != static_cast<int>(calls.Calls().size()))
            __builtin_trap();
        for (int i = 0; i < list.DrawableCount(); ++i) {
            if (list.Callsign(i) != calls.Calls()[static_cast<size_t>(i)])
                __builtin_trap();
        }
    }
    return 0;
}
