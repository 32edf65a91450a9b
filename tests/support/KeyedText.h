#pragma once

// The reference the tests compare played and exported audio with: KeyChar
// over a text, character by character, with a fresh keyer starting after a
// word gap. Characters may be up to MaxKeyedSamples long.
#include "keying/Keyer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonvik {

inline constexpr size_t MaxKeyedSamples = size_t{1} << 21;

inline std::vector<int16_t> KeyedText(const std::string& text, const KeyerSettings& settings,
                                      int volumeFactor = 5) {
    Keyer keyer;
    keyer.BuildSineTable(volumeFactor);
    std::vector<int16_t> all;
    std::vector<int16_t> buffer(MaxKeyedSamples);
    for (unsigned char ch : text) {
        const int32_t bytes = keyer.KeyChar(buffer.data(), ch, settings);
        all.insert(all.end(), buffer.begin(), buffer.begin() + bytes / 2);
    }
    return all;
}

} // namespace tonvik
