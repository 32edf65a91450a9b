#include "callsign/CallsignList.h"

#include "text/RegularFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tonvik {

namespace {

// A line break at position i: an LF, or a CR not followed by LF.
bool IsBreak(const std::string& bytes, std::size_t i) {
    char c = bytes[i];
    return c == '\n' || (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
}

// The high bit of every zero byte of x, and no other bit.
constexpr std::uint64_t ZeroBytes(std::uint64_t x) {
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
    return ~(((x & low7) + low7) | x | low7);
}

constexpr std::uint64_t EveryByte(char c) {
    return 0x0101010101010101ULL * static_cast<unsigned char>(c);
}

// Line breaks at positions from..to-1. Eight bytes are tested at once, each
// against its follower, as counting byte by byte is the slow part of
// reading a big list.
std::size_t CountBreaks(const std::string& bytes, std::size_t from, std::size_t to) {
    std::size_t count = 0;
    std::size_t i = from;
    for (; i + 8 <= to && i + 8 < bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::uint64_t next = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        std::memcpy(&next, bytes.data() + i + 1, 8);
        std::uint64_t lf = ZeroBytes(word ^ EveryByte('\n'));
        std::uint64_t cr = ZeroBytes(word ^ EveryByte('\r'));
        std::uint64_t lfNext = ZeroBytes(next ^ EveryByte('\n'));
        // One bit per break, at the top of its byte: move each to the bottom
        // and add the eight bytes up with one multiplication.
        std::uint64_t ones = (lf | (cr & ~lfNext)) >> 7;
        count += static_cast<std::size_t>((ones * 0x0101010101010101ULL) >> 56);
    }
    for (; i < to; ++i)
        count += IsBreak(bytes, i) ? 1 : 0;
    return count;
}

} // namespace

CallsignList CallsignList::Load(const std::filesystem::path& path, std::size_t maxBytes) {
    maxBytes = std::min(maxBytes, MaxCallsignListBytes);
    FileRead read = ReadRegularFile(path, maxBytes);
    switch (read.Status) {
    case FileReadStatus::Ok:
        return FromBytes(std::move(read.Bytes), maxBytes);
    case FileReadStatus::Missing:
        return CallsignList(CallsignListStatus::Missing);
    case FileReadStatus::TooLarge:
        return CallsignList(CallsignListStatus::TooLarge);
    default:
        return CallsignList(CallsignListStatus::Unreadable);
    }
}

CallsignList CallsignList::FromBytes(std::string bytes, std::size_t maxBytes) {
    maxBytes = std::min(maxBytes, MaxCallsignListBytes);
    if (bytes.size() > maxBytes)
        return CallsignList(CallsignListStatus::TooLarge);
    if (bytes.empty())
        return CallsignList(CallsignListStatus::Empty);
    if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr)
        return CallsignList(CallsignListStatus::NotText);
    CallsignList list(CallsignListStatus::Ok);
    list.Bytes = std::move(bytes);
    list.IndexLines();
    return list;
}

void CallsignList::IndexLines() {
    // The size limit keeps the count within int: at most one line per byte.
    BreaksBefore.reserve(Bytes.size() / BlockBytes + 2);
    std::size_t breaks = 0;
    BreaksBefore.push_back(0);
    for (std::size_t from = 0; from < Bytes.size(); from += BlockBytes) {
        breaks += CountBreaks(Bytes, from, std::min(from + BlockBytes, Bytes.size()));
        BreaksBefore.push_back(static_cast<int>(breaks));
    }
    // Line k starts after the k-th break; a final break adds no line.
    bool endsWithBreak = Bytes.back() == '\r' || Bytes.back() == '\n';
    LineCount = static_cast<int>(breaks) + (endsWithBreak ? 0 : 1);
}

std::size_t CallsignList::LineStart(int index) const {
    if (index == 0)
        return 0;
    // The block holding break number index, counted from 1.
    auto after = std::lower_bound(BreaksBefore.begin() + 1, BreaksBefore.end(), index);
    std::size_t block = static_cast<std::size_t>(after - (BreaksBefore.begin() + 1));
    int breaks = BreaksBefore[block];
    for (std::size_t i = block * BlockBytes; i < Bytes.size(); ++i) {
        if (IsBreak(Bytes, i) && ++breaks == index)
            return i + 1;
    }
    return Bytes.size();
}

std::string_view CallsignList::Line(int index) const {
    if (index < 0 || index >= LineCount)
        return {};
    std::size_t start = LineStart(index);
    std::size_t end = Bytes.find_first_of("\r\n", start);
    return std::string_view(Bytes).substr(start, end == std::string::npos ? end : end - start);
}

std::string_view CallsignList::Callsign(int index) const {
    if (index < 0 || index >= LineCount)
        return {};
    const std::size_t start = LineStart(index);
    const std::string_view head = std::string_view(Bytes).substr(start, MaxCallsignBytes);
    return head.substr(0, head.find_first_of(",\r\n"));
}

std::string DrawCallsigns(const CallsignList& list, Random& random) {
    if (list.Count() == 0)
        return " ";
    std::string playText;
    for (int i = 0; i < CallsignsPerExercise; ++i) {
        playText += list.Callsign(random.Below(list.Count() - 1));
        playText += ' ';
    }
    return playText;
}

} // namespace tonvik
