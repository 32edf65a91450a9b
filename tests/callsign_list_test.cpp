#include "callsign/CallsignList.h"

#include "tests/support/Cp1251Literal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

class CallsignListFile : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("tonvik_list_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }

    CallsignList LoadBytes(const std::string& bytes, std::size_t maxBytes = MaxCallsignListBytes) {
        fs::path path = Dir / "master.ped";
        std::ofstream(path, std::ios::binary) << bytes;
        return CallsignList::Load(path, maxBytes);
    }

    std::vector<std::string> Callsigns(const CallsignList& list) {
        std::vector<std::string> result;
        for (int i = 0; i < list.Count(); ++i)
            result.emplace_back(list.Callsign(i));
        return result;
    }

    fs::path Dir;
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(CallsignListFile, CutsAtTheFirstCommaWithoutTrimming) {
    CallsignList list = LoadBytes("UA3ABC,Ivan,Moscow\r\nDL1AB\r\n,comma first\r\n"
                                  " UA 9XYZ ,x\r\nK1ABC tail  \r\n\xd0\xc0\xc7,\xcf\r\nua3abc");
    ASSERT_TRUE(list.Ok());
    EXPECT_EQ(Callsigns(list), (Lines{"UA3ABC", "DL1AB", "", " UA 9XYZ ", "K1ABC tail  ",
                                      "\xd0\xc0\xc7", "ua3abc"}));
    EXPECT_EQ(list.Line(0), "UA3ABC,Ivan,Moscow");
    EXPECT_EQ(list.Line(3), " UA 9XYZ ,x");
    EXPECT_EQ(list.Line(-1), "");
    EXPECT_EQ(list.Line(7), "");
}

TEST(CallsignListLongLines, CallsignsAreCutAtTheirLimitAndTheLinesAroundThemStayWhole) {
    const std::string hundred(MaxCallsignBytes, 'Q');
    const std::string huge = 'R' + std::string(10 * 1024 * 1024, 'A') + ",name";
    CallsignList list =
        CallsignList::FromBytes("UA3ABC,x\r\n" + huge + "\r\n" + hundred + ",at the limit\n" +
                                hundred + "Z,one over\n" + hundred + "\rDL1AB\r\nlast");
    ASSERT_TRUE(list.Ok());
    ASSERT_EQ(list.Count(), 7);
    EXPECT_EQ(list.Callsign(0), "UA3ABC");
    EXPECT_EQ(list.Callsign(1), huge.substr(0, MaxCallsignBytes));
    EXPECT_EQ(list.Line(1), huge); // the line itself is kept as it is
    EXPECT_EQ(list.Callsign(2), hundred);
    EXPECT_EQ(list.Callsign(3), hundred);
    EXPECT_EQ(list.Callsign(4), hundred); // ends at its CR, not at the next line
    EXPECT_EQ(list.Callsign(5), "DL1AB");
    EXPECT_EQ(list.Callsign(6), "last");
    EXPECT_EQ(list.Callsign(7), "");
}

TEST(CallsignListLongLines, ALineOfMegabytesDrawsThirtyCutCallsigns) {
    const std::string huge(10 * 1024 * 1024, 'E');
    CallsignList list = CallsignList::FromBytes(huge);
    Random random(3);
    std::string expected;
    for (int i = 0; i < CallsignsPerExercise; ++i)
        expected += std::string(MaxCallsignBytes, 'E') + ' ';
    EXPECT_EQ(DrawCallsigns(list, random), expected);
}

TEST_F(CallsignListFile, EndsLinesAtCrLfOrCrLf) {
    EXPECT_EQ(Callsigns(LoadBytes("A\rB\nC\r\nD")), (Lines{"A", "B", "C", "D"}));
    // A final break adds no line, but every other break ends one, empty or not.
    EXPECT_EQ(Callsigns(LoadBytes("A\r\n")), (Lines{"A"}));
    EXPECT_EQ(Callsigns(LoadBytes("A\r")), (Lines{"A"}));
    EXPECT_EQ(Callsigns(LoadBytes("A\n\n")), (Lines{"A", ""}));
    EXPECT_EQ(Callsigns(LoadBytes("A\n\rB")), (Lines{"A", "", "B"}));
    EXPECT_EQ(Callsigns(LoadBytes("A\r\r\nB\r\n")), (Lines{"A", "", "B"}));
    EXPECT_EQ(Callsigns(LoadBytes("\r\n")), (Lines{""}));
}

TEST_F(CallsignListFile, FindsEveryLineOfALongMixedList) {
    std::string bytes;
    const char* breaks[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 1000; ++i)
        bytes += "CALL" + std::to_string(i) + (i % 7 == 0 ? ",x" : "") + breaks[i % 3];
    CallsignList list = LoadBytes(bytes);
    ASSERT_EQ(list.Count(), 1000);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(list.Callsign(i), "CALL" + std::to_string(i)) << "line " << i;
}

TEST(CallsignList, BreaksAcrossBlockAndWordBoundaries) {
    // Lines are found through 4096-byte blocks read eight bytes at a time: a
    // CR LF split by either boundary is still one break.
    for (std::size_t lead = 4084; lead <= 4100; ++lead) {
        std::string first(lead, 'X');
        CallsignList list = CallsignList::FromBytes(first + "\r\nB\rC\n\rD");
        ASSERT_EQ(list.Count(), 5) << lead;
        EXPECT_EQ(list.Line(0), first);
        EXPECT_EQ(list.Line(1), "B");
        EXPECT_EQ(list.Line(2), "C");
        EXPECT_EQ(list.Line(3), "");
        EXPECT_EQ(list.Line(4), "D");
    }
    // Many short lines, then a line longer than a block, then more lines.
    std::string bytes;
    for (int i = 0; i < 900; ++i)
        bytes += Numbered('L', i) + (i % 2 ? "\r" : "\r\n");
    bytes += std::string(10000, 'Y') + "\n";
    for (int i = 0; i < 900; ++i)
        bytes += Numbered('M', i) + "\n";
    CallsignList list = CallsignList::FromBytes(bytes);
    ASSERT_EQ(list.Count(), 1801);
    EXPECT_EQ(list.Line(899), "L899");
    EXPECT_EQ(list.Line(900), std::string(10000, 'Y'));
    for (int i = 0; i < 900; ++i)
        ASSERT_EQ(list.Line(901 + i), Numbered('M', i));
}

TEST_F(CallsignListFile, FailuresGiveTheirStatus) {
    CallsignList missing = CallsignList::Load(Dir / "none.ped");
    EXPECT_EQ(missing.Status(), CallsignListStatus::Missing);

    CallsignList empty = LoadBytes("");
    EXPECT_EQ(empty.Status(), CallsignListStatus::Empty);

    CallsignList directory = CallsignList::Load(Dir);
    EXPECT_EQ(directory.Status(), CallsignListStatus::Unreadable);

    CallsignList large = LoadBytes("UA3ABC\r\nDL1AB\r\n", 10);
    EXPECT_EQ(large.Status(), CallsignListStatus::TooLarge);

    CallsignList binary = LoadBytes(std::string("UA3ABC\r\nDL\0AB\r\n", 15));
    EXPECT_EQ(binary.Status(), CallsignListStatus::NotText);

    for (const CallsignList* list : {&missing, &empty, &directory, &large, &binary}) {
        EXPECT_FALSE(list->Ok());
        EXPECT_EQ(list->Count(), 0);
        Random random(1);
        EXPECT_EQ(DrawCallsigns(*list, random), " ");
    }
}

TEST_F(CallsignListFile, ExactLimitIsStillRead) {
    EXPECT_TRUE(LoadBytes("UA3ABC\r\n", 8).Ok());
    EXPECT_EQ(CallsignList::FromBytes("UA3ABC\r\nDL1AB", 8).Status(), CallsignListStatus::TooLarge);
}

TEST(DrawCallsigns, OneAndTwoLineListsAlwaysGiveTheFirstLine) {
    std::string thirty;
    for (int i = 0; i < CallsignsPerExercise; ++i)
        thirty += "UA3ABC ";
    for (const char* bytes : {"UA3ABC,x", "UA3ABC,x\r\nDL1AB\r\n"}) {
        CallsignList list = CallsignList::FromBytes(bytes);
        for (uint64_t seed = 1; seed <= 5; ++seed) {
            Random random(seed);
            EXPECT_EQ(DrawCallsigns(list, random), thirty) << bytes;
        }
    }
}

TEST(DrawCallsigns, NeverDrawsTheLastLine) {
    CallsignList list = CallsignList::FromBytes("AA\nBB\nCC\n");
    std::set<std::string> seen;
    for (uint64_t seed = 1; seed <= 20; ++seed) {
        Random random(seed);
        std::string text = DrawCallsigns(list, random);
        ASSERT_EQ(text.size(), 30u * 3);
        for (std::size_t i = 0; i < text.size(); i += 3) {
            EXPECT_EQ(text[i + 2], ' ');
            seen.insert(text.substr(i, 2));
        }
    }
    EXPECT_EQ(seen, (std::set<std::string>{"AA", "BB"}));
}

TEST(DrawCallsigns, KeepsSpacesAndEmptyCallsigns) {
    CallsignList list = CallsignList::FromBytes(",empty\r\nlast");
    Random random(7);
    EXPECT_EQ(DrawCallsigns(list, random), std::string(30, ' '));
    CallsignList spaced = CallsignList::FromBytes("UA 3ABC\r\nlast");
    std::string text = DrawCallsigns(spaced, random);
    EXPECT_EQ(text.substr(0, 16), "UA 3ABC UA 3ABC ");
    EXPECT_EQ(text.size(), 30u * 8);
}
