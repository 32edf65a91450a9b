#pragma once

#include <string>

namespace tonvik {

// What went wrong with the journal, as plain values: the window turns it into
// its one message, the command line into one English line.
enum class JournalFault {
    None,
    FolderUnavailable, // the folder cannot be made or used (a file in its way, no permission)
    ReadOnly,          // the file or its folder cannot be written
    DiskFull,          // no room left for the journal
    Locked,            // another program held the file longer than the busy timeout
    Broken,            // not a database, damaged, or another program's database
    NewerSchema,       // written by a later version of this program: left untouched
    CannotOpen,        // anything else SQLite or the system refused
};

struct JournalProblem {
    JournalFault Fault = JournalFault::None;
    std::string Path;   // the journal file concerned
    std::string Detail; // SQLite's or the system's own words (English)
    // Set when a broken file was moved aside and a new journal begun in its
    // place: where the old one is now. Then Fault is None when the new journal
    // opened, or the fault of the new one.
    std::string AsidePath;
    long long Version = 0; // NewerSchema: the version found in the file

    bool Ok() const { return Fault == JournalFault::None; }
    // Something the user must hear of: a fault, or a file moved aside.
    bool Worth() const { return Fault != JournalFault::None || !AsidePath.empty(); }
};

// One English line for the command line ("journal /x/journal.sqlite: ...").
std::string DescribeProblem(const JournalProblem& problem);

} // namespace tonvik
