// How long "Открыть файл" keeps the window busy for 1, 10 and 50 MB texts,
// stage by stage: reading the file, the clean-up, putting the cleaned text
// into the text window, the first paint, a key typed at the end of the text
// and another one there; then the whole handler as the user meets it, for a
// CP1251 and a UTF-8 file of that size.
//
// With --compare, what the window avoids: the uncleaned text put in first,
// the cleaned text as one paragraph, and a QTextEdit, which lays out the
// whole text between events (minutes for 50 MB) and before the cursor can
// reach its end.
//
// Run: QT_QPA_PLATFORM=offscreen text_window_measure [--compare] [MB ...]
#include "app/MainForm.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestWaveOut.h"
#include "text/Cp1251.h"
#include "text/GenCodeUnit.h"
#include "text/TextFile.h"
#include "text/WindowParagraphs.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

// Russian prose-like CP1251 text: words of 1..10 letters, punctuation and a
// line break every dozen words or so.
std::string Prose(size_t bytes) {
    std::mt19937 engine(50);
    auto pick = [&engine](int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine); };
    std::string text;
    text.reserve(bytes + 16);
    while (text.size() < bytes) {
        const int length = 1 + pick(10);
        for (int n = 0; n < length; ++n)
            text.push_back(static_cast<char>(0xC0 + pick(64)));
        static const char* const after[] = {", ", ". ", "\r\n", " - ", " ", " ", " ", " "};
        text += after[pick(8)];
    }
    text.resize(bytes);
    return text;
}

// The first bytes of UTF-8 text, cut where a character begins.
std::string Utf8Prefix(const std::string& utf8, size_t bytes) {
    if (bytes >= utf8.size())
        return utf8;
    while (bytes > 0 && (static_cast<unsigned char>(utf8[bytes]) & 0xC0) == 0x80)
        --bytes;
    return utf8.substr(0, bytes);
}

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* stage, double seconds) {
    std::printf("  %-48s %8.3f s\n", stage, seconds);
    std::fflush(stdout);
}

// Types one letter at the end of an editor's text and paints it.
template <class Editor> void TypeAtEnd(Editor& editor) {
    QTextCursor end(editor.document());
    end.movePosition(QTextCursor::End);
    editor.setTextCursor(end);
    editor.setFocus();
    QTest::keyClick(&editor, Qt::Key_A);
    editor.grab();
    QCoreApplication::processEvents();
}

// An editor of the text window's size and font, on its own.
template <class Editor> void MeasureEditor(const char* name, const QString& text) {
    Editor editor;
    QFont monospace = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    monospace.setPointSize(10);
    editor.setFont(monospace);
    editor.resize(393, 222);
    editor.show();
    std::printf("  %s\n", name);
    Report("  the text put in, and a paint", Seconds([&] {
               editor.setPlainText(text);
               editor.grab();
               QCoreApplication::processEvents();
           }));
    Report("  a key typed at its end, and a paint", Seconds([&] { TypeAtEnd(editor); }));
    Report("  another key there, and a paint", Seconds([&] { TypeAtEnd(editor); }));
}

struct Window {
    TestWaveOut Device;
    MessageRecorder Messages;
    TMorseMain Main{Device, Messages};
    QPlainTextEdit* TextWin = Main.findChild<QPlainTextEdit*>(QStringLiteral("TextWin"));

    Window() {
        Main.show();
        Main.findChild<QTabWidget*>(QStringLiteral("MainPage"))->setCurrentIndex(TextPage);
        QCoreApplication::processEvents();
    }
    // A paint of the window as it now is.
    void Paint() {
        Main.grab();
        QCoreApplication::processEvents();
    }
};

void MeasureStages(const std::string& path, bool compare) {
    Window window;
    LoadedText loaded;
    std::string cleaned;
    Report("LoadTextFile", Seconds([&] { loaded = LoadTextFile(path); }));
    Report("WindowLines + CleanText",
           Seconds([&] { cleaned = CleanText(WindowLines(loaded.Text)); }));
    Report("put the cleaned text in TextWin",
           Seconds([&] { window.Main.SetTextWinText(cleaned); }));
    Report("first paint", Seconds([&] { window.Paint(); }));
    Report("a key typed at the end, and a paint", Seconds([&] { TypeAtEnd(*window.TextWin); }));
    Report("another key there, and a paint", Seconds([&] { TypeAtEnd(*window.TextWin); }));
    Report("the text read back (TextWinText)", Seconds([&] { window.Main.TextWinText(); }));
    Report("FilterWords on it, and put back", Seconds([&] {
               if (auto kept = FilterWords(WindowLines(window.Main.TextWinText()), 2))
                   window.Main.SetTextWinText(*kept);
           }));
    if (!compare)
        return;
    Window other;
    Report("(avoided) the loaded text put in as it is",
           Seconds([&] { other.TextWin->setPlainText(FromCp1251(loaded.Text)); }));
    MeasureEditor<QTextEdit>("(avoided) the same paragraphs in a QTextEdit",
                             FromCp1251(BreakIntoParagraphs(cleaned)));
    MeasureEditor<QPlainTextEdit>("(avoided) one paragraph in TextWin's editor",
                                  FromCp1251(cleaned));
}

void MeasureHandler(const std::string& path) {
    Window window;
    window.Main.SetFileChooser(
        [&] { return std::optional<QString>(QString::fromStdString(path)); });
    Report("OpenButClick and the first paint", Seconds([&] {
               window.Main.OpenButClick();
               window.Paint();
           }));
    if (!window.Messages.Messages.empty())
        std::printf("  message: %s\n", qPrintable(window.Messages.Messages.back().Text));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<int> sizes;
    bool compare = false;
    for (int n = 1; n < argc; ++n) {
        if (std::string(argv[n]) == "--compare")
            compare = true;
        else
            sizes.push_back(std::atoi(argv[n]));
    }
    if (sizes.empty())
        sizes = {1, 10, 50};
    const fs::path dir = fs::temp_directory_path() / ("tonvik-measure-" + std::to_string(getpid()));
    fs::create_directories(dir);
    for (const int megabytes : sizes) {
        const size_t bytes = static_cast<size_t>(megabytes) * 1024 * 1024;
        const std::string text = Prose(bytes);
        const fs::path cp1251 = dir / "cp1251.txt";
        const fs::path utf8 = dir / "utf8.txt";
        std::ofstream(cp1251, std::ios::binary) << text;
        std::ofstream(utf8, std::ios::binary) << Utf8Prefix(Cp1251ToUtf8(text), bytes);
        std::printf("%d MB CP1251 text\n", megabytes);
        MeasureStages(cp1251.string(), compare);
        MeasureHandler(cp1251.string());
        std::printf("%d MB UTF-8 text\n", megabytes);
        MeasureHandler(utf8.string());
    }
    fs::remove_all(dir);
    return 0;
}
