// The ADIF reader: data specifiers <NAME:LENGTH[:TYPE]>DATA, records closed
// by <EOR>, an optional header closed by <EOH>.
#include "callsign/CallsignImportRead.h"

#include <optional>

namespace tonvik {
namespace {

std::size_t FindNoCase(std::string_view bytes, std::string_view word) {
    for (std::size_t at = bytes.find('<'); at != std::string_view::npos;
         at = bytes.find('<', at + 1)) {
        if (SameNoCase(bytes.substr(at, word.size()), word))
            return at;
    }
    return std::string_view::npos;
}

bool IsNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// One tag: <EOR>, or a field with its data.
struct Tag {
    std::string_view Name;
    std::optional<std::string_view> Data; // none for <EOR> and <EOH>
    std::size_t End = 0;                  // just past the data, or past '>'
};

enum class TagRead { Read, NotATag, CutOff };

std::size_t Digits(std::string_view bytes, std::size_t at, std::size_t& value) {
    std::size_t end = at;
    value = 0;
    for (; end < bytes.size() && bytes[end] >= '0' && bytes[end] <= '9'; ++end) {
        // Any length past the file's end is cut off; stop counting there.
        if (value <= bytes.size())
            value = value * 10 + static_cast<std::size_t>(bytes[end] - '0');
    }
    return end;
}

// Reads the tag whose '<' is at lt. A '<' that starts no well-formed tag is
// text between fields.
TagRead ReadTag(std::string_view bytes, std::size_t lt, Tag& tag) {
    std::size_t at = lt + 1;
    while (at < bytes.size() && IsNameCharacter(bytes[at]))
        ++at;
    if (at == bytes.size())
        return TagRead::CutOff;
    tag.Name = bytes.substr(lt + 1, at - lt - 1);
    if (tag.Name.empty())
        return TagRead::NotATag;
    if (bytes[at] == '>') {
        tag.End = at + 1;
        return TagRead::Read;
    }
    if (bytes[at] != ':')
        return TagRead::NotATag;
    std::size_t length = 0;
    const std::size_t afterLength = Digits(bytes, at + 1, length);
    if (afterLength == at + 1)
        return TagRead::NotATag;
    at = afterLength;
    if (at < bytes.size() && bytes[at] == ':') { // the data type, one letter as a rule
        while (++at < bytes.size() && IsNameCharacter(bytes[at])) {
        }
    }
    if (at == bytes.size())
        return TagRead::CutOff;
    if (bytes[at] != '>')
        return TagRead::NotATag;
    if (length > bytes.size() - at - 1)
        return TagRead::CutOff;
    tag.Data = bytes.substr(at + 1, length);
    tag.End = at + 1 + length;
    return TagRead::Read;
}

// Where the records begin: after the header when the file has one.
std::size_t RecordsStart(std::string_view bytes) {
    if (bytes.empty() || bytes[0] == '<')
        return 0;
    const std::size_t eoh = FindNoCase(bytes, "<EOH>");
    return eoh == std::string_view::npos ? 0 : eoh + 5;
}

// Line numbers of positions met in increasing order.
class LineCounter {
public:
    explicit LineCounter(std::string_view bytes) : Bytes(bytes) {}
    int At(std::size_t position) {
        for (; Counted < position && Counted < Bytes.size(); ++Counted) {
            const char c = Bytes[Counted];
            if (c == '\n' ||
                (c == '\r' && (Counted + 1 == Bytes.size() || Bytes[Counted + 1] != '\n')))
                ++Line;
        }
        return Line;
    }

private:
    std::string_view Bytes;
    std::size_t Counted = 0;
    int Line = 1;
};

// The record being read.
struct Record {
    bool Open = false; // a field has been read since the last <EOR>
    int Line = 0;      // of its first field
    std::optional<FoundCall> Call;
};

void CloseRecord(Record& record, FoundCalls& found) {
    if (record.Open)
        found.Calls.push_back(record.Call ? *record.Call
                                          : FoundCall{{}, record.Line, "a record without CALL"});
    record = Record{};
}

} // namespace

FoundCalls ReadAdifCalls(std::string_view bytes) {
    FoundCalls found;
    found.Format = "ADIF";
    LineCounter lines(bytes);
    Record record;
    std::size_t at = RecordsStart(bytes);
    for (std::size_t lt = bytes.find('<', at); lt != std::string_view::npos;
         lt = bytes.find('<', at)) {
        Tag tag;
        const TagRead read = ReadTag(bytes, lt, tag);
        if (read == TagRead::CutOff) {
            record.Open = true;
            record.Line = record.Line == 0 ? lines.At(lt) : record.Line;
            break;
        }
        at = read == TagRead::NotATag ? lt + 1 : tag.End;
        if (read == TagRead::NotATag)
            continue;
        if (!tag.Data) {
            // <EOR> ends a record; <EOH> ends a header the file began with a tag.
            if (SameNoCase(tag.Name, "EOR"))
                CloseRecord(record, found);
            else if (SameNoCase(tag.Name, "EOH"))
                record = Record{};
            continue;
        }
        if (!record.Open)
            record = Record{true, lines.At(lt), {}};
        if (!record.Call && SameNoCase(tag.Name, "CALL"))
            record.Call = FoundCall{*tag.Data, lines.At(lt), {}};
    }
    if (record.Open)
        found.Problem = "the last record, from line " + std::to_string(record.Line) +
                        ", is cut off (no <EOR> before the end of the file); it is left out";
    return found;
}

} // namespace tonvik
