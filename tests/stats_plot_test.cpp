// tonvik journal --plot, run as the program itself with no display at all:
// the picture of the expected size, the empty journal, and write failures
// that exit 1 and leave nothing behind.
#include "tests/support/JournalTestSupport.h"

#include <QColor>
#include <QImage>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

class PlotCommand : public JournalTest {
protected:
    // Runs tonvik with args, without DISPLAY, WAYLAND_DISPLAY and
    // QT_QPA_PLATFORM; fileLimit caps the size of any file it writes. Its
    // standard output is a pipe, as to a program that reads a picture.
    CommandRun Tonvik(const std::vector<std::string>& args, rlim_t fileLimit = RLIM_INFINITY) {
        const fs::path err = Folder / "stderr";
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return {};
        const pid_t child = fork();
        if (child == 0) {
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                unsetenv(name);
            // Qt warns on its standard error without a runtime folder.
            setenv("XDG_RUNTIME_DIR", Folder.c_str(), 1);
            if (dup2(pipeEnds[1], 1) < 0 || !freopen(err.c_str(), "w", stderr))
                _exit(126);
            close(pipeEnds[0]);
            close(pipeEnds[1]);
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileLimit, fileLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::vector<char*> argv{const_cast<char*>(TONVIK_EXECUTABLE)};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(TONVIK_EXECUTABLE, argv.data());
            _exit(127);
        }
        close(pipeEnds[1]);
        CommandRun run;
        char buffer[4096];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            run.Out.append(buffer, static_cast<size_t>(n));
        close(pipeEnds[0]);
        int status = 0;
        if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
            run.Status = WEXITSTATUS(status);
        run.Err = ReadFileBytes(err);
        fs::remove(err);
        return run;
    }

    std::vector<std::string> Plot(const fs::path& png) {
        return {"journal", "--journal", Path.string(), "--plot", png.string()};
    }

    void Prepare() {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        for (int n = 0; n < 3; ++n) {
            ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime(n * 86400))));
            ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30 + n)));
            ASSERT_TRUE(journal.EndExercise(
                CallsignEnd(TestTime(n * 86400 + 60), EndReason::Completed, 540 + n, 32 + n)));
        }
        ASSERT_TRUE(journal.Flush());
    }

    // The files of a folder but the journal's.
    std::set<std::string> FilesIn(const fs::path& folder) const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().rfind("journal.sqlite", 0) != 0)
                names.insert(entry.path().filename().string());
        return names;
    }
};

// The columns of the picture's middle (inside the axes and above the legend)
// where a colour shows: by default the speed line's red.
std::vector<int> SpeedColumns(const QImage& image, const std::function<bool(QColor)>& is = {}) {
    std::vector<int> columns;
    for (int x = image.width() * 15 / 100; x < image.width() * 85 / 100; ++x)
        for (int y = image.height() * 12 / 100; y < image.height() * 75 / 100; ++y) {
            const QColor c = image.pixelColor(x, y);
            if (is ? is(c) : c.red() > 150 && c.green() < 90 && c.blue() < 90) {
                columns.push_back(x);
                break;
            }
        }
    return columns;
}

// The orange of the speed under band conditions.
bool Orange(QColor c) {
    return c.red() > 180 && c.green() > 80 && c.green() < 160 && c.blue() < 60;
}

int Colours(const QImage& image) {
    std::set<QRgb> seen;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            seen.insert(image.pixel(x, y));
    return static_cast<int>(seen.size());
}

} // namespace

TEST_F(PlotCommand, DrawsTheProgressWithoutADisplay) {
    Prepare();
    const fs::path png = Folder / "progress.png";
    const CommandRun run = Tonvik(Plot(png));
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "Plotted 3 finished callsign exercises in " + png.string() + ".\n");
    EXPECT_EQ(run.Err, "");
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
    EXPECT_EQ(image.size(), QSize(1200, 700));
    // Lines, axes and words in their colours, not a blank picture.
    EXPECT_GT(Colours(image), 20);
    EXPECT_EQ(FilesIn(Folder / "tonvik"), std::set<std::string>{});
    EXPECT_EQ(FilesIn(Folder), (std::set<std::string>{"progress.png", "tonvik"}));
}

TEST_F(PlotCommand, AnEmptyOrMissingJournalPlotsEmptyAxes) {
    const fs::path png = Folder / "empty.png";
    const CommandRun run = Tonvik(Plot(png));
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "No finished callsign exercise in the journal yet: " + png.string() +
                           " shows empty axes.\n");
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
    EXPECT_EQ(image.size(), QSize(1200, 700));
    // Reading made no journal.
    EXPECT_FALSE(fs::exists(Path));
}

TEST_F(PlotCommand, AFailedWriteExitsOneAndLeavesNothing) {
    Prepare();
    // A folder that does not exist.
    const CommandRun missing = Tonvik(Plot(Folder / "no such folder" / "p.png"));
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err.rfind("tonvik: journal --plot: cannot write ", 0), 0u) << missing.Err;
    EXPECT_FALSE(fs::exists(Folder / "no such folder"));
    // A folder where the file should be.
    fs::create_directories(Folder / "taken.png");
    EXPECT_EQ(Tonvik(Plot(Folder / "taken.png")).Status, 1);
    EXPECT_TRUE(fs::is_directory(Folder / "taken.png"));
    // A disk that fills up halfway: the picture before stays as it was. The
    // journal is held open here, so that reading it writes nothing.
    Journal holder;
    ASSERT_TRUE(holder.Open(Path).Ok());
    const fs::path png = Folder / "kept.png";
    WriteFileBytes(png, "the user's picture");
    const CommandRun full = Tonvik(Plot(png), 4096);
    EXPECT_EQ(full.Status, 1) << full.Out;
    EXPECT_NE(full.Err.find("cannot write " + png.string()), std::string::npos) << full.Err;
    EXPECT_EQ(ReadFileBytes(png), "the user's picture");
    EXPECT_EQ(FilesIn(Folder), (std::set<std::string>{"kept.png", "taken.png", "tonvik"}));
    // A device that takes nothing is written into, never replaced.
    const CommandRun device = Tonvik(Plot("/dev/full"));
    EXPECT_EQ(device.Status, 1);
    EXPECT_NE(device.Err.find("cannot write /dev/full: "), std::string::npos) << device.Err;
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(PlotCommand, ToStandardOutputThePictureAloneGoesThere) {
    Prepare();
    const CommandRun run = Tonvik(Plot("/dev/stdout"));
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "Plotted 3 finished callsign exercises in /dev/stdout.\n");
    QImage image;
    ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(run.Out.data()),
                                   static_cast<int>(run.Out.size()), "PNG"));
    EXPECT_EQ(image.size(), QSize(1200, 700));
}

TEST_F(PlotCommand, BadOptionsAndTheJournalItselfAreRefused) {
    Prepare();
    const std::string journalBytes = ReadFileBytes(Path);
    const CommandRun self = Tonvik(Plot(Path));
    EXPECT_EQ(self.Status, 2);
    EXPECT_EQ(self.Err, "tonvik: --plot names the journal itself (" + Path.string() + ")\n");
    EXPECT_EQ(ReadFileBytes(Path), journalBytes);
    for (const auto& [args, line] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"journal", "--plot"}, "--plot needs a value"},
             {{"journal", "--plot", ""}, "--plot needs a file name"},
             {{"journal", "--plot", "p.png", "--csv"},
              "--plot goes without --csv and --characters"},
             {{"journal", "--characters", "--plot", "p.png"},
              "--plot goes without --csv and --characters"},
             {{"journal", "--plot", "p.png", "--days", "7"}, "--days goes with --characters"}}) {
        const CommandRun run = Tonvik(args);
        EXPECT_EQ(run.Status, 2) << line;
        EXPECT_EQ(run.Err, "tonvik: " + line + "\n");
    }
    EXPECT_FALSE(fs::exists("p.png"));
}

TEST_F(PlotCommand, OneExerciseAndADayOfThemShowEachExercise) {
    // One exercise alone, then eleven more the same day, 40 minutes apart.
    for (const int count : {1, 12}) {
        std::filesystem::remove_all(Path.parent_path());
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        for (int n = 0; n < count; ++n) {
            ASSERT_TRUE(journal.BeginExercise(CallsignStart(TestTime(-8 * 3600 + n * 2400))));
            ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
            ASSERT_TRUE(journal.EndExercise(CallsignEnd(TestTime(-8 * 3600 + n * 2400 + 60),
                                                        EndReason::Completed, 540, 30 + n)));
        }
        journal.Close();
        const fs::path png = Folder / "day.png";
        const CommandRun run = Tonvik(Plot(png));
        ASSERT_EQ(run.Status, 0) << run.Err;
        QImage image;
        ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
        const std::vector<int> red = SpeedColumns(image);
        // A marker for the one; the day's spread over half the width at least.
        ASSERT_FALSE(red.empty()) << count;
        if (count == 1) {
            EXPECT_GE(red.size(), 4u);
        } else {
            EXPECT_GT(red.back() - red.front(), image.width() / 2)
                << red.front() << " " << red.back();
        }
    }
}

TEST_F(PlotCommand, CleanExercisesAndThoseUnderConditionsAreLinesOfTheirOwn) {
    // Clean and "contest" in turn, a day apart; then clean ones alone.
    for (const bool mixed : {true, false}) {
        std::filesystem::remove_all(Path.parent_path());
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        for (int n = 0; n < 6; ++n) {
            ExerciseStart start = CallsignStart(TestTime(-6 * 86400 + n * 86400));
            if (mixed && n % 2 == 1)
                start.Conditions = "contest";
            ASSERT_TRUE(journal.BeginExercise(start));
            ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, "UA3ABC", "UA3ABC", 30)));
            ASSERT_TRUE(journal.EndExercise(CallsignEnd(TestTime(-6 * 86400 + n * 86400 + 60),
                                                        EndReason::Completed, 540, 30 + n)));
        }
        journal.Close();
        const fs::path png = Folder / "bands.png";
        const CommandRun run = Tonvik(Plot(png));
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, "Plotted 6 finished callsign exercises in " + png.string() + ".\n");
        QImage image;
        ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
        const std::vector<int> red = SpeedColumns(image), orange = SpeedColumns(image, Orange);
        ASSERT_FALSE(red.empty()) << mixed;
        // Each band's line runs from its first exercise to its last.
        EXPECT_GT(red.back() - red.front(), image.width() / 2) << mixed;
        if (mixed) {
            ASSERT_FALSE(orange.empty());
            EXPECT_GT(orange.back() - orange.front(), image.width() / 2);
        } else {
            EXPECT_TRUE(orange.empty()) << orange.size();
        }
    }
}
