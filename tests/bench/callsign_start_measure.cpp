// Enter -> first tone of the next callsign, measured at the sound server: the
// real window (offscreen) on the window's own sound device runs a callsign
// exercise driven through its widgets, while this program records the sink's
// monitor and stamps the first tone after each Enter.
//
// Run: QT_QPA_PLATFORM=offscreen callsign_start_measure [ANSWERS]
//   with a server whose monitor source is TONVIK_MONITOR (default
//   morse.monitor); TONVIK_LATENCY_MS and SDL_AUDIODRIVER choose the device
//   as they do for the window. TONVIK_BAND (a band's short text, such as
//   "bw=500 qsb=0.5 flutter=20") hears the exercise through that band: one
//   that adds nothing between callsigns, so that the onsets stay ours.
#include "app/MainForm.h"
#include "app/MessageService.h"
#include "app/SoundDevice.h"
#include "tests/support/MessageRecorder.h"

#include <pulse/simple.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <vector>

using namespace tonvik;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Records the monitor in 10 ms reads and notes when each tone after a
// silence began to play at the server, from its place in the recording
// (at most one server block, 20 ms, early: onsets up to 50 ms before Enter,
// while the monitor has been silent for 250 ms, are the new callsign's).
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
    // How long the monitor has been silent.
    Clock::duration Silent() {
        std::lock_guard lock(Mutex);
        return Clock::now() - LastSound;
    }

private:
    void Run() {
        int16_t chunk[80];
        int error = 0;
        int64_t silentSamples = 8000;
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
            for (int n = 0; n < 80; ++n) {
                if (chunk[n] == 0) {
                    ++silentSamples;
                    continue;
                }
                const Clock::time_point at = *origin + SampleTime(read - 80 + n);
                if (silentSamples >= 1200) // 150 ms: a new callsign, not the next element
                    Onsets.push_back(at);
                silentSamples = 0;
                LastSound = at;
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
    Clock::time_point LastSound = Clock::now();
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
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const Clock::time_point end = Clock::now() + timeout;
    while (!done() && Clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
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
    const auto device = CreateSoundDevice();
    MessageRecorder messages;
    TMorseMain window(*device, messages);
    if (const char* band = std::getenv("TONVIK_BAND"); band != nullptr) {
        const auto file = std::filesystem::temp_directory_path() / "tonvik-measure-band.txt";
        std::FILE* out = std::fopen(file.c_str(), "w");
        if (out != nullptr) {
            std::fprintf(out, "%s\n", band);
            std::fclose(out);
        }
        window.SetBandSettingsFile(file);
        std::printf("band: %s\n", band);
    }
    window.show();
    QTest::keyClicks(Control<QLineEdit>(window, "CallEdit"), "UA3TST");
    QTest::mouseClick(Control<QToolButton>(window, "StartBut"), Qt::LeftButton);

    auto* input = Control<QLineEdit>(window, "Input");
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> think(300, 700);
    std::vector<double> latencies;
    for (int n = 0; n < answers; ++n) {
        // The pause, and the server silent: the callsign has played out.
        if (!PumpUntil(
                [&] {
                    return window.Exercise().State().AwaitingAnswer && monitor.Silent() > 250ms;
                },
                30s)) {
            std::printf("no pause for the answer after callsign %d\n", n + 1);
            return 1;
        }
        PumpUntil([] { return false; }, std::chrono::milliseconds(think(random)));
        QTest::keyClicks(input, "DL1ABC");
        const Clock::time_point enter = Clock::now();
        QTest::keyClick(input, Qt::Key_Return);
        std::optional<Clock::time_point> onset;
        PumpUntil([&] { return bool(onset = monitor.OnsetAfter(enter - 50ms, 0ms)); }, 5s);
        if (!onset) {
            std::printf("no tone within 5 s of Enter %d\n", n + 1);
            for (const auto& message : messages.Messages)
                std::printf("  message shown: %s\n", message.Text.toUtf8().constData());
            return 1;
        }
        latencies.push_back(Ms(*onset - enter));
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf(
        "Enter -> first tone at the server, %zu answers: min %.0f  median %.0f  max %.0f ms\n",
        latencies.size(), latencies.front(), latencies[latencies.size() / 2], latencies.back());
    return 0;
}
