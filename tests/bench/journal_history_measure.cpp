// A long history: fills a journal with 10,000 callsign exercises of 30
// answers over a year (callsigns from master.ped, about a quarter of the
// answers wrong in one or two characters, the speed moving as the scoring
// moves it), plus text exercises and tests; then times every statistics
// query, and runs tonvik journal, --csv, --exercises --csv and --characters
// on it for their wall time and peak memory. Run by hand:
//   build/bin/journal_history_measure [JOURNAL]
// JOURNAL (default: one in the temporary directory) is made anew; it is filled
// in /dev/shm, where a commit costs no fsync, and then copied there.

#include "base/Random.h"
#include "callsign/CallsignList.h"
#include "journal/JournalStats.h"
#include "journal/JournalWriter.h"

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

constexpr int Exercises = 10000;
constexpr int AnswersEach = 30;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A character typed in place of another, as ears confuse them.
char Confused(char c, Random& random) {
    static const std::string pairs = "B6 6B H5 5H S5 V4 4V U2 D0 O0 0O W1 1W J1 P2 Q7 Y7 ZX KR RK";
    const size_t at = pairs.find(c);
    if (at != std::string::npos && at % 3 == 0)
        return pairs[at + 1];
    return "ETIANMSURWDKGOHVF"[random.Below(17)];
}

std::string Typed(const std::string& sent, Random& random) {
    std::string typed = sent;
    const int roll = random.Below(100);
    if (roll < 18)
        typed[static_cast<size_t>(random.Below(static_cast<int>(typed.size())))] =
            Confused(typed[0], random);
    else if (roll < 22)
        typed.pop_back();
    else if (roll < 25 && typed.size() > 2)
        typed.replace(1, 2, {Confused(typed[1], random), Confused(typed[2], random)});
    return typed;
}

bool FillExercise(JournalWriter& writer, const CallsignList& list, JournalTime started,
                  Random& random) {
    ExerciseStart start;
    const int kind = random.Below(20);
    start.Kind = kind == 0   ? ExerciseKind::MissedCallsDrill
                 : kind == 1 ? ExerciseKind::WeakCharactersDrill
                             : ExerciseKind::Callsign;
    start.Started = started;
    start.OwnCall = "UA3XYZ";
    start.Wpm = 25 + random.Below(10);
    start.ListPath = "/usr/lib/tonvik/master.ped";
    start.ListSha256 = std::string(64, 'c');
    if (!writer.BeginExercise(start))
        return false;
    int wpm = start.Wpm, maxWpm = 0;
    double total = 0;
    for (int n = 1; n <= AnswersEach; ++n) {
        std::string sent(list.Callsign(random.Below(std::max(1, list.Count() - 1))));
        if (sent.empty())
            sent = "UA3ABC";
        AnswerRecord a;
        a.Number = n;
        a.Sent = sent;
        a.Typed = Typed(sent, random);
        a.Right = a.Typed == sent;
        a.Errors = a.Right ? 0 : 1;
        a.Wpm = wpm;
        a.ToneHz = 750 + random.Below(100);
        a.Replays = random.Below(10) == 0 ? 1 : 0;
        a.CallPoints = static_cast<double>(sent.size() * static_cast<size_t>(wpm * wpm));
        a.Points = static_cast<int>(a.CallPoints / 10);
        a.ResponseMs = 300 + random.Below(2000);
        a.Answered = started + std::chrono::seconds(8 * n);
        wpm = std::clamp(a.Right ? wpm + 2 : wpm - 1, 10, 100);
        maxWpm = a.Right ? std::max(maxWpm, wpm) : maxWpm;
        total += a.Points;
        if (!writer.RecordAnswer(a))
            return false;
    }
    ExerciseEnd end;
    end.Ended = started + std::chrono::seconds(8 * AnswersEach + 5);
    end.Reason = random.Below(10) == 0 ? EndReason::Stopped : EndReason::Completed;
    end.TotalPoints = total;
    end.MaxWpm = maxWpm;
    return writer.EndExercise(end);
}

bool FillText(JournalWriter& writer, JournalTime started, Random& random) {
    ExerciseStart start;
    start.Kind = random.Below(3) == 0 ? ExerciseKind::PreliminaryTest : ExerciseKind::Text;
    start.Started = started;
    ExerciseEnd end;
    end.Ended = started + std::chrono::minutes(5);
    end.Reason = random.Below(2) == 0 ? EndReason::Completed : EndReason::Stopped;
    end.CharactersKeyed = 200 + random.Below(5000);
    return writer.BeginExercise(start) && writer.EndExercise(end);
}

bool Fill(const fs::path& path, const CallsignList& list) {
    JournalWriter writer;
    if (!writer.Open(path, std::chrono::milliseconds(4000)).Ok())
        return false;
    Random random(20240309);
    const JournalTime yearAgo = JournalClock::now() - std::chrono::hours(24 * 365);
    const auto step = std::chrono::milliseconds(std::chrono::hours(24 * 365)) / Exercises;
    for (int n = 0; n < Exercises; ++n) {
        const JournalTime started = yearAgo + step * n;
        if (!FillExercise(writer, list, started, random))
            return false;
        if (n % 10 == 0 && !FillText(writer, started + std::chrono::minutes(10), random))
            return false;
    }
    return true;
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
    Time("CountByKind", [&] { return reader.CountByKind().size(); });
    std::printf("Characters page:\n");
    for (const auto& [name, period] :
         {std::pair{"7 days", StatsPeriod::LastWeek}, std::pair{"30 days", StatsPeriod::LastMonth},
          std::pair{"all time", StatsPeriod::AllTime}}) {
        Time((std::string("CharacterAccuracy, ") + name).c_str(),
             [&] { return CharacterAccuracy(reader, period, now).size(); });
        Time((std::string("Confusions(20), ") + name).c_str(),
             [&] { return Confusions(reader, period, now, 20).size(); });
    }
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
    if (!Fill(scratch, list)) {
        std::fprintf(stderr, "filling %s failed\n", scratch.c_str());
        return 1;
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(path.string() + suffix);
    fs::copy_file(scratch, path);
    fs::remove(scratch);
    std::printf("filled %s: %d exercises x %d answers in %.1f s, %.1f MB\n", path.c_str(),
                Exercises, AnswersEach, Ms(Clock::now() - t0) / 1000,
                static_cast<double>(fs::file_size(path)) / 1e6);
    std::printf("Queries (best of 5):\n");
    TimeQueries(path);
    std::printf("The command line:\n");
    const std::string tonvik = (here / "tonvik").string();
    RunTonvik(tonvik, {"journal", "--journal", path.string()});
    RunTonvik(tonvik, {"journal", "--journal", path.string(), "--csv"});
    RunTonvik(tonvik, {"journal", "--journal", path.string(), "--exercises", "--csv"});
    RunTonvik(tonvik, {"journal", "--journal", path.string(), "--characters"});
    return 0;
}
