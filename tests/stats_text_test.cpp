// The statistics window's words, the paged rows of its long tables and the
// thinning of its progress lines.
#include "journal/JournalStats.h"
#include "stats/ChartPoints.h"
#include "stats/PagedRowsModel.h"
#include "stats/StatsText.h"
#include "tests/support/Cp1251Literal.h"
#include "tests/support/JournalTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

using namespace tonvik;

TEST(StatsText, TimesTakesTheRussianPlural) {
    for (long long n : {0, 1, 5, 11, 12, 13, 14, 20, 21, 25, 100, 101, 111, 112, 1000})
        EXPECT_EQ(TimesWord(n), "раз") << n;
    for (long long n : {2, 3, 4, 22, 34, 102, 1004})
        EXPECT_EQ(TimesWord(n), "раза") << n;
}

TEST(StatsText, AConfusionReadsSentArrowTypedAndTheCount) {
    EXPECT_EQ(ConfusionText({"B", "6", 12}), "B → 6: 12 раз");
    EXPECT_EQ(ConfusionText({"O", "0", 3}), "O → 0: 3 раза");
    EXPECT_EQ(ConfusionText({Cp1251("Ж"), "V", 1}), "Ж → V: 1 раз");
}

TEST(StatsText, DatesInLocalTimeAndPercentWithADecimalComma) {
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(DateText(TestTime()), "09.03.2024 17:05");
    setenv("TZ", "Europe/Moscow", 1);
    tzset();
    EXPECT_EQ(DateText(TestTime()), "09.03.2024 20:05");
    EXPECT_EQ(PercentText(87.5), "87,5");
    EXPECT_EQ(PercentText(100), "100,0");
    EXPECT_EQ(PercentText(200.0 / 3), "66,7");
}

TEST(StatsText, WithoutAJournalOneLineSaysWhy) {
    const QString off = NoJournalText(nullptr);
    EXPECT_TRUE(off.contains("--no-journal")) << off.toStdString();
    JournalProblem full;
    full.Fault = JournalFault::DiskFull;
    full.Path = "/home/u/.local/share/tonvik/journal.sqlite";
    const QString line = NoJournalText(&full);
    EXPECT_TRUE(line.contains("/home/u/.local/share/tonvik/journal.sqlite"));
    EXPECT_TRUE(line.contains("диск заполнен"));
    for (JournalFault fault :
         {JournalFault::FolderUnavailable, JournalFault::ReadOnly, JournalFault::Locked,
          JournalFault::Broken, JournalFault::NewerSchema, JournalFault::CannotOpen}) {
        JournalProblem problem;
        problem.Fault = fault;
        problem.Path = "/j";
        const QString text = NoJournalText(&problem);
        EXPECT_FALSE(text.contains('\n'));
        EXPECT_NE(text, NoJournalText(&full));
    }
    EXPECT_FALSE(off.contains('\n'));
}

namespace {

// Rows "0".."count-1" of one column, noting every read.
struct CountingSource {
    int Count = 0;
    std::vector<std::pair<int, int>> Reads; // limit, offset
    PagedRowsModel::Fetch Fetch() {
        return [this](int limit, int offset) {
            Reads.emplace_back(limit, offset);
            std::vector<QStringList> rows;
            for (int n = offset; n < Count && n < offset + limit; ++n)
                rows.push_back({QString::number(n), QString("x")});
            return rows;
        };
    }
};

} // namespace

TEST(PagedRowsModel, ReadsAPageAtATimeUntilTheEnd) {
    PagedRowsModel model({"Дата", "Принято"}, {Qt::AlignLeft, Qt::AlignRight}, 200);
    CountingSource source{450, {}};
    model.Reset(source.Fetch());
    EXPECT_EQ(model.rowCount(), 200);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_TRUE(model.canFetchMore(QModelIndex()));
    model.fetchMore(QModelIndex());
    model.fetchMore(QModelIndex());
    EXPECT_EQ(model.rowCount(), 450);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));
    model.fetchMore(QModelIndex());
    EXPECT_EQ(source.Reads, (std::vector<std::pair<int, int>>{{200, 0}, {200, 200}, {200, 400}}));
    EXPECT_EQ(model.data(model.index(449, 0)).toString(), "449");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "x");
    EXPECT_FALSE(model.data(model.index(450, 0)).isValid());
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Принято");
    EXPECT_EQ(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
}

TEST(PagedRowsModel, AnExactPageEndsOnAnEmptyReadAndClearReadsNothing) {
    PagedRowsModel model({"Дата"}, {Qt::AlignLeft}, 200);
    CountingSource source{400, {}};
    model.Reset(source.Fetch());
    model.fetchMore(QModelIndex());
    EXPECT_TRUE(model.canFetchMore(QModelIndex()));
    model.fetchMore(QModelIndex());
    EXPECT_EQ(model.rowCount(), 400);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));
    EXPECT_EQ(source.Reads.size(), 3u);
    CountingSource none{0, {}};
    model.Reset(none.Fetch());
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));
}

TEST(ThinnedLine, EachSliceKeepsItsLowestAndHighestInOrder) {
    std::vector<QPointF> points;
    const double ys[] = {5, 1, 7, 3, 9, 2, 8, 4, 6, 0};
    for (int x = 0; x < 10; ++x)
        points.emplace_back(x, ys[x]);
    // Two slices, 0..4.5 and 4.5..9.
    EXPECT_EQ(ThinnedLine(points, 2), (std::vector<QPointF>{{1, 1}, {4, 9}, {6, 8}, {9, 0}}));
    // No more than two points a slice on average: all of them.
    EXPECT_EQ(ThinnedLine(points, 5), points);
    EXPECT_EQ(ThinnedLine({}, 3), std::vector<QPointF>{});
    // One moment only: one slice.
    EXPECT_EQ(ThinnedLine({{7, 3}, {7, 1}, {7, 2}, {7, 5}, {7, 4}}, 1),
              (std::vector<QPointF>{{7, 1}, {7, 5}}));
}

TEST(ThinnedLine, ALongHistoryKeepsItsExtremesAndItsEnds) {
    std::vector<QPointF> points;
    for (int n = 0; n < 8000; ++n)
        points.emplace_back(n * 3600.0, 30 + (n % 10) * 5);
    points[5000].setY(99);
    points[6000].setY(1);
    const auto thinned = ThinnedLine(points, 600);
    EXPECT_LE(thinned.size(), 1200u);
    EXPECT_GT(thinned.size(), 600u);
    EXPECT_TRUE(std::is_sorted(thinned.begin(), thinned.end(),
                               [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
    const auto has = [&](const QPointF& p) {
        return std::find(thinned.begin(), thinned.end(), p) != thinned.end();
    };
    EXPECT_TRUE(has(points[5000]));
    EXPECT_TRUE(has(points[6000]));
    // A slice holds 13 or 14 points, a whole round of 30..75: each keeps both.
    for (const double y : {30.0, 75.0})
        EXPECT_GE(std::count_if(thinned.begin(), thinned.end(),
                                [y](const QPointF& p) { return p.y() == y; }),
                  598)
            << y;
}
