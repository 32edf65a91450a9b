// The statistics window's words and the paged rows of its long tables.
#include "journal/JournalStats.h"
#include "stats/PagedRowsModel.h"
#include "stats/StatsText.h"
#include "tests/support/Cp1251Literal.h"
#include "tests/support/JournalTestSupport.h"

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
