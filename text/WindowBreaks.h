#pragma once

#include <QString>

#include <functional>

class QPlainTextEdit;
class QTextCursor;
class QTextDocument;

namespace tonvik {

// The paragraph breaks the text window shows but does not hold. Each
// paragraph begun by one carries a number of its own; Qt gives a paragraph
// split off by Enter the properties of the one it came from, so a paragraph
// follows a display break when it has a number and the one before it has
// another. Deleting a display break joins two paragraphs into the first, which
// keeps its own mark; undo and redo restore the marks with the text.

// Starts a paragraph after a display break; number differs from every other
// display break's in the document.
void InsertDisplayBreak(QTextCursor& cursor, int number);

// The document's characters at positions from..to-1, each of the user's
// line or paragraph breaks as LF, the display's left out.
QString CharsWithoutDisplayBreaks(const QTextDocument& document, int from, int to);

// Runs an edit of edit's text that may join paragraphs, and keeps the mark of
// the paragraph where it began.
void EditKeepingMarks(QPlainTextEdit& edit, const std::function<void()>& work);

// Enter in edit starts an unmarked paragraph, and every other edit by key or
// menu keeps the marks. Lives as long as edit. The text window's edit
// (TextWinEdit) installs it; its selection data leaves the display's breaks
// out of what is copied, cut or dragged.
void KeepDisplayBreaksApart(QPlainTextEdit& edit);

} // namespace tonvik
