#include "callsign/PersonalList.h"

#include "callsign/CallsignImportCheck.h"
#include "callsign/CallsignImportRead.h"
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
    // One pass over the bytes: finding each line by its number would walk
    // its block again for every line.
    int lines = 0;
    int taken = 0;
    bool lastTaken = false;
    ForEachLine(list.Text(), [&](std::string_view line, int) {
        lastTaken = CheckImportedCall(line.substr(0, line.find(','))).Taken();
        taken += lastTaken ? 1 : 0;
        ++lines;
    });
    // The last line is never drawn, but for the one line of a one-line list.
    return lines > 1 && lastTaken ? taken - 1 : taken;
}

} // namespace tonvik
