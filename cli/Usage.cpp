#include "cli/Usage.h"

#include "cli/OptionTable.h"

#include <cctype>

namespace tonvik {
namespace {

constexpr size_t HelpColumn = 28;

const char* const ExitStatus =
    "Exit status: 0 done, 1 a file or the sound device failed, 2 bad usage,\n"
    "130 interrupted (Ctrl-C or SIGTERM).\n";

// "  -o, --output OUT" and its help, which goes on the next line when the
// left part is too wide.
std::string OptionLine(const OptionDef& option) {
    std::string left = "  ";
    if (!option.Alias.empty())
        left += option.Alias + ", ";
    left += option.Name;
    if (option.TakesValue())
        left += " " + option.Value;
    if (left.size() + 2 > HelpColumn)
        left += "\n" + std::string(HelpColumn, ' ');
    else
        left.resize(HelpColumn, ' ');
    return left + option.Help + "\n";
}

std::string OptionLines(const CommandDef& command) {
    std::string lines;
    for (const std::string& name : command.Options)
        lines += OptionLine(*FindOption(name));
    return lines;
}

std::string GeneralUsage(const CommandDef& window) {
    std::string text = "Usage: tonvik " + window.Synopsis +
                       "\n\n"
                       "Tonvik, a trainer for receiving Morse code by ear. Without a command it\n"
                       "opens the trainer window; with one it works in the terminal.\n\n"
                       "Commands:\n";
    for (const CommandDef& command : CommandTable()) {
        if (command.Word.empty())
            continue;
        std::string left = "  " + command.Word;
        left.resize(13, ' ');
        text += left + command.Summary + "\n";
    }
    text += "\nOptions:\n" + OptionLines(window) +
            "\n'tonvik COMMAND --help' shows the options of a command.\n\n" + ExitStatus;
    return text;
}

} // namespace

std::string UsageText(CliCommand command) {
    const CommandDef& def = CommandNamed(command);
    if (def.Word.empty())
        return GeneralUsage(def);
    std::string summary = def.Summary;
    summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    return "Usage: " + CommandLineName(def) + " " + def.Synopsis + "\n" + summary + ".\n" +
           def.Notes + "\nOptions:\n" + OptionLines(def) + "\n" + ExitStatus;
}

} // namespace tonvik
