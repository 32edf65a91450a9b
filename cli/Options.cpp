#include "cli/Options.h"

#include "keying/SoundOutput.h"

#include <charconv>
#include <functional>
#include <map>

namespace tonvik {
namespace {

struct IntOption {
    int CliOptions::*Field;
    int Min;
    int Max;
};

const std::map<std::string, IntOption>& IntOptions() {
    static const std::map<std::string, IntOption> options{
        {"--wpm", {&CliOptions::Wpm, 10, 100}},
        {"--pitch", {&CliOptions::Pitch, 200, 2000}},
        {"--volume", {&CliOptions::Volume, 0, 8}},
        {"--letter-gap", {&CliOptions::LetterGap, 2, 72}},
        {"--word-gap", {&CliOptions::WordGap, 7, 108}},
        {"--max-word-length", {&CliOptions::MaxWordLength, 3, 7}},
        {"--split-minutes", {&CliOptions::SplitMinutes, 1, 600}},
        {"--groups", {&CliOptions::Groups, 1, 100}},
        {"--latency-ms", {&CliOptions::LatencyMs, MinLatencyMs, MaxLatencyMs}},
    };
    return options;
}

const std::map<std::string, std::vector<std::string>>& ChoiceOptions() {
    static const std::map<std::string, std::vector<std::string>> options{
        {"--mode", {"text", "callsign"}},
        {"--encoding", {"auto", "cp1251", "utf-8"}},
        {"--format", {"wav", "flac", "ogg", "opus", "mp3"}},
        {"--kind", {"digits", "russian", "latin"}},
    };
    return options;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items)
        out += (out.empty() ? "" : "|") + item;
    return out;
}

// A value as shown in an error: quoted, control characters made visible, so
// that the message stays one line.
std::string Quote(const std::string& value) {
    std::string out = "'";
    for (char c : value)
        out.push_back(static_cast<unsigned char>(c) < 32 ? '?' : c);
    return out + "'";
}

std::optional<long long> ToInteger(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

std::string& ChoiceField(CliOptions& o, const std::string& name) {
    if (name == "--mode")
        return o.Mode;
    if (name == "--encoding")
        return o.Encoding;
    if (name == "--format")
        return o.Format;
    return o.Kind;
}

// Applies one option that takes a value; returns an error line or "".
std::string ApplyValue(CliOptions& o, const std::string& name, const std::string& value) {
    if (const auto it = IntOptions().find(name); it != IntOptions().end()) {
        const auto n = ToInteger(value);
        const IntOption& spec = it->second;
        if (!n || *n < spec.Min || *n > spec.Max)
            return name + " takes a whole number from " + std::to_string(spec.Min) + " to " +
                   std::to_string(spec.Max) + ", not " + Quote(value);
        o.*spec.Field = static_cast<int>(*n);
        return "";
    }
    if (const auto it = ChoiceOptions().find(name); it != ChoiceOptions().end()) {
        for (const auto& choice : it->second) {
            if (value == choice) {
                ChoiceField(o, name) = value;
                return "";
            }
        }
        return name + " takes one of " + Join(it->second) + ", not " + Quote(value);
    }
    if (name == "--seed") {
        const auto n = ToInteger(value);
        if (!n || *n < 0)
            return "--seed takes a whole number from 0, not " + Quote(value);
        o.Seed = static_cast<unsigned long long>(*n);
        return "";
    }
    if (name == "--text") {
        o.Text = value;
        return "";
    }
    o.OutputFile = value; // -o / --output
    return "";
}

bool TakesValue(const std::string& name) {
    return IntOptions().count(name) || ChoiceOptions().count(name) || name == "--seed" ||
           name == "--text" || name == "-o" || name == "--output";
}

std::optional<CliCommand> CommandFromWord(const std::string& word) {
    static const std::map<std::string, CliCommand> commands{
        {"export", CliCommand::Export},       {"play", CliCommand::Play},
        {"radiogram", CliCommand::Radiogram}, {"help", CliCommand::Help},
        {"--help", CliCommand::Help},         {"-h", CliCommand::Help}};
    const auto it = commands.find(word);
    if (it == commands.end())
        return std::nullopt;
    return it->second;
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult result;
    CliOptions& o = result.Options;
    if (args.empty())
        return result;
    const auto command = CommandFromWord(args[0]);
    if (!command) {
        result.Error = "unknown command " + Quote(args[0]) + " (try: tonvik --help)";
        return result;
    }
    o.Command = *command;
    for (size_t i = 1; i < args.size() && result.Error.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--clean") {
            o.Clean = true;
        } else if (arg == "--quiet" || arg == "-q") {
            o.Quiet = true;
        } else if (arg == "--stats") {
            o.Stats = true;
        } else if (TakesValue(arg)) {
            if (i + 1 >= args.size())
                result.Error = arg + " needs a value";
            else
                result.Error = ApplyValue(o, arg, args[++i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            result.Error = "unknown option " + Quote(arg);
        } else if (o.InputFile.empty()) {
            o.InputFile = arg;
        } else {
            result.Error = "only one input file may be given, not also " + Quote(arg);
        }
    }
    if (o.MaxWordLength != 0)
        o.Clean = true;
    if (result.Error.empty() && o.Command == CliCommand::Export && o.OutputFile.empty())
        result.Error = "export needs an output file: -o OUT.wav";
    if (result.Error.empty() && o.Text && !o.InputFile.empty())
        result.Error = "give either --text or an input file, not both";
    return result;
}

std::string UsageText() {
    return R"(Usage:
  tonvik                                   open the trainer window
  tonvik export [options] [FILE] -o OUT    key FILE (or --text, or standard input) into an audio file
  tonvik play [options] [FILE]             key the same through the sound device
  tonvik radiogram [--kind K] [--groups N] [--seed N]
                                           print a random radiogram of five-character groups
Options:
  --mode text|callsign     spacing of the text page or of the callsign page (default text)
  --wpm N                  speed, 10..100 words per minute (default 30)
  --pitch HZ               tone, 200..2000 Hz (default 800)
  --volume N               0..8, 8 loudest (default 5)
  --letter-gap N           dots between letters, 2..72 (default 3)
  --word-gap N             dots between words, 7..108 (default 7)
  --clean                  clean the text as "Open file" in the window does
  --max-word-length N      keep only words of 2..N characters, N 3..7 (implies --clean)
  --encoding auto|cp1251|utf-8   how FILE is read (default auto)
  --text TEXT              the text itself, in the terminal's UTF-8
  -o, --output OUT         export: the audio file; its extension picks the format
  --format wav|flac|ogg|opus|mp3   export: the format, whatever the extension
  --split-minutes N        export: cut into NAME-001.ext, ... of about N minutes, at word gaps
  -q, --quiet              export: no progress line
  --latency-ms N           play: sound queued ahead, 20..1000 ms (default: 400 through a
                           sound server, 24 through SDL); more for Bluetooth or a slow machine
  --stats                  play: at the end, print how often the sound ran out while keying
  --kind digits|russian|latin    radiogram: the characters (default latin)
  --groups N               radiogram: 1..100 groups (default 30)
  --seed N                 radiogram: a fixed seed for a repeatable radiogram
)";
}

} // namespace tonvik
