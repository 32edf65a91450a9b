#include "text/TextWindow.h"

#include "text/Cp1251.h"
#include "text/GenCodeUnit.h"
#include "text/TextFile.h"
#include "text/WindowParagraphs.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include <optional>

namespace tonvik {

std::string TextWindow::Text() const {
    // The document's own characters: toPlainText() would turn no-break spaces
    // into spaces, and the clean-up removes them instead. Paragraph and line
    // separators (and frame marks) are the window's line breaks.
    QString text = Edit->document()->toRawText();
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator || code == 0xFDD0 ||
            code == 0xFDD1)
            c = QLatin1Char('\n');
    }
    return ToCp1251(text);
}

void TextWindow::SetText(const std::string& text) {
    Edit->setPlainText(FromCp1251(BreakIntoParagraphs(text)));
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
