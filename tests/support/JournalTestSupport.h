#pragma once

// A temporary folder per test, a child process for what must run apart (a
// second writer, a crash, another user, a small disk), and journal records
// made the way the window makes them: from the scoring of a real answer.
#include "callsign/Scoring.h"
#include "journal/Journal.h"
#include "journal/JournalStats.h"
#include "journal/JournalTypes.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tonvik {

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tonvik-journal-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Folder = pattern;
        Path = Folder / "tonvik" / "journal.sqlite";
    }
    void TearDown() override {
        std::error_code error;
        std::filesystem::permissions(Folder, std::filesystem::perms::owner_all, error);
        std::filesystem::remove_all(Folder, error);
    }

    std::filesystem::path Folder;
    std::filesystem::path Path; // in a folder not made yet
};

// A fixed moment, so that dates and periods can be checked: 2024-03-09 17:05:42.120 UTC.
inline JournalTime TestTime(int plusSeconds = 0) {
    return JournalTime(std::chrono::milliseconds(1710003942120LL) +
                       std::chrono::seconds(plusSeconds));
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline ExerciseStart CallsignStart(JournalTime started, const std::string& ownCall = "UA3XYZ") {
    ExerciseStart start;
    start.Kind = ExerciseKind::Callsign;
    start.Started = started;
    start.OwnCall = ownCall;
    start.ListPath = "/usr/lib/tonvik/master.ped";
    start.ListSha256 = std::string(64, 'a');
    return start;
}

// The record of an answer as the window makes it: the scoring core evaluates
// typed against sent keyed at wpm after the given number of replays.
inline AnswerRecord ScoredAnswer(int number, const std::string& sent, const std::string& typed,
                                 int wpm, int replays = 0, JournalTime answered = TestTime()) {
    AnswerInput input;
    const std::string keyed = sent + " ";
    input.SentText = keyed;
    input.InputText = typed;
    input.SpeedPosition = wpm;
    input.ReplayFactor = 1.0L;
    for (int n = 0; n < replays; ++n)
        input.ReplayFactor /= 2;
    const AnswerOutcome outcome = EvaluateAnswer(input);
    AnswerRecord record;
    record.Number = number;
    record.Sent = sent;
    record.Typed = typed;
    record.Right = outcome.Right;
    record.Errors = outcome.ErrorCount;
    record.Wpm = outcome.CallWpm;
    record.ToneHz = 800;
    record.Replays = replays;
    record.Points = static_cast<int>(outcome.Points);
    record.CallPoints = outcome.CallPoints;
    record.ResponseMs = 1200;
    record.Answered = answered;
    return record;
}

inline ExerciseEnd CallsignEnd(JournalTime ended, EndReason reason, double total, int maxWpm) {
    ExerciseEnd end;
    end.Ended = ended;
    end.Reason = reason;
    end.TotalPoints = total;
    end.MaxWpm = maxWpm;
    return end;
}

// A moment days (and seconds) before TestTime().
inline JournalTime DaysAgo(int days, int seconds = 0) {
    return TestTime(-days * 86400 + seconds);
}

using SentAndTyped = std::vector<std::pair<std::string, std::string>>;

// "K 3/1" per character: sent, then wrong.
inline std::vector<std::string> Figures(const std::vector<CharacterStat>& stats) {
    std::vector<std::string> figures;
    for (const CharacterStat& stat : stats)
        figures.push_back(stat.Character + " " + std::to_string(stat.Sent) + "/" +
                          std::to_string(stat.Wrong));
    return figures;
}

// Records and flushes a callsign exercise begun daysAgo days before
// TestTime(): the answers scored at 30 wpm, one a second, then its end.
inline void AddCallsignExercise(Journal& journal, int daysAgo, ExerciseKind kind, EndReason reason,
                                const SentAndTyped& answers, int maxWpm = 30, double points = 100) {
    ExerciseStart start = CallsignStart(DaysAgo(daysAgo));
    start.Kind = kind;
    ASSERT_TRUE(journal.BeginExercise(start));
    int number = 0;
    for (const auto& [sent, typed] : answers) {
        ++number;
        ASSERT_TRUE(journal.RecordAnswer(
            ScoredAnswer(number, sent, typed, 30, 0, DaysAgo(daysAgo, number))));
    }
    ASSERT_TRUE(journal.EndExercise(CallsignEnd(DaysAgo(daysAgo, 60), reason, points, maxWpm)));
    ASSERT_TRUE(journal.Flush());
}

// Runs body in a child process and returns its exit status (-1 when it did
// not exit by itself, the signal's number negated when one ended it).
inline int RunInChild(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    if (WIFSIGNALED(status))
        return -WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace tonvik
