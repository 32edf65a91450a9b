#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tonvik {

// One recorded result: the own callsign, the highest speed and the total
// points as they were shown. CP1251.
struct ResultRow {
    std::string Callsign;
    std::string Wpm;
    std::string Points;
};

// The results grid of finished callsign exercises: a header row, whose
// captions are the window's, and rows 1..18 for results; row 19 is never
// written. All text is CP1251.
class ResultsTable {
public:
    static constexpr int RowCount = 20;
    static constexpr int ColumnCount = 3;
    static constexpr int LastResultRow = 18;
    static constexpr int CallsignColumn = 0;
    static constexpr int WpmColumn = 1;
    static constexpr int PointsColumn = 2;
    static constexpr std::array<int, ColumnCount> ColumnWidths{83, 40, 63};
    static constexpr int RowHeight = 15;

    // An empty table; results go to row 1 first.
    ResultsTable() = default;

    // The window's show-time setup: the next result goes to row 1.
    void Setup() { NextRow = 1; }

    // The text of a cell; "" outside the grid.
    const std::string& Cell(int row, int column) const;
    int NextResultRow() const { return NextRow; }

    // The end of a callsign exercise: writes the own callsign, the highest
    // speed and the shown total into the next row, unless the total label
    // reads "0" or no answer was right (maxWpm 0). Compacts when the table is
    // then full. True when a row was written.
    bool Record(std::string_view ownCallsign, int maxWpm, std::string_view totalText);

    // Keeps only the best row: row 1 takes each of rows 2..18 whose points are
    // at least its own (so the latest of equal ones wins), those rows are
    // cleared and recording continues at row 2.
    void CompactResults();

    // The result reported when a cell is selected; nothing when that cell is
    // empty or not a result cell, and then no report is shown.
    std::optional<ResultRow> ReportRow(int row, int column) const;

private:
    std::array<std::array<std::string, ColumnCount>, RowCount> Cells;
    int NextRow = 1;
};

} // namespace tonvik
