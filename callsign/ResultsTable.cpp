#include "callsign/ResultsTable.h"

#include <charconv>
#include <limits>

namespace tonvik {

namespace {

const std::string NoCell;

// A points cell as a number; text that is not one ranks below every result.
double PointsValue(const std::string& text) {
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return -std::numeric_limits<double>::infinity();
    return value;
}

} // namespace

const std::string& ResultsTable::Cell(int row, int column) const {
    if (row < 0 || row >= RowCount || column < 0 || column >= ColumnCount)
        return NoCell;
    return Cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

bool ResultsTable::Record(std::string_view ownCallsign, int maxWpm, std::string_view totalText) {
    bool written = false;
    if (totalText != "0" && maxWpm != 0 && NextRow >= 1 && NextRow <= LastResultRow) {
        auto& row = Cells[static_cast<std::size_t>(NextRow)];
        row[CallsignColumn] = ownCallsign;
        row[WpmColumn] = std::to_string(maxWpm);
        row[PointsColumn] = totalText;
        ++NextRow;
        written = true;
    }
    if (NextRow == LastResultRow + 1)
        CompactResults();
    return written;
}

void ResultsTable::CompactResults() {
    for (int row = 2; row <= LastResultRow; ++row) {
        auto& best = Cells[1];
        auto& current = Cells[static_cast<std::size_t>(row)];
        if (PointsValue(current[PointsColumn]) >= PointsValue(best[PointsColumn]))
            best = current;
        current = {};
    }
    NextRow = 2;
}

std::optional<ResultRow> ResultsTable::ReportRow(int row, int column) const {
    if (row < 1 || Cell(row, column).empty())
        return std::nullopt;
    return ResultRow{Cell(row, CallsignColumn), Cell(row, WpmColumn), Cell(row, PointsColumn)};
}

} // namespace tonvik
