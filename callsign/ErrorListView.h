#pragma once

#include <string>

class QTextEdit;

namespace tonvik {

// The error list of a callsign exercise: the heading "Ошибки:" in red on
// its first line, then one line per wrong answer, the sent callsign in blue
// and the arrow with the answer in red.
class ErrorListView {
public:
    // box is the window's; it outlives this view.
    explicit ErrorListView(QTextEdit* box) : Box(box) {}

    void Clear();
    // line is CP1251: the sent callsign with its space (its first sentLength
    // characters), " --> " and the answer. The caret goes to the line's start.
    void AddError(const std::string& line, int sentLength);

private:
    QTextEdit* Box;
};

} // namespace tonvik
