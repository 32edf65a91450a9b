#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tonvik {

// The readers of the log formats a personal list is imported from. Each one
// finds the other station's callsign of every contact (or every line of a
// call list) and leaves checking it to CheckImportedCall.

// A callsign where a reader found it, or a contact without one.
struct FoundCall {
    std::string_view Text; // as written in the file
    int Line = 0;          // from 1
    std::string Refusal;   // set when the contact holds no callsign to take
};

struct FoundCalls {
    std::string Format; // "ADIF", "Cabrillo", "call history", "call list"
    std::vector<FoundCall> Calls;
    // The file ends inside a record, or the like: what was read before that
    // is kept. Empty when the file was read to its end.
    std::string Problem;
};

// ADIF (.adi): the CALL field of every record, tags in any case, the value
// exactly as long as its tag says, a record over any number of lines. The
// header (text before <EOH> in a file that does not begin with '<') is
// skipped. A record cut off by the end of the file is left out and named.
FoundCalls ReadAdifCalls(std::string_view bytes);

// Cabrillo: the other station's call of every QSO: line. The line reads
// "QSO: freq mode date time mycall sent-exchange... theircall received-
// exchange... [transmitter]"; the exchange differs from contest to contest,
// so the call is the callsign-like field nearest the middle of what follows
// mycall (the two exchanges having as many fields as a rule).
FoundCalls ReadCabrilloCalls(std::string_view bytes);

// Call lists of one call a line: super-check-partial files ('#' comments),
// N1MM call-history files ('!' comments, the call before the first comma, or
// in the column that a "!!Order!!" line names "Call"), master.ped files and
// plain lists. Blank lines are passed over.
FoundCalls ReadListedCalls(std::string_view bytes);

// Calls fn(line, number) for every line of bytes, without its line break; a
// line ends at CR, LF or CR LF.
template <class Fn> void ForEachLine(std::string_view bytes, Fn fn) {
    int number = 1;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            fn(bytes.substr(start), number);
            return;
        }
        fn(bytes.substr(start, end - start), number++);
        start =
            end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
    }
}

// Spaces and tabs around text dropped.
std::string_view TrimmedField(std::string_view text);

// Equal but for the case of Latin letters.
bool SameNoCase(std::string_view a, std::string_view b);

} // namespace tonvik
