#include "GenCodeUnit.h"

namespace tonvik {

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

} // namespace tonvik
