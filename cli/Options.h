#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tonvik {

// Window: no command word (the trainer window, with its own options, if any).
enum class CliCommand { Window, Help, Version, Export, Play, Radiogram, Journal, Calls };

// Everything the commands accept. Which command takes which option is in
// cli/OptionTable.cpp; ranges follow the window's controls.
struct CliOptions {
    CliCommand Command = CliCommand::Window;
    CliCommand HelpFor = CliCommand::Window; // Help: whose usage; Window: the general one
    std::vector<std::string> Operands;       // the file names and words after the options
    std::string Mode = "text";               // or "callsign"
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
    // The training journal: the window's and the journal command's.
    std::string JournalPath; // empty: the user's own
    bool NoJournal = false;  // the window records nothing
    bool Csv = false;
    bool Exercises = false;
    bool Characters = false;
    int Days = 0;     // --characters over the last 7 or 30 days; 0 for all time
    std::string Plot; // --plot: the PNG the progress chart goes to
    // The calls command: import FILE... or reset are its operands.
    bool Append = false;
    // A Koch lesson instead of a text (export): its number, length and course.
    int Koch = 0; // 0: no lesson
    int Minutes = 2;
    std::string Course = "latin";
    // Farnsworth spacing at this effective speed in text mode; 0: the gaps as set.
    int Farnsworth = 0;
    // The options the command line gave, by name: defaults that depend on others.
    std::set<std::string> Given;
    // The band (export, play): a preset, and single values over it.
    std::string Conditions = "clean";
    std::optional<int> Snr;
    std::optional<int> Bandwidth;
    std::optional<double> Qsb;
    bool Flutter = false;
    std::optional<int> Qrn;
    std::optional<int> Qrm;
    std::optional<int> Callers;
};

struct ParseResult {
    CliOptions Options;
    std::string Error; // one line; empty when the command line is good
};

// Parses the arguments after the program name. The first one names the
// command; without one (no arguments, or only options) the window is meant.
// -h/--help anywhere among the options asks for the command's usage.
ParseResult ParseCommandLine(const std::vector<std::string>& args);

} // namespace tonvik
