#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tonvik {

// s with every CR and LF removed; everything else keeps its order.
std::string StripLineBreaks(std::string_view s);

// The play text of a text exercise from the text window's whole text (CP1251):
// one space for an empty window, otherwise the text with a..z upper-cased
// (Cyrillic keeps its case) and line breaks removed.
std::string TextPlayText(std::string_view wholeText);

// The text window's contents read as lines, each line followed by CR LF.
// plainText is what the window holds (a QTextEdit's toPlainText() in CP1251):
// lines end at LF, CR LF or a lone CR. An empty text has no lines and gives "".
// A line break at the very end closes the last line and opens no empty one, so
// "a\n" gives "a\r\n" and "\n" gives "\r\n": a window whose last paragraph is
// empty reads like a classic edit control, whose line count skips an empty
// last line. Whatever the reading of that last line, CleanText and FilterWords
// give the same result, since both turn line breaks into separators or drop them.
std::string WindowLines(std::string_view plainText);

// Rewrites the window's lines (CP1251, as WindowLines gives them) into the word
// format: words are runs of kept characters, every separator is two spaces.
// Kept: 0-9, A-Z, a-z, А..я (0xC0..0xFF) and space. Each of CR LF ! . , - ? ( ) № "
// becomes a space; everything else (other punctuation, tab, control bytes, Ё, ё)
// is removed and the text closes up. Then every run of spaces becomes two spaces,
// except that a single space ending the text stays single; lines always end in
// CR LF, so a non-empty result ends with two spaces. Linear in the input length.
std::string CleanText(std::string_view lines);

// Keeps the words of two to k + 3 characters of a text in the word format and
// drops the others with the two characters after each (its separator).
// lines are the window's lines; their line breaks are removed first.
// k < 0 means no length is chosen: returns nothing and the window stays as it is.
// A last word with no separator after it is measured and dropped like any other.
// On text that is not in the word format the same steps run as written: after a
// dropped word two characters go whatever they are, after a kept word two are
// kept. Never reads past the end; linear in the input length.
std::optional<std::string> FilterWords(std::string_view lines, int k);

} // namespace tonvik
