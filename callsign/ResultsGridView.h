#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QPainter;
class QRect;
class QTableWidget;

namespace tonvik {

class ResultsTable;
struct ResultRow;

// The results grid on the callsign page: every cell, the header row
// included, painted alike on the button face, a selected row looking like
// any other, and a selection reported once after the click or key that made it.
class ResultsGridView {
public:
    using PaintHandler = std::function<void(QPainter&, int row, int column, const QRect&)>;
    using SelectHandler = std::function<void(int row, int column)>;

    // grid is the window's; it outlives this view.
    explicit ResultsGridView(QTableWidget* grid);
    ResultsGridView(const ResultsGridView&) = delete;
    ResultsGridView& operator=(const ResultsGridView&) = delete;

    // paint draws each cell (the window's LastGridDrawCell); select receives
    // each selected result cell (its LastGridSelectCell).
    void SetHandlers(PaintHandler paint, SelectHandler select);
    // Column widths and header captions, as the window's first showing sets them.
    void SetUp();
    // Copies the table into the grid's cells.
    void Show(const ResultsTable& table);
    // Fills the cell on the button face and writes its text in black at
    // 2 pixels right of and below its corner, clipped to it.
    void DrawCell(QPainter& painter, int row, int column, const QRect& rect) const;

    // The report of a selected result.
    static QString ReportText(const ResultRow& result);

private:
    void SetUpCells();
    void QueueSelect(int row, int column);

    QTableWidget* Grid;
    SelectHandler Select;
    // The receiver of the grid's signals and of the queued selection: they
    // end with this view.
    QObject Context;
    int SelectRow = -1;
    int SelectColumn = -1;
    bool SelectQueued = false;
};

} // namespace tonvik
