// Importing callsigns from logs: each format as loggers write it, the check
// of every call, the de-duplication and the files that cannot be read.
#include "callsign/CallsignImport.h"
#include "callsign/CallsignImportCheck.h"
#include "callsign/CallsignImportRead.h"
#include "keying/MorseCode.h"
#include "tests/support/ListFileSupport.h"
#include "tests/support/TempFolder.h"
#include "text/TextFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <vector>

namespace tonvik {
namespace {

std::vector<std::string> Texts(const FoundCalls& found) {
    std::vector<std::string> texts;
    for (const FoundCall& call : found.Calls)
        texts.push_back(call.Refusal.empty() ? std::string(call.Text) : "!" + call.Refusal);
    return texts;
}

using Strings = std::vector<std::string>;

TEST(AdifReader, TagsInAnyCaseAndRecordsOverSeveralLines) {
    const std::string log = "Log of RA3XYZ, written by hand <not a tag\r\n"
                            "<ADIF_VER:5>3.1.0 <ProgramID:4>test\r\n"
                            "<EOH>\r\n"
                            "<call:6>UA3ABC<band:3>20m<eor>\r\n"
                            "<QSO_DATE:8:D>20231125\r\n"
                            "<Call:6:S>DL1XYZ\r\n"
                            "<MODE:2>CW\r\n"
                            "<EoR>\r\n"
                            "<STATION_CALLSIGN:6>RA3XYZ<OPERATOR:6>RA3XYZ<CALL:4>K1AB<EOR>\r\n";
    const FoundCalls found = ReadAdifCalls(log);
    EXPECT_EQ(found.Format, "ADIF");
    EXPECT_EQ(Texts(found), (Strings{"UA3ABC", "DL1XYZ", "K1AB"}));
    EXPECT_EQ(found.Calls[1].Line, 6);
    EXPECT_EQ(found.Calls[2].Line, 9);
    EXPECT_EQ(found.Problem, "");
}

TEST(AdifReader, TheLengthInTheTagIsHonoured) {
    // The data is as long as the tag says: a '<' inside it is no tag, and
    // what follows the length is text between fields.
    const FoundCalls found = ReadAdifCalls("<COMMENT:14>see <CALL:4>X <CALL:5>UA3ABCDEF<EOR>"
                                           "<CALL:10>DL/UA3ABC/P<eor>");
    EXPECT_EQ(Texts(found), (Strings{"UA3AB", "DL/UA3ABC/"}));
}

TEST(AdifReader, RecordsWithoutCallAndCutOffRecords) {
    const FoundCalls noCall = ReadAdifCalls("<BAND:3>20m<EOR>\n<CALL:6>UA3ABC<EOR>\n");
    EXPECT_EQ(Texts(noCall), (Strings{"!a record without CALL", "UA3ABC"}));

    // Cut off inside the data of a field: the records before it are kept.
    const FoundCalls inData = ReadAdifCalls("<CALL:6>UA3ABC<EOR>\n<CALL:6>DL1X");
    EXPECT_EQ(Texts(inData), (Strings{"UA3ABC"}));
    EXPECT_EQ(inData.Problem, "the last record, from line 2, is cut off (no <EOR> before the end "
                              "of the file); it is left out");
    // Inside a tag, and after whole fields but before <EOR>.
    EXPECT_EQ(Texts(ReadAdifCalls("<CALL:6>UA3ABC<EOR><CALL:6")), (Strings{"UA3ABC"}));
    EXPECT_NE(ReadAdifCalls("<CALL:6>UA3ABC<EOR><CALL:6").Problem, "");
    const FoundCalls noEnd = ReadAdifCalls("<CALL:6>UA3ABC<EOR>\n\n<CALL:6>DL1XYZ<MODE:2>CW\n");
    EXPECT_EQ(Texts(noEnd), (Strings{"UA3ABC"}));
    EXPECT_NE(noEnd.Problem.find("from line 3"), std::string::npos);
    // A length far past the end of the file.
    EXPECT_NE(ReadAdifCalls("<CALL:99999999999999999999>UA3ABC<EOR>").Problem, "");
}

TEST(CabrilloReader, TheOtherStationsCallInTwoContestsLayouts) {
    // CQ WW: RST and zone each way, and a transmitter number at the end.
    const std::string cqww =
        "START-OF-LOG: 3.0\n"
        "CONTEST: CQ-WW-CW\n"
        "CALLSIGN: RA3XYZ\n"
        "QSO:  14025 CW 2023-11-25 0000 RA3XYZ        599 16     DL1ABC        "
        "599 14     0\n"
        "QSO:  7012 CW 2023-11-25 0002 RA3XYZ        599 16     K1AB/4        "
        "599 5      1\n"
        "X-QSO: 7012 CW 2023-11-25 0003 RA3XYZ       599 16     W1AW   599 5  0\n"
        "END-OF-LOG:\n";
    const FoundCalls wwCalls = ReadCabrilloCalls(cqww);
    EXPECT_EQ(wwCalls.Format, "Cabrillo");
    EXPECT_EQ(Texts(wwCalls), (Strings{"DL1ABC", "K1AB/4"}));
    EXPECT_EQ(wwCalls.Calls[0].Line, 4);

    // ARRL Sweepstakes: serial, precedence, check and section each way.
    const std::string ss =
        "QSO: 21000 CW 2019-11-02 2100 K1ABC         1 A 72 CT  W1XYZ        25 B 65 ME\n"
        "QSO: 21000 CW 2019-11-02 2101 K1ABC         2 A 72 CT  N5XX        117 Q 58 STX\n";
    EXPECT_EQ(Texts(ReadCabrilloCalls(ss)), (Strings{"W1XYZ", "N5XX"}));

    // RSGB IOTA: an island reference sent, none received, so the two
    // exchanges differ in length; the reference looks like a callsign.
    const std::string iota = "QSO: 14000 CW 2023-07-29 1200 G4ABC 599 001 EU005 DL1ABC 599 014\n"
                             "QSO: 14000 CW 2023-07-29 1201 G4ABC 599 002 UA3ABC 599 015 EU005\n";
    EXPECT_EQ(Texts(ReadCabrilloCalls(iota)), (Strings{"DL1ABC", "UA3ABC"}));
}

TEST(CabrilloReader, LinesWithoutACallAreNamedNotSkipped) {
    const FoundCalls found = ReadCabrilloCalls("qso: 3500 CW 2023-01-01 0000 RA3XYZ 599 599\n"
                                               "QSO: 3500 CW 2023-01-01 0001\n"
                                               "QSO: 3500 CW 2023-01-01 0002 RA3XYZ 599 U\xD0\x90"
                                               "3ABC 599\n");
    EXPECT_EQ(Texts(found), (Strings{"!a QSO line without the other station's call",
                                     "!a QSO line without the other station's call",
                                     "U\xD0\x90"
                                     "3ABC"}));
}

TEST(ListReader, SuperCheckPartialCallHistoryAndPlainLists) {
    const FoundCalls scp = ReadListedCalls("# MASTER.SCP, 2024-01-01\n"
                                           "# comments and blank lines\n\n"
                                           "UA3ABC\n"
                                           "  DL1XYZ  \n"
                                           "K1AB");
    EXPECT_EQ(scp.Format, "call list");
    EXPECT_EQ(Texts(scp), (Strings{"UA3ABC", "DL1XYZ", "K1AB"}));
    EXPECT_EQ(scp.Calls[1].Line, 5);

    const FoundCalls history = ReadListedCalls("!!Order!!,Call,Name,Loc1,CqZone\r\n"
                                               "! N1MM call history\r\n"
                                               "UA3ABC,Ivan,Moscow,16\r\n"
                                               "DL1XYZ,Hans,,14\r\n");
    EXPECT_EQ(history.Format, "call history");
    EXPECT_EQ(Texts(history), (Strings{"UA3ABC", "DL1XYZ"}));

    // The call in the column that the order line names.
    const FoundCalls reordered = ReadListedCalls("!!Order!!,Name,Call\r"
                                                 "Ivan,UA3ABC\r"
                                                 "Hans\r");
    EXPECT_EQ(Texts(reordered), (Strings{"UA3ABC", "!no Call column in the line"}));
}

TEST(ImportCheck, LatinLettersDigitsAndSlashOnly) {
    EXPECT_EQ(CheckImportedCall(" ua3abc\t").Call, "UA3ABC");
    EXPECT_EQ(CheckImportedCall("DL/UA3ABC/P").Call, "DL/UA3ABC/P");
    // A Cyrillic А (U+0410) that looks like the Latin A: refused, and named.
    const CheckedCall cyrillic = CheckImportedCall("U\xD0\x90"
                                                   "3ABC");
    EXPECT_FALSE(cyrillic.Taken());
    EXPECT_EQ(cyrillic.Call, "");
    EXPECT_EQ(cyrillic.Shown, "U\xD0\x90"
                              "3ABC");
    EXPECT_EQ(cyrillic.Refusal,
              "'\xD0\x90' (U+0410, Cyrillic) is not a Latin letter, a digit or /");
    // The same letter in a CP1251 file.
    EXPECT_EQ(CheckImportedCall("U\xC0"
                                "3ABC")
                  .Refusal,
              "'\xD0\x90' (CP1251 byte 0xC0, Cyrillic) is not a Latin letter, a digit or /");
    EXPECT_EQ(CheckImportedCall("U\xC0"
                                "3ABC")
                  .Shown,
              "U\xD0\x90"
              "3ABC");
    EXPECT_EQ(CheckImportedCall("UA3 ABC").Refusal, "a space is not a Latin letter, a digit or /");
    // '?' is in the Morse table, but no callsign holds it.
    EXPECT_EQ(CheckImportedCall("UA3AB?").Refusal,
              "'?' (U+003F) is not a Latin letter, a digit or /");
    EXPECT_EQ(CheckImportedCall("UA3\x01").Refusal,
              "a control character (U+0001) is not a Latin letter, a digit or /");
    EXPECT_EQ(CheckImportedCall("TEST").Refusal, "no digit: not a callsign");
    EXPECT_EQ(CheckImportedCall("599").Refusal, "no letter: not a callsign");
    EXPECT_EQ(CheckImportedCall("/UA3ABC").Refusal, "a / at its start or end, or two together");
    EXPECT_EQ(CheckImportedCall("DL//UA3ABC").Refusal, "a / at its start or end, or two together");
    EXPECT_EQ(CheckImportedCall("UA3ABCDEFGHIJKLMNOPQR").Refusal, "longer than 20 characters");
    EXPECT_EQ(CheckImportedCall("  ").Refusal, "empty");
}

TEST(ImportCheck, EveryCharacterTakenIsKeyed) {
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        const bool latin = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
        EXPECT_EQ(IsCallCharacter(c), latin) << code;
        if (IsCallCharacter(c)) {
            EXPECT_FALSE(MorseCode(static_cast<unsigned char>(c)).empty()) << code;
        }
    }
}

TEST(ImportFormats, FoundByExtensionOrByContent) {
    EXPECT_EQ(DetectImportFormat("log.ADI", "anything"), ImportFormat::Adif);
    EXPECT_EQ(DetectImportFormat("log.adif", ""), ImportFormat::Adif);
    EXPECT_EQ(DetectImportFormat("log.txt", "\n<CALL:6>UA3ABC<EOR>"), ImportFormat::Adif);
    EXPECT_EQ(DetectImportFormat("export", "Header text\n<eoh>\n"), ImportFormat::Adif);
    EXPECT_EQ(DetectImportFormat("ua3abc.log", "START-OF-LOG: 3.0\n"), ImportFormat::Cabrillo);
    EXPECT_EQ(DetectImportFormat("x.txt", "  QSO: 14000 CW\n"), ImportFormat::Cabrillo);
    EXPECT_EQ(DetectImportFormat("MASTER.SCP", "# c\nUA3ABC\n"), ImportFormat::CallList);
}

TEST(CallsignCollection, EachCallOnceAcrossFilesAndTheListAlreadyThere) {
    CallsignCollection calls;
    calls.AddExisting("UA3ABC\r\nbad line\r\n# The last line\r\n");
    EXPECT_EQ(calls.Calls(), (Strings{"UA3ABC"}));
    EXPECT_EQ(calls.Added(), 0);

    const FileImport adif =
        calls.ImportBytes("a.adi", "<CALL:6>ua3abc<EOR><CALL:6>DL1XYZ<EOR><CALL:6>dl1xyz<EOR>"
                                   "<CALL:7>U\xD0\x90"
                                   "3ABC<EOR>");
    EXPECT_EQ(adif.Format, "ADIF");
    EXPECT_EQ(adif.Kept, 1);
    EXPECT_EQ(adif.Duplicates, 2);
    EXPECT_EQ(adif.Refused, 1);
    ASSERT_EQ(adif.FirstRefused.size(), 1u);
    EXPECT_EQ(adif.FirstRefused[0].Line, 1);
    EXPECT_EQ(adif.FirstRefused[0].Shown, "U\xD0\x90"
                                          "3ABC");

    const FileImport list =
        calls.ImportBytes("calls.txt", "\xEF\xBB\xBFK1AB\nDL1XYZ\n1\n2\n3\n4\n5\n6\n");
    EXPECT_EQ(list.Kept, 1); // the byte-order mark is no part of the first call
    EXPECT_EQ(list.Duplicates, 1);
    EXPECT_EQ(list.Refused, 6);
    EXPECT_EQ(list.FirstRefused.size(), ListedRefusals);
    EXPECT_EQ(calls.Calls(), (Strings{"UA3ABC", "DL1XYZ", "K1AB"}));
    EXPECT_EQ(calls.Added(), 2);
}

TEST(CallsignCollection, FilesThatGiveNothing) {
    TempFolder folder{"tonvik-calls"};
    CallsignCollection calls;
    const auto problem = [&](const std::filesystem::path& path) {
        const FileImport result = calls.Import(path);
        EXPECT_EQ(result.Kept, 0) << path;
        return result.Problem;
    };
    EXPECT_EQ(problem(folder.Folder() / "none.adi"), "no such file");
    EXPECT_EQ(problem(folder.Folder()), "a folder, not a file");
    PutFile(folder.Folder() / "empty.txt", "");
    EXPECT_EQ(problem(folder.Folder() / "empty.txt"), "the file is empty");
    PutFile(folder.Folder() / "blank.cbr", "START-OF-LOG: 3.0\nEND-OF-LOG:\n");
    EXPECT_EQ(problem(folder.Folder() / "blank.cbr"), "no callsigns in it");
    PutFile(folder.Folder() / "nul.adi", std::string("<CALL:6>UA3ABC<EOR>\0", 20));
    EXPECT_EQ(problem(folder.Folder() / "nul.adi"),
              "not a text file (it holds NUL bytes): not read");
    PutFile(folder.Folder() / "control.bin", "UA3ABC\x01\x02\x03\x04\x05\n");
    EXPECT_EQ(problem(folder.Folder() / "control.bin"),
              "not a text file (control bytes throughout): not read");
    // Over 50 MB, as a sparse file: refused before anything is read.
    PutFile(folder.Folder() / "huge.txt", "UA3ABC\n");
    std::filesystem::resize_file(folder.Folder() / "huge.txt", MaxTextFileBytes + 1);
    EXPECT_EQ(problem(folder.Folder() / "huge.txt"), "larger than 50 MB: not read");
    // A pipe nobody writes to: refused, not waited on.
    ASSERT_EQ(mkfifo((folder.Folder() / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(problem(folder.Folder() / "pipe"),
              "not a regular file (a device, a pipe or a socket): not read");
    EXPECT_TRUE(calls.Calls().empty());
}

} // namespace
} // namespace tonvik
