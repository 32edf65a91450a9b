#include "callsign/ResultsGridView.h"

#include "callsign/ResultsTable.h"
#include "text/Cp1251.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include <array>

namespace tonvik {

namespace {

const std::array<QString, ResultsTable::ColumnCount> HeaderCaptions{
    QStringLiteral("Позывной"), QStringLiteral("Wpm"), QStringLiteral("Очки")};

// Hands the painting of every cell to the paint handler, so that no
// selection or focus decoration of the style is drawn. The header cells, the
// grid's only fixed cells, then get the raised edge that sets them apart.
class ResultsCellPainter : public QStyledItemDelegate {
public:
    ResultsCellPainter(ResultsGridView::PaintHandler paint, QObject* parent)
        : QStyledItemDelegate(parent), Paint(std::move(paint)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (Paint)
            Paint(*painter, index.row(), index.column(), option.rect);
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

    ResultsGridView::PaintHandler Paint;
};

} // namespace

ResultsGridView::ResultsGridView(QTableWidget* grid) : Grid(grid) {
    SetUpCells();
}

void ResultsGridView::SetUpCells() {
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QPalette colours = Grid->palette();
    const QColor face = colours.color(QPalette::Button);
    colours.setColor(QPalette::Base, face);
    colours.setColor(QPalette::Highlight, face);
    colours.setColor(QPalette::HighlightedText, Qt::black);
    colours.setColor(QPalette::Text, Qt::black);
    Grid->setPalette(colours);
    for (int row = 0; row < Grid->rowCount(); ++row) {
        for (int column = 0; column < Grid->columnCount(); ++column) {
            auto* cell = new QTableWidgetItem();
            // The header row cannot be selected.
            cell->setFlags(row == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            Grid->setItem(row, column, cell);
        }
    }
    // A click selects a cell even when it is already the current one, and the
    // arrow keys select by moving the current cell; a click that moves it
    // comes through both signals and is reported once.
    QObject::connect(Grid, &QTableWidget::currentCellChanged, &Context,
                     [this](int row, int column) { QueueSelect(row, column); });
    QObject::connect(Grid, &QTableWidget::cellPressed, &Context,
                     [this](int row, int column) { QueueSelect(row, column); });
}

void ResultsGridView::SetHandlers(PaintHandler paint, SelectHandler select) {
    Grid->setItemDelegate(new ResultsCellPainter(std::move(paint), Grid));
    Select = std::move(select);
}

void ResultsGridView::SetUp() {
    for (int column = 0; column < ResultsTable::ColumnCount; ++column) {
        const auto index = static_cast<std::size_t>(column);
        Grid->setColumnWidth(column, ResultsTable::ColumnWidths[index]);
        if (QTableWidgetItem* cell = Grid->item(0, column))
            cell->setText(HeaderCaptions[index]);
    }
}

void ResultsGridView::Show(const ResultsTable& table) {
    for (int row = 1; row < ResultsTable::RowCount; ++row) {
        for (int column = 0; column < ResultsTable::ColumnCount; ++column) {
            if (QTableWidgetItem* cell = Grid->item(row, column))
                cell->setText(FromCp1251(table.Cell(row, column)));
        }
    }
}

void ResultsGridView::QueueSelect(int row, int column) {
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
        &Context,
        [this] {
            SelectQueued = false;
            if (Select)
                Select(SelectRow, SelectColumn);
        },
        Qt::QueuedConnection);
}

void ResultsGridView::DrawCell(QPainter& painter, int row, int column, const QRect& rect) const {
    const QTableWidgetItem* cell = Grid->item(row, column);
    painter.save();
    painter.fillRect(rect, Grid->palette().color(QPalette::Button));
    painter.setClipRect(rect);
    painter.setFont(Grid->font());
    painter.setPen(Qt::black);
    if (cell != nullptr)
        painter.drawText(rect.adjusted(2, 2, 0, 0),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, cell->text());
    painter.restore();
}

QString ResultsGridView::ReportText(const ResultRow& result) {
    // Bare carriage returns, two after the heading; each label ends in two spaces.
    return QStringLiteral("Формируем очет :") + QStringLiteral("\r\r") +
           QStringLiteral("Позывной  ") + FromCp1251(result.Callsign) + QLatin1Char('\r') +
           QStringLiteral("Макс wpm  ") + FromCp1251(result.Wpm) + QLatin1Char('\r') +
           QStringLiteral("Всего очков  ") + FromCp1251(result.Points);
}

} // namespace tonvik
