#include "text/TextWinEdit.h"

#include "text/WindowBreaks.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTextCursor>

namespace tonvik {

TextWinEdit::TextWinEdit(QWidget* parent) : QPlainTextEdit(parent) {
    KeepDisplayBreaksApart(*this);
}

QMimeData* TextWinEdit::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* data = new QMimeData;
    data->setText(
        CharsWithoutDisplayBreaks(*document(), cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

void TextWinEdit::dropEvent(QDropEvent* event) {
    // Not Qt's own drop (6.4): it lays out the view while the inserted text is
    // still an open edit block, and crashes when some hundred characters land.
    QDragLeaveEvent leave;
    QPlainTextEdit::dragLeaveEvent(&leave); // the drop's caret goes
    const QMimeData* data = event->mimeData();
    if (isReadOnly() || data == nullptr || !canInsertFromMimeData(data)) {
        event->ignore();
        return;
    }
    // Dragged out of this window's view: the dragged text moves.
    const bool move = event->dropAction() == Qt::MoveAction && event->source() == viewport();
    const QString text = data->text();
    QTextCursor target = cursorForPosition(event->position().toPoint());
    // Deleting the dragged text may join paragraphs across a display break,
    // as Delete does.
    EditKeepingMarks(*this, [&] {
        QTextCursor dragged = textCursor();
        target.beginEditBlock(); // undone as one
        if (move)
            dragged.removeSelectedText();
        target.insertText(text);
        target.endEditBlock();
    });
    setTextCursor(target);
    event->acceptProposedAction();
    setFocus();
}

} // namespace tonvik
