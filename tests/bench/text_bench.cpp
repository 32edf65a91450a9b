// Clean-up and word filter on a 50 MB text, the largest file the trainer loads.
#include "text/Cp1251.h"
#include "text/GenCodeUnit.h"
#include "text/TextFile.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

constexpr size_t TextBytes = 50u * 1024u * 1024u;

// Russian prose-like CP1251 text: words of 1..10 letters, punctuation, blanks,
// a line break every few dozen words and now and then a character to delete.
const std::string& LoadedText() {
    static const std::string text = [] {
        std::mt19937 engine(50);
        auto pick = [&engine](int n) {
            return std::uniform_int_distribution<int>(0, n - 1)(engine);
        };
        std::string bytes;
        bytes.reserve(TextBytes + 16);
        while (bytes.size() < TextBytes) {
            const int length = 1 + pick(10);
            for (int n = 0; n < length; ++n)
                bytes.push_back(static_cast<char>(0xC0 + pick(64)));
            switch (pick(12)) {
            case 0:
                bytes += ", ";
                break;
            case 1:
                bytes += ". ";
                break;
            case 2:
                bytes += "\r\n";
                break;
            case 3:
                bytes += " \xAB";
                break;
            case 4:
                bytes += "\t";
                break;
            default:
                bytes += ' ';
                break;
            }
        }
        return bytes;
    }();
    return text;
}

void BM_CleanText(benchmark::State& state) {
    const std::string& lines = LoadedText();
    for (auto _ : state)
        benchmark::DoNotOptimize(tonvik::CleanText(lines));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
}

void BM_FilterWords(benchmark::State& state) {
    const std::string cleaned = tonvik::CleanText(LoadedText());
    const int k = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(tonvik::FilterWords(cleaned, k));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * cleaned.size()));
}

void BM_WindowLines(benchmark::State& state) {
    const std::string& text = LoadedText();
    for (auto _ : state)
        benchmark::DoNotOptimize(tonvik::WindowLines(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// A 50 MB file in UTF-8 turned into CP1251, as "Открыть файл" reads it.
void BM_DecodeUtf8File(benchmark::State& state) {
    const std::string utf8 = tonvik::Cp1251ToUtf8(LoadedText());
    for (auto _ : state)
        benchmark::DoNotOptimize(tonvik::DecodeTextBytes(utf8, tonvik::TextEncoding::Auto));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * utf8.size()));
}

// The window's text handed back to the routines.
void BM_ToCp1251(benchmark::State& state) {
    const QString text = tonvik::FromCp1251(LoadedText());
    for (auto _ : state)
        benchmark::DoNotOptimize(tonvik::ToCp1251(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

} // namespace

BENCHMARK(BM_CleanText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterWords)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeUtf8File)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToCp1251)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
