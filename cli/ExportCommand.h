#pragma once

#include "cli/Options.h"
#include "keying/Keyer.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace tonvik {

// The CP1251 text a command keys: --text (UTF-8), FILE, or standard input,
// decoded as --encoding says and cleaned or filtered when asked. Nothing and
// an error line when the input cannot be read.
struct CommandText {
    std::optional<std::string> Text;
    std::string Error;
    bool Interrupted = false; // Ctrl-C while standard input was read
};
CommandText ReadCommandText(const CliOptions& options, std::istream& standardInput);
// The exit status and the line on standard error for text that could not be had.
int ReportTextFailure(const CommandText& text, std::ostream& err);

// The keyer's settings for the command's --mode, --wpm, --pitch and gaps.
KeyerSettings CommandKeyerSettings(const CliOptions& options);

int RunExport(const CliOptions& options, std::istream& in, std::ostream& err);

struct ExportJob;
// Writes a job whose text and keying are set to --output, as --format,
// --split-minutes, --volume and --quiet say; the exit status, errors on err.
int ExportKeyedText(ExportJob& job, const CliOptions& options, std::ostream& err);
// Refuses an output format or file that cannot be written (the exit status; 0: fine).
int CheckExportOutput(const CliOptions& options, std::ostream& err);

} // namespace tonvik
