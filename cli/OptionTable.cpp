#include "cli/OptionTable.h"

#include "cli/BandOptions.h"
#include "cli/CallsCommand.h"
#include "cli/KochOptions.h"
#include "cli/OptionValue.h"
#include "keying/SoundOutput.h"

#include <algorithm>
#include <charconv>

namespace tonvik {
namespace {

std::optional<long long> ToInteger(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items)
        out += (out.empty() ? "" : "|") + item;
    return out;
}

OptionDef Flag(std::string name, std::string alias, std::string help, bool CliOptions::*field) {
    return {std::move(name),
            std::move(alias),
            "",
            std::move(help),
            {},
            [field](CliOptions& o, const std::string&) {
                o.*field = true;
                return std::string();
            }};
}

// A whole number in [min, max]; the usage line shows the range and the default.
OptionDef Number(std::string name, std::string value, std::string help, int CliOptions::*field,
                 int min, int max) {
    help += " (" + std::to_string(min) + ".." + std::to_string(max);
    if (const int fallback = CliOptions{}.*field; fallback != 0)
        help += ", default " + std::to_string(fallback);
    help += ")";
    return {name,
            "",
            std::move(value),
            std::move(help),
            {},
            [name, field, min, max](CliOptions& o, const std::string& text) {
                const auto n = ToInteger(text);
                if (!n || *n < min || *n > max)
                    return name + " takes a whole number from " + std::to_string(min) + " to " +
                           std::to_string(max) + ", not " + QuoteValue(text);
                o.*field = static_cast<int>(*n);
                return std::string();
            }};
}

OptionDef Choice(std::string name, std::string help, std::string CliOptions::*field,
                 std::vector<std::string> choices) {
    if (const std::string fallback = CliOptions{}.*field; !fallback.empty())
        help += " (default " + fallback + ")";
    return {name,
            "",
            Join(choices),
            std::move(help),
            choices,
            [name, field, choices](CliOptions& o, const std::string& text) {
                if (std::find(choices.begin(), choices.end(), text) == choices.end())
                    return name + " takes one of " + Join(choices) + ", not " + QuoteValue(text);
                o.*field = text;
                return std::string();
            }};
}

OptionDef Text(std::string name, std::string alias, std::string value, std::string help,
               std::string CliOptions::*field) {
    return {std::move(name),
            std::move(alias),
            std::move(value),
            std::move(help),
            {},
            [field](CliOptions& o, const std::string& text) {
                o.*field = text;
                return std::string();
            }};
}

std::vector<OptionDef> MakeCatalogue() {
    std::vector<OptionDef> all{
        {"--help", "-h", "", "show this help and exit", {}, {}}, // the parser's own
        {"--version", "", "", "show the versions of tonvik and its libraries", {}, {}},
        Choice("--mode", "spacing of the text or callsign page", &CliOptions::Mode,
               {"text", "callsign"}),
        Number("--wpm", "N", "speed in words per minute", &CliOptions::Wpm, 10, 100),
        Number("--pitch", "HZ", "tone in hertz", &CliOptions::Pitch, 200, 2000),
        Number("--volume", "N", "volume, 8 loudest", &CliOptions::Volume, 0, 8),
        Number("--letter-gap", "N", "dots between letters", &CliOptions::LetterGap, 2, 72),
        Number("--word-gap", "N", "dots between words", &CliOptions::WordGap, 7, 108),
        Flag("--clean", "", "clean the text as the window's \"Open file\" does",
             &CliOptions::Clean),
        Number("--max-word-length", "N", "keep words of 2..N letters; implies --clean",
               &CliOptions::MaxWordLength, 3, 7),
        Choice("--encoding", "how FILE or standard input is read", &CliOptions::Encoding,
               {"auto", "cp1251", "utf-8", "utf-16"}),
        {"--text",
         "",
         "TEXT",
         "the text itself, in the terminal's UTF-8",
         {},
         [](CliOptions& o, const std::string& text) {
             o.Text = text;
             return std::string();
         }},
        Text("--output", "-o", "OUT", "the audio file, or -; its extension picks the format",
             &CliOptions::OutputFile),
        Choice("--format", "the audio format, whatever the extension", &CliOptions::Format,
               {"wav", "flac", "ogg", "opus", "mp3"}),
        Number("--split-minutes", "N", "parts of about N minutes, cut at word gaps",
               &CliOptions::SplitMinutes, 1, 600),
        Flag("--quiet", "-q", "no progress line", &CliOptions::Quiet),
        Number("--latency-ms", "N", "milliseconds of sound queued ahead", &CliOptions::LatencyMs,
               MinLatencyMs, MaxLatencyMs),
        Flag("--stats", "", "at the end, how often the sound ran out", &CliOptions::Stats),
        Choice("--kind", "the characters of the groups", &CliOptions::Kind,
               {"digits", "russian", "latin"}),
        Number("--groups", "N", "groups of five characters", &CliOptions::Groups, 1, 100),
        {"--seed",
         "",
         "N",
         "a seed from 0 up: the same radiogram, lesson or band",
         {},
         [](CliOptions& o, const std::string& text) {
             const auto n = ToInteger(text);
             if (!n || *n < 0)
                 return "--seed takes a whole number from 0, not " + QuoteValue(text);
             o.Seed = static_cast<unsigned long long>(*n);
             return std::string();
         }},
        Text("--journal", "", "PATH", "another journal file than the user's own",
             &CliOptions::JournalPath),
        Flag("--no-journal", "", "record no training journal", &CliOptions::NoJournal),
        Flag("--csv", "", "every callsign answer as CSV on standard output", &CliOptions::Csv),
        Flag("--exercises", "", "with --csv: one line per exercise instead",
             &CliOptions::Exercises),
        Flag("--characters", "", "per character: sent, missed, accuracy, confusions",
             &CliOptions::Characters),
        {"--days",
         "",
         "7|30",
         "with --characters: only the last 7 or 30 days",
         {"7", "30"},
         [](CliOptions& o, const std::string& text) {
             if (text != "7" && text != "30")
                 return "--days takes 7 or 30, not " + QuoteValue(text);
             o.Days = text == "7" ? 7 : 30;
             return std::string();
         }},
        {"--plot",
         "",
         "FILE.png",
         "the progress chart as a 1200x700 PNG",
         {},
         [](CliOptions& o, const std::string& text) {
             if (text.empty())
                 return std::string("--plot needs a file name");
             o.Plot = text;
             return std::string();
         }},
        Flag("--append", "", "add to the personal list instead of replacing it",
             &CliOptions::Append),
        Number("--koch", "N", "key Koch lesson N instead of a text", &CliOptions::Koch, 1,
               MaxKochLesson()),
        Number("--minutes", "M", "a Koch lesson's length", &CliOptions::Minutes, 1, 10),
        Choice("--course", "a Koch lesson's course", &CliOptions::Course, {"latin", "cyrillic"}),
        Number("--farnsworth", "WPM", "effective speed: wider gaps, same letters",
               &CliOptions::Farnsworth, 5, 100),
    };
    AppendBandOptions(all);
    return all;
}

// The options that shape how a text is keyed, shared by export and play.
const std::vector<std::string> KeyingOptions{
    "--mode",       "--wpm",      "--pitch",     "--volume",
    "--letter-gap", "--word-gap", "--clean",     "--max-word-length",
    "--encoding",   "--text",     "--farnsworth"};

std::vector<std::string> With(std::vector<std::string> first, std::vector<std::string> more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

std::string CheckKeyedText(CliOptions& o) {
    if (const std::string error = CheckFarnsworth(o); !error.empty())
        return error;
    if (!o.Operands.empty())
        o.InputFile = o.Operands.front();
    if (o.MaxWordLength != 0)
        o.Clean = true;
    if (o.Text && !o.InputFile.empty())
        return "give either --text or an input file, not both";
    return "";
}

std::string CheckJournalOptions(CliOptions& o) {
    if (o.Exercises && !o.Csv)
        return "--exercises goes with --csv";
    if (o.Csv && o.Characters)
        return "give either --csv or --characters, not both";
    if (!o.Plot.empty() && (o.Csv || o.Characters))
        return "--plot goes without --csv and --characters";
    if (o.Days != 0 && !o.Characters)
        return "--days goes with --characters";
    return "";
}

std::vector<CommandDef> MakeCommands() {
    std::vector<CommandDef> all{
        {CliCommand::Window,
         "",
         "[COMMAND] [options]",
         "without a command: open the trainer window",
         "",
         {"--journal", "--no-journal", "--help", "--version"},
         0,
         "",
         {}},
        {CliCommand::Export, "export", "[options] [FILE] -o OUT",
         "key FILE (or --text, or standard input) into an audio file",
         "Without FILE, or with FILE -, standard input is read (50 MB at most).\n"
         "OUT - is standard output: there, and to a FIFO or a character device, the audio\n"
         "is streamed. A file is written under a temporary name and takes its name only\n"
         "once complete; a symbolic link is followed; the input file is never overwritten.\n"
         "--koch N keys lesson N of the Koch course (lesson 1: K and M; one more character\n"
         "each lesson) instead of a text, 20 wpm with --farnsworth 10 unless given, and\n"
         "writes the lesson's text beside OUT as OUT's name with .txt, to check the copy\n"
         "by. A .txt there that is not a lesson written by tonvik is never overwritten.\n"
         "--farnsworth keeps the characters at --wpm and stretches the gaps between them.\n",
         With(With(KeyingOptions, BandOptionNames),
              {"--output", "--format", "--split-minutes", "--quiet", "--koch", "--minutes",
               "--course", "--help"}),
         1, "input file",
         [](CliOptions& o) {
             std::string error = CheckLessonOnlyOptions(o);
             if (error.empty())
                 error = o.Koch != 0 ? CheckKochLesson(o) : CheckKeyedText(o);
             if (error.empty())
                 error = CheckBandOptions(o);
             if (error.empty() && o.OutputFile.empty())
                 return std::string("export needs an output file: -o OUT.wav");
             return error;
         }},
        {CliCommand::Play, "play", "[options] [FILE]",
         "key FILE (or --text, or standard input) through the sound device",
         "Without FILE, or with FILE -, standard input is read (50 MB at most).\n"
         "--latency-ms is 400 through a sound server and 24 through SDL unless given;\n"
         "more helps with Bluetooth headphones or on a slow machine. --stats counts\n"
         "the sound server's underruns, or SDL's callbacks that came late.\n",
         With(With(KeyingOptions, BandOptionNames), {"--latency-ms", "--stats", "--help"}), 1,
         "input file",
         [](CliOptions& o) {
             const std::string error = CheckKeyedText(o);
             return error.empty() ? CheckBandOptions(o) : error;
         }},
        {CliCommand::Radiogram,
         "radiogram",
         "[options]",
         "print a random radiogram of five-character groups",
         "It is printed in the window's word format: two spaces after each group.\n",
         {"--kind", "--groups", "--seed", "--help"},
         0,
         "",
         {}},
        {CliCommand::Journal,
         "journal",
         "[options]",
         "the training journal: a summary, CSV, characters missed, a chart",
         "Without an option: exercises by kind, the last ten callsign exercises, the best.\n"
         "The CSV columns: exercise,started,own_call,number,sent,typed,right,errors,wpm,\n"
         "tone_hz,replays,points,response_ms. --plot draws the highest speed and the total\n"
         "points of every finished callsign exercise over time (an empty journal gives\n"
         "empty axes). The journal is\n"
         "$XDG_DATA_HOME/tonvik/journal.sqlite (~/.local/share/tonvik/journal.sqlite).\n",
         {"--csv", "--exercises", "--characters", "--days", "--plot", "--journal", "--help"},
         0,
         "",
         CheckJournalOptions},
        {CliCommand::Calls,
         "calls",
         "[import FILE... | reset] [options]",
         "your own callsign list: which list is used, import from logs, reset",
         "Without a word: which list the window draws from, its path and callsigns.\n"
         "import FILE...: a personal list from ADIF logs (.adi, .adif), Cabrillo logs,\n"
         "  super-check-partial lists, N1MM call-history files and plain lists of one\n"
         "  call a line, in any mix. Calls are upper-cased, taken only when they hold\n"
         "  Latin letters, digits and / alone, and kept once. The list is\n"
         "  $XDG_DATA_HOME/tonvik/master.ped (~/.local/share/tonvik/master.ped); the\n"
         "  previous one is kept as master.ped.bak. Files over 50 MB are not read.\n"
         "reset: the personal list becomes master.ped.bak and the list beside the\n"
         "  program is used again.\n"
         "Example: tonvik calls import mylog.adi cqww-2023.log MASTER.SCP\n",
         {"--append", "--help"},
         -1,
         "",
         CheckCallsOptions},
        {CliCommand::Help,
         "help",
         "[COMMAND]",
         "show the usage of a command",
         "",
         {"--help"},
         1,
         "command name",
         [](CliOptions& o) {
             o.HelpFor = CliCommand::Window;
             if (o.Operands.empty())
                 return std::string();
             const CommandDef* topic = FindCommand(o.Operands.front());
             if (topic == nullptr)
                 return "unknown command " + QuoteValue(o.Operands.front()) +
                        " (see: tonvik --help)";
             o.HelpFor = topic->Command;
             return std::string();
         }},
    };
    return all;
}

} // namespace

bool CommandDef::Takes(const std::string& optionName) const {
    return std::find(Options.begin(), Options.end(), optionName) != Options.end();
}

const std::vector<OptionDef>& OptionCatalogue() {
    static const std::vector<OptionDef> catalogue = MakeCatalogue();
    return catalogue;
}

const OptionDef* FindOption(const std::string& nameOrAlias) {
    for (const OptionDef& option : OptionCatalogue()) {
        if (option.Name == nameOrAlias || (!option.Alias.empty() && option.Alias == nameOrAlias))
            return &option;
    }
    return nullptr;
}

const std::vector<CommandDef>& CommandTable() {
    static const std::vector<CommandDef> commands = MakeCommands();
    return commands;
}

const CommandDef* FindCommand(const std::string& word) {
    for (const CommandDef& command : CommandTable()) {
        if (!command.Word.empty() && command.Word == word)
            return &command;
    }
    return nullptr;
}

const CommandDef& CommandNamed(CliCommand command) {
    for (const CommandDef& def : CommandTable()) {
        if (def.Command == command)
            return def;
    }
    return CommandTable().front(); // the window: Version has no table entry of its own
}

std::string CommandLineName(const CommandDef& command) {
    return command.Word.empty() ? "tonvik" : "tonvik " + command.Word;
}

} // namespace tonvik
