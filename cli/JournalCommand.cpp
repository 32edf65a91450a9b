#include "cli/JournalCommand.h"

#include "callsign/Scoring.h"
#include "journal/IsoTime.h"
#include "journal/JournalCsv.h"
#include "journal/JournalPath.h"
#include "journal/JournalReader.h"
#include "journal/JournalStats.h"
#include "text/Cp1251.h"

#include <cstdio>
#include <ostream>

namespace tonvik {
namespace {

struct JournalArgs {
    bool Csv = false;
    bool Exercises = false;
    bool Characters = false;
    StatsPeriod Period = StatsPeriod::AllTime;
};

JournalArgs ArgsOf(const CliOptions& options) {
    JournalArgs a;
    a.Csv = options.Csv;
    a.Exercises = options.Exercises;
    a.Characters = options.Characters;
    if (options.Days == 7)
        a.Period = StatsPeriod::LastWeek;
    else if (options.Days == 30)
        a.Period = StatsPeriod::LastMonth;
    return a;
}

std::string Padded(std::string text, size_t width) {
    if (text.size() < width)
        text.insert(0, width - text.size(), ' ');
    return text;
}

std::string ExerciseLine(const ExerciseRow& row) {
    return "  " + ShortIsoTime(FormatIsoTime(row.Start.Started)) + "  " +
           Padded(std::to_string(row.RightAnswers) + "/" + std::to_string(row.Answers), 5) +
           Padded(std::to_string(row.MaxWpm), 9) + Padded(FormatPoints(row.TotalPoints), 9) + "  " +
           (row.Ended ? (row.RanToEnd() ? "all answered" : "stopped") : "stopped (cut off)") +
           (row.Reason == EndReason::NoSoundDevice ? ", no sound device" : "") + "\n";
}

void WriteSummary(const JournalReader& reader, const std::string& path, std::ostream& out) {
    const auto counts = reader.CountByKind();
    const auto count = [&](ExerciseKind kind) {
        return std::to_string(counts[static_cast<size_t>(kind)]);
    };
    out << "Journal: " << path << "\n"
        << "Exercises: " << count(ExerciseKind::Callsign) << " callsign, "
        << count(ExerciseKind::MissedCallsDrill) << " missed-calls drills, "
        << count(ExerciseKind::WeakCharactersDrill) << " weak-characters drills, "
        << count(ExerciseKind::Text) << " text, " << count(ExerciseKind::PreliminaryTest)
        << " preliminary tests\n";
    const auto last = reader.LastExercises(ExerciseKind::Callsign, 10);
    if (!last.empty()) {
        out << "Last " << last.size() << " callsign exercises (UTC):\n"
            << "  date              right  max wpm   points  end\n";
        for (const ExerciseRow& row : last)
            out << ExerciseLine(row);
    }
    if (const auto best = reader.Best(ExerciseKind::Callsign))
        out << "Best: " << ShortIsoTime(FormatIsoTime(best->Start.Started)) << ", "
            << best->RightAnswers << "/" << best->Answers << " right, " << best->MaxWpm << " wpm, "
            << FormatPoints(best->TotalPoints) << " points\n";
}

void WriteCharacters(const JournalReader& reader, StatsPeriod period, std::ostream& out) {
    const auto now = JournalClock::now();
    const char* span = period == StatsPeriod::LastWeek    ? "the last 7 days"
                       : period == StatsPeriod::LastMonth ? "the last 30 days"
                                                          : "all time";
    const auto stats = CharacterAccuracy(reader, period, now);
    if (stats.empty()) {
        out << "No callsign characters keyed in " << span << ".\n";
        return;
    }
    out << "Characters of the callsigns keyed, " << span << ", worst first:\n"
        << "  char      sent     wrong  accuracy\n";
    for (const CharacterStat& stat : stats) {
        char accuracy[32];
        std::snprintf(accuracy, sizeof accuracy, "%9.1f %%", stat.AccuracyPercent);
        out << "  " << Cp1251ToUtf8(stat.Character) << "   " << Padded(std::to_string(stat.Sent), 9)
            << " " << Padded(std::to_string(stat.Wrong), 9) << accuracy << "\n";
    }
    const auto confusions = Confusions(reader, period, now, 10);
    if (!confusions.empty())
        out << "Most frequent confusions (sent -> typed):\n";
    for (const Confusion& c : confusions)
        out << "  " << Cp1251ToUtf8(c.Sent) << " -> " << Cp1251ToUtf8(c.Typed) << ": " << c.Count
            << "\n";
}

bool Report(const JournalArgs& a, const JournalReader& reader, const std::string& path,
            std::ostream& out) {
    if (a.Csv)
        return a.Exercises ? WriteExercisesCsv(reader, out) : WriteAnswersCsv(reader, out);
    if (a.Characters)
        WriteCharacters(reader, a.Period, out);
    else
        WriteSummary(reader, path, out);
    out.flush();
    return !reader.Failed() && static_cast<bool>(out);
}

} // namespace

int RunJournal(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const JournalArgs a = ArgsOf(options);
    const std::string path =
        options.JournalPath.empty() ? DefaultJournalPath().string() : options.JournalPath;
    JournalReader reader;
    const JournalProblem problem = reader.Open(path);
    if (!problem.Ok()) {
        err << "tonvik: " << DescribeProblem(problem) << "\n";
        return 1;
    }
    if (reader.Missing() || (reader.CountByKind() == std::array<long long, ExerciseKindCount>{})) {
        // CSV stays clean for whatever reads it: the note goes to the error stream.
        (a.Csv ? err : out) << "No exercises in the journal yet (" << path << ").\n";
        return 0;
    }
    if (!Report(a, reader, path, out)) {
        err << "tonvik: journal " << path << ": "
            << (reader.Failed() ? reader.FailureText() : "the output could not be written") << "\n";
        return 1;
    }
    return 0;
}

} // namespace tonvik
