// Help and version as a user meets them: on standard output, exit status 0,
// each command with its own options and no others.
#include "cli/OptionTable.h"
#include "tests/support/CommandRun.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

using namespace tonvik;

namespace {

// The option as a word of the text: not a part of a longer name.
bool Mentions(const std::string& text, const std::string& option) {
    const std::regex word("(^|[\\s(,'\"])" + option + "($|[\\s=,)'\"])");
    return std::regex_search(text, word);
}

} // namespace

TEST(CliHelp, EachCommandsHelpListsItsOwnOptionsOnly) {
    for (const CommandDef& command : CommandTable()) {
        if (command.Word.empty())
            continue;
        for (const char* flag : {"--help", "-h"}) {
            const CommandRun o = Tonvik({command.Word, flag});
            EXPECT_EQ(o.Status, 0) << command.Word;
            EXPECT_EQ(o.Err, "") << command.Word;
            EXPECT_EQ(o.Out.rfind("Usage: tonvik " + command.Word + " ", 0), 0u) << o.Out;
            for (const OptionDef& option : OptionCatalogue()) {
                EXPECT_EQ(Mentions(o.Out, option.Name), command.Takes(option.Name))
                    << command.Word << " --help and " << option.Name << ":\n"
                    << o.Out;
            }
        }
        EXPECT_EQ(Tonvik({"help", command.Word}).Out, Tonvik({command.Word, "--help"}).Out);
    }
}

TEST(CliHelp, EveryUsageFitsAnEightyColumnTerminal) {
    for (const CommandDef& command : CommandTable()) {
        const CommandRun o =
            command.Word.empty() ? Tonvik({"--help"}) : Tonvik({command.Word, "-h"});
        std::istringstream lines(o.Out);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 80u) << line;
    }
}

TEST(CliHelp, ExportAndPlayShareTheKeyingOptionsWithTheirRanges) {
    const std::string exportHelp = Tonvik({"export", "--help"}).Out;
    const std::string playHelp = Tonvik({"play", "-h"}).Out;
    for (const std::string line :
         {"  --wpm N                   speed in words per minute (10..100, default 30)\n",
          "  --volume N                volume, 8 loudest (0..8, default 5)\n",
          "  --letter-gap N            dots between letters (2..72, default 3)\n",
          "  --word-gap N              dots between words (7..108, default 7)\n"}) {
        EXPECT_NE(exportHelp.find(line), std::string::npos) << line;
        EXPECT_NE(playHelp.find(line), std::string::npos) << line;
    }
    EXPECT_NE(exportHelp.find("  -o, --output OUT "), std::string::npos);
    EXPECT_EQ(playHelp.find("--output"), std::string::npos);
}

TEST(CliHelp, GeneralHelpListsEveryCommandWithOneLine) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"help"}}) {
        const CommandRun o = Tonvik(args);
        EXPECT_EQ(o.Status, 0);
        for (const char* line :
             {"\n  export     key FILE (or --text, or standard input) into an audio file\n",
              "\n  play       key FILE (or --text, or standard input) through the sound device\n",
              "\n  radiogram  print a random radiogram of five-character groups\n",
              "\n  help       show the usage of a command\n", "\n  --version  "}) {
            EXPECT_NE(o.Out.find(line), std::string::npos) << line << " in:\n" << o.Out;
        }
    }
}

TEST(CliHelp, EveryUsageStatesTheExitStatusValues) {
    for (const CommandDef& command : CommandTable()) {
        const CommandRun o =
            command.Word.empty() ? Tonvik({"--help"}) : Tonvik({"help", command.Word});
        EXPECT_NE(o.Out.find("Exit status: 0 done, 1 a file or the sound device failed, 2 bad "
                             "usage,\n130 interrupted"),
                  std::string::npos)
            << o.Out;
    }
}

TEST(CliHelp, WrongUseGoesToStandardErrorWithStatus2) {
    const CommandRun o = Tonvik({"play", "--bogus"});
    EXPECT_EQ(o.Status, 2);
    EXPECT_EQ(o.Out, "");
    EXPECT_EQ(o.Err, "tonvik: unknown option '--bogus' (see: tonvik play --help)\n");
    EXPECT_EQ(Tonvik({"help", "frob"}).Status, 2);
}

TEST(CliHelp, VersionNamesTheProgramAndItsLibraries) {
    const CommandRun o = Tonvik({"--version"});
    EXPECT_EQ(o.Status, 0);
    EXPECT_EQ(o.Err, "");
    EXPECT_TRUE(std::regex_match(o.Out, std::regex("tonvik [0-9]+\\.[0-9]+\\.[0-9]+\n"
                                                   "Qt 6\\.[0-9]+\\.[0-9]+\n"
                                                   "SDL 2\\.[0-9]+\\.[0-9]+\n"
                                                   "libsndfile 1\\.[0-9]+\\.[0-9]+\n")))
        << o.Out;
    EXPECT_EQ(o.Out.rfind(std::string("tonvik ") + TONVIK_VERSION + "\n", 0), 0u);
}
