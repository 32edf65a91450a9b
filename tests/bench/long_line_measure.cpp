// How long a text without spaces keeps the windows busy: 1, 2 and 8 MB of
// letters opened with "Открыть файл" (the handler, its first paint and a key
// typed at the end of the text), shown as readme.txt in the help window (the
// showing and its first paint), and drawn from as a master.ped of one line
// (Start, its paint and the keying up to the pause for the answer, with the
// memory that Start takes). Each figure should grow in proportion to the size,
// under half a second per megabyte.
//
// Run: QT_QPA_PLATFORM=offscreen long_line_measure [MB ...]
#include "app/AboutUnit.h"
#include "app/MainForm.h"
#include "tests/bench/ProcessMemory.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestWaveOut.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tonvik;
namespace fs = std::filesystem;

namespace {

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Paint(QWidget& widget) {
    widget.grab();
    QCoreApplication::processEvents();
}

// Letters of CP1251 without a space or a line break: what the clean-up makes
// of words joined by tabs, dashes or no-break spaces.
std::string Glued(size_t bytes) {
    std::string text(bytes, 'A');
    for (size_t i = 0; i < bytes; ++i)
        text[i] = static_cast<char>(0xC0 + i % 64);
    return text;
}

void MeasureTextWindow(const fs::path& file, int megabytes) {
    TestWaveOut device;
    MessageRecorder messages;
    TMorseMain window(device, messages);
    window.show();
    window.findChild<QTabWidget*>(QStringLiteral("MainPage"))->setCurrentIndex(TextPage);
    QCoreApplication::processEvents();
    window.SetFileChooser([&] { return std::optional<QString>(QString::fromStdString(file)); });
    const double open = Seconds([&] {
        window.OpenButClick();
        Paint(window);
    });
    auto* edit = window.findChild<QPlainTextEdit*>(QStringLiteral("TextWin"));
    const double key = Seconds([&] {
        edit->moveCursor(QTextCursor::End);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A);
        Paint(window);
    });
    std::printf(
        "  text window, %d MB: open and show %7.3f s (%.3f s/MB), a key at the end %7.3f s\n",
        megabytes, open, open / megabytes, key);
    // The cleaned text ends in its separator; the key follows it.
    if (window.TextWinText().size() != static_cast<size_t>(megabytes) * 1024 * 1024 + 3)
        std::printf("  the window does not hold the text as loaded\n");
    if (!messages.Messages.empty())
        std::printf("  message: %s\n", qPrintable(messages.Messages.back().Text));
}

void MeasureHelpWindow(const fs::path& file, int megabytes) {
    MessageRecorder messages;
    QWidget main;
    TAboutForm about(messages, &main);
    about.SetHelpFile(QString::fromStdString(file));
    about.show();
    const double shown = Seconds([&] {
        about.FormShow();
        Paint(about);
    });
    std::printf("  help window, %d MB: show %7.3f s (%.3f s/MB)\n", megabytes, shown,
                shown / megabytes);
    if (!messages.Messages.empty())
        std::printf("  message: %s\n", qPrintable(messages.Messages.back().Text));
}

void MeasureStart(const fs::path& file, int megabytes) {
    TestWaveOut device;
    device.AutoComplete = true;
    MessageRecorder messages;
    TMorseMain window(device, messages);
    window.SetCallsignListFile(QString::fromStdString(file));
    window.show();
    QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("CallEdit")), "UA3TST");
    QCoreApplication::processEvents();
    ResetPeak();
    const long before = StatusKb("VmRSS");
    const double start = Seconds([&] {
        window.findChild<QToolButton*>(QStringLiteral("StartBut"))->click();
        Paint(window);
    });
    const double memory = static_cast<double>(StatusKb("VmHWM") - before) / 1024;
    // The first callsign keyed to its end; given up after 10 s.
    const auto keyingStart = std::chrono::steady_clock::now();
    const double keying = Seconds([&] {
        while (!window.Exercise().State().AwaitingAnswer &&
               std::chrono::steady_clock::now() - keyingStart < std::chrono::seconds(10))
            QCoreApplication::processEvents();
    });
    std::printf("  master.ped of one line, %d MB: Start %7.3f s (%.3f s/MB), %6.1f MB more "
                "memory; the first callsign, %zu characters, keyed in %7.3f s%s\n",
                megabytes, start, start / megabytes, memory,
                window.Exercise().State().SentText.size(), keying,
                window.Exercise().State().AwaitingAnswer ? "" : " (not to its end)");
    window.findChild<QToolButton*>(QStringLiteral("StopBut"))->click();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int n = 1; n < argc; ++n)
        sizes.push_back(std::atoi(argv[n]));
    if (sizes.empty())
        sizes = {1, 2, 8};
    const fs::path dir = fs::temp_directory_path() / ("tonvik-long-" + std::to_string(getpid()));
    fs::create_directories(dir);
    for (const int megabytes : sizes) {
        const fs::path file = dir / "readme.txt";
        std::ofstream(file, std::ios::binary)
            << Glued(static_cast<size_t>(megabytes) * 1024 * 1024);
        MeasureTextWindow(file, megabytes);
        if (static_cast<qint64>(megabytes) * 1024 * 1024 <= TAboutForm::MaxHelpBytes)
            MeasureHelpWindow(file, megabytes);
        MeasureStart(file, megabytes);
    }
    fs::remove_all(dir);
    return 0;
}
