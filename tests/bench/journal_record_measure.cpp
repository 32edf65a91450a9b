// The GUI thread's cost of recording, over 10 exercises of 30 answers:
// Journal::RecordAnswer (handing the answer to the writer thread), the time
// until that answer is committed on the disk (WAL, synchronous FULL), and
// BeginExercise and EndExercise. Then the same writes made on the calling
// thread (JournalWriter), which is what the GUI thread would pay without the
// writer thread. Prints median, 90th percentile and maximum. Run by hand:
//   build/bin/journal_record_measure [FOLDER]
// FOLDER (default: a new one in the temporary directory) should be on the
// disk the journal lives on.

#include "journal/Journal.h"
#include "journal/JournalWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace tonvik;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Print(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-22s n=%zu  median %.3f ms  p90 %.3f ms  max %.3f ms\n", what, times.size(),
                times[times.size() / 2], times[times.size() * 9 / 10], times.back());
}

AnswerRecord Answer(int number) {
    AnswerRecord a;
    a.Number = number;
    a.Sent = number % 4 == 0 ? "DL1XYZ" : "UA3ABC";
    a.Typed = number % 4 == 0 ? "DL1XY" : "UA3ABC";
    a.Right = number % 4 != 0;
    a.Errors = a.Right ? 0 : 1;
    a.Wpm = 30 + number / 3;
    a.ToneHz = 780 + number;
    a.Points = 540;
    a.CallPoints = 5400;
    a.ResponseMs = 800;
    a.Answered = JournalClock::now();
    return a;
}

struct Times {
    std::vector<double> Handed, OnDisk, Begins, Ends;
};

// Begin, 30 answers and the end, ten times; each answer on the disk before the
// next, as the seconds between two answers make it. flush waits for the disk.
template <class Recorder, class Flush> bool Exercises(Recorder& journal, Flush flush, Times& t) {
    for (int exercise = 0; exercise < 10; ++exercise) {
        ExerciseStart start;
        start.Started = JournalClock::now();
        start.OwnCall = "UA3XYZ";
        auto t0 = Clock::now();
        if (!journal.BeginExercise(start))
            return false;
        t.Begins.push_back(Ms(Clock::now() - t0));
        flush();
        for (int n = 1; n <= 30; ++n) {
            const AnswerRecord answer = Answer(n);
            t0 = Clock::now();
            if (!journal.RecordAnswer(answer))
                return false;
            t.Handed.push_back(Ms(Clock::now() - t0));
            flush();
            t.OnDisk.push_back(Ms(Clock::now() - t0));
        }
        ExerciseEnd end;
        end.Ended = JournalClock::now();
        end.Reason = EndReason::Completed;
        t0 = Clock::now();
        if (!journal.EndExercise(end))
            return false;
        t.Ends.push_back(Ms(Clock::now() - t0));
        flush();
    }
    return true;
}

fs::path NewFolder() {
    std::string pattern = (fs::temp_directory_path() / "journal-measure-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return {};
    return pattern;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : NewFolder();
    const fs::path path = folder / "journal-measure.sqlite";
    Times threaded, direct;
    {
        Journal journal;
        const JournalProblem problem = journal.Open(path);
        if (!problem.Ok()) {
            std::fprintf(stderr, "%s\n", DescribeProblem(problem).c_str());
            return 1;
        }
        if (!Exercises(
                journal, [&] { journal.Flush(); }, threaded))
            return 1;
    }
    {
        JournalWriter writer;
        if (!writer.Open(path, DefaultBusyTimeout).Ok() || !Exercises(
                                                               writer, [] {}, direct))
            return 1;
    }
    std::printf("journal %s\n", path.c_str());
    std::printf("GUI thread, with the writer thread:\n");
    Print("  RecordAnswer", threaded.Handed);
    Print("  BeginExercise", threaded.Begins);
    Print("  EndExercise", threaded.Ends);
    Print("  answer on the disk", threaded.OnDisk);
    std::printf("written on the calling thread (no writer thread):\n");
    Print("  RecordAnswer", direct.Handed);
    Print("  BeginExercise", direct.Begins);
    Print("  EndExercise", direct.Ends);
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(path.string() + suffix);
    if (argc <= 1)
        fs::remove(folder);
    return 0;
}
