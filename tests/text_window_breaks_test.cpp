// The text window shows long runs without spaces in paragraphs of its own
// making; those breaks are never the text's: not keyed, not a separator when
// the window is cleaned or filtered, and kept apart from the user's own line
// breaks whatever is typed, deleted, pasted, dragged or undone next to them.
#include "tests/support/WindowFixture.h"
#include "text/GenCodeUnit.h"
#include "text/TextWinEdit.h"
#include "text/WindowParagraphs.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

#include <algorithm>
#include <optional>
#include <random>
#include <vector>

namespace tonvik {
namespace {

// Long texts compared without printing them whole: where they first differ.
::testing::AssertionResult Same(const std::string& shown, const std::string& expected) {
    if (shown == expected)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < shown.size() && at < expected.size() && shown[at] == expected[at])
        ++at;
    auto near = [at](const std::string& text) { return text.substr(at < 8 ? 0 : at - 8, 20); };
    return ::testing::AssertionFailure()
           << "lengths " << shown.size() << " and " << expected.size() << ", first difference at "
           << at << ": \"" << near(shown) << "\" against \"" << near(expected) << "\"";
}

class TextWindowBreaks : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ShowPage(TextPage);
        Edit = Control<QPlainTextEdit>("TextWin");
        Edit->setFocus();
    }
    std::string Shown() const { return Window->TextWinText(); }
    int Blocks() const { return Edit->document()->blockCount(); }
    // The position where paragraph n of the display begins.
    int BlockStart(int n) const { return Edit->document()->findBlockByNumber(n).position(); }
    void At(int position, int anchor = -1) {
        QTextCursor cursor(Edit->document());
        cursor.setPosition(anchor < 0 ? position : anchor);
        if (anchor >= 0)
            cursor.setPosition(position, QTextCursor::KeepAnchor);
        Edit->setTextCursor(cursor);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(Edit, key, modifiers);
    }
    void CleanWindow() {
        Window->SetFileChooser([] { return std::optional<QString>(); });
        Control<QToolButton>("OpenBut")->click();
    }

    QPlainTextEdit* Edit = nullptr;
};

// 4500 letters glued together, then a word: what a file of words joined by
// deleted characters becomes.
const std::string Glued = std::string(4500, 'W') + "  AB  ";

TEST_F(TextWindowBreaks, LongRunIsShownInParagraphsButReadWhole) {
    Window->SetTextWinText(Glued);
    ASSERT_GE(Blocks(), 3);
    for (QTextBlock block = Edit->document()->begin(); block.isValid(); block = block.next())
        EXPECT_LE(block.length() - 1, static_cast<int>(2 * WindowParagraphLength));
    EXPECT_TRUE(Same(Shown(), Glued));

    // Cleaned again, filtered, and keyed: as if it were one line.
    CleanWindow();
    EXPECT_TRUE(Same(Shown(), Glued));
    EXPECT_GE(Blocks(), 3);
    Window->SetTextWinText(*FilterWords(Glued, 4));
    EXPECT_TRUE(Same(Shown(), "AB  "));
    Window->SetTextWinText(Glued);
    Control<QToolButton>("StartBut")->click();
    EXPECT_EQ(Play().PlayText, Glued);
    Stop();
}

TEST_F(TextWindowBreaks, TypingAndDeletingBesideABreakChangesOnlyWhatIsTyped) {
    Window->SetTextWinText(Glued);
    const int second = BlockStart(1);
    // The break before the second paragraph is a position of the window, not
    // a character of the text.
    const std::size_t at = static_cast<std::size_t>(second - 1);
    At(second);
    QTest::keyClicks(Edit, "x");
    At(second);
    QTest::keyClicks(Edit, "y");
    std::string expected = Glued;
    expected.insert(at, "yx");
    EXPECT_TRUE(Same(Shown(), expected));

    // Backspace at the start of the shown paragraph joins it to the one
    // before, which is no change of the text; undo shows the break again.
    const int blocks = Blocks();
    At(BlockStart(1));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Blocks(), blocks - 1);
    EXPECT_TRUE(Same(Shown(), expected));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Blocks(), blocks);
    EXPECT_TRUE(Same(Shown(), expected));
    // The next Backspace deletes a letter.
    At(BlockStart(1));
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    expected.erase(at - 1, 1);
    EXPECT_TRUE(Same(Shown(), expected));
    CleanWindow();
    EXPECT_TRUE(Same(Shown(), expected));
}

TEST_F(TextWindowBreaks, EnterBesideABreakIsOneLineBreakOfTheUser) {
    for (const int offset : {-1, 0, 1}) {
        SCOPED_TRACE(offset);
        Window->SetTextWinText(Glued);
        const int position = BlockStart(1) + offset;
        At(position);
        Key(Qt::Key_Return);
        std::string expected = Glued;
        expected.insert(static_cast<std::size_t>(position - (offset >= 0 ? 1 : 0)), "\n");
        EXPECT_TRUE(Same(Shown(), expected));
        // Undone and done again.
        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(Same(Shown(), Glued));
        Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(Same(Shown(), expected));
    }
    // Over a selection that holds breaks of the display.
    Window->SetTextWinText(Glued);
    const std::size_t end = static_cast<std::size_t>(BlockStart(2) + 5 - 2);
    At(BlockStart(2) + 5, 10);
    Key(Qt::Key_Return);
    EXPECT_TRUE(Same(Shown(), Glued.substr(0, 10) + "\n" + Glued.substr(end)));
    CleanWindow();
    EXPECT_TRUE(Same(Shown(), Glued.substr(0, 10) + "  " + Glued.substr(end)));
}

TEST_F(TextWindowBreaks, CopyCutAndPasteCarryNoBreakOfTheDisplay) {
    Window->SetTextWinText(Glued);
    const int from = BlockStart(1) - 3;
    const int to = BlockStart(2) + 3;
    const std::string selected = Glued.substr(from, to - from - 2); // two breaks inside
    At(to, from);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), selected);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), selected);
    std::string expected = Glued;
    expected.erase(from, selected.size());
    EXPECT_TRUE(Same(Shown(), expected));

    // Pasted at the start of a shown paragraph, lines of the user's inside.
    QApplication::clipboard()->setText("ab\ncd\nef");
    Window->SetTextWinText(Glued);
    At(BlockStart(1));
    Edit->paste();
    expected = Glued;
    expected.insert(static_cast<std::size_t>(BlockStart(1) - 1), "ab\ncd\nef");
    EXPECT_TRUE(Same(Shown(), expected));
    CleanWindow();
    EXPECT_TRUE(Same(Shown(), CleanText(WindowLines(expected))));
}

// A drag that enters edit's view at a point, moves and is dropped there.
bool DropAt(QPlainTextEdit& edit, const QString& text, QPoint at) {
    QMimeData data;
    data.setText(text);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &drop);
    return drop.isAccepted();
}

// The text as Qt's own copy, a drag or the X selection takes it from the
// window, and a drop into the window.
class DraggedText : public TextWindowBreaks {
protected:
    // What Qt hands to the clipboard, a drag or the selection: the same data.
    std::string Taken() {
        QApplication::clipboard()->clear();
        Edit->copy();
        return QApplication::clipboard()->text().toStdString();
    }
    // Dropped where the window shows the position, which must be in view.
    void Drop(const QString& text, int position) {
        ProcessPending();
        QTextCursor cursor(Edit->document());
        cursor.setPosition(position);
        const QPoint at = Edit->cursorRect(cursor).center();
        ASSERT_TRUE(Edit->viewport()->rect().contains(at)) << position << " is not in view";
        ASSERT_TRUE(DropAt(*Edit, text, at));
    }
};

TEST_F(DraggedText, TextTakenOrDroppedAcrossABreakOfTheDisplayGetsNoLineBreak) {
    Window->SetTextWinText(Glued);
    const int from = BlockStart(1) - 3;
    const int to = BlockStart(2) + 3;
    const std::string selected = Glued.substr(from, to - from - 2);
    At(to, from);
    EXPECT_EQ(Taken(), selected);

    // Dropped back in at the top of the view while the selection is shown
    // (Qt's own drop crashed on this); every break before it is the display's.
    ProcessPending();
    const int top = Edit->cursorForPosition(QPoint(50, 50)).position();
    Drop(QString::fromStdString(selected), top);
    std::string expected = Glued;
    const int breaksBefore = Edit->document()->findBlock(top).blockNumber();
    expected.insert(static_cast<std::size_t>(top - breaksBefore), selected);
    EXPECT_TRUE(Same(Shown(), expected));

    // Lines of the user's dropped at the end of a shown paragraph stay his.
    Window->SetTextWinText(Glued);
    const int end = BlockStart(1) - 1;
    At(end);
    Drop(QStringLiteral("ab\ncd"), end);
    expected = Glued;
    expected.insert(static_cast<std::size_t>(end), "ab\ncd");
    EXPECT_TRUE(Same(Shown(), expected));
    CleanWindow();
    EXPECT_TRUE(Same(Shown(), CleanText(WindowLines(expected))));
}

// Qt's own drop lays out the view while the dropped text is an open edit
// block: with a selection shown, a few hundred characters crashed it.
TEST(TextWinEditDrop, LongTextDroppedWhileASelectionIsShownGoesIn) {
    TextWinEdit edit;
    edit.resize(393, 222);
    edit.show();
    const QString paragraph(2000, QLatin1Char('W'));
    edit.setPlainText(paragraph + '\n' + paragraph + '\n' + QString(506, QLatin1Char('W')));
    QTextCursor selection(edit.document());
    selection.setPosition(1998);
    selection.setPosition(4004, QTextCursor::KeepAnchor);
    edit.setTextCursor(selection);
    QCoreApplication::processEvents();
    const QPoint at(50, 50);
    const int position = edit.cursorForPosition(at).position();
    const QString dropped(2004, QLatin1Char('X'));
    ASSERT_TRUE(DropAt(edit, dropped, at));
    EXPECT_EQ(edit.toPlainText().size(), 4508 + dropped.size());
    EXPECT_EQ(edit.toPlainText().indexOf(dropped), position);
    EXPECT_EQ(edit.textCursor().position(), position + dropped.size());
}

// What the window should hold: the text, and the offsets in it before which
// the display breaks stand. Each display break is a character of the
// document that the text does not have.
struct Model {
    std::string Text;
    std::vector<std::size_t> Breaks;

    // The break at document position p, if there is one.
    std::optional<std::size_t> BreakAt(int p) const {
        for (std::size_t n = 0; n < Breaks.size(); ++n)
            if (static_cast<int>(Breaks[n] + n) == p)
                return n;
        return std::nullopt;
    }
    std::size_t Offset(int p) const {
        std::size_t before = 0;
        while (before < Breaks.size() && static_cast<int>(Breaks[before] + before) < p)
            ++before;
        return static_cast<std::size_t>(p) - before;
    }
    void Insert(int p, char c) {
        const std::size_t offset = Offset(p);
        for (std::size_t n = 0; n < Breaks.size(); ++n)
            Breaks[n] += static_cast<int>(Breaks[n] + n) >= p ? 1 : 0;
        Text.insert(offset, 1, c);
    }
    void Delete(int p) {
        if (const auto n = BreakAt(p)) {
            Breaks.erase(Breaks.begin() + static_cast<long>(*n));
            return;
        }
        const std::size_t offset = Offset(p);
        if (offset >= Text.size())
            return;
        Text.erase(offset, 1);
        for (std::size_t& at : Breaks)
            at -= at > offset ? 1 : 0;
    }
};

// Random keys beside the breaks, checked against the model.
TEST_F(TextWindowBreaks, AnyEditNearTheBreaksKeepsThemOutOfTheText) {
    std::mt19937 engine(2026);
    for (int round = 0; round < 12; ++round) {
        Model model;
        model.Text = std::string(2500 + engine() % 500, 'Q') + "  " + std::string(2100, 'R');
        model.Breaks = DisplayBreaks(model.Text);
        Window->SetTextWinText(model.Text);
        for (int step = 0; step < 30; ++step) {
            const int block = static_cast<int>(engine() % static_cast<unsigned>(Blocks()));
            const int p = std::clamp(BlockStart(block) + static_cast<int>(engine() % 5) - 2, 0,
                                     Edit->document()->characterCount() - 1);
            At(p);
            const unsigned op = engine() % 4;
            SCOPED_TRACE(::testing::Message() << "key " << op << " at " << p << " block " << block);
            switch (op) {
            case 0:
                QTest::keyClicks(Edit, "z");
                model.Insert(p, 'z');
                break;
            case 1:
                Key(Qt::Key_Return);
                model.Insert(p, '\n');
                break;
            case 2:
                Key(Qt::Key_Delete);
                model.Delete(p);
                break;
            default:
                Key(Qt::Key_Backspace);
                if (p > 0)
                    model.Delete(p - 1);
                break;
            }
            ASSERT_TRUE(Same(Shown(), model.Text)) << round << " step " << step;
            const auto userBreaks = std::count(model.Text.begin(), model.Text.end(), '\n');
            ASSERT_EQ(Blocks(), 1 + userBreaks + static_cast<long>(model.Breaks.size()))
                << round << " step " << step;
        }
        // Whatever was done, cleaning sees only the user's breaks.
        CleanWindow();
        ASSERT_TRUE(Same(Shown(), CleanText(WindowLines(model.Text)))) << round;
    }
}

} // namespace
} // namespace tonvik
