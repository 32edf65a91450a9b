#pragma once

#include <string>

namespace tonvik {

// A callsign holds only Latin letters, digits, "/" and "?", so a Cyrillic letter
// in a callsign field can only come from the Russian keyboard layout left on by
// mistake. These give what the same key types in the Latin layout.

// For a Cyrillic letter on a letter key (either case), the Latin capital on
// that key of the standard Russian layout (Й → Q, Ф → A, Я → Z, ...); for the
// Russian layout's "." and "," (the Latin layout's "/" key, plain and shifted),
// "/" and "?". Every other character is returned as it is, the Cyrillic
// letters on punctuation keys (Х Ъ Ж Э Б Ю Ё) among them: no callsign
// character sits on those keys.
char32_t LatinOnSameKey(char32_t c);

// The same for every character of a UTF-16 text, as a field holds it.
std::u16string LatinOnSameKeys(std::u16string_view text);

} // namespace tonvik
