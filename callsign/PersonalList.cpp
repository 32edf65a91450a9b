#include "callsign/PersonalList.h"

#include "callsign/CallsignImportCheck.h"
#include "callsign/CallsignList.h"

namespace tonvik {

std::string PersonalListBytes(const std::vector<std::string>& calls) {
    std::string bytes;
    std::size_t size = PersonalListEnd.size() + 2;
    for (const std::string& call : calls)
        size += call.size() + 2;
    bytes.reserve(size);
    for (const std::string& call : calls)
        bytes.append(call).append("\r\n");
    bytes.append(PersonalListEnd).append("\r\n");
    return bytes;
}

int CountDrawableCalls(const CallsignList& list) {
    int count = 0;
    for (int line = 0; line < list.DrawableCount(); ++line)
        count += CheckImportedCall(list.Callsign(line)).Taken() ? 1 : 0;
    return count;
}

} // namespace tonvik
