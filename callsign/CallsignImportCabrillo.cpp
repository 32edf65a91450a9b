// The Cabrillo reader: the other station's call of every QSO: line.
#include "callsign/CallsignImportRead.h"

#include <cstdlib>

namespace tonvik {
namespace {

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos)
            return fields;
        const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
        fields.push_back(line.substr(at, end - at));
        at = end;
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "2023-11-25"
bool IsDate(std::string_view field) {
    if (field.size() != 10 || field[4] != '-' || field[7] != '-')
        return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!IsDigit(field[i]))
            return false;
    }
    return true;
}

// A field that may be a callsign: a digit and a letter, and nothing but
// letters, digits and '/'. Bytes past ASCII count as letters here, so that
// a call with a Cyrillic letter is found, and then refused with its reason.
bool MayBeCall(std::string_view field) {
    bool digit = false;
    bool letter = false;
    for (char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsDigit(c))
            digit = true;
        else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || byte >= 0x80)
            letter = true;
        else if (c != '/')
            return false;
    }
    return digit && letter;
}

// The fields after mycall: the sent exchange, theircall, the received
// exchange and, in a multi-transmitter log, the transmitter (0 or 1).
std::string_view TheirCall(std::vector<std::string_view> rest) {
    if (rest.size() % 2 == 0 && !rest.empty() && (rest.back() == "0" || rest.back() == "1"))
        rest.pop_back();
    // Twice the position of the middle, so that it stays whole.
    const long middle = static_cast<long>(rest.size()) - 1;
    std::string_view best;
    long bestDistance = -1;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (!MayBeCall(rest[i]))
            continue;
        const long distance = std::labs(2 * static_cast<long>(i) - middle);
        // On a tie the later field: the sent exchange may hold a field
        // (an island, a grid) that the received one leaves blank.
        if (bestDistance < 0 || distance <= bestDistance) {
            best = rest[i];
            bestDistance = distance;
        }
    }
    return best;
}

bool IsQsoLine(std::string_view line) {
    return SameNoCase(line.substr(0, 4), "QSO:");
}

FoundCall QsoCall(std::string_view line, int number) {
    const std::vector<std::string_view> fields = Fields(line.substr(4));
    // freq mode date time mycall: the date places the rest.
    std::size_t date = 2;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (IsDate(fields[i])) {
            date = i;
            break;
        }
    }
    const std::size_t firstAfterMyCall = date + 3;
    std::string_view call;
    if (fields.size() > firstAfterMyCall)
        call = TheirCall({fields.begin() + static_cast<long>(firstAfterMyCall), fields.end()});
    if (call.empty())
        return FoundCall{{}, number, "a QSO line without the other station's call"};
    return FoundCall{call, number, {}};
}

} // namespace

FoundCalls ReadCabrilloCalls(std::string_view bytes) {
    FoundCalls found;
    found.Format = "Cabrillo";
    ForEachLine(bytes, [&](std::string_view line, int number) {
        line = TrimmedField(line);
        if (IsQsoLine(line))
            found.Calls.push_back(QsoCall(line, number));
    });
    return found;
}

} // namespace tonvik
