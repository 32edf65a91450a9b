// The reader of call lists: one call a line, with the comments and columns
// of super-check-partial and call-history files.
#include "callsign/CallsignImportRead.h"

#include <algorithm>

namespace tonvik {
namespace {

constexpr std::string_view OrderLine = "!!Order!!";

std::vector<std::string_view> CommaFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t comma = line.find(','); comma != std::string_view::npos;
         comma = line.find(',', start)) {
        fields.push_back(TrimmedField(line.substr(start, comma - start)));
        start = comma + 1;
    }
    fields.push_back(TrimmedField(line.substr(start)));
    return fields;
}

// The column "!!Order!!,Call,Name,..." gives the call; the first without one.
std::size_t CallColumn(std::string_view orderLine) {
    const std::vector<std::string_view> names = CommaFields(orderLine);
    for (std::size_t i = 1; i < names.size(); ++i) {
        if (SameNoCase(names[i], "Call"))
            return i - 1;
    }
    return 0;
}

} // namespace

std::string_view TrimmedField(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

FoundCalls ReadListedCalls(std::string_view bytes) {
    FoundCalls found;
    bool history = false;
    std::size_t column = 0;
    ForEachLine(bytes, [&](std::string_view line, int number) {
        line = TrimmedField(line);
        if (line.substr(0, OrderLine.size()) == OrderLine) {
            history = true;
            column = CallColumn(line);
            return;
        }
        if (line.empty() || line[0] == '#' || line[0] == '!')
            return;
        const std::vector<std::string_view> fields = CommaFields(line);
        history = history || fields.size() > 1;
        if (column < fields.size())
            found.Calls.push_back(FoundCall{fields[column], number, {}});
        else
            found.Calls.push_back(FoundCall{{}, number, "no Call column in the line"});
    });
    found.Format = history ? "call history" : "call list";
    return found;
}

} // namespace tonvik
