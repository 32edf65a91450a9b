// The statistics window on a long history: fills a journal with 10,000
// callsign exercises of 30 answers over a year (the journal measure's
// history), then times, over several runs, opening the window (construct,
// show, the first page laid out and painted) and each page switch and period
// change with its paint; prints the median and the worst of each. Run by hand:
//   build/bin/stats_window_measure [--exercises N] [--days D] [--journal PATH]
//                                  [--hours H] [--runs N] [--show PAGE [--least]]
//                                  [--conditions PERCENT] [--course N] [--source N]
// --journal PATH keeps the journal there and reuses it when it exists already;
// --conditions PERCENT hears that share of the callsign exercises through band
// presets; --course N adds a lesson and a recognition run after every N-th;
// --source N picks the characters page's source (0 callsigns .. 3 all);
// --show PAGE (0 to 4) skips the timing and shows the window on that page
// until it is closed, for screenshots (--least: at its least size). --hours H
// puts the exercises within the last H hours (one day of practice). Without a display it runs on
// Qt's offscreen platform.

#include "callsign/CallsignList.h"
#include "stats/StatsForm.h"
#include "tests/support/JournalHistory.h"

#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QTabWidget>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace tonvik;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Options {
    HistoryShape Shape;
    fs::path Journal;
    int Runs = 7;
    int ShowPage = -1;
    bool Least = false;
    int Source = 0;
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--least") {
            o.Least = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        if (arg == "--exercises")
            o.Shape.Exercises = std::max(1, std::atoi(value));
        else if (arg == "--days")
            o.Shape.Span = std::chrono::hours(24 * std::max(1, std::atoi(value)));
        else if (arg == "--hours")
            o.Shape.Span = std::chrono::hours(std::max(1, std::atoi(value)));
        else if (arg == "--journal")
            o.Journal = value;
        else if (arg == "--conditions")
            o.Shape.UnderConditionsPercent = std::clamp(std::atoi(value), 0, 100);
        else if (arg == "--source")
            o.Source = std::clamp(std::atoi(value), 0, 3);
        else if (arg == "--course")
            o.Shape.CourseEvery = std::max(0, std::atoi(value));
        else if (arg == "--runs")
            o.Runs = std::max(1, std::atoi(value));
        else if (arg == "--show")
            o.ShowPage = std::clamp(std::atoi(value), 0, TStatsForm::PageCount - 1);
        else
            return false;
    }
    return true;
}

// Fills the journal in /dev/shm, where a commit costs no fsync, then moves it
// to path; an existing journal given with --journal is used as it is.
bool PrepareJournal(const Options& o, const fs::path& path) {
    if (!o.Journal.empty() && fs::exists(path)) {
        std::printf("using %s as it is\n", path.c_str());
        return true;
    }
    const CallsignList list = CallsignList::Load(TONVIK_MASTER_PED);
    if (!list.Ok())
        return false;
    const fs::path scratch = fs::path("/dev/shm") / ("tonvik-stats-" + std::to_string(getpid()));
    const auto t0 = Clock::now();
    if (!FillJournalHistory(scratch, list, o.Shape))
        return false;
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(path.string() + suffix);
    fs::copy_file(scratch, path);
    fs::remove(scratch);
    std::printf("filled %s: %d exercises x %d answers in %.1f s, %.1f MB\n", path.c_str(),
                o.Shape.Exercises, o.Shape.AnswersEach, Ms(Clock::now() - t0) / 1000,
                static_cast<double>(fs::file_size(path)) / 1e6);
    return true;
}

// Runs what a step posted (the layout, the rows a table fetches), then paints
// the whole window at once, as the screen would show it.
void Settle(QWidget& window) {
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
}

// The processor time of this process: on a machine shared with other work
// it shows what a step costs, where the wall time also shows the waiting.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Cost {
    double Wall = 0;
    double Cpu = 0;
};

Cost Timed(const std::function<void()>& step) {
    const auto t0 = Clock::now();
    const double cpu0 = CpuMs();
    step();
    return {Ms(Clock::now() - t0), CpuMs() - cpu0};
}

std::pair<double, double> MedianAndMax(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t.back()};
}

void Report(const std::map<std::string, std::vector<Cost>>& times,
            const std::vector<std::string>& order) {
    std::printf("  %-40s %20s %20s\n", "", "wall: median   max", "CPU: median   max");
    for (const std::string& what : order) {
        std::vector<double> wall, cpu;
        for (const Cost& cost : times.at(what)) {
            wall.push_back(cost.Wall);
            cpu.push_back(cost.Cpu);
        }
        const auto [wallMedian, wallMax] = MedianAndMax(wall);
        const auto [cpuMedian, cpuMax] = MedianAndMax(cpu);
        std::printf("  %-40s %8.1f %8.1f ms  %8.1f %8.1f ms\n", what.c_str(), wallMedian, wallMax,
                    cpuMedian, cpuMax);
    }
    std::printf("  (%zu runs; targets: open under 300 ms, a switch under 100 ms)\n",
                times.at(order[0]).size());
}

void Measure(const fs::path& path, int runs) {
    std::map<std::string, std::vector<Cost>> times;
    const std::vector<std::string> order{"open (construct, show, progress painted)",
                                         "switch to characters",
                                         "characters: 7 days",
                                         "characters: 30 days",
                                         "characters: all time",
                                         "characters: recognition, with reactions",
                                         "characters: everything, clean band",
                                         "switch to errors",
                                         "switch to drills",
                                         "switch to course",
                                         "switch back to progress (read already)",
                                         "progress: under conditions only"};
    for (int run = 0; run < runs; ++run) {
        std::unique_ptr<TStatsForm> form;
        times[order[0]].push_back(Timed([&] {
            form = std::make_unique<TStatsForm>(nullptr);
            form->SetJournalFile(path);
            form->show();
            Settle(*form);
        }));
        auto* tabs = form->findChild<QTabWidget*>("StatsTabs");
        const auto step = [&](const std::string& what, const std::function<void()>& action) {
            times[what].push_back(Timed([&] {
                action();
                Settle(*form);
            }));
        };
        step(order[1], [&] { tabs->setCurrentIndex(TStatsForm::CharactersPage); });
        step(order[2], [&] { form->findChild<QRadioButton*>("PeriodWeekBut")->setChecked(true); });
        step(order[3], [&] { form->findChild<QRadioButton*>("PeriodMonthBut")->setChecked(true); });
        step(order[4], [&] { form->findChild<QRadioButton*>("PeriodAllBut")->setChecked(true); });
        const auto choose = [&](const char* box, int index) {
            form->findChild<QComboBox*>(box)->setCurrentIndex(index);
        };
        step(order[5], [&] { choose("CharactersSourceBox", 2); });
        step(order[6], [&] {
            choose("CharactersSourceBox", 3);
            choose("CharactersConditionsBox", 1);
        });
        step(order[7], [&] { tabs->setCurrentIndex(TStatsForm::ErrorsPage); });
        step(order[8], [&] { tabs->setCurrentIndex(TStatsForm::DrillsPage); });
        step(order[9], [&] { tabs->setCurrentIndex(TStatsForm::CoursePage); });
        step(order[10], [&] { tabs->setCurrentIndex(TStatsForm::ProgressPage); });
        step(order[11], [&] { choose("ProgressConditionsBox", 2); });
        form->hide();
    }
    std::printf("The statistics window on %s (%s platform):\n", path.c_str(),
                qPrintable(QGuiApplication::platformName()));
    Report(times, order);
}

bool DisplayAvailable() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr, "usage: stats_window_measure [--exercises N] [--days D] "
                             "[--journal PATH] [--hours H] [--runs N] [--show PAGE [--least]] "
                             "[--conditions PERCENT] [--course N] [--source N]\n");
        return 2;
    }
    if (!DisplayAvailable())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const fs::path path =
        o.Journal.empty() ? fs::temp_directory_path() / "tonvik-stats-history.sqlite" : o.Journal;
    if (!PrepareJournal(o, path)) {
        std::fprintf(stderr, "filling %s failed\n", path.c_str());
        return 1;
    }
    if (o.ShowPage >= 0) {
        TStatsForm form(nullptr);
        form.SetJournalFile(path);
        form.findChild<QTabWidget*>("StatsTabs")->setCurrentIndex(o.ShowPage);
        form.findChild<QComboBox*>("CharactersSourceBox")->setCurrentIndex(o.Source);
        if (o.Least)
            form.resize(form.minimumSizeHint());
        return form.exec() >= 0 ? 0 : 1;
    }
    Measure(path, o.Runs);
    return 0;
}
