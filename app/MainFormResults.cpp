// The results grid on the main window: recording a finished exercise, the
// painting of its cells and the report of a selected row. The table itself
// is the ResultsTable core's.
#include "app/MainForm.h"

#include "app/MessageService.h"
#include "text/Cp1251.h"
#include "ui_MainForm.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace tonvik {

namespace {

// Hands the painting of every grid cell to the window's LastGridDrawCell, so
// that no selection or focus decoration of the style is drawn. The header
// cells, the grid's only fixed cells, then get the raised edge that sets them
// apart from the results.
class ResultsCellPainter : public QStyledItemDelegate {
public:
    ResultsCellPainter(const TMorseMain& window, QObject* parent)
        : QStyledItemDelegate(parent), Window(window) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        Window.LastGridDrawCell(*painter, index.row(), index.column(), option.rect);
        if (index.row() == 0)
            DrawRaisedEdge(*painter, option.rect, option.palette);
    }

private:
    static void DrawRaisedEdge(QPainter& painter, const QRect& rect, const QPalette& colours) {
        painter.save();
        painter.setPen(colours.color(QPalette::Light));
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(colours.color(QPalette::Dark));
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
        painter.restore();
    }

    const TMorseMain& Window;
};

} // namespace

void TMorseMain::SetUpResultsTable() {
    ResultsCore.Setup();
    for (int column = 0; column < ResultsTable::ColumnCount; ++column)
        Ui->LastGrid->setColumnWidth(column,
                                     ResultsTable::ColumnWidths[static_cast<size_t>(column)]);
    ShowResults();
}

void TMorseMain::ConnectResultsGrid() {
    QTableWidget* grid = Ui->LastGrid;
    grid->setItemDelegate(new ResultsCellPainter(*this, grid));
    // A click selects a cell even when it is already the current one, and the
    // arrow keys select by moving the current cell; a click that moves it
    // comes through both signals and is reported once.
    connect(grid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { QueueSelectCell(row, column); });
    connect(grid, &QTableWidget::cellPressed, this,
            [this](int row, int column) { QueueSelectCell(row, column); });
}

void TMorseMain::QueueSelectCell(int row, int column) {
    // The header row holds no result and cannot be selected; the current
    // cell lands there when the grid takes the focus by Tab.
    if (row < 1)
        return;
    SelectRow = row;
    SelectColumn = column;
    if (SelectQueued)
        return;
    SelectQueued = true;
    // After the click or key has been handled in full: the report's modal box
    // would otherwise run inside the grid's mouse press.
    QMetaObject::invokeMethod(
        this,
        [this] {
            SelectQueued = false;
            LastGridSelectCell(SelectRow, SelectColumn);
        },
        Qt::QueuedConnection);
}

void TMorseMain::ShowResults() {
    for (int row = 0; row < ResultsTable::RowCount; ++row) {
        for (int column = 0; column < ResultsTable::ColumnCount; ++column) {
            if (QTableWidgetItem* cell = Ui->LastGrid->item(row, column))
                cell->setText(FromCp1251(ResultsCore.Cell(row, column)));
        }
    }
}

void TMorseMain::RecordResult() {
    // Compacts the table as well when this result fills it.
    ResultsCore.Record(ToCp1251(Ui->CallEdit->text()), MaxWpm, ToCp1251(Ui->AllPointLbl->text()));
    ShowResults();
}

void TMorseMain::LastGridDrawCell(QPainter& painter, int row, int column, const QRect& rect) const {
    const QTableWidget* grid = Ui->LastGrid;
    const QTableWidgetItem* cell = grid->item(row, column);
    painter.save();
    painter.fillRect(rect, grid->palette().color(QPalette::Button));
    painter.setClipRect(rect);
    painter.setFont(grid->font());
    painter.setPen(Qt::black);
    if (cell != nullptr)
        painter.drawText(rect.adjusted(2, 2, 0, 0),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, cell->text());
    painter.restore();
}

void TMorseMain::LastGridSelectCell(int row, int column) {
    const std::string report = ResultsCore.Report(row, column);
    if (!report.empty())
        Messages.ShowMessage(FromCp1251(report), QStringLiteral("Внимание!"),
                             MessageButtons::OkCancel);
    // During an exercise the own-callsign field is locked: the answer field
    // is where the user types next.
    if (Ui->CallEdit->isEnabled())
        Ui->CallEdit->setFocus();
    else
        Ui->Input->setFocus();
}

} // namespace tonvik
