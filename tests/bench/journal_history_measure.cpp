// A long history: fills a journal with 10,000 callsign exercises of 30
// answers over a year (callsigns from master.ped, about a quarter of the
// answers wrong in one or two characters, the speed moving as the scoring
// moves it), plus text exercises and tests; then times every statistics
// query, and runs tonvik journal, --csv, --exercises --csv and --characters
// on it for their wall time and peak memory; then turns a copy back into a
// version 3 journal and times its upgrade (the character counts rebuilt from
// every answer). Run by hand:
//   build/bin/journal_history_measure [JOURNAL]
// JOURNAL (default: one in the temporary directory) is made anew; it is filled
// in /dev/shm, where a commit costs no fsync, and then copied there.

#include "callsign/CallsignList.h"
#include "journal/JournalStats.h"
#include "journal/Sqlite.h"
#include "tests/support/JournalHistory.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

using namespace tonvik;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The best of five runs, and the first.
void Time(const char* what, const std::function<size_t()>& query) {
    std::vector<double> times;
    size_t rows = 0;
    for (int n = 0; n < 5; ++n) {
        const auto t0 = Clock::now();
        rows = query();
        times.push_back(Ms(Clock::now() - t0));
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("  %-34s %8.2f ms (first %.2f ms), %zu rows\n", what, times.front(), first, rows);
}

void TimeQueries(const fs::path& path) {
    const JournalTime now = JournalClock::now();
    const auto t0 = Clock::now();
    JournalReader reader;
    if (!reader.Open(path).Ok())
        return;
    std::printf("  %-34s %8.2f ms\n", "open the reader", Ms(Clock::now() - t0));
    std::printf("Progress page:\n");
    Time("ProgressSeries", [&] { return ProgressSeries(reader).size(); });
    Time("Best", [&] { return reader.Best(ExerciseKind::Callsign) ? size_t{1} : 0; });
    Time("LastExercises(callsign, 10)",
         [&] { return reader.LastExercises(ExerciseKind::Callsign, 10).size(); });
    Time("LastExercises(text, all)",
         [&] { return reader.LastExercises(ExerciseKind::Text, 100000).size(); });
    Time("TextExercises(200)", [&] { return TextExercises(reader, 200).size(); });
    Time("CountByKind", [&] { return reader.CountByKind().size(); });
    std::printf("Characters page:\n");
    // Named members, not a structured binding: clang 14 cannot capture one in a lambda.
    struct Span {
        const char* Name;
        StatsPeriod Period;
    };
    for (const Span span :
         {Span{"7 days", StatsPeriod::LastWeek}, Span{"30 days", StatsPeriod::LastMonth},
          Span{"all time", StatsPeriod::AllTime}}) {
        const std::string name(span.Name);
        Time(("CharacterAccuracy, " + name).c_str(),
             [&] { return CharacterAccuracy(reader, span.Period, now).size(); });
        Time(("Confusions(20), " + name).c_str(),
             [&] { return Confusions(reader, span.Period, now, 20).size(); });
        const CharacterFilter everyClean{CharacterSource::All, ConditionsFilter::Clean};
        Time(("CharacterAccuracy(all sources, clean), " + name).c_str(),
             [&] { return CharacterAccuracy(reader, span.Period, now, everyClean).size(); });
        Time(("RecognitionReactions, " + name).c_str(),
             [&] { return RecognitionReactions(reader, span.Period, now).size(); });
    }
    std::printf("The course:\n");
    Time("LessonResults(200)", [&] { return LessonResults(reader, "", 200).size(); });
    Time("CourseProgress(latin)",
         [&] { return CourseProgress(reader, "latin").BestPercent.size(); });
    std::printf("Errors page and the re-drills:\n");
    Time("MissedCalls(200)", [&] { return MissedCalls(reader, 200).size(); });
    Time("MissedCalls(200, offset 50000)", [&] { return MissedCalls(reader, 200, 50000).size(); });
    Time("RecentlyMissedCallsigns(30)", [&] { return RecentlyMissedCallsigns(reader, 30).size(); });
    Time("CharacterMissRates", [&] { return CharacterMissRates(reader).size(); });
}

// Runs tonvik with args, its output to /dev/null; prints wall time and peak RSS.
void RunTonvik(const std::string& tonvik, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(tonvik.c_str())};
    std::string line = "tonvik";
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
        line += " " + arg;
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto t0 = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, tonvik.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        return;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double wall = Ms(Clock::now() - t0);
    posix_spawn_file_actions_destroy(&actions);
    std::printf("  %-60s %8.0f ms  %6ld MB peak RSS  exit %d\n", line.c_str(), wall,
                usage.ru_maxrss / 1024, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

// A copy of the journal as version 3 kept it: no course tables, the counts
// without source and band. Opening it upgrades it in place.
void TimeUpgradeFromVersion3(const fs::path& path) {
    const fs::path old = path.string() + ".v3";
    fs::remove(old);
    fs::copy_file(path, old);
    {
        sql::Connection db;
        if (db.Open(old.string(), SQLITE_OPEN_READWRITE) != SQLITE_OK ||
            db.Execute("DROP TABLE lesson_results; DROP TABLE recognition_answers;"
                       "DROP TABLE character_counts; DROP TABLE character_totals;"
                       "CREATE TABLE character_counts(day TEXT NOT NULL, sent TEXT NOT NULL, "
                       "typed TEXT NOT NULL, count INTEGER NOT NULL, "
                       "PRIMARY KEY(day, sent, typed)) WITHOUT ROWID;"
                       "CREATE TABLE character_totals(sent TEXT NOT NULL, typed TEXT NOT NULL, "
                       "count INTEGER NOT NULL, PRIMARY KEY(sent, typed)) WITHOUT ROWID;"
                       "PRAGMA user_version = 3;") != SQLITE_OK) {
            std::fprintf(stderr, "cannot make %s\n", old.c_str());
            return;
        }
    }
    const auto t0 = Clock::now();
    JournalReader reader;
    const bool opened = reader.Open(old).Ok();
    std::printf("  %-34s %8.2f ms%s\n", "upgrade from version 3", Ms(Clock::now() - t0),
                opened ? "" : " (failed)");
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(old.string() + suffix);
}

} // namespace

int main(int argc, char** argv) {
    const fs::path here = fs::canonical("/proc/self/exe").parent_path();
    const fs::path path =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "tonvik-history.sqlite";
    const fs::path scratch = fs::path("/dev/shm") / ("tonvik-fill-" + std::to_string(getpid()));
    const CallsignList list = CallsignList::Load(TONVIK_MASTER_PED);
    if (!list.Ok())
        return 1;
    auto t0 = Clock::now();
    const HistoryShape shape;
    if (!FillJournalHistory(scratch, list, shape)) {
        std::fprintf(stderr, "filling %s failed\n", scratch.c_str());
        return 1;
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(path.string() + suffix);
    fs::copy_file(scratch, path);
    fs::remove(scratch);
    std::printf("filled %s: %d exercises x %d answers in %.1f s, %.1f MB\n", path.c_str(),
                shape.Exercises, shape.AnswersEach, Ms(Clock::now() - t0) / 1000,
                static_cast<double>(fs::file_size(path)) / 1e6);
    std::printf("Queries (best of 5):\n");
    TimeQueries(path);
    std::printf("The command line:\n");
    const std::string tonvik = (here / "tonvik").string();
    RunTonvik(tonvik, {"journal", "--journal", path.string()});
    RunTonvik(tonvik, {"journal", "--journal", path.string(), "--csv"});
    RunTonvik(tonvik, {"journal", "--journal", path.string(), "--exercises", "--csv"});
    RunTonvik(tonvik, {"journal", "--journal", path.string(), "--characters"});
    std::printf("The schema:\n");
    TimeUpgradeFromVersion3(path);
    return 0;
}
