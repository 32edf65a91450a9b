// Measures the SDL waveform device: how soon a logical opening reaches the
// sound, what opening, resetting and closing cost the calling thread, and what
// the process spends while idle before and after the device is released.
//
//   sound_measure                              SDL's dummy and disk drivers, and
//                                              the sound server's stream if one answers
//   SDL_AUDIODRIVER=pulseaudio sound_measure   SDL through a real sound server
//
// The stream completes a buffer once the server holds it, 400 ms ahead of
// its sound: its start latency is measured at the server, through the
// window, by callsign_start_measure.

#include "keying/PulseWaveOut.h"
#include "keying/SdlWaveOut.h"
#include "tests/support/TestWaveOut.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace tonvik;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A Done is posted inside SDL's audio callback, in the same call that hands
// the buffer's samples over: its stamp is when the sound reached the device.
using StampingNotifier = WaitingNotifier;

struct Stats {
    double Min = 0, Mean = 0, Median = 0, Max = 0;
};

Stats Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    Stats stats;
    stats.Min = values.front();
    stats.Max = values.back();
    stats.Median = values[values.size() / 2];
    stats.Mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    return stats;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

using Sound = SoundBuffer;

// Open, then at once a buffer shorter than one period: its Done is posted by
// the first callback that takes its samples. Returns ms from Open to that.
double OpenToFirstSample(HeldWaveOut& out, StampingNotifier& notes, Sound& sound) {
    WaveHandle device = 0;
    notes.Clear();
    const Clock::time_point start = Clock::now();
    if (out.Open(&device, PcmFormat8k16Mono(), &notes) != MmNoError) {
        std::printf("open failed: %s\n", out.LastError().c_str());
        std::exit(1);
    }
    out.PrepareHeader(device, &sound.Header);
    out.Write(device, &sound.Header);
    const auto done = notes.WaitFor(WaveMessage::Done, 2000ms);
    out.Close(device);
    out.UnprepareHeader(device, &sound.Header);
    if (!done || done->Header != &sound.Header) {
        std::printf("no completion within 2 s\n");
        std::exit(1);
    }
    return Ms(done->At - start);
}

void MeasureLatency(HeldWaveOut& out, StampingNotifier& notes) {
    Sound sound(96);
    std::printf("(a) Open to first sample handed to the device (target <= 24 ms)\n");
    std::printf("    first open, device started: %.2f ms\n", OpenToFirstSample(out, notes, sound));
    // Openings fall evenly over every phase of a 24 or 32 ms period, as a user's would.
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> phase(0, 96000);
    std::vector<double> latencies;
    for (int n = 0; n < 60; ++n) {
        std::this_thread::sleep_for(std::chrono::microseconds(phase(random)));
        latencies.push_back(OpenToFirstSample(out, notes, sound));
    }
    const Stats s = Summarise(latencies);
    std::printf("    logical open, %zu runs: min %.2f  median %.2f  mean %.2f  max %.2f ms\n",
                latencies.size(), s.Min, s.Median, s.Mean, s.Max);
}

void MeasureCallCost(HeldWaveOut& out, StampingNotifier& notes) {
    Sound sound(4000);
    notes.Clear();
    std::vector<double> costs;
    for (int n = 0; n < 1000; ++n) {
        WaveHandle device = 0;
        const Clock::time_point start = Clock::now();
        out.Open(&device, PcmFormat8k16Mono(), &notes);
        out.PrepareHeader(device, &sound.Header);
        out.Write(device, &sound.Header);
        out.Reset(device);
        out.Close(device);
        out.UnprepareHeader(device, &sound.Header);
        costs.push_back(Ms(Clock::now() - start) * 1000.0);
    }
    const Stats s = Summarise(costs);
    std::printf("(b) logical Open+Write+Reset+Close on the calling thread, %zu runs:\n"
                "    min %.1f  median %.1f  mean %.1f  max %.1f us\n",
                costs.size(), s.Min, s.Median, s.Mean, s.Max);
}

void MeasureIdle(HeldWaveOut& out, StampingNotifier& notes) {
    // A short session, then nothing.
    Sound sound(4000);
    WaveHandle device = 0;
    notes.Clear();
    out.Open(&device, PcmFormat8k16Mono(), &notes);
    out.PrepareHeader(device, &sound.Header);
    out.Write(device, &sound.Header);
    notes.WaitFor(WaveMessage::Done, 2000ms);
    out.Close(device);
    out.UnprepareHeader(device, &sound.Header);

    const double heldCpu = CpuMs();
    const Clock::time_point heldStart = Clock::now();
    const bool released = out.WaitUntilReleased(30s);
    const double heldMs = Ms(Clock::now() - heldStart);
    const double heldUsed = CpuMs() - heldCpu;
    std::printf("(c) idle with the device held: %.0f ms CPU in %.1f s (%.3f%%), %s\n", heldUsed,
                heldMs / 1000, 100 * heldUsed / heldMs,
                released ? "then released" : "NOT released within 30 s");

    const double idleCpu = CpuMs();
    std::this_thread::sleep_for(10s);
    const double idleUsed = CpuMs() - idleCpu;
    std::printf("    idle 10 s after the release: %.1f ms CPU (%.4f%%)\n", idleUsed,
                100 * idleUsed / 10000);

    // What the first opening after a pause costs: SDL's audio and the device start again.
    const Clock::time_point start = Clock::now();
    out.Open(&device, PcmFormat8k16Mono(), &notes);
    const double coldMs = Ms(Clock::now() - start);
    out.Close(device);
    std::printf("    Open that restarts the released device: %.2f ms on the calling thread\n",
                coldMs);
}

} // namespace

int main() {
    // SDL's dummy driver paces its callbacks by the next power of two of the
    // period (32 ms for 192 samples); the disk driver keeps the period exactly,
    // as a sound server does. Both are measured unless a driver is chosen.
    std::vector<std::string> drivers = {"dummy", "disk"};
    if (const char* chosen = std::getenv("SDL_AUDIODRIVER"))
        drivers = {chosen};
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
    std::printf("idle release after %lld ms\n",
                static_cast<long long>(HeldWaveOut::DefaultIdleRelease.count()));
    StampingNotifier notes;
    for (const std::string& driver : drivers) {
        setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
        std::printf("--- SDL_AUDIODRIVER=%s\n", driver.c_str());
        SdlWaveOut out;
        MeasureLatency(out, notes);
        if (&driver == &drivers.front()) {
            MeasureCallCost(out, notes);
            MeasureIdle(out, notes);
        }
    }
    if (drivers.size() > 1) { // no driver chosen
        unsetenv("SDL_AUDIODRIVER");
        if (PulseWaveOut::ServerAnswers()) {
            std::printf("--- the sound server's stream\n");
            PulseWaveOut out;
            MeasureCallCost(out, notes);
            MeasureIdle(out, notes);
        } else {
            std::printf("--- no sound server answers: its stream not measured\n");
        }
    }
    return 0;
}
