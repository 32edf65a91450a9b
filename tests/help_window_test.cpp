// The help window: readme.txt read at every showing, or a warning.
#include "app/AboutUnit.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/WindowFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

namespace tonvik {
namespace {

const QString MissingText = "Не найден файл readme.txt! Справка недоступна !";
const QString LoadedCaption = "Справка ---  Tonvik v2.14 by Kelvad ";

class HelpWindow : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(Folder.isValid());
        About = std::make_unique<TAboutForm>(Messages, Window.get());
        About->SetHelpFile(HelpPath());
        Window->SetAboutForm(About.get());
    }

    void TearDown() override {
        About.reset();
        WindowFixture::TearDown();
    }

    QString HelpPath() const { return Folder.filePath("readme.txt"); }

    void WriteHelp(const QByteArray& bytes) const {
        QFile file(HelpPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QString Shown() const { return About->findChild<QTextEdit*>("AboutEdit")->toPlainText(); }

    QTemporaryDir Folder;
    std::unique_ptr<TAboutForm> About;
};

TEST_F(HelpWindow, WithoutTheFileWarnsAndShowsAnEmptyWindow) {
    for (int showing = 1; showing <= 2; ++showing) {
        About->FormShow();
        ASSERT_EQ(Messages.Messages.size(), static_cast<size_t>(showing));
        EXPECT_EQ(Messages.Messages.back().Text, MissingText);
        EXPECT_EQ(Messages.Messages.back().Caption, "Внимание!");
        EXPECT_EQ(About->windowTitle(), "Справка");
        EXPECT_EQ(Shown(), "");
    }
}

TEST_F(HelpWindow, ShowsTheFileAndTakesTheMainCaption) {
    // "Справка: F3 — тест" in CP1251.
    WriteHelp("\xD1\xEF\xF0\xE0\xE2\xEA\xE0: F3 \x97 \xF2\xE5\xF1\xF2\r\n");
    About->FormShow();
    EXPECT_TRUE(Messages.Messages.empty());
    EXPECT_EQ(Shown(), "Справка: F3 — тест\n");
    EXPECT_EQ(About->windowTitle(), LoadedCaption);

    // Edits in the window are replaced by the file at the next showing, and
    // a changed file shows its new text.
    About->findChild<QTextEdit*>("AboutEdit")->setPlainText("edited");
    WriteHelp("second");
    About->FormShow();
    EXPECT_EQ(Shown(), "second");
    EXPECT_EQ(About->windowTitle(), LoadedCaption);
}

TEST_F(HelpWindow, DeletedBetweenShowingsKeepsTheLastText) {
    WriteHelp("first text");
    About->FormShow();
    ASSERT_TRUE(QFile::remove(HelpPath()));
    About->FormShow();
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].Text, MissingText);
    EXPECT_EQ(Shown(), "first text");
    EXPECT_EQ(About->windowTitle(), LoadedCaption);
}

TEST_F(HelpWindow, Utf8FileIsReadAsUtf8) {
    WriteHelp("\xEF\xBB\xBF" + QString("Прием позывных").toUtf8());
    About->FormShow();
    EXPECT_EQ(Shown(), "Прием позывных");
}

TEST_F(HelpWindow, UnreadableOrHugeFileIsReportedAndTheTextKept) {
    WriteHelp("kept");
    About->FormShow();
    {
        QFile huge(HelpPath());
        ASSERT_TRUE(huge.resize(TAboutForm::MaxHelpBytes + 1));
    }
    About->FormShow();
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_TRUE(Messages.Messages[0].Text.startsWith("Файл readme.txt слишком велик"));
    EXPECT_EQ(Shown(), "kept");

    ASSERT_TRUE(QFile::remove(HelpPath()));
    ASSERT_TRUE(QDir(Folder.path()).mkdir("readme.txt"));
    About->FormShow();
    ASSERT_EQ(Messages.Messages.size(), 2u);
    EXPECT_EQ(Messages.Messages[1].Caption, "Tonvik");
    EXPECT_EQ(Messages.Messages[1].Icon, MessageIcon::Critical);
    EXPECT_EQ(Shown(), "kept");
}

TEST_F(HelpWindow, OneLongLineIsShownInParagraphs) {
    // Letters glued together, as a help text of one line without spaces.
    QByteArray line;
    for (int n = 0; n < 5000; ++n)
        line += static_cast<char>('A' + n % 26);
    WriteHelp(line + "\r\nend");
    About->FormShow();
    const QTextDocument* shown = About->findChild<QTextEdit*>("AboutEdit")->document();
    EXPECT_GE(shown->blockCount(), 4);
    for (QTextBlock block = shown->begin(); block.isValid(); block = block.next())
        EXPECT_LE(block.length(), 2001);
    QString joined = Shown();
    EXPECT_EQ(joined.remove('\n'), QString::fromLatin1(line + "end"));
}

TEST_F(HelpWindow, HelpButtonShowsTheWindowModally) {
    WriteHelp("help");
    bool shownModal = false;
    QTimer::singleShot(0, About.get(), [&] {
        shownModal = About->isVisible() && About->isModal();
        About->close();
    });
    Control<QToolButton>("QBut")->click();
    EXPECT_TRUE(shownModal);
    EXPECT_EQ(Shown(), "help");
}

TEST_F(HelpWindow, IsCentredOnTheMainWindowAtItsFirstShowing) {
    WriteHelp("help");
    Window->move(37, 53);
    QPoint centre;
    QTimer::singleShot(0, About.get(), [&] {
        centre = About->geometry().center();
        About->close();
    });
    Control<QToolButton>("QBut")->click();
    EXPECT_LE((centre - Window->geometry().center()).manhattanLength(), 1);
}

TEST_F(HelpWindow, ShippedHelpSitsBesideTheExecutable) {
    About->SetHelpFile(QString());
    EXPECT_EQ(About->HelpFilePath(),
              QDir(QCoreApplication::applicationDirPath()).filePath("readme.txt"));
    QFile shipped(About->HelpFilePath());
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray bytes = shipped.readAll();
    // Stored as CP1251, which does not survive a trip through UTF-8.
    EXPECT_NE(QString::fromUtf8(bytes).toUtf8(), bytes);
    About->FormShow();
    EXPECT_TRUE(Messages.Messages.empty());
    for (const char* topic : {"Прием позывных", "master.ped", "F6", "Esc", "(R / L)^4"})
        EXPECT_TRUE(Shown().contains(QString(topic))) << topic;
}

TEST_F(HelpWindow, EveryControlHasANameForAScreenReader) {
    WriteHelp("Help");
    About->show();
    EXPECT_EQ(UnnamedControls(About.get()), QStringList());
    QAccessibleInterface* text =
        QAccessible::queryAccessibleInterface(About->findChild<QTextEdit*>("AboutEdit"));
    EXPECT_EQ(text->text(QAccessible::Name), "Справка");
    About->hide();
}

} // namespace
} // namespace tonvik
