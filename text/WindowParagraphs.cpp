#include "text/WindowParagraphs.h"

namespace tonvik {

std::string BreakIntoParagraphs(std::string_view text, std::size_t length) {
    std::string result;
    result.reserve(text.size() + text.size() / (length + 1) + 1);
    std::size_t inParagraph = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        result.push_back(c);
        ++inParagraph;
        if (c == '\r' || c == '\n') {
            inParagraph = 0;
            continue;
        }
        const char next = i + 1 < text.size() ? text[i + 1] : '\n';
        const bool endsSpaces = c == ' ' && next != ' ' && next != '\r' && next != '\n';
        if (endsSpaces && inParagraph >= length) {
            result.push_back('\n');
            inParagraph = 0;
        }
    }
    return result;
}

} // namespace tonvik
