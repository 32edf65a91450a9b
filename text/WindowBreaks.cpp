#include "text/WindowBreaks.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <memory>

namespace tonvik {

namespace {

constexpr int BreakNumberProperty = QTextFormat::UserProperty + 1;

int BreakNumber(const QTextBlock& block) {
    return block.blockFormat().intProperty(BreakNumberProperty);
}

bool FollowsDisplayBreak(const QTextBlock& block) {
    const int number = BreakNumber(block);
    return number != 0 && number != BreakNumber(block.previous());
}

void LineBreaksAsLf(QString& chars) {
    for (QChar& c : chars) {
        const char16_t code = c.unicode();
        // Shift+Enter's line separator and the marks of frames, which plain
        // text never has but a paste could bring.
        if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator || code == 0xFDD0 ||
            code == 0xFDD1)
            c = QLatin1Char('\n');
    }
}

// Runs an edit of the user's, then gives the paragraph where it began the
// mark it had before: Qt lets a paragraph that the edit joins to the next one
// take that one's properties when it was empty.
template <class Work> void KeepingMarks(QPlainTextEdit& edit, Work&& work) {
    QTextDocument& document = *edit.document();
    std::map<int, int> marks; // paragraph position, its mark
    QTextBlock block = document.findBlock(edit.textCursor().selectionStart());
    // Three paragraphs back: a word deleted before the cursor may reach over
    // a break.
    for (int n = 0; n < 3 && block.isValid(); ++n, block = block.previous())
        marks[block.position()] = BreakNumber(block);
    int changedAt = std::numeric_limits<int>::max();
    const QMetaObject::Connection watch = QObject::connect(
        &document, &QTextDocument::contentsChange,
        [&changedAt](int position, int, int) { changedAt = std::min(changedAt, position); });
    work();
    QObject::disconnect(watch);
    if (changedAt == std::numeric_limits<int>::max())
        return;
    const QTextBlock changed = document.findBlock(changedAt);
    const auto kept = marks.find(changed.position());
    if (kept == marks.end() || kept->second == BreakNumber(changed))
        return;
    QTextBlockFormat format = changed.blockFormat();
    format.setProperty(BreakNumberProperty, kept->second);
    QTextCursor fix(changed);
    fix.joinPreviousEditBlock();
    fix.setBlockFormat(format);
    fix.endEditBlock();
}

// Keys and menu entries of the window that would otherwise mistake a display
// break for a line break of the user's.
class BreakKeeper : public QObject {
public:
    explicit BreakKeeper(QPlainTextEdit& edit) : QObject(&edit), Edit(edit) {
        edit.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &Edit)
            return false;
        if (event->type() == QEvent::KeyPress)
            return KeyPressed(*static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::ContextMenu) {
            ShowMenu(*static_cast<QContextMenuEvent*>(event));
            return true;
        }
        return false;
    }

private:
    bool KeyPressed(QKeyEvent& key) {
        const bool editable = !Edit.isReadOnly();
        if (editable && key.matches(QKeySequence::InsertParagraphSeparator)) {
            KeepingMarks(Edit, [this] { NewParagraph(); });
            key.accept();
            return true;
        }
        // Any other key as the window takes it (copy and cut among them: the
        // edit's own selection data leaves the display's breaks out); a key
        // it leaves goes on to the window around it, as without this filter.
        KeepingMarks(Edit, [this, &key] { static_cast<QObject&>(Edit).event(&key); });
        return key.isAccepted();
    }

    // Without the mark of the paragraph it is split from.
    void NewParagraph() {
        QTextCursor cursor = Edit.textCursor();
        cursor.insertBlock(QTextBlockFormat(), cursor.charFormat());
        Edit.setTextCursor(cursor);
        Edit.ensureCursorVisible();
    }

    // The window's own menu, its edits keeping the marks as the keys do.
    void ShowMenu(const QContextMenuEvent& event) {
        std::unique_ptr<QMenu> menu(Edit.createStandardContextMenu(event.pos()));
        const std::map<QString, std::function<void()>> replaced = {
            {QStringLiteral("edit-cut"), [this] { KeepingMarks(Edit, [this] { Edit.cut(); }); }},
            {QStringLiteral("edit-paste"),
             [this] { KeepingMarks(Edit, [this] { Edit.paste(); }); }},
            {QStringLiteral("edit-delete"),
             [this] { KeepingMarks(Edit, [this] { Edit.textCursor().removeSelectedText(); }); }},
        };
        for (QAction* action : menu->actions()) {
            const auto work = replaced.find(action->objectName());
            if (work == replaced.end())
                continue;
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            QObject::connect(action, &QAction::triggered, this, work->second);
        }
        menu->exec(event.globalPos());
    }

    QPlainTextEdit& Edit;
};

} // namespace

void InsertDisplayBreak(QTextCursor& cursor, int number) {
    QTextBlockFormat format;
    format.setProperty(BreakNumberProperty, number);
    cursor.insertBlock(format, QTextCharFormat());
}

QString CharsWithoutDisplayBreaks(const QTextDocument& document, int from, int to) {
    QString chars;
    chars.reserve(std::max(to - from, 0));
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        // The break before the block stands at the position before it.
        if (block.position() > from && !FollowsDisplayBreak(block))
            chars += QLatin1Char('\n');
        const int start = std::max(from - block.position(), 0);
        const int end = std::min(to - block.position(), block.length() - 1);
        if (end > start)
            chars += QStringView(block.text()).sliced(start, end - start);
    }
    LineBreaksAsLf(chars);
    return chars;
}

void EditKeepingMarks(QPlainTextEdit& edit, const std::function<void()>& work) {
    KeepingMarks(edit, work);
}

void KeepDisplayBreaksApart(QPlainTextEdit& edit) {
    new BreakKeeper(edit);
}

} // namespace tonvik
