#include "callsign/ResultsTable.h"

#include "tests/support/Cp1251Literal.h"

#include <gtest/gtest.h>

#include <string>

using tonvik::ResultsTable;

namespace {

void ExpectRowEmpty(const ResultsTable& table, int row) {
    for (int column = 0; column < ResultsTable::ColumnCount; ++column)
        EXPECT_EQ(table.Cell(row, column), "") << "row " << row << " column " << column;
}

} // namespace

TEST(ResultsTable, StartsEmpty) {
    ResultsTable table;
    EXPECT_EQ(table.NextResultRow(), 1);
    // The header row's captions are the window's; no result is ever written there.
    for (int row = 0; row < ResultsTable::RowCount; ++row)
        ExpectRowEmpty(table, row);
    EXPECT_EQ(table.Cell(-1, 0), "");
    EXPECT_EQ(table.Cell(20, 0), "");
    EXPECT_EQ(table.Cell(1, 3), "");
}

TEST(ResultsTable, RecordsOnlyScoredExercises) {
    ResultsTable table;
    EXPECT_FALSE(table.Record("UA3XYZ", 0, "540")); // no right answer
    EXPECT_FALSE(table.Record("UA3XYZ", 32, "0"));  // labels never updated
    EXPECT_EQ(table.NextResultRow(), 1);
    ExpectRowEmpty(table, 1);

    EXPECT_TRUE(table.Record("UA3XYZ", 32, "540"));
    EXPECT_EQ(table.Cell(1, 0), "UA3XYZ");
    EXPECT_EQ(table.Cell(1, 1), "32");
    EXPECT_EQ(table.Cell(1, 2), "540");
    EXPECT_EQ(table.NextResultRow(), 2);

    // Setup again (the window shown anew) restarts at row 1.
    table.Setup();
    EXPECT_EQ(table.NextResultRow(), 1);
}

TEST(ResultsTable, EighteenthResultCompactsToTheBestRow) {
    ResultsTable table;
    for (int i = 1; i <= 17; ++i) {
        // Row 9 has the most points; numeric, not text, comparison finds it.
        std::string points = i == 9 ? "1000" : std::to_string(100 + i * 10);
        table.Record(Numbered('C', i), 20 + i, points);
    }
    EXPECT_EQ(table.NextResultRow(), 18);
    EXPECT_EQ(table.Cell(17, 0), "C17");

    table.Record("C18", 38, "150");
    EXPECT_EQ(table.NextResultRow(), 2);
    EXPECT_EQ(table.Cell(1, 0), "C9");
    EXPECT_EQ(table.Cell(1, 1), "29");
    EXPECT_EQ(table.Cell(1, 2), "1000");
    for (int row = 2; row < ResultsTable::RowCount; ++row)
        ExpectRowEmpty(table, row);

    table.Record("NEXT", 25, "300");
    EXPECT_EQ(table.Cell(2, 0), "NEXT");
    EXPECT_EQ(table.NextResultRow(), 3);
}

TEST(ResultsTable, LatestOfEqualPointsWinsAndRowOneKeepsTheBest) {
    ResultsTable table;
    table.Record("FIRST", 30, "900");
    for (int i = 2; i <= 18; ++i)
        table.Record(i == 12 ? "LATER" : "LOW", 30, i == 12 ? "900" : "100");
    EXPECT_EQ(table.Cell(1, 0), "LATER");

    // Row 1 takes part in the next compaction too: nothing below beats it.
    for (int i = 2; i <= 18; ++i)
        table.Record("LOW", 30, "899");
    EXPECT_EQ(table.NextResultRow(), 2);
    EXPECT_EQ(table.Cell(1, 0), "LATER");
    EXPECT_EQ(table.Cell(1, 2), "900");
}

TEST(ResultsTable, ExplicitCompactionWorksOnAPartlyFilledTable) {
    ResultsTable table;
    table.Record("A", 30, "500");
    table.Record("B", 31, "700");
    table.Record("C", 32, "600");
    table.CompactResults();
    EXPECT_EQ(table.Cell(1, 0), "B");
    ExpectRowEmpty(table, 2);
    ExpectRowEmpty(table, 3);
    EXPECT_EQ(table.NextResultRow(), 2);
}

TEST(ResultsTable, AnyCellOfAResultReportsItsWholeRow) {
    ResultsTable table;
    table.Record(Cp1251("UA3XYZ"), 42, "1234");
    for (int column = 0; column < ResultsTable::ColumnCount; ++column) {
        const auto result = table.ReportRow(1, column);
        ASSERT_TRUE(result.has_value()) << "column " << column;
        EXPECT_EQ(result->Callsign, "UA3XYZ");
        EXPECT_EQ(result->Wpm, "42");
        EXPECT_EQ(result->Points, "1234");
    }
}

TEST(ResultsTable, EmptyCellsGiveNoReport) {
    ResultsTable table;
    table.Record("UA3XYZ", 42, "1234");
    EXPECT_FALSE(table.ReportRow(2, 0));
    EXPECT_FALSE(table.ReportRow(19, 1));
    EXPECT_FALSE(table.ReportRow(0, 0)); // the header is not a result
    EXPECT_FALSE(table.ReportRow(25, 0));
    EXPECT_FALSE(table.ReportRow(1, 3));
}
