#include "keying/MorseCode.h"

namespace tonvik {
namespace {

struct Entry {
    const char* Pattern;
    const char* Latin;   // Latin capitals, digits and signs with this pattern
    const char* Russian; // CP1251 capitals (lowercase ones are 32 codes higher)
};

// One row per pattern. Russian letters are CP1251 bytes written as escapes so
// that this file needs no particular source encoding. Ё (0xA8) and ё (0xB8)
// are handled separately: they are not 32 apart like the rest.
constexpr Entry Rows[] = {
    {".-", "A", "\xC0"},   {"-...", "B", "\xC1"}, {"-.-.", "C", "\xD6"}, {"-..", "D", "\xC4"},
    {".", "E", "\xC5"},    {"..-.", "F", "\xD4"}, {"--.", "G", "\xC3"},  {"....", "H", "\xD5"},
    {"..", "I", "\xC8"},   {".---", "J", "\xC9"}, {"-.-", "K", "\xCA"},  {".-..", "L", "\xCB"},
    {"--", "M", "\xCC"},   {"-.", "N", "\xCD"},   {"---", "O", "\xCE"},  {".--.", "P", "\xCF"},
    {"--.-", "Q", "\xD9"}, {".-.", "R", "\xD0"},  {"...", "S", "\xD1"},  {"-", "T", "\xD2"},
    {"..-", "U", "\xD3"},  {"...-", "V", "\xC6"}, {".--", "W", "\xC2"},  {"-..-", "X", "\xDA\xDC"},
    {"-.--", "Y", "\xDB"}, {"--..", "Z", "\xC7"}, {"---.", "", "\xD7"},  {"----", "", "\xD8"},
    {"..-..", "", "\xDD"}, {"..--", "", "\xDE"},  {".-.-", "", "\xDF"},  {"-----", "0", ""},
    {".----", "1", ""},    {"..---", "2", ""},    {"...--", "3", ""},    {"....-", "4", ""},
    {".....", "5", ""},    {"-....", "6", ""},    {"--...", "7", ""},    {"---..", "8", ""},
    {"----.", "9", ""},    {"-..-.", "/", ""},    {"..--..", "?", ""},
};

using Table = std::array<const char*, 256>;

constexpr Table BuildTable() {
    Table table{};
    for (auto& cell : table)
        cell = "";
    for (const Entry& row : Rows) {
        for (const char* c = row.Latin; *c != '\0'; ++c)
            table[static_cast<unsigned char>(*c)] = row.Pattern;
        for (const char* c = row.Russian; *c != '\0'; ++c) {
            const auto upper = static_cast<unsigned char>(*c);
            table[upper] = row.Pattern;
            table[upper + 32] = row.Pattern;
        }
    }
    table[0xA8] = "."; // Ё is keyed as Е
    table[0xB8] = "."; // ё is keyed as е
    return table;
}

constexpr Table CodeTable = BuildTable();

} // namespace

std::string_view MorseCode(unsigned char code) {
    return code <= MorseFirstCode ? std::string_view() : std::string_view(CodeTable[code]);
}

} // namespace tonvik
