#pragma once

#include "base/Random.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tonvik {

// How reading the callsign list ended. Every state but Ok leaves the list
// without lines, and the exercise then keys a single space.
enum class CallsignListStatus {
    Ok,
    Missing,    // no such file
    Empty,      // the file has no lines at all
    Unreadable, // a directory, a device, or a read error
    TooLarge,   // above the size limit, or not enough memory to hold it
    NotText,    // holds a NUL byte, which no CP1251 text does
};

// The largest list read: keeps the line count within int and the memory used
// within reason. A larger maxBytes given to Load or FromBytes is cut to this.
inline constexpr std::size_t MaxCallsignListBytes = std::size_t{1} << 30;

// The callsigns of one exercise.
inline constexpr int CallsignsPerExercise = 30;

// The longest callsign taken from a line, in bytes (CP1251: characters). Far
// above any callsign or short practice phrase; a longer text before the comma
// is cut here, so that a broken list (a line of megabytes) neither copies its
// line thirty times at Start nor keys it for hours.
inline constexpr std::size_t MaxCallsignBytes = 100;

// The callsign list file, held as its bytes (CP1251) once. A line ends at CR,
// LF or CR LF; a final line break adds no empty line. Besides the bytes only
// the number of line breaks before every 4096-byte block is kept, so a list of
// many short lines costs little more than its size; a line is found by a
// binary search over the blocks and a walk through one block.
class CallsignList {
public:
    // Reads the file at path as bytes.
    static CallsignList Load(const std::filesystem::path& path,
                             std::size_t maxBytes = MaxCallsignListBytes);
    // Splits bytes already in memory (Ok, Empty, TooLarge or NotText).
    static CallsignList FromBytes(std::string bytes, std::size_t maxBytes = MaxCallsignListBytes);

    CallsignListStatus Status() const { return State; }
    bool Ok() const { return State == CallsignListStatus::Ok; }
    int Count() const { return LineCount; }
    // The lines a draw can give: all but the last, or the one line of a
    // one-line list.
    int DrawableCount() const { return LineCount <= 1 ? LineCount : LineCount - 1; }
    // The whole file as read.
    std::string_view Text() const { return Bytes; }

    // Line index (0-based) without its line break; "" outside 0..Count()-1.
    std::string_view Line(int index) const;
    // The text of that line before its first comma, the whole line without one,
    // and at most MaxCallsignBytes of it. Nothing is trimmed and the case is
    // kept. Only those bytes are looked at, however long the line.
    std::string_view Callsign(int index) const;

private:
    static constexpr std::size_t BlockBytes = 4096;

    explicit CallsignList(CallsignListStatus state) : State(state) {}
    std::size_t LineStart(int index) const;
    void IndexLines();

    CallsignListStatus State = CallsignListStatus::Empty;
    std::string Bytes;
    std::vector<int> BreaksBefore; // per block, and the total at the end
    int LineCount = 0;
};

// The play text of a callsign exercise: 30 callsigns, each drawn by an index
// uniform in 0..Count()-2 (the last line is never drawn; with one line the
// draw is always line 0) and followed by one space. A list without lines gives
// a single space, so the exercise ends at once.
std::string DrawCallsigns(const CallsignList& list, Random& random);

} // namespace tonvik
