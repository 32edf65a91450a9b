// Any bytes as the sent and typed text the journal reads back (a file may have
// been edited by another tool): the character pairs never crash, one pair per
// keyed character at most, and a CSV field read back by the RFC 4180 rule is
// the text itself.
#include "journal/CharacterPairs.h"
#include "journal/JournalCsv.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The field's text as a CSV reader takes it.
std::string Unquote(std::string_view field) {
    if (field.empty() || field.front() != '"')
        return std::string(field);
    std::string text;
    for (size_t i = 1; i + 1 < field.size(); ++i) {
        text += field[i];
        if (field[i] == '"')
            ++i; // the second of a doubled quote
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string_view sent = bytes.substr(0, size / 2);
    const std::string_view typed = bytes.substr(size / 2);
    const auto pairs = tonvik::CharacterPairsOf(sent, typed);
    if (pairs.size() > sent.size())
        __builtin_trap();
    for (const auto& pair : pairs)
        if (pair.Sent.empty() || pair.Sent == " ")
            __builtin_trap();
    const std::string field = tonvik::CsvField(bytes);
    const bool quoted = bytes.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quoted != (field != bytes) || Unquote(field) != bytes)
        __builtin_trap();
    return 0;
}
