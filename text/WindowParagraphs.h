#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tonvik {

// A text edit lays out each paragraph whole and at once, so a cleaned text of
// tens of megabytes on one line would hold the window for a minute at every
// change; split into paragraphs, only what is shown is laid out.

// Paragraphs of about this many characters.
inline constexpr std::size_t WindowParagraphLength = 1000;

// text with a LF put after the last space of a run of spaces wherever its
// paragraph has reached length characters, so that no paragraph is much
// longer unless it has no spaces. A LF after a space is invisible to every
// routine that reads the window: the play text and the word filter remove
// line breaks, and the clean-up merges them into the run of spaces before
// them. Existing line breaks start a new count. Linear in the text's length.
std::string BreakIntoParagraphs(std::string_view text, std::size_t length = WindowParagraphLength);

} // namespace tonvik
