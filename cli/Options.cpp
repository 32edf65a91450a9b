#include "cli/Options.h"

#include "cli/OptionTable.h"
#include "cli/OptionValue.h"

namespace tonvik {
namespace {

// Reads the options and operands of one command. The first error is kept;
// reading goes on only to find a -h/--help, which wins over any error.
class Parser {
public:
    Parser(const CommandDef& command, CliOptions& options) : Command(command), Options(options) {}

    std::string Run(const std::vector<std::string>& args, size_t first);

private:
    size_t ReadOption(const std::vector<std::string>& args, size_t at);
    void ReadOperand(const std::string& arg);
    std::string SeeHelp() const { return " (see: " + CommandLineName(Command) + " --help)"; }
    std::string NotAnOptionHere(const std::string& name) const;
    void Fail(std::string message) {
        if (Error.empty())
            Error = std::move(message);
    }

    const CommandDef& Command;
    CliOptions& Options;
    std::string Error;
    bool HelpAsked = false;
    bool VersionAsked = false;
};

std::string Parser::Run(const std::vector<std::string>& args, size_t first) {
    bool operandsOnly = false; // after "--"
    for (size_t at = first; at < args.size();) {
        const std::string& arg = args[at];
        if (!operandsOnly && arg == "--") {
            operandsOnly = true;
            ++at;
        } else if (!operandsOnly && arg.size() > 1 && arg[0] == '-') {
            at += ReadOption(args, at);
        } else {
            ReadOperand(arg);
            ++at;
        }
    }
    if (HelpAsked) {
        Options.Command = CliCommand::Help;
        Options.HelpFor = Command.Command;
        return "";
    }
    if (VersionAsked && Error.empty())
        Options.Command = CliCommand::Version;
    if (Error.empty() && Command.Check)
        Fail(Command.Check(Options));
    return Error;
}

// Returns how many arguments the option used: 1, or 2 with its value.
size_t Parser::ReadOption(const std::vector<std::string>& args, size_t at) {
    std::string name = args[at];
    std::optional<std::string> value; // --name=value
    if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != name.npos) {
        value = name.substr(equals + 1);
        name.resize(equals);
    }
    const OptionDef* option = FindOption(name);
    if (option == nullptr) {
        Fail("unknown option " + QuoteValue(name) + SeeHelp());
        return 1;
    }
    const bool valueFollows = option->TakesValue() && !value && at + 1 < args.size();
    if (!Command.Takes(option->Name)) {
        Fail(NotAnOptionHere(name));
        return valueFollows ? 2 : 1;
    }
    Options.Given.insert(option->Name);
    if (option->Name == "--help")
        HelpAsked = true;
    else if (option->Name == "--version")
        VersionAsked = true;
    if (!option->TakesValue()) {
        if (value)
            Fail(option->Name + " takes no value");
        else if (option->Store)
            Fail(option->Store(Options, ""));
        return 1;
    }
    if (!value && !valueFollows) {
        Fail(name + " needs a value");
        return 1;
    }
    Fail(option->Store(Options, value ? *value : args[at + 1]));
    return valueFollows ? 2 : 1;
}

void Parser::ReadOperand(const std::string& arg) {
    const auto count = static_cast<int>(Options.Operands.size());
    if (Command.MaxOperands >= 0 && count >= Command.MaxOperands) {
        if (Command.MaxOperands == 0)
            Fail("unexpected argument " + QuoteValue(arg) + SeeHelp());
        else
            Fail("only one " + Command.OperandNoun + " may be given, not also " + QuoteValue(arg));
        return;
    }
    Options.Operands.push_back(arg);
}

// "--seed is not an option of export", or for the window, which commands take it.
std::string Parser::NotAnOptionHere(const std::string& name) const {
    if (!Command.Word.empty())
        return name + " is not an option of " + Command.Word + SeeHelp();
    const std::string& fullName = FindOption(name)->Name;
    std::string owners;
    for (const CommandDef& command : CommandTable()) {
        if (!command.Word.empty() && command.Takes(fullName))
            owners += (owners.empty() ? "" : ", ") + command.Word;
    }
    return name + " needs a command (" + owners + ") before it" + SeeHelp();
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult result;
    const CommandDef* command = &CommandNamed(CliCommand::Window);
    size_t first = 0;
    if (!args.empty() && (args[0].empty() || args[0][0] != '-')) {
        command = FindCommand(args[0]);
        if (command == nullptr) {
            result.Error = "unknown command " + QuoteValue(args[0]) + " (see: tonvik --help)";
            return result;
        }
        first = 1;
    }
    result.Options.Command = command->Command;
    result.Error = Parser(*command, result.Options).Run(args, first);
    return result;
}

} // namespace tonvik
