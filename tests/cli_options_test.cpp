#include "cli/Cli.h"
#include "cli/Options.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

using namespace tonvik;

namespace {

ParseResult Parse(std::vector<std::string> args) {
    return ParseCommandLine(args);
}

} // namespace

TEST(CliOptions, DefaultsMatchTheWindow) {
    const auto r = Parse({"export", "-o", "x.wav"});
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.Options.Command, CliCommand::Export);
    EXPECT_EQ(r.Options.Mode, "text");
    EXPECT_EQ(r.Options.Wpm, 30);
    EXPECT_EQ(r.Options.Pitch, 800);
    EXPECT_EQ(r.Options.Volume, 5);
    EXPECT_EQ(r.Options.LetterGap, 3);
    EXPECT_EQ(r.Options.WordGap, 7);
    EXPECT_EQ(r.Options.Encoding, "auto");
    EXPECT_FALSE(r.Options.Clean);
}

TEST(CliOptions, ValuesAndFlagsAreTaken) {
    const auto r = Parse({"export", "--mode", "callsign", "--wpm", "100", "--pitch", "600",
                          "--volume", "8", "--letter-gap", "72", "--word-gap", "108",
                          "--max-word-length", "4", "book.txt", "-o", "out.flac", "-q"});
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.Options.Mode, "callsign");
    EXPECT_EQ(r.Options.Wpm, 100);
    EXPECT_EQ(r.Options.Pitch, 600);
    EXPECT_EQ(r.Options.Volume, 8);
    EXPECT_EQ(r.Options.LetterGap, 72);
    EXPECT_EQ(r.Options.WordGap, 108);
    EXPECT_EQ(r.Options.MaxWordLength, 4);
    EXPECT_TRUE(r.Options.Clean); // implied by the word filter
    EXPECT_EQ(r.Options.InputFile, "book.txt");
    EXPECT_EQ(r.Options.OutputFile, "out.flac");
    EXPECT_TRUE(r.Options.Quiet);
}

TEST(CliOptions, OutOfRangeAndMalformedValuesNameTheOptionAndRange) {
    EXPECT_EQ(Parse({"export", "--wpm", "9", "-o", "x.wav"}).Error,
              "--wpm takes a whole number from 10 to 100, not '9'");
    EXPECT_EQ(Parse({"export", "--wpm", "101", "-o", "x.wav"}).Error,
              "--wpm takes a whole number from 10 to 100, not '101'");
    EXPECT_EQ(Parse({"export", "--volume", "5x", "-o", "x.wav"}).Error,
              "--volume takes a whole number from 0 to 8, not '5x'");
    EXPECT_EQ(Parse({"export", "--letter-gap", "", "-o", "x.wav"}).Error,
              "--letter-gap takes a whole number from 2 to 72, not ''");
    EXPECT_EQ(Parse({"export", "--word-gap", "99999999999999999999", "-o", "x.wav"}).Error,
              "--word-gap takes a whole number from 7 to 108, not '99999999999999999999'");
    EXPECT_EQ(Parse({"export", "--mode", "fast", "-o", "x.wav"}).Error,
              "--mode takes one of text|callsign, not 'fast'");
    EXPECT_EQ(Parse({"radiogram", "--groups", "0"}).Error,
              "--groups takes a whole number from 1 to 100, not '0'");
    EXPECT_EQ(Parse({"radiogram", "--kind", "greek"}).Error,
              "--kind takes one of digits|russian|latin, not 'greek'");
}

TEST(CliOptions, StructuralErrors) {
    EXPECT_EQ(Parse({"export"}).Error, "export needs an output file: -o OUT.wav");
    EXPECT_EQ(Parse({"export", "-o"}).Error, "-o needs a value");
    EXPECT_EQ(Parse({"export", "--bogus", "-o", "x.wav"}).Error,
              "unknown option '--bogus' (see: tonvik export --help)");
    EXPECT_EQ(Parse({"frobnicate"}).Error, "unknown command 'frobnicate' (see: tonvik --help)");
    EXPECT_EQ(Parse({"export", "a.txt", "b.txt", "-o", "x.wav"}).Error,
              "only one input file may be given, not also 'b.txt'");
    EXPECT_EQ(Parse({"export", "a.txt", "--text", "CQ", "-o", "x.wav"}).Error,
              "give either --text or an input file, not both");
    EXPECT_EQ(Parse({"export", "--clean=yes", "-o", "x.wav"}).Error, "--clean takes no value");
    EXPECT_EQ(Parse({"play", "-"}).Error, "");
    EXPECT_EQ(Parse({"play", "-"}).Options.InputFile, "-");
}

TEST(CliOptions, ValueAfterAnEqualsSignAndOperandsAfterTwoDashes) {
    const auto r = Parse({"export", "--wpm=45", "--output=a.wav", "--", "-book.txt"});
    ASSERT_EQ(r.Error, "");
    EXPECT_EQ(r.Options.Wpm, 45);
    EXPECT_EQ(r.Options.OutputFile, "a.wav");
    EXPECT_EQ(r.Options.InputFile, "-book.txt");
    EXPECT_EQ(Parse({"export", "--wpm=", "-o", "a.wav"}).Error,
              "--wpm takes a whole number from 10 to 100, not ''");
}

TEST(CliOptions, AnOptionOfAnotherCommandIsRefusedNamingTheCommandsHelp) {
    EXPECT_EQ(Parse({"export", "--groups", "3", "-o", "x.wav"}).Error,
              "--groups is not an option of export (see: tonvik export --help)");
    EXPECT_EQ(Parse({"play", "-o", "x.wav"}).Error,
              "-o is not an option of play (see: tonvik play --help)");
    EXPECT_EQ(Parse({"play", "--split-minutes", "5"}).Error,
              "--split-minutes is not an option of play (see: tonvik play --help)");
    EXPECT_EQ(Parse({"radiogram", "--wpm", "20"}).Error,
              "--wpm is not an option of radiogram (see: tonvik radiogram --help)");
    EXPECT_EQ(Parse({"radiogram", "FILE"}).Error,
              "unexpected argument 'FILE' (see: tonvik radiogram --help)");
    EXPECT_EQ(Parse({"--wpm", "20"}).Error,
              "--wpm needs a command (export, play) before it (see: tonvik --help)");
}

TEST(CliOptions, NoCommandWordMeansTheWindow) {
    EXPECT_EQ(Parse({}).Options.Command, CliCommand::Window);
    EXPECT_EQ(Parse({}).Error, "");
    EXPECT_EQ(Parse({"--version"}).Options.Command, CliCommand::Version);
    EXPECT_EQ(Parse({"export", "--version"}).Error,
              "--version is not an option of export (see: tonvik export --help)");
}

TEST(CliOptions, ProgramStartOpensTheWindowOnlyWithoutACommand) {
    const auto window = [](std::vector<std::string> args) {
        ArgumentVector argv(std::move(args));
        return WindowOptions(argv.Count(), argv.Values());
    };
    EXPECT_TRUE(window({}));
    // Commands, help, the version and mistakes go to RunCommandLine.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"export", "-o", "x.wav"}, {"--help"}, {"--version"}, {"--bogus"}, {"play"}})
        EXPECT_FALSE(window(args)) << args[0];
}

TEST(CliOptions, HelpAfterAnyCommandWinsOverOtherErrors) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"export", "--help"},
                                                                  {"export", "--wpm", "5", "-h"},
                                                                  {"export", "x", "y", "-h"},
                                                                  {"help", "export"}}) {
        const auto r = Parse(args);
        EXPECT_EQ(r.Error, "") << args[1];
        EXPECT_EQ(r.Options.Command, CliCommand::Help) << args[1];
        EXPECT_EQ(r.Options.HelpFor, CliCommand::Export) << args[1];
    }
    EXPECT_EQ(Parse({"radiogram", "-h"}).Options.HelpFor, CliCommand::Radiogram);
    EXPECT_EQ(Parse({"--help"}).Options.HelpFor, CliCommand::Window);
    EXPECT_EQ(Parse({"help"}).Options.HelpFor, CliCommand::Window);
    EXPECT_EQ(Parse({"help", "bogus"}).Error, "unknown command 'bogus' (see: tonvik --help)");
    // A value that looks like --help is still the value.
    const auto text = Parse({"play", "--text", "--help"});
    EXPECT_EQ(text.Options.Command, CliCommand::Play);
    EXPECT_EQ(text.Options.Text, "--help");
}

TEST(CliOptions, ErrorsStayOneLineWhateverTheValue) {
    EXPECT_EQ(Parse({"export", "--mode", "a\nb", "-o", "x.wav"}).Error,
              "--mode takes one of text|callsign, not 'a?b'");
    EXPECT_EQ(Parse({"export", "--x\r", "-o", "x.wav"}).Error,
              "unknown option '--x?' (see: tonvik export --help)");
    EXPECT_EQ(Parse({"export", "--mode", "\xD0", "-o", "x.wav"}).Error,
              "--mode takes one of text|callsign, not '?'"); // half a UTF-8 character
}

TEST(CliOptions, ValuesOver200CharactersAreShownShortened) {
    const std::string exactly200(200, 'x');
    EXPECT_EQ(Parse({"radiogram", "--kind", exactly200}).Error,
              "--kind takes one of digits|russian|latin, not '" + exactly200 + "'");
    EXPECT_EQ(Parse({"radiogram", "--kind", std::string(5000, 'y')}).Error,
              "--kind takes one of digits|russian|latin, not '" + std::string(40, 'y') +
                  "...' (5000 characters)");
    // Cut between characters, never inside a two-byte Cyrillic one.
    std::string russian;
    for (int i = 0; i < 201; ++i)
        russian += "ж";
    std::string forty;
    for (int i = 0; i < 40; ++i)
        forty += "ж";
    EXPECT_EQ(Parse({"export", "--wpm", russian, "-o", "x.wav"}).Error,
              "--wpm takes a whole number from 10 to 100, not '" + forty + "...' (201 characters)");
}

TEST(CliOptions, TheWindowAndTheJournalCommandTakeTheJournalOptions) {
    const auto window = Parse({"--no-journal"});
    EXPECT_EQ(window.Error, "");
    EXPECT_EQ(window.Options.Command, CliCommand::Window);
    EXPECT_TRUE(window.Options.NoJournal);
    const auto other = Parse({"--journal", "/tmp/j.sqlite"});
    EXPECT_EQ(other.Options.Command, CliCommand::Window);
    EXPECT_EQ(other.Options.JournalPath, "/tmp/j.sqlite");

    const auto journal = Parse({"journal", "--characters", "--days", "7", "--journal", "/tmp/j"});
    EXPECT_EQ(journal.Error, "");
    EXPECT_EQ(journal.Options.Command, CliCommand::Journal);
    EXPECT_TRUE(journal.Options.Characters);
    EXPECT_EQ(journal.Options.Days, 7);
    EXPECT_EQ(journal.Options.JournalPath, "/tmp/j");
    EXPECT_EQ(Parse({"journal", "--days", "14", "--characters"}).Error,
              "--days takes 7 or 30, not '14'");
    EXPECT_EQ(Parse({"journal", "--exercises"}).Error, "--exercises goes with --csv");
    EXPECT_EQ(Parse({"journal", "--csv", "--characters"}).Error,
              "give either --csv or --characters, not both");
    EXPECT_EQ(Parse({"journal", "--days", "30"}).Error, "--days goes with --characters");
    EXPECT_EQ(Parse({"journal", "--no-journal"}).Error,
              "--no-journal is not an option of journal (see: tonvik journal --help)");
    EXPECT_EQ(Parse({"--journal"}).Error, "--journal needs a value");
}

TEST(CliOptions, PlayTakesALatencyInItsRangeAndAStatsFlag) {
    const auto defaults = Parse({"play", "--text", "CQ"});
    ASSERT_EQ(defaults.Error, "");
    EXPECT_EQ(defaults.Options.LatencyMs, 0); // the device's own default
    EXPECT_FALSE(defaults.Options.Stats);

    for (const char* ms : {"20", "1000"}) {
        const auto r = Parse({"play", "--latency-ms", ms, "--stats", "--text", "CQ"});
        ASSERT_EQ(r.Error, "");
        EXPECT_EQ(r.Options.LatencyMs, std::stoi(ms));
        EXPECT_TRUE(r.Options.Stats);
    }
    EXPECT_EQ(Parse({"play", "--latency-ms", "19"}).Error,
              "--latency-ms takes a whole number from 20 to 1000, not '19'");
    EXPECT_EQ(Parse({"play", "--latency-ms", "1001"}).Error,
              "--latency-ms takes a whole number from 20 to 1000, not '1001'");
    EXPECT_EQ(Parse({"play", "--latency-ms", "0.1s"}).Error,
              "--latency-ms takes a whole number from 20 to 1000, not '0.1s'");
    EXPECT_EQ(Parse({"play", "--latency-ms"}).Error, "--latency-ms needs a value");
}
