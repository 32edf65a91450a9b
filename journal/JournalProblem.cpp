#include "journal/JournalProblem.h"

namespace tonvik {
namespace {

std::string FaultText(const JournalProblem& problem) {
    switch (problem.Fault) {
    case JournalFault::None:
        return "";
    case JournalFault::FolderUnavailable:
        return "its folder cannot be made or used";
    case JournalFault::ReadOnly:
        return "it cannot be written (read-only file or folder)";
    case JournalFault::DiskFull:
        return "the disk is full";
    case JournalFault::Locked:
        return "another program keeps it locked";
    case JournalFault::Broken:
        return "it is not a Tonvik journal (not a database, damaged, or another program's)";
    case JournalFault::NewerSchema:
        return "it was written by a newer Tonvik (journal version " +
               std::to_string(problem.Version) + "); it is left as it is";
    case JournalFault::CannotOpen:
        return "it cannot be opened";
    }
    return "";
}

} // namespace

std::string DescribeProblem(const JournalProblem& problem) {
    std::string line = "journal " + problem.Path + ": ";
    if (!problem.AsidePath.empty())
        line += "the old file was broken and is kept as " + problem.AsidePath +
                (problem.Ok() ? "; a new journal was begun" : "; ");
    line += FaultText(problem);
    if (!problem.Detail.empty() && !problem.Ok())
        line += " (" + problem.Detail + ")";
    return line;
}

} // namespace tonvik
