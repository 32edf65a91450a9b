#include "cli/Cli.h"

#include "base/Random.h"
#include "cli/CallsCommand.h"
#include "cli/ExportCommand.h"
#include "cli/Interrupt.h"
#include "cli/JournalCommand.h"
#include "cli/Options.h"
#include "cli/PlayCommand.h"
#include "cli/StreamOutput.h"
#include "cli/Usage.h"
#include "cli/Version.h"
#include "text/Cp1251.h"
#include "text/Radiogram.h"

#include <chrono>
#include <iostream>

namespace tonvik {
namespace {

int RunRadiogram(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const int kind = options.Kind == "digits" ? 0 : options.Kind == "russian" ? 1 : 2;
    const auto seed = options.Seed.value_or(static_cast<unsigned long long>(
        std::chrono::system_clock::now().time_since_epoch().count()));
    Random random(seed);
    out << Cp1251ToUtf8(MakeRadiogram(kind, options.Groups, random)) << "\n" << std::flush;
    if (out)
        return 0;
    if (StandardOutputClosed(out))
        return ClosedPipeStatus;
    err << "tonvik: radiogram: the output could not be written\n";
    return 1;
}

} // namespace

int RunCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
    const ParseResult parsed = ParseCommandLine(args);
    if (!parsed.Error.empty()) {
        err << "tonvik: " << parsed.Error << "\n";
        return 2;
    }
    const CliOptions& options = parsed.Options;
    switch (options.Command) {
    case CliCommand::Export:
        return RunExport(options, in, err);
    case CliCommand::Play:
        return RunPlay(options, in, err);
    case CliCommand::Radiogram:
        return RunRadiogram(options, out, err);
    case CliCommand::Journal:
        return RunJournal(options, out, err);
    case CliCommand::Calls:
        return RunCalls(options, out, err);
    case CliCommand::Help:
        out << UsageText(options.HelpFor);
        return 0;
    case CliCommand::Version:
        out << VersionText();
        return 0;
    case CliCommand::Window:
        err << "tonvik: the trainer window is not started from here (see: tonvik --help)\n";
        return 2;
    }
    return 0;
}

std::optional<CliOptions> WindowOptions(int argc, char** argv) {
    const ParseResult parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Error.empty() || parsed.Options.Command != CliCommand::Window)
        return std::nullopt;
    return parsed.Options;
}

int RunCommandLine(int argc, char** argv) {
    WatchInterrupts();
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunCommandLine(args, std::cin, std::cout, std::cerr);
}

} // namespace tonvik
