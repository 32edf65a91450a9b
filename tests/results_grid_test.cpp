// The results grid through the window: recording at the end of an exercise,
// compaction, the painting of its cells and the report of a selected row.
#include "tests/support/WindowFixture.h"

#include <QImage>
#include <QPainter>
#include <QTableWidget>

#include <cmath>

namespace tonvik {
namespace {

class ResultsGrid : public CallsignWindowFixture {
protected:
    QTableWidget* Grid() const { return Control<QTableWidget>("LastGrid"); }
    QString Cell(int row, int column) const { return Grid()->item(row, column)->text(); }
    QStringList Row(int row) const { return {Cell(row, 0), Cell(row, 1), Cell(row, 2)}; }

    // An exercise with one right answer at wpm, stopped then: a row of
    // (own, wpm + 2, 6 * wpm^2 / 10).
    void RecordOne(const QString& own, int wpm) {
        Control<QLineEdit>("CallEdit")->setText(own);
        Control<QSlider>("SpeedTrackBar")->setValue(wpm);
        Start();
        ASSERT_TRUE(KeyToPause());
        Answer("UA3ABC");
        Stop();
        ASSERT_TRUE(
            ProcessUntil([&] { return Window->Exercise().WaveOutPump().WaveDevice() == 0; }));
    }

    static QString Points(int wpm) { return QString::number(std::nearbyint(0.6 * wpm * wpm)); }

    QRect CellRect(int row, int column) const {
        return Grid()->visualRect(Grid()->model()->index(row, column));
    }

    void Click(int row, int column) {
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, CellRect(row, column).center());
        ProcessPending();
    }

    QWidget* Focused() const { return Window->focusWidget(); }
};

TEST_F(ResultsGrid, RecordsAnExerciseWithARightAnswer) {
    RecordOne("RK3ABC", 30);
    EXPECT_EQ(Row(1), (QStringList{"RK3ABC", "32", "540"}));
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 2);

    // None right before the stop: nothing to record.
    Start();
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABX");
    Stop();
    EXPECT_EQ(Row(2), (QStringList{"", "", ""}));
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 2);
}

TEST_F(ResultsGrid, EighteenthResultKeepsOnlyTheBest) {
    for (int n = 0; n < 17; ++n)
        RecordOne(QString("R%1A").arg(n), 20 + n);
    EXPECT_EQ(Row(17), (QStringList{"R16A", "38", Points(36)}));
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 18);

    // As many points as the best so far: the later one wins.
    RecordOne("LAST", 36);
    EXPECT_EQ(Row(1), (QStringList{"LAST", "38", Points(36)}));
    for (int row = 2; row < 20; ++row)
        EXPECT_EQ(Row(row), (QStringList{"", "", ""})) << row;
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 2);

    RecordOne("NEXT", 20);
    EXPECT_EQ(Row(2), (QStringList{"NEXT", "22", Points(20)}));
    EXPECT_EQ(Row(1)[0], "LAST");
}

TEST_F(ResultsGrid, SelectingARowReportsIt) {
    RecordOne("RK3ABC", 40);
    RecordOne("UA9XYZ", 20);
    Messages.Messages.clear();
    Messages.Answer = MessageAnswer::Cancel; // the button pressed changes nothing
    Click(1, 0);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    const MessageRecorder::Entry report = Messages.Messages[0];
    EXPECT_EQ(report.Text, "Формируем очет :\r\rПозывной  RK3ABC\rМакс wpm  42\rВсего очков  960");
    EXPECT_EQ(report.Caption, "Внимание!");
    EXPECT_EQ(report.Buttons, MessageButtons::OkCancel);
    EXPECT_EQ(Focused(), Control<QLineEdit>("CallEdit"));

    // Again on the same cell, then on another cell of the row: once each.
    Click(1, 0);
    Click(1, 2);
    EXPECT_EQ(Messages.Messages.size(), 3u);
    EXPECT_EQ(Messages.CountOf(report.Text), 3);

    // The arrow keys select too.
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_Down);
    ProcessPending();
    ASSERT_EQ(Messages.Messages.size(), 4u);
    EXPECT_EQ(Messages.Messages[3].Text,
              "Формируем очет :\r\rПозывной  UA9XYZ\rМакс wpm  22\rВсего очков  240");
    EXPECT_EQ(Focused(), Control<QLineEdit>("CallEdit"));
    EXPECT_EQ(Row(1)[0], "RK3ABC"); // a report changes nothing in the table
}

TEST_F(ResultsGrid, EmptyRowAndHeaderShowNothing) {
    RecordOne("RK3ABC", 30);
    Grid()->setFocus();
    Click(5, 1);
    EXPECT_EQ(Messages.Messages.size(), 1u); // only the end of the exercise
    EXPECT_EQ(Focused(), Control<QLineEdit>("CallEdit"));
    Grid()->setFocus();
    Click(0, 0); // the header row is not a result to select
    EXPECT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Focused(), Grid());
}

TEST_F(ResultsGrid, SelectingDuringAnExerciseLeavesTheFocusForTheAnswer) {
    RecordOne("RK3ABC", 30);
    Control<QSlider>("SpeedTrackBar")->setValue(30);
    Start();
    ASSERT_TRUE(KeyToPause());
    Click(1, 1);
    EXPECT_EQ(
        Messages.CountOf("Формируем очет :\r\rПозывной  RK3ABC\rМакс wpm  32\rВсего очков  540"),
        1);
    EXPECT_EQ(Focused(), Control<QLineEdit>("Input"));
    EXPECT_TRUE(Control<QToolButton>("StopBut")->isEnabled());
    Answer("UA3ABC"); // the exercise goes on
    EXPECT_EQ(Text("PointLbl"), "540");
    Stop();
}

TEST_F(ResultsGrid, CellsArePaintedAlikeOnTheButtonFace) {
    RecordOne("VERYLONGCALLSIGN/QRP", 30); // wider than its column
    QTableWidget* grid = Grid();
    const QRgb face = grid->palette().color(QPalette::Button).rgb();
    const QRect row = CellRect(1, 0).united(CellRect(1, 2));
    const QImage plain = grid->viewport()->grab(row).toImage();

    // Each cell: the face colour, the text from 2 pixels in, nothing outside.
    for (int column = 0; column < 3; ++column) {
        SCOPED_TRACE(column);
        const QRect cell = CellRect(1, column).translated(-row.topLeft());
        int ink = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QRgb pixel = plain.pixel(x, y);
                if (pixel == face)
                    continue;
                ++ink;
                EXPECT_GE(x, cell.left() + 2);
                EXPECT_GE(y, cell.top() + 2);
                EXPECT_EQ(qRed(pixel), qGreen(pixel)); // black text, smoothed to grey at most
                EXPECT_EQ(qGreen(pixel), qBlue(pixel));
            }
        }
        EXPECT_GT(ink, 10);
    }

    // Exactly the face and the text at +2,+2, cut at the cell's edge.
    const QRect first = CellRect(1, 0);
    QImage expected(first.size(), plain.format());
    expected.fill(face);
    {
        QPainter painter(&expected);
        painter.setFont(grid->font());
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(2, 2), first.size()), Qt::AlignLeft | Qt::AlignTop,
                         "VERYLONGCALLSIGN/QRP");
    }
    EXPECT_EQ(plain.copy(first.translated(-row.topLeft())), expected);

    // A selected row looks like any other.
    grid->selectRow(1);
    ProcessPending();
    ASSERT_TRUE(grid->selectionModel()->isRowSelected(1, QModelIndex()));
    EXPECT_EQ(grid->viewport()->grab(row).toImage(), plain);

    // The header the same way, inside the raised edge of a fixed cell.
    const QRect headerCell = CellRect(0, 0);
    const QImage header = grid->viewport()->grab(headerCell).toImage();
    EXPECT_EQ(header.pixel(1, 1), face);
    EXPECT_EQ(header.pixel(0, 5), grid->palette().color(QPalette::Light).rgb());
    EXPECT_EQ(header.pixel(5, headerCell.height() - 1),
              grid->palette().color(QPalette::Dark).rgb());
    EXPECT_EQ(header.pixel(headerCell.width() - 1, 5), grid->palette().color(QPalette::Dark).rgb());
    int ink = 0;
    for (int y = 2; y < headerCell.height() - 1; ++y)
        for (int x = 2; x < headerCell.width() - 1; ++x)
            ink += header.pixel(x, y) != face ? 1 : 0;
    EXPECT_GT(ink, 10); // "Позывной"
}

} // namespace
} // namespace tonvik
