#include "text/Radiogram.h"

namespace tonvik {

namespace {

// Ъ keys the same pattern as Ь, so a group holding it could not be told apart.
constexpr int HardSign = 0xDA;

char RandomCharacter(int symbolIndex, Random& random) {
    switch (symbolIndex) {
    case RadiogramDigits:
        return static_cast<char>(RandomInRange(random, 0x30, 0x39));
    case RadiogramRussian: {
        int code = RandomInRange(random, 0xC0, 0xDF);
        while (code == HardSign)
            code = RandomInRange(random, 0xC0, 0xDF);
        return static_cast<char>(code);
    }
    default:
        return static_cast<char>(RandomInRange(random, 0x41, 0x5A));
    }
}

} // namespace

int RandomInRange(Random& random, int lo, int hi) {
    return lo + random.Below(hi - lo + 1);
}

std::string MakeRadiogram(int symbolIndex, int groups, Random& random) {
    std::string radiogram;
    if (groups <= 0 || symbolIndex < RadiogramDigits || symbolIndex > RadiogramLatin)
        return radiogram;
    radiogram.reserve(static_cast<size_t>(groups) * 7);
    for (int group = 0; group < groups; ++group) {
        for (int place = 0; place < 5; ++place)
            radiogram.push_back(RandomCharacter(symbolIndex, random));
        radiogram += "  ";
    }
    return radiogram;
}

} // namespace tonvik
