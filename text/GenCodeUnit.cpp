#include "text/GenCodeUnit.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tonvik {

namespace {

enum class CharClass : uint8_t { Deleted, Kept, Space };

// What the clean-up does with each CP1251 byte; a space stands for "becomes a space".
constexpr std::array<CharClass, 256> MakeCleanClasses() {
    std::array<CharClass, 256> classes{};
    auto keep = [&classes](int from, int to) {
        for (int code = from; code <= to; ++code)
            classes[static_cast<size_t>(code)] = CharClass::Kept;
    };
    keep('0', '9');
    keep('A', 'Z');
    keep('a', 'z');
    keep(0xC0, 0xFF);
    // space, CR, LF, ! . , - ? ( ) № and the double quote
    for (int code : {0x20, 0x0D, 0x0A, 0x21, 0x2E, 0x2C, 0x2D, 0x3F, 0x28, 0x29, 0xB9, 0x22})
        classes[static_cast<size_t>(code)] = CharClass::Space;
    return classes;
}

constexpr std::array<CharClass, 256> CleanClasses = MakeCleanClasses();

CharClass ClassOf(char c) {
    return CleanClasses[static_cast<unsigned char>(c)];
}

} // namespace

std::string StripLineBreaks(std::string_view s) {
    std::string result;
    result.reserve(s.size());
    for (char c : s) {
        if (c != '\r' && c != '\n')
            result.push_back(c);
    }
    return result;
}

std::string TextPlayText(std::string_view wholeText) {
    if (wholeText.empty())
        return " ";
    std::string upper(wholeText);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return StripLineBreaks(upper);
}

std::string WindowLines(std::string_view plainText) {
    std::string lines;
    lines.reserve(plainText.size() + 2);
    for (size_t pos = 0; pos < plainText.size(); ++pos) {
        char c = plainText[pos];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && pos + 1 < plainText.size() && plainText[pos + 1] == '\n')
                ++pos;
            lines += "\r\n";
        } else {
            lines.push_back(c);
        }
    }
    if (!plainText.empty() && plainText.back() != '\r' && plainText.back() != '\n')
        lines += "\r\n";
    return lines;
}

std::string CleanText(std::string_view lines) {
    // One pass does both the character pass and the spacing pass: removed
    // characters never split a run of spaces, so a run is counted across them
    // and written out as a separator when the next kept character arrives.
    std::string result;
    result.reserve(lines.size() + lines.size() / 8 + 2);
    size_t pendingSpaces = 0;
    for (char c : lines) {
        switch (ClassOf(c)) {
        case CharClass::Deleted:
            break;
        case CharClass::Space:
            ++pendingSpaces;
            break;
        case CharClass::Kept:
            if (pendingSpaces > 0)
                result += "  ";
            pendingSpaces = 0;
            result.push_back(c);
            break;
        }
    }
    // The spacing pass stops on the last character, so one space that ends the
    // text is never doubled.
    if (pendingSpaces == 1)
        result += ' ';
    else if (pendingSpaces > 1)
        result += "  ";
    return result;
}

std::optional<std::string> FilterWords(std::string_view lines, int k) {
    if (k < 0)
        return std::nullopt;
    const std::string s = StripLineBreaks(lines);
    const size_t longest = static_cast<size_t>(k) + 3;
    std::string result;
    result.reserve(s.size());
    size_t pos = 0;
    while (pos < s.size()) {
        size_t wordEnd = pos;
        while (wordEnd < s.size() && s[wordEnd] != ' ')
            ++wordEnd;
        const size_t length = wordEnd - pos;
        // The word and the two characters after it, cut short by the end of the text.
        const size_t next = std::min(wordEnd + 2, s.size());
        if (length <= longest && length != 1)
            result.append(s, pos, next - pos);
        pos = next;
    }
    return result;
}

} // namespace tonvik
