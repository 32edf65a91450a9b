#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tonvik {

// How the bytes of a text file are read.
//   Auto:   a file with a UTF-8, UTF-16 or UTF-32 byte-order mark is read as such
//           (invalid sequences dropped); a file without one that looks like UTF-16
//           (one byte of each pair nearly always 0x00 or 0x04, as Latin and Cyrillic
//           letters give, the other nearly never 0x00) and decodes as UTF-16 is read
//           so; one that is valid UTF-8 and not plain ASCII is read as UTF-8; anything
//           else is taken as CP1251 byte for byte.
//   Cp1251: byte for byte.
//   Utf8:   as UTF-8, an initial byte-order mark skipped, invalid sequences dropped.
//   Utf16:  as UTF-16 in the byte order of its mark, or without one the order whose
//           high bytes look most like text, little-endian when undecided.
enum class TextEncoding { Auto, Cp1251, Utf8, Utf16 };

// Larger text files are refused rather than read.
inline constexpr std::uintmax_t MaxTextFileBytes = 50u * 1024u * 1024u;

// A file's bytes as CP1251 text. Characters CP1251 cannot hold are dropped.
// Other bytes, control bytes and NUL included, are left for the clean-up to judge;
// formatted text (RTF and the like) is read as the plain characters it is made of.
std::string DecodeTextBytes(std::string_view bytes, TextEncoding encoding);

struct LoadedText {
    bool Ok = false;
    std::string Text;  // CP1251, when Ok
    std::string Error; // Russian, in UTF-8 (it names the file, whose path may not fit CP1251)
    // For the command line: why it could not be read, in the system's English
    // words ("No such file or directory"); the limit for a file too large.
    std::string Reason;
};

// Reads and decodes a text file. A missing or unreadable file, a directory or a
// file over MaxTextFileBytes is refused with a message naming it. An empty file
// is read as an empty text.
LoadedText LoadTextFile(const std::string& path, TextEncoding encoding = TextEncoding::Auto);

} // namespace tonvik
