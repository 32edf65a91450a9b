#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tonvik {

class CallsignList;

// The line a personal list ends with. The draw never takes the last line of
// a list, so every callsign stands above it. A '#' can never be part of a
// callsign (the Morse table does not key it), so this line is never taken for
// one: not by the draw, nor when the list is read back for --append or
// imported again, where '#' begins a comment. It says why it is there, so
// that nobody deletes it as a stray line; an empty line would be dropped by
// many an editor.
inline constexpr std::string_view PersonalListEnd =
    "# The last line of a callsign list is never drawn, so this one holds no callsign.";

// The bytes of a personal list: one callsign a line, CR LF as in the list
// beside the program, then PersonalListEnd.
std::string PersonalListBytes(const std::vector<std::string>& calls);

// The lines a draw can give that hold a callsign the importer would take.
int CountDrawableCalls(const CallsignList& list);

} // namespace tonvik
