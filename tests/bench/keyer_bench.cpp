// How many times faster than real time the keyer renders a long mixed text.
#include "keying/Keyer.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace tonvik;

namespace {

std::string MixedText() {
    // Latin, digits, signs, Cyrillic (CP1251) and spaces, as a real text has.
    const std::string words[] = {"CQ",           "DE",     "UA3ABC",
                                 "599",          "73",     "QTH",
                                 "MOSCOW",       "?",      "\xCF\xD0\xC8\xC2\xC5\xD2",
                                 "\xCC\xC8\xD0", "RST",    "5NN",
                                 "\xDD\xD2\xCE", "TEST/P", "0123456789"};
    std::string text;
    for (int i = 0; text.size() < 20000; ++i)
        text += words[(i * 7) % 15] + " ";
    return text;
}

void KeyMixedText(benchmark::State& state) {
    const int wpm = static_cast<int>(state.range(0));
    const std::string text = MixedText();
    Keyer keyer;
    keyer.BuildSineTable(5);
    KeyerSettings settings;
    settings.DotSamples = 9600 / wpm;
    settings.ToneFreq = 800;
    settings.ActivePage = TextPage;
    std::vector<int16_t> buffer(56000);
    int64_t samples = 0;
    for (auto _ : state) {
        for (unsigned char ch : text)
            samples += keyer.KeyChar(buffer.data(), ch, settings) / 2;
        benchmark::DoNotOptimize(buffer.data());
    }
    const double audioSeconds = static_cast<double>(samples) / SampleRate;
    state.counters["x_real_time"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    state.counters["samples_per_s"] =
        benchmark::Counter(static_cast<double>(samples), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(KeyMixedText)->Arg(10)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
