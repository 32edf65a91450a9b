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

void ResultsTable::Setup() {
    Cells[0][CallsignColumn] = "\xcf\xee\xe7\xfb\xe2\xed\xee\xe9"; // Позывной
    Cells[0][WpmColumn] = "Wpm";
    Cells[0][PointsColumn] = "\xce\xf7\xea\xe8"; // Очки
    NextRow = 1;
}

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

std::string ResultsTable::Report(int row, int column) const {
    if (row < 1 || Cell(row, column).empty())
        return "";
    // Formats the report: "Формируем очет :", two bare CRs, then "Позывной  ",
    // "Макс wpm  " and "Всего очков  " with their cells, one per line.
    return std::string("\xd4\xee\xf0\xec\xe8\xf0\xf3\xe5\xec \xee\xf7\xe5\xf2 :") + "\r\r" +
           "\xcf\xee\xe7\xfb\xe2\xed\xee\xe9  " + Cell(row, CallsignColumn) + "\r" +
           "\xcc\xe0\xea\xf1 wpm  " + Cell(row, WpmColumn) + "\r" +
           "\xc2\xf1\xe5\xe3\xee \xee\xf7\xea\xee\xe2  " + Cell(row, PointsColumn);
}

} // namespace tonvik
