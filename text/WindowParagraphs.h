#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tonvik {

// A text edit lays out each paragraph whole, in time that grows with the
// square of its length when it has no space to wrap at: a cleaned text of
// tens of megabytes on one line, or a long run of letters glued together,
// would hold the window for minutes. Split into paragraphs, only what is
// shown is laid out. The window shows these breaks but does not read them
// back as line breaks.

// Paragraphs of about this many characters.
inline constexpr std::size_t WindowParagraphLength = 1000;

// The positions in text (0-based, ascending) before which a paragraph break
// is shown. A paragraph that has reached length characters is broken after
// its next run of spaces; one that reaches twice that without a space to
// break at is broken where it stands. No break is put at the end of the text
// or next to a line break of its own (CR or LF), which starts a new count.
// Linear in the text's length.
std::vector<std::size_t> DisplayBreaks(std::string_view text,
                                       std::size_t length = WindowParagraphLength);

// text with a LF at each of those positions, for a view that never reads its
// text back.
std::string WithDisplayBreaks(std::string_view text, std::size_t length = WindowParagraphLength);

} // namespace tonvik
