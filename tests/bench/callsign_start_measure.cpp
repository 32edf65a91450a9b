// Enter -> first tone of the next callsign, measured at the sound server, and
// the window's CPU while it keys: the real window (offscreen) on the window's
// own sound devices runs callsign exercises driven through its widgets,
// while this program records the sink's monitor and stamps the first tone at
// the pitch after each Enter. Three exercises in one run: a clean band, the
// band of TONVIK_BAND (a band's short text; default "snr=20 bw=500", noise
// that still lets every onset be told), and the «contest» preset, whose
// other stations hide the onsets, for its CPU alone.
//
// Run: QT_QPA_PLATFORM=offscreen callsign_start_measure [ANSWERS [clean]]
//   (clean: the clean exercise alone)
//   with a server whose monitor source is TONVIK_MONITOR (default
//   morse.monitor); TONVIK_LATENCY_MS and SDL_AUDIODRIVER choose the device
//   as they do for the window.
#include "app/MainForm.h"
#include "app/MessageService.h"
#include "app/SoundDevice.h"
#include "tests/support/MessageRecorder.h"

#include <pulse/simple.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace tonvik;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

constexpr double PitchHz = 800;
constexpr int Block = 40; // 5 ms

// The power of one block at the pitch (Goertzel), a tone's being its
// amplitude squared over 4.
double PitchPower(const int16_t* x) {
    const double k = 2 * std::cos(2 * M_PI * PitchHz / 8000);
    double s1 = 0, s2 = 0;
    for (int n = 0; n < Block; ++n) {
        const double s0 = x[n] + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - k * s1 * s2) / (Block * Block);
}

// Records the monitor in 10 ms reads and notes when each tone at the pitch
// after a quiet began to play at the server, from its place in the
// recording (at most one server block, 20 ms, early: onsets up to 50 ms
// before Enter, while the pitch has been quiet for 250 ms, are the new
// callsign's). A block is tone when its power at the pitch is over an
// amplitude of 300 and 30 times the lowest third of the last two seconds'
// (the noise there: about 10 times its mean, which noise alone passes once
// in 20000 blocks).
class MonitorWatch {
public:
    bool Start(const char* source) {
        const pa_sample_spec spec{PA_SAMPLE_S16LE, 8000, 1};
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = 160;
        int error = 0;
        Stream = pa_simple_new(nullptr, "tonvik measure", PA_STREAM_RECORD, source, "monitor",
                               &spec, nullptr, &attr, &error);
        if (Stream == nullptr)
            return false;
        Reader = std::thread([this] { Run(); });
        return true;
    }
    ~MonitorWatch() {
        Stop = true;
        if (Reader.joinable())
            Reader.join();
        if (Stream != nullptr)
            pa_simple_free(Stream);
    }
    // The first onset after `after`, waiting up to `timeout`.
    std::optional<Clock::time_point> OnsetAfter(Clock::time_point after,
                                                std::chrono::milliseconds timeout) {
        std::unique_lock lock(Mutex);
        std::optional<Clock::time_point> found;
        Changed.wait_for(lock, timeout, [&] {
            for (const auto& onset : Onsets)
                if (onset > after)
                    return bool(found = onset);
            return false;
        });
        return found;
    }
    // How long the pitch has been quiet.
    Clock::duration Silent() {
        std::lock_guard lock(Mutex);
        return Clock::now() - LastTone;
    }

private:
    void Run() {
        int16_t chunk[80];
        int error = 0;
        int64_t quietBlocks = 1000;
        std::vector<double> recent(400, 0.0); // block powers, a ring
        std::size_t next = 0;
        int64_t read = 0; // samples since the recording began
        std::optional<Clock::time_point> origin;
        while (!Stop) {
            if (pa_simple_read(Stream, chunk, sizeof chunk, &error) < 0)
                return;
            const Clock::time_point now = Clock::now();
            read += 80;
            // The monitor runs without a break, so sample k plays at origin
            // + k/8000. A read returns no sooner than its samples' block has
            // begun to play: the earliest return, less its samples, gives
            // the origin (at most one server block early), whatever the
            // delays of this thread.
            const Clock::time_point candidate = now - SampleTime(read);
            if (!origin || candidate < *origin)
                origin = candidate;
            std::lock_guard lock(Mutex);
            for (int b = 0; b < 80; b += Block) {
                const double power = PitchPower(chunk + b);
                recent[next] = power;
                next = (next + 1) % recent.size();
                std::vector<double> sorted = recent;
                std::nth_element(sorted.begin(), sorted.begin() + 133, sorted.end());
                if (power < std::max(300.0 * 300 / 4, 30 * sorted[133])) {
                    ++quietBlocks;
                    continue;
                }
                const Clock::time_point at = *origin + SampleTime(read - 80 + b);
                if (quietBlocks >= 30) // 150 ms: a new callsign, not the next element
                    Onsets.push_back(at);
                quietBlocks = 0;
                LastTone = at;
            }
            Changed.notify_all();
        }
    }

    static Clock::duration SampleTime(int64_t samples) {
        return std::chrono::microseconds(samples * 125);
    }

    pa_simple* Stream = nullptr;
    std::thread Reader;
    std::atomic<bool> Stop{false};
    std::mutex Mutex;
    std::condition_variable Changed;
    std::vector<Clock::time_point> Onsets;
    Clock::time_point LastTone = Clock::now();
};

// The threads of this process but its main one, by id.
std::vector<std::string> OtherThreads() {
    std::vector<std::string> ids;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        if (task.path().filename() != std::to_string(getpid()))
            ids.push_back(task.path().filename());
    return ids;
}

// CPU time of one thread of this process, from the kernel's ticks.
double ThreadCpuMs(const std::string& id) {
    std::FILE* in = std::fopen(("/proc/self/task/" + id + "/stat").c_str(), "r");
    if (in == nullptr)
        return 0;
    char line[1024] = {};
    const std::size_t got = std::fread(line, 1, sizeof line - 1, in);
    std::fclose(in);
    line[got] = 0;
    // Fields 14 and 15, user and system ticks, after the name in parentheses.
    const char* rest = std::strrchr(line, ')');
    unsigned long user = 0, system = 0;
    if (rest == nullptr ||
        std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
                    &system) != 2)
        return 0;
    return (user + system) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The window's CPU: the process's, less the threads that record the
// monitor (those that were there before the window was made).
class WindowCpu {
public:
    void LeaveOut(std::vector<std::string> threads) { Recorder = std::move(threads); }
    double Ms() const {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        double ms = t.tv_sec * 1e3 + t.tv_nsec / 1e6;
        for (const std::string& id : Recorder)
            ms -= ThreadCpuMs(id);
        return ms;
    }

private:
    std::vector<std::string> Recorder;
};

template <class T> T* Control(TMorseMain& window, const char* name) {
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) {
        std::printf("no control %s\n", name);
        std::exit(1);
    }
    return control;
}

// Handles events until done() holds or the timeout passes.
// (checked every 20 ms from the event loop: the wait itself costs next to
// no CPU, which is measured).
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    check.start(20);
    loop.exec();
    return done();
}

// Keeps a band's short text where the window reads its kept choice.
void UseBand(TMorseMain& window, const std::string& band) {
    const auto file = std::filesystem::temp_directory_path() / "tonvik-measure-band.txt";
    if (std::FILE* out = std::fopen(file.c_str(), "w"); out != nullptr) {
        std::fprintf(out, "%s\n", band.c_str());
        std::fclose(out);
    }
    window.SetBandSettingsFile(file);
}

struct Phase {
    std::string Band;
    bool Onsets = true; // false: the other stations hide them; CPU alone
};

struct PhaseResult {
    std::vector<double> Latencies;
    double CpuPercent = 0;
};

// One exercise of `answers` callsigns, each answered 300..700 ms after its
// keying has played out; false when the window stops answering.
bool RunPhase(TMorseMain& window, MonitorWatch& monitor, const WindowCpu& cpu, const Phase& phase,
              int answers, PhaseResult& result) {
    UseBand(window, phase.Band);
    QTest::mouseClick(Control<QToolButton>(window, "StartBut"), Qt::LeftButton);
    const double cpu0 = cpu.Ms();
    const Clock::time_point t0 = Clock::now();
    auto* input = Control<QLineEdit>(window, "Input");
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> think(300, 700);
    for (int n = 0; n < answers; ++n) {
        // The pause, and the keying played out at the server.
        const auto keyed = [&] {
            return window.Exercise().State().AwaitingAnswer &&
                   window.Exercise().WaveOutPump().WaveDevice() == 0;
        };
        if (!PumpUntil(keyed, 30s) ||
            (phase.Onsets && !PumpUntil([&] { return monitor.Silent() > 250ms; }, 5s))) {
            std::printf("no pause for the answer after callsign %d\n", n + 1);
            return false;
        }
        PumpUntil([] { return false; },
                  std::chrono::milliseconds(think(random) + (phase.Onsets ? 0 : 400)));
        QTest::keyClicks(input, "DL1ABC");
        const Clock::time_point enter = Clock::now();
        QTest::keyClick(input, Qt::Key_Return);
        if (!phase.Onsets)
            continue;
        std::optional<Clock::time_point> onset;
        PumpUntil([&] { return bool(onset = monitor.OnsetAfter(enter - 50ms, 0ms)); }, 5s);
        if (!onset) {
            std::printf("no tone within 5 s of Enter %d\n", n + 1);
            return false;
        }
        result.Latencies.push_back(Ms(*onset - enter));
    }
    const double wall = Ms(Clock::now() - t0);
    result.CpuPercent = 100 * (cpu.Ms() - cpu0) / wall;
    QTest::mouseClick(Control<QToolButton>(window, "StopBut"), Qt::LeftButton);
    PumpUntil([] { return false; }, 1s);
    return true;
}

void Report(const Phase& phase, PhaseResult& result) {
    std::printf("%-16s CPU %.2f %% of one core", phase.Band.c_str(), result.CpuPercent);
    std::vector<double>& l = result.Latencies;
    if (!l.empty()) {
        std::sort(l.begin(), l.end());
        std::printf(";  Enter -> first tone, %zu answers: min %.0f  median %.0f  max %.0f ms",
                    l.size(), l.front(), l[l.size() / 2], l.back());
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int answers = argc > 1 ? std::max(1, std::min(29, std::atoi(argv[1]))) : 25;
    const char* source = std::getenv("TONVIK_MONITOR");
    MonitorWatch monitor;
    if (!monitor.Start(source != nullptr ? source : "morse.monitor")) {
        std::printf("cannot record the monitor\n");
        return 1;
    }
    WindowCpu cpu;
    cpu.LeaveOut(OtherThreads());
    const auto device = CreateSoundDevice();
    const auto bandDevice = CreateBandDevice();
    MessageRecorder messages;
    TMorseMain window(*device, messages);
    window.SetBandDevice(*bandDevice);
    window.show();
    QTest::keyClicks(Control<QLineEdit>(window, "CallEdit"), "UA3TST");
    Control<QSlider>(window, "PitchTrackBar")->setValue(static_cast<int>(PitchHz / 100));
    Control<QCheckBox>(window, "ToneBox")->setChecked(true);
    Control<QCheckBox>(window, "SpeedBox")->setChecked(true);
    const char* band = std::getenv("TONVIK_BAND");
    std::vector<Phase> phases{
        {"clean"}, {band != nullptr ? band : "snr=20 bw=500"}, {"contest", false}};
    if (argc > 2 && std::string(argv[2]) == "clean")
        phases.resize(1);
    for (const Phase& phase : phases) {
        PhaseResult result;
        if (!RunPhase(window, monitor, cpu, phase, answers, result)) {
            for (const auto& message : messages.Messages)
                std::printf("  message shown: %s\n", message.Text.toUtf8().constData());
            return 1;
        }
        Report(phase, result);
    }
    return 0;
}
