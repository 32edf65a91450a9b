// tonvik calls as a user meets it: what it prints per file, the exit status,
// --append, reset, and a personal list left whole when nothing can be done.
#include "callsign/PersonalList.h"
#include "cli/CallsCommand.h"
#include "cli/Cli.h"
#include "tests/support/CallsFixture.h"
#include "tests/support/CommandRun.h"
#include "tests/support/ListFileSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tonvik {
namespace {

class CallsCommand : public CallsFixture {
protected:
    CallsCommand() : CallsFixture("tonvik-calls") {}

    std::string ListBytes() const { return FileBytes(Personal); }

    std::filesystem::path Backup = Temp.Folder() / "data/tonvik/master.ped.bak";
};

TEST_F(CallsCommand, ImportsAMixOfFormatsAndSaysWhatEachGave) {
    const std::string adif = File("log.adi", "ADIF export\n<EOH>\n<call:6>UA3ABC<eor>\n"
                                             "<CALL:7>U\xD0\x90"
                                             "3XYZ<EOR>\n");
    const std::string cabrillo =
        File("cqww.log", "START-OF-LOG: 3.0\n"
                         "QSO:  14025 CW 2023-11-25 0000 RA3XYZ  599 16  DL1ABC  599 14  0\n"
                         "QSO:  14025 CW 2023-11-25 0001 RA3XYZ  599 16  ua3abc  599 16  0\n");
    const std::string scp = File("MASTER.SCP", "# comment\nK1AB\n");
    const CommandRun run = Tonvik({"calls", "import", adif, cabrillo, scp});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, adif +
                           ": ADIF, 1 call kept, 0 duplicates, 1 refused\n"
                           "  line 4: 'U\xD0\x90"
                           "3XYZ' refused: '\xD0\x90' (U+0410, "
                           "Cyrillic) is not a Latin letter, a digit or /\n" +
                           cabrillo + ": Cabrillo, 1 call kept, 1 duplicate, 0 refused\n" + scp +
                           ": call list, 1 call kept, 0 duplicates, 0 refused\n"
                           "Personal list " +
                           Personal.string() +
                           ": 3 callsigns. The window draws from it from the next exercise on.\n");
    EXPECT_EQ(ListBytes(), PersonalListBytes({"UA3ABC", "DL1ABC", "K1AB"}));

    const CommandRun shown = Tonvik({"calls"});
    EXPECT_EQ(shown.Status, 0);
    EXPECT_EQ(shown.Out,
              "The window uses the personal list " + Personal.string() + ": 3 callsigns.\n");
}

TEST_F(CallsCommand, AppendAddsWhatIsNewReplaceKeepsTheBackup) {
    const std::string first = File("first.txt", "UA3ABC\nDL1XYZ\n");
    const std::string second = File("second.txt", "dl1xyz\nK1AB\n");
    ASSERT_EQ(Tonvik({"calls", "import", first}).Status, 0);
    const CommandRun appended = Tonvik({"calls", "import", "--append", second});
    EXPECT_EQ(appended.Status, 0);
    EXPECT_NE(appended.Out.find(": 3 callsigns (1 added)."), std::string::npos) << appended.Out;
    EXPECT_EQ(ListBytes(), PersonalListBytes({"UA3ABC", "DL1XYZ", "K1AB"}));
    EXPECT_EQ(FileBytes(Backup), PersonalListBytes({"UA3ABC", "DL1XYZ"}));

    // Nothing new: the list is left as it is.
    const CommandRun again = Tonvik({"calls", "import", second, "--append"});
    EXPECT_EQ(again.Status, 0);
    EXPECT_NE(again.Out.find("holds every one of these callsigns already"), std::string::npos);
    EXPECT_EQ(FileBytes(Backup), PersonalListBytes({"UA3ABC", "DL1XYZ"}));

    // Without --append the list is the new files' alone.
    EXPECT_EQ(Tonvik({"calls", "import", second}).Status, 0);
    EXPECT_EQ(ListBytes(), PersonalListBytes({"DL1XYZ", "K1AB"}));
    EXPECT_EQ(FileBytes(Backup), PersonalListBytes({"UA3ABC", "DL1XYZ", "K1AB"}));
}

TEST_F(CallsCommand, NothingImportedLeavesTheListAndExitsWithOne) {
    ASSERT_EQ(Tonvik({"calls", "import", File("good.txt", "UA3ABC\n")}).Status, 0);
    const std::string before = ListBytes();
    const std::string cut = File("cut.adi", "<CALL:6>UA3");
    const std::string none = File("none.cbr", "START-OF-LOG: 3.0\nEND-OF-LOG:\n");
    const std::string binary = File("photo.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10));
    const std::string missing = (Temp.Folder() / "missing.adi").string();
    const CommandRun run =
        Tonvik({"calls", "import", cut, none, binary, missing, Temp.Folder().string()});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err,
              "tonvik: " + cut +
                  ": the last record, from line 1, is cut off (no <EOR> before the end of the "
                  "file); it is left out\n"
                  "tonvik: " +
                  none +
                  ": no callsigns in it\n"
                  "tonvik: " +
                  binary +
                  ": not a text file (it holds NUL bytes): not read\n"
                  "tonvik: " +
                  missing +
                  ": no such file\n"
                  "tonvik: " +
                  Temp.Folder().string() +
                  ": a folder, not a file\n"
                  "tonvik: no callsign could be imported; the personal list is unchanged\n");
    EXPECT_EQ(ListBytes(), before);
    EXPECT_FALSE(std::filesystem::exists(Backup));

    // Only refused calls: nothing imported either.
    const CommandRun refused = Tonvik({"calls", "import", File("bad.txt", "TEST\n599\n")});
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(ListBytes(), before);
    // A personal list that cannot be read is not replaced by --append.
    PutFile(Personal, std::string("UA3ABC\0", 7));
    const CommandRun append = Tonvik({"calls", "import", "--append", File("more.txt", "K1AB\n")});
    EXPECT_EQ(append.Status, 1);
    EXPECT_EQ(FileBytes(Personal), std::string("UA3ABC\0", 7));
    EXPECT_EQ(append.Err, "tonvik: " + Personal.string() +
                              ": not a text file (it holds NUL bytes): not read; nothing can be "
                              "added to it, and it is unchanged\n");
    // And the window is said to have nothing to draw from.
    const CommandRun shown = Tonvik({"calls"});
    EXPECT_EQ(shown.Status, 1);
    EXPECT_EQ(shown.Err, "tonvik: the window uses the personal list " + Personal.string() +
                             ", which cannot be drawn from: not a text file (it holds NUL bytes): "
                             "not read\n");
}

TEST_F(CallsCommand, AFailedWriteIsReportedAndTheOldListStays) {
    ASSERT_EQ(Tonvik({"calls", "import", File("good.txt", "UA3ABC\n")}).Status, 0);
    const std::string before = ListBytes();
    ParseResult parsed;
    parsed.Options.Command = CliCommand::Calls;
    parsed.Options.Operands = {"import", File("new.txt", "K1AB\n")};
    FailingListFileOps full(FailingListFileOps::Step::Write);
    std::ostringstream out, err;
    EXPECT_EQ(RunCalls(parsed.Options, DefaultCallsPaths(), full, out, err), 1);
    EXPECT_EQ(err.str().rfind("tonvik: cannot write " + Personal.string() + ".new-", 0), 0u)
        << err.str();
    EXPECT_EQ(out.str().find("Personal list"), std::string::npos) << out.str();
    EXPECT_EQ(ListBytes(), before);
}

TEST_F(CallsCommand, ResetSetsTheListAsideAndTheShippedOneIsUsed) {
    const CommandRun nothing = Tonvik({"calls", "reset"});
    EXPECT_EQ(nothing.Status, 0);
    EXPECT_EQ(nothing.Out.rfind("There is no personal list at " + Personal.string(), 0), 0u);
    ASSERT_EQ(Tonvik({"calls", "import", File("a.txt", "UA3ABC\n")}).Status, 0);
    ASSERT_EQ(Tonvik({"calls", "import", File("b.txt", "K1AB\n")}).Status, 0);
    const CommandRun reset = Tonvik({"calls", "reset"});
    EXPECT_EQ(reset.Status, 0) << reset.Err;
    EXPECT_FALSE(std::filesystem::exists(Personal));
    // The list just set aside is the backup, to be imported again at will.
    EXPECT_EQ(FileBytes(Backup), PersonalListBytes({"K1AB"}));
    EXPECT_EQ(reset.Out, "The personal list is now " + Backup.string() +
                             "; the window uses the shipped list " +
                             DefaultCallsPaths().Shipped.string() + " again.\n");
    const CommandRun shown = Tonvik({"calls"});
    EXPECT_EQ(shown.Out.rfind("The window uses the shipped list ", 0), 0u) << shown.Out;
}

TEST_F(CallsCommand, BadWordsAndOptionsAreRefusedWithTwo) {
    const auto refused = [&](const std::vector<std::string>& args, const std::string& line) {
        const CommandRun run = Tonvik(args);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Err, "tonvik: " + line + "\n");
    };
    refused({"calls", "export"},
            "calls knows import and reset, not 'export' (see: tonvik calls --help)");
    refused({"calls", "import"}, "calls import needs a file: tonvik calls import FILE...");
    refused({"calls", "reset", "x"}, "calls reset takes no file, not 'x'");
    refused({"calls", "--append"}, "--append goes with calls import");
    refused({"calls", "import", "x", "--wpm", "20"},
            "--wpm is not an option of calls (see: tonvik calls --help)");
    EXPECT_FALSE(std::filesystem::exists(Personal));
}

} // namespace
} // namespace tonvik
