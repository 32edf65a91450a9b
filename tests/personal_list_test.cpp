// The personal list: where it lives, which list is drawn from, what it holds
// (every callsign drawable, the last line none), and its replacement, which
// leaves the old list whole whichever step fails.
#include "callsign/CallsignImportCheck.h"
#include "callsign/CallsignList.h"
#include "callsign/CallsignListLocation.h"
#include "callsign/PersonalList.h"
#include "callsign/PersonalListFile.h"
#include "keying/MorseCode.h"
#include "tests/support/ListFileSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace tonvik {
namespace {

using Strings = std::vector<std::string>;
using Step = FailingListFileOps::Step;

TEST(PersonalListPlace, DataHomeFirstThenTheHomeFolder) {
    {
        DataHomeScope data(std::string("/data"));
        EXPECT_EQ(PersonalCallsignList(), "/data/tonvik/master.ped");
        EXPECT_EQ(BackupCallsignList(), "/data/tonvik/master.ped.bak");
    }
    const std::filesystem::path home = qgetenv("HOME").toStdString();
    for (const std::optional<std::string>& value :
         {std::optional<std::string>(), std::optional<std::string>(""),
          std::optional<std::string>("relative/data")}) {
        DataHomeScope data(value);
        EXPECT_EQ(PersonalCallsignList(), home / ".local/share/tonvik/master.ped");
    }
}

TEST(PersonalListPlace, ThePersonalListWinsWhenItExists) {
    TempFolder folder{"tonvik-calls"};
    const auto personal = folder.Folder() / "tonvik-master.ped";
    const auto shipped = folder.Folder() / "master.ped";
    EXPECT_EQ(ChooseCallsignList(personal, shipped).Path, shipped);
    EXPECT_FALSE(ChooseCallsignList(personal, shipped).Personal);
    // Neither there: the shipped one is read, and reported missing.
    EXPECT_EQ(CallsignList::Load(ChooseCallsignList(personal, shipped).Path).Status(),
              CallsignListStatus::Missing);
    std::filesystem::create_symlink(folder.Folder() / "gone", personal);
    EXPECT_EQ(ChooseCallsignList(personal, shipped).Path, shipped);
    std::filesystem::remove(personal);
    // Whatever it holds: an empty personal list is reported, not passed over.
    PutFile(personal, "");
    EXPECT_EQ(ChooseCallsignList(personal, shipped).Path, personal);
    EXPECT_TRUE(ChooseCallsignList(personal, shipped).Personal);
}

TEST(PersonalListBytes, EveryCallDrawableAndTheLastLineNone) {
    const Strings calls{"UA3ABC", "DL1XYZ", "K1AB/4"};
    const std::string bytes = PersonalListBytes(calls);
    EXPECT_EQ(bytes, "UA3ABC\r\nDL1XYZ\r\nK1AB/4\r\n" + std::string(PersonalListEnd) + "\r\n");
    const CallsignList list = CallsignList::FromBytes(bytes);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(CountDrawableCalls(list), 3);
    // A list of another hand: its last line is never drawn, even a callsign;
    // a one-line list draws its line; comments and refusals do not count.
    EXPECT_EQ(CountDrawableCalls(CallsignList::FromBytes("UA3ABC\nK1AB,Joe\nDL1XYZ")), 2);
    EXPECT_EQ(CountDrawableCalls(CallsignList::FromBytes("UA3ABC\r\n")), 1);
    EXPECT_EQ(CountDrawableCalls(CallsignList::FromBytes("UA3ABC\nTEST\n# x\nK1AB\nEND\n")), 2);
    Random random(7);
    std::set<std::string> drawn;
    for (int exercise = 0; exercise < 20; ++exercise) {
        const std::string playText = DrawCallsigns(list, random);
        for (std::size_t start = 0; start < playText.size();) {
            const std::size_t space = playText.find(' ', start);
            drawn.insert(playText.substr(start, space - start));
            start = space + 1;
        }
    }
    EXPECT_EQ(drawn, (std::set<std::string>{"UA3ABC", "DL1XYZ", "K1AB/4"}));

    // The end line is no callsign: it holds characters the table does not key.
    EXPECT_FALSE(CheckImportedCall(PersonalListEnd).Taken());
    EXPECT_TRUE(MorseCode('#').empty());
    // With one callsign the draw is always that one.
    Random other(1);
    std::string thirty;
    for (int n = 0; n < 30; ++n)
        thirty += "R9XY ";
    EXPECT_EQ(DrawCallsigns(CallsignList::FromBytes(PersonalListBytes({"R9XY"})), other), thirty);
}

class ListReplacement : public ::testing::Test {
protected:
    // The files of the folder but the list and its backup: temporary ones.
    Strings Others() const {
        Strings names;
        for (const auto& entry : std::filesystem::directory_iterator(Target.parent_path())) {
            const std::string name = entry.path().filename().string();
            if (name != "master.ped" && name != "master.ped.bak")
                names.push_back(name);
        }
        return names;
    }

    TempFolder Temp{"tonvik-calls"};
    std::filesystem::path Target = Temp.Folder() / "tonvik/master.ped";
    std::filesystem::path Backup = Temp.Folder() / "tonvik/master.ped.bak";
};

TEST_F(ListReplacement, ANewListAndThePreviousOneKept) {
    ListFileOps ops;
    EXPECT_EQ(ReplaceListFile(Target, Backup, "FIRST\r\n", ops), ""); // the folder is made
    EXPECT_EQ(FileBytes(Target), "FIRST\r\n");
    EXPECT_FALSE(std::filesystem::exists(Backup));
    EXPECT_EQ(ReplaceListFile(Target, Backup, "SECOND\r\n", ops), "");
    EXPECT_EQ(FileBytes(Target), "SECOND\r\n");
    EXPECT_EQ(FileBytes(Backup), "FIRST\r\n");
    EXPECT_EQ(ReplaceListFile(Target, Backup, "THIRD\r\n", ops), "");
    EXPECT_EQ(FileBytes(Backup), "SECOND\r\n");
    EXPECT_TRUE(Others().empty());
    // The new file gets the usual permissions, not a temporary file's.
    EXPECT_NE(std::filesystem::status(Target).permissions() & std::filesystem::perms::others_read,
              std::filesystem::perms::none);
}

TEST_F(ListReplacement, AFailureAtAnyStepLeavesTheOldList) {
    struct Case {
        Step At;
        int Nth;
        const char* Start; // of the message
    };
    const std::vector<Case> cases = {
        {Step::OpenNew, 1, "cannot create "},
        {Step::Write, 1, "cannot write "},
        {Step::Sync, 1, "cannot write "},
        {Step::Close, 1, "cannot write "},
        {Step::Link, 1, "cannot keep the previous list as "},
        {Step::Rename, 1, "cannot keep the previous list as "},
        {Step::Rename, 2, "cannot replace "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.At) * 10 + c.Nth);
        PutFile(Target, "OLD\r\n");
        PutFile(Backup, "OLDER\r\n");
        FailingListFileOps ops(c.At, c.Nth);
        const std::string error = ReplaceListFile(Target, Backup, std::string(10000, 'N'), ops);
        EXPECT_TRUE(ops.Failed);
        EXPECT_EQ(error.rfind(c.Start, 0), 0u) << error;
        EXPECT_NE(error.find("No space left on device; the list is unchanged"), std::string::npos)
            << error;
        EXPECT_EQ(FileBytes(Target), "OLD\r\n");
        // Before the backup is made it is untouched; once made, it is the old list.
        EXPECT_EQ(FileBytes(Backup), c.Nth == 2 ? "OLD\r\n" : "OLDER\r\n");
        EXPECT_TRUE(Others().empty());
    }
}

TEST_F(ListReplacement, AnUnsyncedFolderIsNoSuccess) {
    FailingListFileOps ops(Step::SyncFolder, 1, EIO);
    const std::string error = ReplaceListFile(Target, Backup, "NEW\r\n", ops);
    EXPECT_NE(error.find("could not be synced (Input/output error)"), std::string::npos) << error;
}

TEST_F(ListReplacement, MovedAsideForReset) {
    ListFileOps ops;
    EXPECT_EQ(MoveListAside(Target, Backup, ops), ""); // nothing there
    PutFile(Target, "MINE\r\n");
    PutFile(Backup, "OLDER\r\n");
    EXPECT_EQ(MoveListAside(Target, Backup, ops), "");
    EXPECT_FALSE(std::filesystem::exists(Target));
    EXPECT_EQ(FileBytes(Backup), "MINE\r\n");
    PutFile(Target, "AGAIN\r\n");
    FailingListFileOps failing(Step::Rename, 1, EACCES);
    EXPECT_EQ(MoveListAside(Target, Backup, failing), "cannot rename " + Target.string() + " to " +
                                                          Backup.string() + ": Permission denied");
    EXPECT_EQ(FileBytes(Target), "AGAIN\r\n");
}

} // namespace
} // namespace tonvik
