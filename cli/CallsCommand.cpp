#include "cli/CallsCommand.h"

#include "callsign/CallsignImport.h"
#include "callsign/CallsignList.h"
#include "callsign/CallsignListLocation.h"
#include "callsign/PersonalList.h"
#include "callsign/PersonalListFile.h"
#include "callsign/PersonalListLock.h"
#include "cli/Interrupt.h"
#include "cli/OptionValue.h"

#include <ostream>

namespace tonvik {
namespace {

std::string Plural(int count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string ProblemText(const std::filesystem::path& path, CallsignListStatus status) {
    return FileProblemText(path, status, MaxCallsignListBytes);
}

int ShowList(const CallsPaths& paths, std::ostream& out, std::ostream& err) {
    const ChosenCallsignList chosen = ChooseCallsignList(paths.Personal, paths.Shipped);
    const CallsignList list = CallsignList::Load(chosen.Path);
    if (!chosen.Personal && !list.Ok() && list.Status() == CallsignListStatus::Missing) {
        err << "tonvik: no callsign list: neither " << paths.Personal.string() << " nor "
            << paths.Shipped.string() << " exists\n";
        return 1;
    }
    const std::string kind = chosen.Personal ? "personal" : "shipped";
    if (!list.Ok()) {
        err << "tonvik: the window uses the " << kind << " list " << chosen.Path.string()
            << ", which cannot be drawn from: " << ProblemText(chosen.Path, list.Status()) << "\n";
        return 1;
    }
    out << "The window uses the " << kind << " list " << chosen.Path.string() << ": "
        << Plural(CountDrawableCalls(list), "callsign", "callsigns") << ".\n";
    if (!chosen.Personal)
        out << "No personal list at " << paths.Personal.string()
            << " (make one: tonvik calls import FILE...).\n";
    return 0;
}

// One line for the file: its counts, or what went wrong with it when it gave
// nothing to count (the refusals listed below it, when there are some).
void ReportFile(const std::string& file, const FileImport& result, std::ostream& out,
                std::ostream& err) {
    if (!result.Problem.empty())
        err << "tonvik: " << file << ": " << result.Problem << "\n";
    const bool counted = result.Kept + result.Duplicates + result.Refused > 0;
    if (result.Format.empty() || (!counted && !result.Problem.empty()))
        return;
    out << file << ": " << result.Format << ", " << Plural(result.Kept, "call", "calls")
        << " kept, " << Plural(result.Duplicates, "duplicate", "duplicates") << ", "
        << result.Refused << " refused\n";
    for (const RefusedCall& refused : result.FirstRefused)
        out << "  line " << refused.Line << ": " << QuoteValue(refused.Shown)
            << " refused: " << refused.Reason << "\n";
    if (result.Refused > static_cast<int>(result.FirstRefused.size()))
        out << "  ... and " << result.Refused - static_cast<int>(result.FirstRefused.size())
            << " more refused\n";
}

// The personal list's callsigns for --append; false when it is there but
// cannot be read, so that it is not replaced by a list without them.
bool ReadExisting(const CallsPaths& paths, CallsignCollection& calls, std::ostream& err) {
    const CallsignList existing = CallsignList::Load(paths.Personal);
    if (existing.Ok())
        calls.AddExisting(existing.Text());
    else if (existing.Status() != CallsignListStatus::Missing &&
             existing.Status() != CallsignListStatus::Empty) {
        err << "tonvik: " << paths.Personal.string() << ": "
            << ProblemText(paths.Personal, existing.Status())
            << "; nothing can be added to it, and it is unchanged\n";
        return false;
    }
    return true;
}

// Held from reading the list to replacing it; one line on the error stream
// while another program holds it.
std::string LockList(PersonalListLock& lock, const CallsPaths& paths, std::ostream& err) {
    const std::string error = lock.Take(paths.Personal.parent_path(), [&] {
        err << "tonvik: another tonvik is changing the personal list " << paths.Personal.string()
            << "; waiting for it to finish\n"
            << std::flush;
    });
    if (!error.empty())
        err << "tonvik: " << error << "; the personal list is unchanged\n";
    return error;
}

int Import(const CliOptions& options, const CallsPaths& paths, ListFileOps& ops, std::ostream& out,
           std::ostream& err) {
    PersonalListLock lock;
    if (!LockList(lock, paths, err).empty())
        return 1;
    CallsignCollection calls;
    if (options.Append && !ReadExisting(paths, calls, err))
        return 1;
    int read = 0; // callsigns taken from the files, new or not
    for (auto file = options.Operands.begin() + 1; file != options.Operands.end(); ++file) {
        const FileImport result = calls.Import(*file);
        read += result.Kept + result.Duplicates;
        ReportFile(*file, result, out, err);
    }
    if (read == 0) {
        err << "tonvik: no callsign could be imported; the personal list is unchanged\n";
        return 1;
    }
    if (calls.Added() == 0) {
        out << "The personal list " << paths.Personal.string()
            << " holds every one of these callsigns already; it is unchanged.\n";
        return 0;
    }
    const std::string bytes = PersonalListBytes(calls.Calls());
    std::string error;
    {
        const FinishBeforeInterrupt noTemporaryLeft;
        error = ReplaceListFile(paths.Personal, paths.Backup, bytes, ops);
    }
    if (!error.empty()) {
        err << "tonvik: " << error << "\n";
        return 1;
    }
    out << "Personal list " << paths.Personal.string() << ": "
        << Plural(static_cast<int>(calls.Calls().size()), "callsign", "callsigns");
    if (options.Append)
        out << " (" << calls.Added() << " added)";
    out << ". The window draws from it from the next exercise on.\n";
    return 0;
}

int Reset(const CallsPaths& paths, ListFileOps& ops, std::ostream& out, std::ostream& err) {
    PersonalListLock lock;
    if (!LockList(lock, paths, err).empty())
        return 1;
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(paths.Personal, error))) {
        out << "There is no personal list at " << paths.Personal.string()
            << "; the window uses the shipped list " << paths.Shipped.string() << ".\n";
        return 0;
    }
    if (const std::string failure = MoveListAside(paths.Personal, paths.Backup, ops);
        !failure.empty()) {
        err << "tonvik: " << failure << "\n";
        return 1;
    }
    out << "The personal list is now " << paths.Backup.string()
        << "; the window uses the shipped list " << paths.Shipped.string() << " again.\n";
    return 0;
}

} // namespace

CallsPaths DefaultCallsPaths() {
    return {PersonalCallsignList(), BackupCallsignList(), ShippedCallsignList()};
}

std::string CheckCallsOptions(const CliOptions& options) {
    const std::vector<std::string>& words = options.Operands;
    const bool import = !words.empty() && words.front() == "import";
    if (!words.empty() && !import && words.front() != "reset")
        return "calls knows import and reset, not " + QuoteValue(words.front()) +
               " (see: tonvik calls --help)";
    if (import && words.size() == 1)
        return "calls import needs a file: tonvik calls import FILE...";
    if (!import && words.size() > 1)
        return "calls reset takes no file, not " + QuoteValue(words[1]);
    if (options.Append && !import)
        return "--append goes with calls import";
    return "";
}

int RunCalls(const CliOptions& options, const CallsPaths& paths, ListFileOps& ops,
             std::ostream& out, std::ostream& err) {
    // Reading and waiting hold nothing to clean up (the lock goes with the
    // program): Ctrl-C or SIGTERM ends them at once. Only the replacing of
    // the list is let finish.
    const EndAtOnceOnInterrupt untilTheListIsReplaced;
    if (options.Operands.empty())
        return ShowList(paths, out, err);
    if (options.Operands.front() == "reset")
        return Reset(paths, ops, out, err);
    return Import(options, paths, ops, out, err);
}

int RunCalls(const CliOptions& options, std::ostream& out, std::ostream& err) {
    ListFileOps ops;
    return RunCalls(options, DefaultCallsPaths(), ops, out, err);
}

} // namespace tonvik
