#include "cli/ExportCommand.h"

#include "cli/AudioExport.h"
#include "cli/BandOptions.h"
#include "cli/Interrupt.h"
#include "cli/KochExport.h"
#include "cli/OutputTarget.h"
#include "cli/StandardInput.h"
#include "cli/StreamOutput.h"
#include "text/Cp1251.h"
#include "text/GenCodeUnit.h"
#include "text/TextFile.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <unistd.h>

namespace tonvik {
namespace {

TextEncoding EncodingOf(const CliOptions& options) {
    if (options.Encoding == "cp1251")
        return TextEncoding::Cp1251;
    if (options.Encoding == "utf-8")
        return TextEncoding::Utf8;
    if (options.Encoding == "utf-16")
        return TextEncoding::Utf16;
    return TextEncoding::Auto;
}

std::string CleanedAsAsked(const CliOptions& options, std::string text) {
    if (!options.Clean)
        return text;
    text = CleanText(WindowLines(text));
    if (options.MaxWordLength != 0) {
        if (auto filtered = FilterWords(text, options.MaxWordLength - 3))
            text = *filtered;
    }
    return text;
}

std::string Clock(double seconds) {
    const long s = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

// One line on standard error, rewritten in place, a few times a second.
class ProgressLine {
public:
    explicit ProgressLine(std::ostream& err) : Err(err), Start(Now()) {}
    void Update(const ExportProgress& p) {
        const auto now = Now();
        if (now - Last < std::chrono::milliseconds(200) && p.TextShare < 1.0)
            return;
        Last = now;
        const double elapsed = std::chrono::duration<double>(now - Start).count();
        const double share = p.TotalAudioSeconds > 0 ? p.AudioSeconds / p.TotalAudioSeconds : 1.0;
        const double left = share > 0 ? elapsed * (1 - share) / share : 0;
        char line[128];
        std::snprintf(line, sizeof line, "\r%5.1f%% of the text, %.1f min of audio, %s left   ",
                      p.TextShare * 100, p.AudioSeconds / 60, Clock(left).c_str());
        Err << line << std::flush;
        Shown = true;
    }
    void Finish() {
        if (Shown)
            Err << "\n";
    }

private:
    static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
    std::ostream& Err;
    std::chrono::steady_clock::time_point Start;
    std::chrono::steady_clock::time_point Last{};
    bool Shown = false;
};

} // namespace

CommandText ReadCommandText(const CliOptions& options, std::istream& standardInput) {
    CommandText result;
    std::string text;
    if (options.Text) {
        text = Utf8ToCp1251(*options.Text);
    } else if (!options.InputFile.empty() && options.InputFile != "-") {
        const LoadedText loaded = LoadTextFile(options.InputFile, EncodingOf(options));
        if (!loaded.Ok) {
            result.Error = "cannot read " + options.InputFile + ": " + loaded.Reason;
            return result;
        }
        text = loaded.Text;
    } else {
        InputBytes input = ReadStandardInput(standardInput);
        if (!input.Ok) {
            result.Error = input.Error;
            result.Interrupted = input.Interrupted;
            return result;
        }
        text = DecodeTextBytes(input.Bytes, EncodingOf(options));
    }
    result.Text = CleanedAsAsked(options, std::move(text));
    return result;
}

int ReportTextFailure(const CommandText& text, std::ostream& err) {
    if (text.Interrupted) {
        err << "tonvik: interrupted\n";
        return 130;
    }
    err << "tonvik: " << text.Error << "\n";
    return 1;
}

KeyerSettings CommandKeyerSettings(const CliOptions& options) {
    KeyerSettings s;
    s.DotSamples = 9600 / options.Wpm;
    s.ToneFreq = options.Pitch;
    s.LetterGap = options.LetterGap;
    s.WordGap = options.WordGap;
    s.ActivePage = options.Mode == "callsign" ? CallsignPage : TextPage;
    return s;
}

namespace {

// The file the text comes from, to be kept from being overwritten.
std::optional<FileIdentity> InputIdentity(const CliOptions& options, const std::istream& in) {
    if (options.Text)
        return std::nullopt;
    if (!options.InputFile.empty() && options.InputFile != "-")
        return IdentityOfPath(options.InputFile);
    if (&in == &std::cin)
        return IdentityOfDescriptor(STDIN_FILENO);
    return std::nullopt;
}

// What can be refused before the text is read: a wrong format or output.
int CheckOutput(const CliOptions& options, const std::optional<FileIdentity>& input,
                std::ostream& err) {
    const auto format = options.Format.empty() ? AudioFormatFromPath(options.OutputFile)
                                               : AudioFormatFromName(options.Format);
    const bool hasExtension = ExtensionDot(options.OutputFile) != std::string::npos;
    if (!format && (hasExtension || !options.Format.empty())) {
        err << "tonvik: unknown audio format for '" << options.OutputFile
            << "': use .wav, .flac, .ogg, .opus or .mp3, or --format\n";
        return 2;
    }
    if (options.SplitMinutes > 0) {
        if (options.OutputFile != "-")
            return 0; // each part is checked as it is opened
        err << "tonvik: --split-minutes writes files; it cannot cut standard output\n";
        return 2;
    }
    const OutputTarget target = ResolveOutput(options.OutputFile, input);
    if (target.Error.empty())
        return 0;
    err << "tonvik: " << target.Error << "\n";
    return target.BadUsage ? 2 : 1;
}

} // namespace

int ExportKeyedText(ExportJob& job, const CliOptions& options, std::ostream& err) {
    job.VolumeFactor = options.Volume;
    job.OutputPath = options.OutputFile;
    job.Format = (options.Format.empty() ? AudioFormatFromPath(options.OutputFile)
                                         : AudioFormatFromName(options.Format))
                     .value_or(AudioFormat::Wav);
    job.SplitSamples = int64_t{options.SplitMinutes} * 60 * SampleRate;
    job.Interrupted = &InterruptRequested();
    job.Conditions = CommandConditions(options);
    if (job.Conditions.AnyOn()) {
        job.Seed = CommandBandSeed(options);
        job.Callsigns = BandCallsigns();
    }
    ProgressLine progress(err);
    const bool showProgress = !options.Quiet && ::isatty(STDERR_FILENO) && &err == &std::cerr;
    const ExportResult result = ExportAudio(job, [&](const ExportProgress& p) {
        if (showProgress)
            progress.Update(p);
    });
    progress.Finish();
    // A reader of standard output that went away (| head -c 100) ends it quietly.
    if (!result.Ok && !result.WasInterrupted && options.OutputFile == "-" &&
        IsClosedPipe(STDOUT_FILENO))
        return ClosedPipeStatus;
    if (!result.Ok) {
        err << "tonvik: "
            << (result.WasInterrupted ? "interrupted; no file was left" : result.Error) << "\n";
        return result.WasInterrupted ? 130 : result.BadUsage ? 2 : 1;
    }
    if (result.UsedRf64)
        err << "tonvik: " << options.OutputFile << " holds over 4 GiB of audio: written as RF64\n";
    return 0;
}

int RunExport(const CliOptions& options, std::istream& in, std::ostream& err) {
    if (options.Koch != 0)
        return RunKochExport(options, err);
    const std::optional<FileIdentity> input = InputIdentity(options, in);
    if (const int status = CheckOutput(options, input, err); status != 0)
        return status;
    ExportJob job;
    {
        const EndAtOnceOnInterrupt nothingWrittenYet;
        const CommandText text = ReadCommandText(options, in);
        if (!text.Text)
            return ReportTextFailure(text, err);
        job.PlayText = TextPlayText(*text.Text);
    }
    job.Settings = CommandKeyerSettings(options);
    job.FarnsworthWpm = options.Farnsworth;
    job.Input = input;
    return ExportKeyedText(job, options, err);
}

int CheckExportOutput(const CliOptions& options, std::ostream& err) {
    return CheckOutput(options, std::nullopt, err);
}

} // namespace tonvik
