#include "cli/JournalCommand.h"

#include "callsign/Scoring.h"
#include "journal/IsoTime.h"
#include "journal/JournalCsv.h"
#include "journal/JournalPath.h"
#include "journal/JournalReader.h"
#include "journal/JournalStats.h"
#include "stats/ProgressPlot.h"
#include "text/Cp1251.h"

#include <cstdio>
#include <filesystem>
#include <ostream>

namespace tonvik {
namespace {

struct JournalArgs {
    bool Help = false;
    bool Csv = false;
    bool Exercises = false;
    bool Characters = false;
    StatsPeriod Period = StatsPeriod::AllTime;
    std::string Plot; // --plot: the PNG to write
    std::string Path;
    std::string Error;
};

void TakeDays(JournalArgs& a, const std::string& value) {
    if (value == "7")
        a.Period = StatsPeriod::LastWeek;
    else if (value == "30")
        a.Period = StatsPeriod::LastMonth;
    else
        a.Error = "--days takes 7 or 30, not '" + value + "'";
}

void CheckCombination(JournalArgs& a, bool daysGiven) {
    if (!a.Error.empty())
        return;
    if (a.Exercises && !a.Csv)
        a.Error = "--exercises goes with --csv";
    else if (a.Csv && a.Characters)
        a.Error = "give either --csv or --characters, not both";
    else if (!a.Plot.empty() && (a.Csv || a.Characters))
        a.Error = "--plot goes without --csv and --characters";
    else if (daysGiven && !a.Characters)
        a.Error = "--days goes with --characters";
}

JournalArgs ParseJournalArgs(const CliOptions& options) {
    JournalArgs a;
    a.Path = options.JournalPath;
    if (options.NoJournal)
        a.Error = "--no-journal leaves no journal to read";
    bool daysGiven = false;
    const auto& args = options.CommandArgs;
    for (size_t i = 0; i < args.size() && a.Error.empty(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h")
            a.Help = true;
        else if (arg == "--csv")
            a.Csv = true;
        else if (arg == "--exercises")
            a.Exercises = true;
        else if (arg == "--characters")
            a.Characters = true;
        else if ((arg == "--journal" || arg == "--days" || arg == "--plot") && !hasValue)
            a.Error = arg + " needs a value";
        else if (arg == "--journal")
            a.Path = args[++i];
        else if (arg == "--plot" && args[i + 1].empty())
            a.Error = "--plot needs a file name";
        else if (arg == "--plot")
            a.Plot = args[++i];
        else if (arg == "--days") {
            TakeDays(a, args[++i]);
            daysGiven = true;
        } else
            a.Error = "journal: unknown option '" + arg + "' (try: tonvik journal --help)";
    }
    CheckCombination(a, daysGiven);
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

// The progress chart as a PNG; an empty journal plots empty axes. The note
// goes to the error stream when the picture goes to a stream.
int WritePlot(const JournalReader& reader, const std::string& plot, std::ostream& standardOut,
              std::ostream& err) {
    std::ostream& out = PlotGoesToStream(plot) ? err : standardOut;
    const std::vector<ProgressPoint> points =
        reader.Missing() ? std::vector<ProgressPoint>{} : ProgressSeries(reader);
    std::string error = reader.Failed() ? reader.FailureText() : "";
    if (error.empty() && WriteProgressPlot(points, plot, error)) {
        if (points.empty())
            out << "No finished callsign exercise in the journal yet: " << plot
                << " shows empty axes.\n";
        else
            out << "Plotted " << points.size() << " finished callsign exercises in " << plot
                << ".\n";
        return 0;
    }
    err << "tonvik: journal --plot: " << error << "\n";
    return 1;
}

// The plot is never written over the journal it is made from.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

} // namespace

int RunJournal(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const JournalArgs a = ParseJournalArgs(options);
    if (!a.Error.empty()) {
        err << "tonvik: " << a.Error << "\n";
        return 2;
    }
    if (a.Help) {
        out << JournalUsageText();
        return 0;
    }
    const std::string path = a.Path.empty() ? DefaultJournalPath().string() : a.Path;
    if (!a.Plot.empty() && SameFile(a.Plot, path)) {
        err << "tonvik: --plot names the journal itself (" << path << ")\n";
        return 2;
    }
    JournalReader reader;
    const JournalProblem problem = reader.Open(path);
    if (!problem.Ok()) {
        err << "tonvik: " << DescribeProblem(problem) << "\n";
        return 1;
    }
    if (!a.Plot.empty())
        return WritePlot(reader, a.Plot, out, err);
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

std::string JournalUsageText() {
    return R"(Usage: tonvik journal [options]
  (no option)          a summary: exercises by kind, the last ten callsign exercises, the best
  --csv                every callsign answer as CSV (UTF-8, RFC 4180) on standard output:
                       exercise,started,own_call,number,sent,typed,right,errors,wpm,tone_hz,
                       replays,points,response_ms
  --exercises --csv    one CSV line per exercise of every kind
  --characters         per character of the callsigns: sent, wrong, accuracy, worst first,
                       and the most frequent confusions
  --days 7|30          with --characters: only the last 7 or 30 days
  --plot FILE.png      the progress chart as a 1200x700 PNG picture: the highest speed and
                       the total points of every finished callsign exercise over time (an
                       empty journal gives empty axes); no display needed
  --journal PATH       another journal file (default $XDG_DATA_HOME/tonvik/journal.sqlite,
                       ~/.local/share/tonvik/journal.sqlite)
)";
}

} // namespace tonvik
