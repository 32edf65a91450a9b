#pragma once

#include <QPlainTextEdit>

namespace tonvik {

// The text window's edit. Text copied, cut or dragged out of it, or taken as
// the X selection, leaves out the paragraph breaks that only the display has,
// so that pasting or dropping it never turns one into a line break of the
// text; Enter and the other edits keep the breaks' marks.
class TextWinEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TextWinEdit(QWidget* parent = nullptr);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace tonvik
