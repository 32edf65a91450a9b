#include "text/WindowParagraphs.h"

namespace tonvik {

namespace {

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

std::vector<std::size_t> DisplayBreaks(std::string_view text, std::size_t length) {
    std::vector<std::size_t> breaks;
    if (length == 0)
        return breaks;
    breaks.reserve(text.size() / length + 1);
    std::size_t inParagraph = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        ++inParagraph;
        if (IsLineBreak(c)) {
            inParagraph = 0;
            continue;
        }
        if (i + 1 == text.size() || IsLineBreak(text[i + 1]))
            continue;
        const bool endsSpaces = c == ' ' && text[i + 1] != ' ';
        if ((endsSpaces && inParagraph >= length) || inParagraph >= 2 * length) {
            breaks.push_back(i + 1);
            inParagraph = 0;
        }
    }
    return breaks;
}

std::string WithDisplayBreaks(std::string_view text, std::size_t length) {
    std::string broken;
    const std::vector<std::size_t> breaks = DisplayBreaks(text, length);
    broken.reserve(text.size() + breaks.size());
    std::size_t start = 0;
    for (const std::size_t at : breaks) {
        broken.append(text.substr(start, at - start)).push_back('\n');
        start = at;
    }
    return broken.append(text.substr(start));
}

} // namespace tonvik
