#include "text/TextWindow.h"

#include "text/Cp1251.h"
#include "text/GenCodeUnit.h"
#include "text/TextFile.h"
#include "text/TextWinEdit.h"
#include "text/WindowBreaks.h"
#include "text/WindowParagraphs.h"

#include <QTextBlock>
#include <QTextDocument>

#include <optional>

namespace tonvik {

TextWindow::TextWindow(TextWinEdit* edit) : Edit(edit) {}

std::string TextWindow::Text() const {
    const QTextDocument& document = *Edit->document();
    return ToCp1251(CharsWithoutDisplayBreaks(document, 0, document.characterCount() - 1));
}

void TextWindow::SetText(const std::string& text) {
    const std::vector<std::size_t> breaks = DisplayBreaks(text);
    QTextDocument& document = *Edit->document();
    Edit->clear();
    // As when text is set whole: nothing to undo.
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    std::size_t start = 0;
    for (std::size_t n = 0; n <= breaks.size(); ++n) {
        const std::size_t end = n < breaks.size() ? breaks[n] : text.size();
        if (n > 0)
            InsertDisplayBreak(cursor, static_cast<int>(n));
        cursor.insertText(FromCp1251(std::string_view(text).substr(start, end - start)));
        start = end;
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(true);
    Edit->moveCursor(QTextCursor::Start);
}

bool TextWindow::HasText() const {
    return !Edit->document()->isEmpty();
}

void TextWindow::Clear() {
    Edit->clear();
}

void TextWindow::Clean() {
    SetText(CleanText(WindowLines(Text())));
}

void TextWindow::ShowCleaned(const LoadedText& loaded) {
    // The window gives back every character it is given, line breaks aside,
    // which the clean-up turns into spaces whatever their form: cleaning the
    // file's text before it goes in spares laying out a text that is replaced
    // at once, and leaves the window as loading, then cleaning, would.
    SetText(CleanText(WindowLines(loaded.Text)));
}

void TextWindow::Filter(int k) {
    if (std::optional<std::string> kept = FilterWords(WindowLines(Text()), k))
        SetText(*kept);
}

} // namespace tonvik
