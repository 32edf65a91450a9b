#pragma once

// Reads Latin Morse back from rendered samples, independently of the keyer:
// tones and silences by their lengths alone.
#include "keying/MorseCode.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tonvik {

// Tone and silence spans of a recording: a silence is 8 or more zero samples.
inline std::vector<std::pair<bool, size_t>> Spans(const std::vector<int16_t>& s) {
    std::vector<std::pair<bool, size_t>> spans;
    size_t i = 0;
    while (i < s.size()) {
        size_t j = i;
        while (j < s.size() && s[j] == 0)
            ++j;
        const bool silence = j - i >= 8 || j == s.size();
        if (!silence)
            j = i + 1;
        if (!spans.empty() && spans.back().first == !silence)
            spans.back().second += j - i;
        else
            spans.push_back({!silence, j - i});
        i = j;
    }
    return spans;
}

// Reads Latin Morse back from a recording at a dot of dot samples: letters
// end at silences over two dots, groups at silences over wordGap samples.
inline std::string DecodeMorse(const std::vector<int16_t>& samples, size_t dot, size_t wordGap) {
    std::map<std::string, char> letters;
    for (int c = 33; c < 128; ++c)
        if (!MorseCode(static_cast<unsigned char>(c)).empty() && !(c >= 'a' && c <= 'z'))
            letters[std::string(MorseCode(static_cast<unsigned char>(c)))] = static_cast<char>(c);
    std::string text, pattern;
    auto endLetter = [&] {
        if (!pattern.empty())
            text += letters.count(pattern) ? letters[pattern] : '#';
        pattern.clear();
    };
    for (const auto& [tone, length] : Spans(samples)) {
        if (tone) {
            pattern += length > 2 * dot ? '-' : '.';
        } else if (length > 2 * dot) {
            endLetter();
            if (length > wordGap && !text.empty() && text.back() != ' ')
                text += ' ';
        }
    }
    endLetter();
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace tonvik
