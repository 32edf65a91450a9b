#include "cli/Cli.h"
#include "cli/KochExport.h"
#include "journal/Journal.h"
#include "keying/MorseCode.h"
#include "tests/support/MorseDecode.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

std::vector<int16_t> ReadAudio(const std::string& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (f == nullptr)
        return {};
    std::vector<int16_t> samples(static_cast<size_t>(info.frames));
    samples.resize(static_cast<size_t>(sf_read_short(f, samples.data(), info.frames)));
    sf_close(f);
    return samples;
}

class CourseExportTest : public ::testing::Test {
protected:
    // The user's journal is looked for in a folder of the test's own.
    void SetUp() override {
        if (const char* data = std::getenv("XDG_DATA_HOME"))
            SavedDataHome = data;
        setenv("XDG_DATA_HOME", Data.Path("data").c_str(), 1);
    }
    void TearDown() override {
        if (SavedDataHome)
            setenv("XDG_DATA_HOME", SavedDataHome->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    std::string JournalFile() const { return Data.Path("data/tonvik/journal.sqlite"); }
    // A journal in which each character of missed was sent twenty times in
    // lessons and dropped every time, and each of right copied every time.
    void MakeJournal(const std::string& missed, const std::string& right) {
        Journal journal;
        ASSERT_TRUE(journal.Open(JournalFile()).Ok());
        ExerciseStart start;
        start.Kind = ExerciseKind::KochLesson;
        ASSERT_TRUE(journal.BeginExercise(start));
        LessonResultRecord result;
        result.Course = "latin";
        for (int n = 0; n < 20; ++n) {
            for (const char c : missed)
                result.Characters.push_back({std::string(1, c), ""});
            for (const char c : right)
                result.Characters.push_back({std::string(1, c), std::string(1, c)});
        }
        ASSERT_TRUE(journal.RecordLessonResult(result));
        ASSERT_TRUE(journal.Flush());
    }
    // The groups of a lesson text, without its header and spaces.
    std::string Groups(const std::string& textPath) {
        const std::string text = Read(textPath);
        std::string groups;
        for (const char c : text.substr(text.find('\n') + 1))
            if (c != ' ' && c != '\n')
                groups += c;
        return groups;
    }
    int Run(std::vector<std::string> args) {
        std::istringstream in;
        err.str("");
        return RunCommandLine(args, in, out, err);
    }
    static std::string Read(const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    TempFolder Temp{"tonvik-course-export"};
    TempFolder Data{"tonvik-course-export-data"};
    std::optional<std::string> SavedDataHome;
    std::ostringstream out, err;
};

TEST_F(CourseExportTest, ALessonsAudioKeysTheGroupsOfItsTextFile) {
    const std::string audio = Temp.Path("lesson.flac");
    ASSERT_EQ(Run({"export", "--koch", "5", "--minutes", "1", "--seed", "3", "-o", audio}), 0)
        << err.str();
    const std::string text = Read(Temp.Path("lesson.txt"));
    ASSERT_EQ(text.rfind("tonvik Koch lesson 5 (latin): KMURES, 20/10 wpm, seed 3\n", 0), 0u)
        << text;
    std::string groups = text.substr(text.find('\n') + 1);
    for (char& c : groups)
        c = c == '\n' ? ' ' : c;
    while (!groups.empty() && groups.back() == ' ')
        groups.pop_back();
    EXPECT_EQ(groups.size(), 10u * 6 - 1); // one minute at 10 wpm: ten groups
    EXPECT_EQ(groups.find_first_not_of("KMURES "), std::string::npos) << groups;
    const std::vector<int16_t> samples = ReadAudio(audio);
    // 20 wpm characters (480-sample dots), Farnsworth gaps of 5229 and 12202 samples.
    EXPECT_EQ(DecodeMorse(samples, 480, 8000), groups);
    // Ten words at 10 wpm are one minute: ten groups of five take about as long.
    EXPECT_NEAR(samples.size() / 8000.0, 60.0, 15.0);
}

TEST_F(CourseExportTest, TheSameSeedGivesTheSameLessonAndItsOwnTextIsReplaced) {
    const std::string audio = Temp.Path("a.wav");
    ASSERT_EQ(Run({"export", "--koch", "2", "--minutes", "1", "--seed", "9", "-o", audio}), 0);
    const std::string first = Read(Temp.Path("a.txt"));
    ASSERT_EQ(Run({"export", "--koch", "2", "--minutes", "1", "--seed", "9", "-o", audio}), 0)
        << err.str();
    EXPECT_EQ(Read(Temp.Path("a.txt")), first);
    ASSERT_EQ(Run({"export", "--koch", "2", "--minutes", "1", "--seed", "10", "-o", audio}), 0);
    EXPECT_NE(Read(Temp.Path("a.txt")), first);
}

TEST_F(CourseExportTest, ATextFileThatIsNotOursIsNeverOverwritten) {
    const std::string mine = Temp.Path("lesson.txt");
    std::ofstream(mine) << "my notes\n";
    EXPECT_EQ(Run({"export", "--koch", "3", "-o", Temp.Path("lesson.mp3")}), 1);
    EXPECT_NE(err.str().find("lesson.txt exists and is not a lesson text of tonvik"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Read(mine), "my notes\n");
    EXPECT_FALSE(fs::exists(Temp.Path("lesson.mp3")));
    EXPECT_EQ(Temp.Names(), std::vector<std::string>{"lesson.txt"});
    fs::create_directory(Temp.Path("d.txt"));
    EXPECT_EQ(Run({"export", "--koch", "3", "-o", Temp.Path("d.wav")}), 1);
    EXPECT_NE(err.str().find("is not a regular file"), std::string::npos) << err.str();
}

TEST_F(CourseExportTest, AFailedAudioLeavesNoLessonText) {
    // The audio's folder is missing: nothing of the lesson may stay behind.
    EXPECT_NE(Run({"export", "--koch", "3", "-o", Temp.Path("none/lesson.wav")}), 0);
    EXPECT_TRUE(Temp.Names().empty());
}

TEST_F(CourseExportTest, LessonOptionsAreRefusedWhereTheyMeanNothing) {
    struct Case {
        std::vector<std::string> Args;
        std::string Message;
    };
    const std::string out = Temp.Path("x.wav");
    const Case cases[] = {
        {{"export", "--koch", "38", "-o", out}, "--koch takes a lesson from 1 to 37"},
        {{"export", "--koch", "0", "-o", out}, "--koch takes a whole number from 1"},
        {{"export", "--koch", "3", "--text", "abc", "-o", out}, "without --text"},
        {{"export", "--koch", "3", "-o", "-"}, "give -o a file name"},
        {{"export", "--minutes", "3", "--text", "abc", "-o", out}, "--minutes goes with --koch"},
        {{"export", "--koch", "3", "--minutes", "11", "-o", out}, "--minutes takes"},
        {{"export", "--koch", "3", "--course", "greek", "-o", out}, "--course takes one of"},
        {{"export", "--koch", "3", "--wpm", "15", "--farnsworth", "18", "-o", out},
         "--farnsworth takes an effective speed up to --wpm (15)"},
        {{"export", "--farnsworth", "10", "--mode", "callsign", "--text", "a", "-o", out},
         "--farnsworth goes with --mode text"},
        {{"export", "--farnsworth", "10", "--word-gap", "9", "--text", "a", "-o", out},
         "without --letter-gap and --word-gap"},
        {{"play", "--farnsworth", "4", "--text", "a"}, "--farnsworth takes a whole number"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.Args), 2) << c.Message;
        EXPECT_NE(err.str().find(c.Message), std::string::npos) << err.str();
    }
    EXPECT_TRUE(Temp.Names().empty());
}

TEST_F(CourseExportTest, FarnsworthTextKeepsTheCharactersAndStretchesTheGaps) {
    const std::string plain = Temp.Path("plain.wav"), wide = Temp.Path("wide.wav");
    const std::string paris = "PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS ";
    ASSERT_EQ(Run({"export", "--wpm", "20", "--text", paris, "-o", plain}), 0);
    ASSERT_EQ(Run({"export", "--wpm", "20", "--farnsworth", "10", "--text", paris, "-o", wide}), 0);
    const std::vector<int16_t> a = ReadAudio(plain), b = ReadAudio(wide);
    EXPECT_EQ(DecodeMorse(a, 480, 2400), DecodeMorse(b, 480, 8000));
    // Characters as fast as before, gaps wider: ten words in one minute at 10 wpm.
    size_t toneA = 0, toneB = 0;
    for (const auto& [tone, length] : Spans(a))
        toneA += tone ? length : 0;
    for (const auto& [tone, length] : Spans(b))
        toneB += tone ? length : 0;
    EXPECT_EQ(toneA, toneB);
    EXPECT_NEAR(b.size() / 8000.0, 60.0, 0.2);
}

TEST(LessonTextPath, TakesTheAudiosNameWithTxt) {
    EXPECT_EQ(LessonTextPath("lesson.mp3"), "lesson.txt");
    EXPECT_EQ(LessonTextPath("/a.b/lesson"), "/a.b/lesson.txt");
    EXPECT_EQ(LessonTextPath("dir/.hidden"), "dir/.hidden.txt");
    EXPECT_EQ(LessonTextPath("x.tar.ogg"), "x.tar.txt");
}

} // namespace

TEST_F(CourseExportTest, TheCharactersTheJournalShowsMissedAreDrawnMoreOften) {
    // Lesson 1 (K, M) for ten minutes at 10 wpm: 500 characters. K weighs 1,
    // M 2 as the newest; a character missed every time weighs 2 more.
    struct Case {
        const char* Name;
        const char* Missed;
        const char* Right;
        double KShare;
    };
    const std::vector<Case> cases = {
        {"no journal", nullptr, nullptr, 1.0 / 3},
        {"K always missed", "K", "M", 3.0 / 5},
        {"M always missed", "M", "K", 1.0 / 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(Data.Path("data"));
        if (c.Missed != nullptr)
            MakeJournal(c.Missed, c.Right);
        ASSERT_EQ(Run({"export", "--koch", "1", "--minutes", "10", "--seed", "5", "-o",
                       Temp.Path("k.wav")}),
                  0)
            << err.str();
        EXPECT_EQ(err.str(), "");
        const std::string groups = Groups(Temp.Path("k.txt"));
        ASSERT_EQ(groups.size(), 500u);
        const double share =
            static_cast<double>(std::count(groups.begin(), groups.end(), 'K')) / 500.0;
        EXPECT_NEAR(share, c.KShare, 0.06);
    }
}

TEST_F(CourseExportTest, TheSameSeedAndJournalGiveTheSameFile) {
    MakeJournal("U", "KMR");
    std::vector<std::string> texts, audios;
    for (int n = 0; n < 2; ++n) {
        const std::string audio = Temp.Path("s" + std::to_string(n) + ".flac");
        ASSERT_EQ(Run({"export", "--koch", "3", "--minutes", "1", "--seed", "11", "-o", audio}), 0)
            << err.str();
        texts.push_back(Read(Temp.Path("s" + std::to_string(n) + ".txt")));
        audios.push_back(Read(audio));
    }
    EXPECT_EQ(texts[0], texts[1]);
    EXPECT_EQ(audios[0], audios[1]);
    // Without the journal the same seed draws otherwise: the journal was read.
    fs::remove_all(Data.Path("data"));
    ASSERT_EQ(Run({"export", "--koch", "3", "--minutes", "1", "--seed", "11", "-o",
                   Temp.Path("s0.flac")}),
              0);
    EXPECT_NE(Read(Temp.Path("s0.txt")), texts[0]);
}

TEST_F(CourseExportTest, AJournalThatCannotBeReadIsNamedOnceAndTheLessonGoesOn) {
    ASSERT_EQ(Run({"export", "--koch", "2", "--minutes", "1", "--seed", "4", "-o",
                   Temp.Path("plain.wav")}),
              0);
    const std::string plain = Read(Temp.Path("plain.txt"));
    fs::create_directories(Data.Path("data/tonvik"));
    const std::string garbage(3000, '\x5a');
    std::ofstream(JournalFile(), std::ios::binary) << garbage;
    ASSERT_EQ(Run({"export", "--koch", "2", "--minutes", "1", "--seed", "4", "-o",
                   Temp.Path("broken.wav")}),
              0)
        << err.str();
    const std::string said = err.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.rfind("tonvik: journal " + JournalFile() + ": ", 0), 0u) << said;
    EXPECT_NE(said.find("; the lesson is drawn without the journal\n"), std::string::npos) << said;
    EXPECT_EQ(Read(Temp.Path("broken.txt")), plain);
    EXPECT_EQ(Read(JournalFile()), garbage); // left as it was
}
