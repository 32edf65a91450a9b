#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tonvik {

enum class CliCommand { None, Help, Export, Play, Radiogram };

// Everything the headless commands accept. Ranges follow the window's controls.
struct CliOptions {
    CliCommand Command = CliCommand::None;
    std::string Mode = "text"; // or "callsign"
    int Wpm = 30;
    int Pitch = 800;
    int Volume = 5; // 0..8, 8 loudest
    int LetterGap = 3;
    int WordGap = 7;
    bool Clean = false;
    int MaxWordLength = 0; // 0: no filter; 3..7 otherwise
    std::string Encoding = "auto";
    std::optional<std::string> Text;
    std::string InputFile; // empty: --text or standard input
    std::string OutputFile;
    std::string Format; // empty: from the output's extension
    int SplitMinutes = 0;
    bool Quiet = false;
    int LatencyMs = 0;  // play: sound queued ahead; 0 for the device's default
    bool Stats = false; // play: print the device's starvations at the end
    std::string Kind = "latin";
    int Groups = 30;
    std::optional<unsigned long long> Seed;
};

struct ParseResult {
    CliOptions Options;
    std::string Error; // one line; empty when the command line is good
};

ParseResult ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

} // namespace tonvik
