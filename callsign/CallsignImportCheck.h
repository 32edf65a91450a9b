#pragma once

#include <string>
#include <string_view>

namespace tonvik {

// The longest callsign taken from a log; a portable form such as
// "DL/UA3ABC/P" has 11 characters.
inline constexpr std::size_t MaxImportedCallLength = 20;

// A callsign as read from a log or a call list, and what became of it.
struct CheckedCall {
    std::string Call;    // upper-case, when taken
    std::string Refusal; // why it is not taken (English, UTF-8); empty when taken
    std::string Shown;   // the text as read, in UTF-8, for a message
    bool Taken() const { return Refusal.empty(); }
};

// Whether c may stand in an imported callsign: a Latin capital, a digit or
// '/', and keyed by the Morse table.
bool IsCallCharacter(char c);

// Checks a callsign read from a file: spaces and tabs around it are dropped,
// Latin letters upper-cased. It is refused when it holds any other character
// (a Cyrillic letter that looks Latin included: it is named, never dropped),
// has no digit or no letter, has a '/' at its start or end or two together,
// or is longer than MaxImportedCallLength. An empty text is refused as empty.
// The text is taken as UTF-8 when it is valid UTF-8, else as CP1251.
CheckedCall CheckImportedCall(std::string_view text);

} // namespace tonvik
