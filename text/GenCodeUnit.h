#pragma once

#include <string>
#include <string_view>

namespace tonvik {

// s with every CR and LF removed; everything else keeps its order.
std::string StripLineBreaks(std::string_view s);

// The play text of a text exercise from the text window's whole text (CP1251):
// one space for an empty window, otherwise the text with a..z upper-cased
// (Cyrillic keeps its case) and line breaks removed.
std::string TextPlayText(std::string_view wholeText);

} // namespace tonvik
