// The text page: opening, cleaning and filtering a text, the filter's
// controls, radiograms in the window, and a loaded text keyed as the export
// command writes it.
#include "cli/Cli.h"
#include "tests/support/Cp1251Literal.h"
#include "tests/support/WindowFixture.h"
#include "text/CreateUnit.h"
#include "text/RadioGroup.h"
#include "text/SpinEdit.h"
#include "text/TextFile.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

namespace tonvik {
namespace {

namespace fs = std::filesystem;

std::vector<int16_t> ReadWav(const fs::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return {};
    std::vector<int16_t> samples(static_cast<size_t>(info.frames));
    samples.resize(static_cast<size_t>(sf_read_short(file, samples.data(), info.frames)));
    sf_close(file);
    return samples;
}

class TextPageTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Dir = fs::temp_directory_path() /
              ("tonvik-textpage-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
        ShowPage(TextPage);
    }

    void TearDown() override {
        fs::remove_all(Dir);
        WindowFixture::TearDown();
    }

    fs::path Write(const std::string& name, const std::string& bytes) const {
        const fs::path path = Dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // "Открыть файл" with the dialog answered by path, or cancelled.
    void Open(const std::optional<fs::path>& path) {
        bool asked = false;
        Window->SetFileChooser([&]() -> std::optional<QString> {
            asked = true;
            if (!path)
                return std::nullopt;
            return QString::fromStdString(path->string());
        });
        Control<QToolButton>("OpenBut")->click();
        EXPECT_TRUE(asked);
    }

    void Type(const QString& text) {
        auto* box = Control<QPlainTextEdit>("TextWin");
        box->setFocus();
        QTest::keyClicks(box, text);
    }

    // Chooses a word length (-1: none) and presses "Выбрать слова".
    void Filter(int choice) {
        Control<RadioGroup>("ChooseRG")->setItemIndex(choice);
        Control<QToolButton>("ChooseBut")->click();
    }

    // The window's text in CP1251, paragraph breaks and all.
    std::string Shown() const { return Window->TextWinText(); }

    bool FilterEnabled() const {
        const bool group = Control<RadioGroup>("ChooseRG")->isEnabled();
        EXPECT_EQ(Control<QToolButton>("ChooseBut")->isEnabled(), group);
        return group;
    }

    fs::path Dir;
};

TEST_F(TextPageTest, OpensUtf8AndCp1251FilesAlike) {
    // Punctuation and line breaks separate words; Ё, ё, guillemets, a tab, an
    // apostrophe and a no-break space are removed and join what they stood
    // between.
    const std::string utf8 = "ПРИВЕТ, МИР!\r\n\r\n\r\n\"Ёлка\" - ёж (да?) «№1»\n"
                             "it's\tok\xC2\xA0now\n";
    const std::string expected = Cp1251("ПРИВЕТ  МИР  лка  ж  да  1  itsoknow  ");
    const std::vector<std::pair<std::string, std::string>> files = {
        {"utf8.txt", utf8},
        {"bom.TXT", "\xEF\xBB\xBF" + utf8},
        {"cp1251.txt", Cp1251(utf8)},
    };
    for (const auto& [name, bytes] : files) {
        Control<QToolButton>("ClearBut")->click();
        Open(Write(name, bytes));
        EXPECT_EQ(Shown(), expected) << name;
        EXPECT_TRUE(FilterEnabled()) << name;
    }
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(TextPageTest, OpenReplacesWhatTheWindowHeld) {
    Type("QST QST");
    Open(Write("one.txt", "CQ DE RA3ABC"));
    EXPECT_EQ(Shown(), "CQ  DE  RA3ABC  ");
    EXPECT_EQ(Control<QPlainTextEdit>("TextWin")->toPlainText(), "CQ  DE  RA3ABC  ");
}

TEST_F(TextPageTest, CancelledDialogStillCleansTheWindow) {
    Control<QPlainTextEdit>("TextWin")->setPlainText("\"cq\" de ra3abc!\n\n\nk.");
    Open(std::nullopt);
    EXPECT_EQ(Shown(), "  cq  de  ra3abc  k  ");
    EXPECT_TRUE(FilterEnabled());
    // Cleaning a cleaned text changes nothing.
    Open(std::nullopt);
    EXPECT_EQ(Shown(), "  cq  de  ra3abc  k  ");

    // A no-break space, pasted or typed, is removed like any other character
    // the clean-up does not keep.
    Control<QPlainTextEdit>("TextWin")->setPlainText(QString("73\u00A0es cu"));
    Open(std::nullopt);
    EXPECT_EQ(Shown(), "73es  cu  ");

    Control<QToolButton>("ClearBut")->click();
    Open(std::nullopt);
    EXPECT_EQ(Shown(), "");
    EXPECT_FALSE(FilterEnabled());
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(TextPageTest, UnreadableFileLeavesTheWindowUncleaned) {
    std::vector<std::pair<fs::path, QString>> failures = {
        {Dir / "missing.txt", "Файл не найден"},
        {Dir, "Это папка"},
    };
    if (::geteuid() != 0) { // root reads whatever the permissions say
        const fs::path locked = Write("locked.txt", "CQ");
        fs::permissions(locked, fs::perms::none);
        failures.push_back({locked, "Нет доступа"});
    }
    Type("qst, qst");
    for (const auto& [path, reason] : failures) {
        Messages.Messages.clear();
        Open(path);
        ASSERT_EQ(Messages.Messages.size(), 1u) << path;
        const MessageRecorder::Entry& message = Messages.Messages[0];
        EXPECT_TRUE(message.Text.contains(reason)) << message.Text.toStdString();
        EXPECT_TRUE(message.Text.contains(QString::fromStdString(path.string())))
            << message.Text.toStdString();
        EXPECT_EQ(message.Icon, MessageIcon::Critical);
        EXPECT_EQ(Shown(), "qst, qst");
    }
}

TEST_F(TextPageTest, FilesOverFiftyMegabytesAreRefused) {
    Type("qst, qst");
    const fs::path huge = Write("huge.txt", "");
    fs::resize_file(huge, MaxTextFileBytes + 1); // sparse: nothing is written
    Open(huge);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_TRUE(Messages.Messages[0].Text.contains("слишком большой"));
    EXPECT_TRUE(Messages.Messages[0].Text.contains(QString::fromStdString(huge.string())));
    EXPECT_EQ(Shown(), "qst, qst");

    // Exactly the limit is read: one line of zero bytes, which the clean-up
    // removes, leaving the separator of the line's end.
    Messages.Messages.clear();
    fs::resize_file(huge, MaxTextFileBytes);
    Open(huge);
    EXPECT_TRUE(Messages.Messages.empty());
    EXPECT_EQ(Shown(), "  ");
}

TEST_F(TextPageTest, BinaryFileComesOutInWordFormat) {
    std::mt19937 engine(3);
    std::string bytes;
    for (int n = 0; n < 20000; ++n)
        bytes.push_back(static_cast<char>(engine() % 256));
    for (int code = 0; code < 256; ++code)
        bytes.push_back(static_cast<char>(code));
    Open(Write("noise.txt", bytes));
    EXPECT_TRUE(Messages.Messages.empty());
    const std::string shown = Shown();
    std::string words; // the text without the window's paragraph breaks
    for (char c : shown) {
        if (c != '\n')
            words.push_back(c);
    }
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.substr(words.size() - 2), "  ");
    EXPECT_EQ(words.find("   "), std::string::npos);
    for (size_t n = 0; n < words.size(); ++n) {
        const auto c = static_cast<unsigned char>(words[n]);
        const bool kept = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                          (c >= 'a' && c <= 'z') || c >= 0xC0 || c == ' ';
        ASSERT_TRUE(kept) << "byte " << int(c) << " at " << n;
        if (c == ' ' && (n == 0 || words[n - 1] != ' ')) {
            ASSERT_LT(n + 1, words.size());
            ASSERT_EQ(words[n + 1], ' ') << "a single space at " << n;
        }
    }
}

TEST_F(TextPageTest, EachChoiceKeepsWordsOfTwoToItsLength) {
    const std::string text =
        Cp1251("я, ты мы - они; Анна. ребро! сестра? 12345 1234567 абвгдеёжз б\n");
    // Ё is removed first: "абвгдеёжз" is an eight-letter word.
    const std::vector<std::string> expected = {
        Cp1251("ты  мы  они  "),
        Cp1251("ты  мы  они  Анна  "),
        Cp1251("ты  мы  они  Анна  ребро  12345  "),
        Cp1251("ты  мы  они  Анна  ребро  сестра  12345  "),
        Cp1251("ты  мы  они  Анна  ребро  сестра  12345  1234567  "),
    };
    const fs::path path = Write("words.txt", text);
    for (int choice = 0; choice < 5; ++choice) {
        Open(path);
        Filter(choice);
        EXPECT_EQ(Shown(), expected[static_cast<size_t>(choice)]) << choice;
        // Filtering again keeps what one filtering kept.
        Filter(choice);
        EXPECT_EQ(Shown(), expected[static_cast<size_t>(choice)]) << choice;
    }
    Open(path);
    const std::string loaded = Shown();
    Filter(-1);
    EXPECT_EQ(Shown(), loaded);
    // A filter that keeps nothing empties the window and disables itself.
    Open(Write("long.txt", "PARIS, LONDON."));
    Filter(0);
    EXPECT_EQ(Shown(), "");
    EXPECT_FALSE(FilterEnabled());
}

TEST_F(TextPageTest, FilterControlsFollowEveryChangeOfTheWindow) {
    EXPECT_FALSE(FilterEnabled());
    QTest::keyClick(Control<QPlainTextEdit>("TextWin"), Qt::Key_Return); // an empty line is a line
    EXPECT_TRUE(FilterEnabled());
    Control<QToolButton>("ClearBut")->click();
    EXPECT_FALSE(FilterEnabled());
    Open(Write("cq.txt", "CQ CQ"));
    EXPECT_TRUE(FilterEnabled());
    Open(Write("empty.txt", ""));
    EXPECT_EQ(Shown(), "");
    EXPECT_FALSE(FilterEnabled());

    Open(Write("cq.txt", "CQ CQ"));
    ShowPage(CallsignPage);
    ShowPage(TextPage);
    // Showing the page disables the filter until the window changes.
    EXPECT_FALSE(FilterEnabled());
    Open(std::nullopt);
    EXPECT_TRUE(FilterEnabled());
    ShowPage(CallsignPage);
    ShowPage(TextPage);
    Type("A");
    EXPECT_TRUE(FilterEnabled());
}

TEST_F(TextPageTest, RadiogramsInTheWindowAndTheFilter) {
    TCreateForm dialog(Window.get());
    Window->SetCreateForm(&dialog);
    auto answer = [&](const char* button) {
        QTimer::singleShot(0, &dialog, [&dialog, button] {
            dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
        Control<QToolButton>("CreateBut")->click();
    };
    Open(Write("cq.txt", "CQ CQ DE RA3ABC"));
    answer("CancelBtn");
    EXPECT_EQ(Shown(), "CQ  CQ  DE  RA3ABC  ");

    const std::vector<bool> keeps = {false, false, true, true, true};
    for (int choice = 0; choice < 5; ++choice) {
        answer("OkBtn");
        const std::string radiogram = Shown();
        ASSERT_EQ(radiogram.size(), 210u);
        EXPECT_TRUE(FilterEnabled());
        Filter(choice);
        EXPECT_EQ(Shown(), keeps[static_cast<size_t>(choice)] ? radiogram : "") << choice;
    }
    Window->SetCreateForm(nullptr);
}

// A text opened, filtered and keyed in the window gives, sample for sample,
// what "tonvik export --clean --max-word-length N" writes for the same file.
TEST_F(TextPageTest, KeysALoadedTextAsTheExportCommandWritesIt) {
    // Long enough to be shown in several paragraphs, with words of every
    // length, Latin small letters, digits and characters that are removed.
    std::mt19937 engine(21);
    const std::string letters = Cp1251("абвгдежзийклмнопрстуфхцчшщъыьэюяЁё") + "qrz0123";
    const std::vector<std::string> marks = {" ", ", ", ". ", "\n", " - ", "\t", "\xA0", "!\r\n"};
    std::string text;
    while (text.size() < 6000) {
        const size_t length = 1 + engine() % 9;
        for (size_t n = 0; n < length; ++n)
            text.push_back(letters[engine() % letters.size()]);
        text += marks[engine() % marks.size()];
    }
    const fs::path path = Write("exercise.txt", text);

    Control<QSlider>("SpeedTrackBar")->setValue(60);
    Control<QSlider>("PitchTrackBar")->setValue(10);
    Control<QSlider>("VolTrackBar")->setValue(1);
    Control<SpinEdit>("SpinEdit2")->setValue(4);
    Control<SpinEdit>("SpinEdit1")->setValue(9);
    Device.AutoComplete = true;
    for (const int choice : {-1, 2}) {
        Device.Writes.clear();
        Messages.Messages.clear();
        Open(path);
        Filter(choice);
        ASSERT_GT(Control<QPlainTextEdit>("TextWin")->document()->blockCount(), 1);
        Control<QToolButton>("StartBut")->click();
        ASSERT_TRUE(ProcessUntil([&] { return Messages.CountOf(EndText) == 1; }));
        ASSERT_TRUE(ProcessUntil([&] { return !Device.IsOpen(); }));
        const std::vector<int16_t> keyed = Device.AllSamples();

        const fs::path wav = Dir / "export.wav";
        std::vector<std::string> args = {
            "export",       "--clean", "--wpm",      "60", "--pitch",     "1000", "--volume",  "7",
            "--letter-gap", "4",       "--word-gap", "9",  path.string(), "-o",   wav.string()};
        if (choice >= 0)
            args.insert(args.begin() + 2, {"--max-word-length", std::to_string(choice + 3)});
        std::istringstream in;
        std::ostringstream out, err;
        ASSERT_EQ(RunCommandLine(args, in, out, err), 0) << err.str();
        const std::vector<int16_t> exported = ReadWav(wav);

        ASSERT_GT(exported.size(), 100000u) << choice;
        ASSERT_GE(keyed.size(), exported.size()) << choice;
        EXPECT_TRUE(std::equal(exported.begin(), exported.end(), keyed.begin()))
            << "the window keyed other samples than the export wrote, choice " << choice;
        // What follows is the silence of the characters past the end.
        EXPECT_TRUE(std::all_of(keyed.begin() + static_cast<std::ptrdiff_t>(exported.size()),
                                keyed.end(), [](int16_t v) { return v == 0; }))
            << choice;
    }
}

} // namespace
} // namespace tonvik
