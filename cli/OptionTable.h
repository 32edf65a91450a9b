#pragma once

#include "cli/Options.h"

#include <functional>
#include <string>
#include <vector>

namespace tonvik {

// One option as the user writes it, and where its value goes.
struct OptionDef {
    std::string Name;                 // "--wpm"
    std::string Alias;                // "-o"; empty when there is none
    std::string Value;                // the value's name in the usage ("N"); empty for a flag
    std::string Help;                 // one line; the range and default included
    std::vector<std::string> Choices; // the values a choice option takes
    // Stores the value (a flag is given ""); returns an error line or "".
    std::function<std::string(CliOptions&, const std::string&)> Store;

    bool TakesValue() const { return !Value.empty(); }
};

// One command: the options it takes and how its usage reads. Adding a command
// is one entry in CommandTable() and one case where cli/Cli.cpp runs it; an
// option is one entry in OptionCatalogue() and its name in each command's list.
struct CommandDef {
    CliCommand Command = CliCommand::Window;
    std::string Word;                 // "export"; empty for the window
    std::string Synopsis;             // what follows "tonvik WORD" in the usage line
    std::string Summary;              // one line, in tonvik --help
    std::string Notes;                // more lines for its usage, or ""
    std::vector<std::string> Options; // names from OptionCatalogue(), in usage order
    int MaxOperands = 0;              // file names or words after the command; -1: any
    std::string OperandNoun;          // "input file": what an operand is, for messages
    // Checks the options together once they are all read; returns an error line or "".
    std::function<std::string(CliOptions&)> Check;

    bool Takes(const std::string& optionName) const;
};

const std::vector<OptionDef>& OptionCatalogue();
// By its name or alias; nullptr for an unknown option.
const OptionDef* FindOption(const std::string& nameOrAlias);

const std::vector<CommandDef>& CommandTable();
// By the word that names it; nullptr for an unknown word.
const CommandDef* FindCommand(const std::string& word);
const CommandDef& CommandNamed(CliCommand command);

// "tonvik export" for a command, "tonvik" for the window.
std::string CommandLineName(const CommandDef& command);

} // namespace tonvik
