#include "cli/Options.h"

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
    EXPECT_EQ(Parse({"export", "--bogus", "-o", "x.wav"}).Error, "unknown option '--bogus'");
    EXPECT_EQ(Parse({"frobnicate"}).Error, "unknown command 'frobnicate' (try: tonvik --help)");
    EXPECT_EQ(Parse({"export", "a.txt", "b.txt", "-o", "x.wav"}).Error,
              "only one input file may be given, not also 'b.txt'");
    EXPECT_EQ(Parse({"export", "a.txt", "--text", "CQ", "-o", "x.wav"}).Error,
              "give either --text or an input file, not both");
    EXPECT_EQ(Parse({"play", "-"}).Error, "");
    EXPECT_EQ(Parse({}).Options.Command, CliCommand::None);
    EXPECT_EQ(Parse({"--help"}).Options.Command, CliCommand::Help);
}

TEST(CliOptions, ErrorsStayOneLineWhateverTheValue) {
    EXPECT_EQ(Parse({"export", "--mode", "a\nb", "-o", "x.wav"}).Error,
              "--mode takes one of text|callsign, not 'a?b'");
    EXPECT_EQ(Parse({"export", "--x\r", "-o", "x.wav"}).Error, "unknown option '--x?'");
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
