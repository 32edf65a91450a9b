// Measures reading large callsign lists: writes a 50 MB and a 100 MB list to
// the temporary directory, loads each and prints the read time and the peak
// memory the load added. Run by hand: build/bin/callsign_list_bench

#include "callsign/CallsignList.h"
#include "tests/bench/ProcessMemory.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

// Short, callsign-like lines, some with a comment after a comma and every
// kind of line break, written a megabyte at a time.
std::size_t WriteList(const fs::path& path, std::size_t bytes) {
    std::ofstream out(path, std::ios::binary);
    static const char* const breaks[] = {"\r\n", "\n", "\r\n", "\r"};
    std::string chunk;
    std::size_t written = 0;
    std::size_t lines = 0;
    unsigned state = 12345;
    while (written < bytes) {
        chunk.clear();
        while (chunk.size() < (1u << 20)) {
            state = state * 1103515245u + 12345u;
            chunk += "UA";
            chunk += static_cast<char>('0' + (state >> 8) % 10);
            for (unsigned k = 0; k < 1 + (state >> 12) % 3; ++k)
                chunk += static_cast<char>('A' + (state >> (16 + 2 * k)) % 26);
            if ((state >> 24) % 8 == 0)
                chunk += ",Ivan";
            chunk += breaks[(state >> 28) % 4];
            ++lines;
        }
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        written += chunk.size();
    }
    return lines;
}

void Measure(std::size_t megabytes) {
    fs::path path = fs::temp_directory_path() / ("tonvik_bench_" + std::to_string(::getpid()) +
                                                 "_" + std::to_string(megabytes) + ".ped");
    std::size_t lines = WriteList(path, megabytes << 20);
    std::size_t size = fs::file_size(path);

    ResetPeak();
    long before = StatusKb("VmRSS");
    auto start = std::chrono::steady_clock::now();
    CallsignList list = CallsignList::Load(path);
    auto loaded = std::chrono::steady_clock::now();
    long peak = StatusKb("VmHWM");
    long after = StatusKb("VmRSS");

    Random random(1);
    std::string playText = DrawCallsigns(list, random);
    auto drawn = std::chrono::steady_clock::now();

    using Ms = std::chrono::duration<double, std::milli>;
    double loadMs = Ms(loaded - start).count();
    std::printf("%zu MB list: %zu bytes, %d lines (%zu written), status %d\n", megabytes, size,
                list.Count(), lines, static_cast<int>(list.Status()));
    std::printf("  read and index: %.1f ms (%.0f MB/s)\n", loadMs,
                static_cast<double>(size) / (1 << 20) / (loadMs / 1000));
    std::printf("  draw of 30 callsigns: %.3f ms, e.g. \"%s\"\n", Ms(drawn - loaded).count(),
                playText.substr(0, 40).c_str());
    std::printf("  resident before %ld kB, peak %ld kB (+%ld kB), held after %ld kB (+%ld kB)\n",
                before, peak, peak - before, after, after - before);
    fs::remove(path);
}

} // namespace

int main() {
    Measure(50);
    Measure(100);
    return 0;
}
