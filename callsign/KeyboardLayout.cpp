#include "callsign/KeyboardLayout.h"

namespace tonvik {

namespace {

// The Latin letter on the key of each capital from А (U+0410) to Я (U+042F) in
// the standard Russian layout (ЙЦУКЕН); 0 where that key carries no letter.
constexpr char LatinOfCapital[32] = {
    'F', 0,   'D', 'U', 'L', 'T', 0,   'P', // А Б В Г Д Е Ж З
    'B', 'Q', 'R', 'K', 'V', 'Y', 'J', 'G', // И Й К Л М Н О П
    'H', 'C', 'N', 'E', 'A', 0,   'W', 'X', // Р С Т У Ф Х Ц Ч
    'I', 'O', 0,   'S', 'M', 0,   0,   'Z', // Ш Щ Ъ Ы Ь Э Ю Я
};

} // namespace

char32_t LatinOnSameKey(char32_t c) {
    if (c == U'.')
        return U'/';
    if (c == U',')
        return U'?';
    char32_t capital = 0;
    if (c >= U'\u0410' && c <= U'\u042F')
        capital = c;
    else if (c >= U'\u0430' && c <= U'\u044F')
        capital = c - 0x20;
    if (capital == 0)
        return c;
    const char latin = LatinOfCapital[capital - U'\u0410'];
    return latin != 0 ? static_cast<char32_t>(latin) : c;
}

std::u16string LatinOnSameKeys(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& unit : out)
        unit = static_cast<char16_t>(LatinOnSameKey(unit));
    return out;
}

} // namespace tonvik
