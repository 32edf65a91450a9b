#include "cli/OptionValue.h"

namespace tonvik {
namespace {

constexpr size_t LongValue = 200; // characters
constexpr size_t ShownOfLong = 40;

// Bytes of the well-formed UTF-8 sequence at pos, or 0.
size_t SequenceLength(const std::string& s, size_t pos) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    const size_t length = lead < 0x80                   ? 1
                          : lead >= 0xC2 && lead < 0xE0 ? 2
                          : lead >= 0xE0 && lead < 0xF0 ? 3
                          : lead >= 0xF0 && lead < 0xF5 ? 4
                                                        : 0;
    if (length == 0 || pos + length > s.size())
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(s[pos + i]) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// Where the character after the one at pos begins; a broken byte counts as one.
size_t NextCharacter(const std::string& s, size_t pos) {
    const size_t length = SequenceLength(s, pos);
    return pos + (length == 0 ? 1 : length);
}

} // namespace

std::string QuoteValue(const std::string& value) {
    size_t characters = 0;
    for (size_t pos = 0; pos < value.size(); pos = NextCharacter(value, pos))
        ++characters;
    const size_t keep = characters > LongValue ? ShownOfLong : characters;
    std::string shown;
    for (size_t pos = 0, n = 0; n < keep; ++n) {
        const size_t next = NextCharacter(value, pos);
        const auto first = static_cast<unsigned char>(value[pos]);
        const bool visible = SequenceLength(value, pos) != 0 && first >= 32 && first != 127;
        shown += visible ? value.substr(pos, next - pos) : "?";
        pos = next;
    }
    if (characters <= LongValue)
        return "'" + shown + "'";
    return "'" + shown + "...' (" + std::to_string(characters) + " characters)";
}

} // namespace tonvik
