#pragma once

#include <array>
#include <string_view>

namespace tonvik {

// Dots and dashes for every CP1251 code from 32 to 255. A Latin letter and the
// Russian letter keyed the same way share one pattern; an empty pattern means
// the character gets its spacing but no tone.
inline constexpr int MorseFirstCode = 32;
inline constexpr int MorseLastCode = 255;

// The pattern for a CP1251 code ("" for codes without one and for codes below 33).
std::string_view MorseCode(unsigned char code);

} // namespace tonvik
