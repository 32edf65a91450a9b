// The results grid's handlers, handed to its view and to the trainer.
#include "app/MainForm.h"

#include "app/MessageService.h"
#include "app/WindowTexts.h"

namespace tonvik {

void TMorseMain::LastGridDrawCell(QPainter& painter, int row, int column, const QRect& rect) const {
    ResultsGrid.DrawCell(painter, row, column, rect);
}

void TMorseMain::LastGridSelectCell(int row, int column) {
    Trainer.SelectResult(row, column);
}

void TMorseMain::ShowResults(const ResultsTable& results) {
    ResultsGrid.Show(results);
}

void TMorseMain::ShowReport(const ResultRow& result) {
    // The button pressed changes nothing.
    Messages.ShowMessage(ResultsGridView::ReportText(result), WarningCaption,
                         MessageButtons::OkCancel);
}

} // namespace tonvik
