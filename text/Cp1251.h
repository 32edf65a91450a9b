#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace tonvik {

// Conversion between the program's CP1251 text and Qt's and the terminal's
// Unicode text. Every byte 0x00..0xFF decodes to one character (0x98, unused by
// the code page, becomes U+0098). A character CP1251 cannot hold is dropped, never
// replaced: a stand-in byte would be keyed as some other character.

QString FromCp1251(std::string_view text);
std::string ToCp1251(const QString& text);

// The same for UTF-8 bytes (the command line, the terminal); an invalid UTF-8
// sequence is dropped like a character CP1251 cannot hold.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view text);

} // namespace tonvik
