#include "cli/JournalCommand.h"

#include "callsign/Scoring.h"
#include "cli/Interrupt.h"
#include "cli/StreamOutput.h"
#include "journal/IsoTime.h"
#include "journal/JournalCsv.h"
#include "journal/JournalPath.h"
#include "journal/JournalReader.h"
#include "journal/JournalStats.h"
#include "stats/ProgressPlot.h"
#include "text/Cp1251.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
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
    // Said only once there is one, so that a journal of callsigns reads as before.
    if (counts[static_cast<size_t>(ExerciseKind::KochLesson)] +
            counts[static_cast<size_t>(ExerciseKind::Recognition)] >
        0)
        out << "Course: " << count(ExerciseKind::KochLesson) << " lessons, "
            << count(ExerciseKind::Recognition) << " recognition runs\n";
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

// The picture into a device or a pipe, as it is: nothing to replace there.
// A reader that went away ends the command quietly.
int PlotIntoStream(const std::vector<ProgressPoint>& points, const std::string& plot,
                   std::string& error) {
    std::string png;
    if (!ProgressPlotPng(points, png, error))
        return 1;
    const int failure = WriteIntoStream(plot, png);
    if (failure == EPIPE)
        return ClosedPipeStatus;
    if (failure != 0)
        error = "cannot write " + plot + ": " + std::strerror(failure);
    return failure == 0 ? 0 : 1;
}

// The picture into a file, written whole beside it and renamed over it: an
// interrupt meanwhile lets that finish, so no temporary file is left.
int PlotIntoFile(const std::vector<ProgressPoint>& points, const std::string& plot,
                 std::string& error) {
    const FinishBeforeInterrupt renamedWhole;
    return WriteProgressPlot(points, plot, error) ? 0 : 1;
}

// The progress chart as a PNG; an empty journal plots empty axes. The note
// goes to the error stream when the picture goes to a stream.
int WritePlot(const JournalReader& reader, const std::string& plot, std::ostream& standardOut,
              std::ostream& err) {
    const bool stream = PlotGoesToStream(plot);
    std::ostream& out = stream ? err : standardOut;
    const std::vector<ProgressPoint> points =
        reader.Missing() ? std::vector<ProgressPoint>{} : ProgressSeries(reader);
    std::string error = reader.Failed() ? reader.FailureText() : "";
    const int status = !error.empty() ? 1
                       : stream       ? PlotIntoStream(points, plot, error)
                                      : PlotIntoFile(points, plot, error);
    if (status == 0) {
        if (points.empty())
            out << "No finished callsign exercise in the journal yet: " << plot
                << " shows empty axes.\n";
        else
            out << "Plotted " << points.size() << " finished callsign exercises in " << plot
                << ".\n";
    } else if (status != ClosedPipeStatus) {
        err << "tonvik: journal --plot: " << error << "\n";
    }
    return status;
}

// The plot is never written over the journal it is made from, nor over the
// files SQLite keeps beside it (its log of answers not yet folded back):
// by another name or a link, or by the name SQLite will give it.
std::optional<std::string> PlotOntoJournal(const std::string& plot, const std::string& journal) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path target = fs::weakly_canonical(fs::absolute(plot, error), error);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const std::string member = journal + suffix;
        const fs::path place = fs::weakly_canonical(fs::absolute(member, error), error);
        if (fs::equivalent(plot, member, error) || (!place.empty() && place == target))
            return suffix;
    }
    return std::nullopt;
}

int ReportJournal(const JournalArgs& a, const JournalReader& reader, const std::string& path,
                  std::ostream& out, std::ostream& err) {
    const bool empty =
        reader.Missing() || reader.CountByKind() == std::array<long long, ExerciseKindCount>{};
    if (empty) // the CSV stays clean for whatever reads it: the note goes to the error stream
        (a.Csv ? err : out) << "No exercises in the journal yet (" << path << ").\n";
    // A journal not begun yet still has its columns.
    if (a.Csv && reader.Missing())
        WriteCsvHeader(a.Exercises ? ExercisesCsvHeader : AnswersCsvHeader, out);
    else if (!empty || a.Csv)
        Report(a, reader, path, out);
    if (!reader.Failed() && out)
        return 0;
    if (StandardOutputClosed(out))
        return ClosedPipeStatus;
    err << "tonvik: journal " << path << ": "
        << (reader.Failed() ? reader.FailureText() : "the output could not be written") << "\n";
    return 1;
}

} // namespace

int RunJournal(const CliOptions& options, std::ostream& out, std::ostream& err) {
    // Reading holds nothing to clean up: Ctrl-C or SIGTERM ends it in any
    // phase, an open or a wait for a lock included.
    const EndAtOnceOnInterrupt readOnly;
    const JournalArgs a = ArgsOf(options);
    const std::string path =
        options.JournalPath.empty() ? DefaultJournalPath().string() : options.JournalPath;
    if (const auto member =
            options.Plot.empty() ? std::nullopt : PlotOntoJournal(options.Plot, path)) {
        if (member->empty())
            err << "tonvik: --plot names the journal itself (" << path << ")\n";
        else
            err << "tonvik: --plot names " << path << *member
                << ", a file SQLite keeps beside the journal " << path
                << " (it may hold answers); nothing was written\n";
        return 2;
    }
    JournalReader reader;
    const JournalProblem problem = reader.Open(path);
    if (!problem.Ok()) {
        err << "tonvik: " << DescribeProblem(problem) << "\n";
        return 1;
    }
    if (!options.Plot.empty())
        return WritePlot(reader, options.Plot, out, err);
    return ReportJournal(a, reader, path, out, err);
}

} // namespace tonvik
