// Files the program reads that turn out to be a pipe, a device or a folder:
// refused at once with the message of an unreadable file, never waited on.
#include "app/AboutUnit.h"
#include "tests/support/ListFileSupport.h"
#include "tests/support/PipeGuard.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"
#include "text/RegularFile.h"

#include <QTextEdit>

namespace tonvik {
namespace {

namespace fs = std::filesystem;

TEST(RegularFile, ReadsOnlyRegularFilesWithinTheLimit) {
    TempFolder folder("tonvik-regular");
    const fs::path text = folder.Folder() / "text.txt";
    PutFile(text, "abc\r\n");
    FileRead read = ReadRegularFile(text, 5);
    EXPECT_EQ(read.Status, FileReadStatus::Ok);
    EXPECT_EQ(read.Bytes, "abc\r\n");
    EXPECT_EQ(ReadRegularFile(text, 4).Status, FileReadStatus::TooLarge);
    EXPECT_EQ(ReadRegularFile(folder.Folder() / "none", 9).Status, FileReadStatus::Missing);
    EXPECT_EQ(ReadRegularFile(text / "below", 9).Status, FileReadStatus::Missing);
    EXPECT_EQ(ReadRegularFile(folder.Folder(), 9).Status, FileReadStatus::Directory);

    // A link to a file is the file; a link to a device is a device.
    fs::create_symlink(text, folder.Folder() / "link.txt");
    EXPECT_EQ(ReadRegularFile(folder.Folder() / "link.txt", 9).Bytes, "abc\r\n");
    fs::create_symlink("/dev/zero", folder.Folder() / "zero.txt");
    read = ReadRegularFile(folder.Folder() / "zero.txt", 9);
    EXPECT_EQ(read.Status, FileReadStatus::NotRegular);
    EXPECT_FALSE(read.Message.empty());
    EXPECT_TRUE(read.Bytes.empty());

    PipeGuard pipe(folder.Folder() / "pipe.txt");
    EXPECT_EQ(ReadRegularFile(folder.Folder() / "pipe.txt", 9).Status, FileReadStatus::NotRegular);
    EXPECT_FALSE(pipe.ReaderWaited());
}

class SpecialFiles : public WindowFixture {
protected:
    TempFolder Folder{"tonvik-special"};
    fs::path At(const char* name) const { return Folder.Folder() / name; }
    std::vector<QString> MessageTexts() const {
        std::vector<QString> texts;
        for (const auto& message : Messages.Messages)
            texts.push_back(message.Text);
        return texts;
    }
};

TEST_F(SpecialFiles, HelpFileThatIsAPipeOrADeviceIsReportedAsUnreadable) {
    TAboutForm about(Messages, Window.get());
    const fs::path help = At("readme.txt");
    about.SetHelpFile(QString::fromStdString(help.string()));
    auto* edit = about.findChild<QTextEdit*>("AboutEdit");
    PutFile(help, "first");
    about.FormShow();
    ASSERT_EQ(edit->toPlainText(), "first");
    fs::remove(help);

    for (const char* kind : {"pipe", "device"}) {
        SCOPED_TRACE(kind);
        Messages.Messages.clear();
        std::optional<PipeGuard> pipe;
        if (kind == std::string("pipe"))
            pipe.emplace(help);
        else
            fs::create_symlink("/dev/zero", help);
        about.FormShow();
        if (pipe) {
            EXPECT_FALSE(pipe->ReaderWaited());
        }
        ASSERT_EQ(Messages.Messages.size(), 1u);
        EXPECT_EQ(Messages.Messages[0].Icon, MessageIcon::Critical);
        EXPECT_EQ(Messages.Messages[0].Caption, "Tonvik");
        EXPECT_TRUE(Messages.Messages[0].Text.startsWith("Cannot open file"))
            << Messages.Messages[0].Text.toStdString();
        EXPECT_TRUE(Messages.Messages[0].Text.contains(QString::fromStdString(help.string())));
        EXPECT_EQ(edit->toPlainText(), "first");
        pipe.reset();
        fs::remove(help);
    }
}

TEST_F(SpecialFiles, TextFileThatIsAPipeLeavesTheWindowAsItWas) {
    ShowPage(TextPage);
    auto* textWin = Control<QPlainTextEdit>("TextWin");
    textWin->setPlainText("qst, qst");
    PipeGuard pipe(At("text.txt"));
    Window->SetFileChooser([&]() -> std::optional<QString> {
        return QString::fromStdString(At("text.txt").string());
    });
    Control<QToolButton>("OpenBut")->click();
    EXPECT_FALSE(pipe.ReaderWaited());
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_TRUE(Messages.Messages[0].Text.startsWith("Это не обычный файл"))
        << Messages.Messages[0].Text.toStdString();
    EXPECT_EQ(textWin->toPlainText(), "qst, qst");
}

TEST_F(SpecialFiles, CallsignListThatIsAPipeEndsTheExerciseAtOnce) {
    Control<QLineEdit>("CallEdit")->setText("RK3ABC");
    const std::vector<QString> unreadable{
        "Не удается прочитать файл master.ped! Работа программы невозможна"};

    // The personal list in the data folder, chosen over the shipped one.
    DataHomeScope home(Folder.Folder().string());
    {
        PipeGuard pipe(At("tonvik/master.ped"));
        EXPECT_EQ(Window->CallsignListPath().toStdString(), At("tonvik/master.ped").string());
        Start();
        EXPECT_FALSE(pipe.ReaderWaited());
        EXPECT_EQ(Play().PlayText, " ");
        EXPECT_EQ(MessageTexts(), unreadable);
        Stop();
    }
    fs::remove(At("tonvik/master.ped"));

    // A list named for the program in place of the shipped one.
    PipeGuard pipe(At("master.ped"));
    Window->SetCallsignListFile(QString::fromStdString(At("master.ped").string()));
    Messages.Messages.clear();
    Start();
    EXPECT_FALSE(pipe.ReaderWaited());
    EXPECT_EQ(Play().PlayText, " ");
    EXPECT_EQ(MessageTexts(), unreadable);
}

} // namespace
} // namespace tonvik
