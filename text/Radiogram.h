#pragma once

#include "base/Random.h"

#include <string>

namespace tonvik {

// Kinds of radiogram characters, as the radiogram dialog numbers them.
inline constexpr int RadiogramDigits = 0;  // 0..9
inline constexpr int RadiogramRussian = 1; // А..Я (CP1251 0xC0..0xDF) without Ъ
inline constexpr int RadiogramLatin = 2;   // A..Z

// A uniform integer in lo..hi (lo <= hi): lo + a uniform draw from 0..hi - lo.
int RandomInRange(Random& random, int lo, int hi);

// groups groups of five random characters of the kind symbolIndex, each group
// followed by two spaces (the word format), in CP1251: 7 * groups characters.
// No group when groups <= 0; an unknown kind gives "" as well. The caller bounds
// groups (the dialog offers 1..100).
std::string MakeRadiogram(int symbolIndex, int groups, Random& random);

} // namespace tonvik
