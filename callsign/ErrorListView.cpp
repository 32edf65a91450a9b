#include "callsign/ErrorListView.h"

#include "text/Cp1251.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

namespace tonvik {

namespace {

QTextCharFormat Coloured(const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}

} // namespace

void ErrorListView::Clear() {
    Box->clear();
}

void ErrorListView::AddError(const std::string& line, int sentLength) {
    QTextCursor cursor(Box->document());
    const QTextBlock first = Box->document()->firstBlock();
    cursor.setPosition(first.position());
    cursor.setPosition(first.position() + first.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(QStringLiteral("Ошибки:"), Coloured(Qt::red));

    // Every CP1251 byte is one character, so the byte count of the sent part
    // is its length in the box too.
    const QString text = FromCp1251(line);
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    const int lineStart = cursor.position();
    cursor.insertText(text.left(sentLength), Coloured(Qt::blue));
    cursor.insertText(text.mid(sentLength), Coloured(Qt::red));
    cursor.setPosition(lineStart);
    Box->setTextCursor(cursor);
    Box->ensureCursorVisible();
}

} // namespace tonvik
