// The statistics window on a laptop: it opens whole within the screen's
// available area, and at its smallest every page still reads: no label,
// button, column header, axis title or tick label cut short, and each table
// showing some rows.
#include "stats/ScreenFit.h"
#include "stats/StatsForm.h"
#include "tests/support/CourseRecords.h"
#include "tests/support/JournalTestSupport.h"
#include "tests/support/StatsFormTest.h"

#include <QAbstractAxis>
#include <QAbstractButton>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QListWidget>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

using namespace tonvik;

namespace {

struct FitCase {
    const char* Name;
    QRect Client;
    QSize Minimum;
    QRect Available;
    QMargins Frame;
    QRect Expected;
};

class FitIntoAreaCase : public ::testing::TestWithParam<FitCase> {};

// A 1366x768 laptop with a 32-pixel panel at the bottom; a title bar of 30.
const QRect Laptop(0, 0, 1366, 736);
const QMargins Title(2, 30, 2, 2);

} // namespace

TEST_P(FitIntoAreaCase, StandsWholeWithinTheArea) {
    const FitCase& c = GetParam();
    const QRect placed = FitIntoArea(c.Client, c.Minimum, c.Available, c.Frame);
    EXPECT_EQ(placed, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, FitIntoAreaCase,
    ::testing::Values(
        // The old 960x760 centred on a laptop: 702 high, moved up to the top.
        FitCase{"TallOnALaptop", QRect(203, 4, 960, 760), QSize(700, 560), Laptop, Title,
                QRect(203, 30, 960, 704)},
        FitCase{"FitsAsItIs", QRect(100, 100, 800, 500), QSize(600, 400), Laptop, Title,
                QRect(100, 100, 800, 500)},
        FitCase{"OffTheRightEdge", QRect(1000, 100, 800, 500), QSize(600, 400), Laptop, Title,
                QRect(564, 100, 800, 500)},
        FitCase{"PanelAtTheTop", QRect(100, 10, 800, 500), QSize(600, 400), QRect(0, 32, 1366, 736),
                Title, QRect(100, 62, 800, 500)},
        // A screen smaller than the window's least: the title bar stays on it.
        FitCase{"SmallerThanTheLeast", QRect(50, 50, 960, 760), QSize(700, 560),
                QRect(0, 0, 640, 480), Title, QRect(2, 30, 700, 560)}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.Name); });

namespace {

// What reads cut short on a page, one line each.
class CutTexts {
public:
    explicit CutTexts(const QWidget& page) {
        for (const QLabel* label : page.findChildren<QLabel*>())
            if (label->isVisible() && !label->text().isEmpty())
                Label(*label);
        for (const QAbstractButton* button : page.findChildren<QAbstractButton*>())
            if (button->isVisible() && !button->text().isEmpty() &&
                button->width() < button->sizeHint().width())
                Cut(button->text(), button->width(), button->sizeHint().width());
        for (const QTableView* table : page.findChildren<QTableView*>())
            if (table->isVisible())
                Table(*table);
        for (const QListWidget* list : page.findChildren<QListWidget*>())
            if (list->isVisible() && list->viewport()->height() < 3 * list->fontMetrics().height())
                Cut(list->objectName() + " rows", list->viewport()->height(),
                    3 * list->fontMetrics().height());
        for (const QChartView* view : page.findChildren<QChartView*>())
            if (view->isVisible() && view->chart() != nullptr)
                Chart(*view->chart());
    }
    const std::vector<std::string>& Lines() const { return Found; }

private:
    void Cut(const QString& what, double has, double needs) {
        Found.push_back(what.toStdString() + ": " + std::to_string(static_cast<int>(has)) + " of " +
                        std::to_string(static_cast<int>(needs)));
    }
    void Label(const QLabel& label) {
        if (label.wordWrap() && label.height() < label.heightForWidth(label.width()))
            Cut(label.text(), label.height(), label.heightForWidth(label.width()));
        else if (!label.wordWrap() && label.width() < label.sizeHint().width())
            Cut(label.text(), label.width(), label.sizeHint().width());
    }
    void Table(const QTableView& table) {
        const QHeaderView* header = table.horizontalHeader();
        const QAbstractItemModel* model = table.model();
        for (int column = 0; column < header->count(); ++column) {
            const QString title = model->headerData(column, Qt::Horizontal).toString();
            const int needs = header->sectionSizeHint(column);
            if (header->sectionSize(column) < needs)
                Cut(title, header->sectionSize(column), needs);
        }
        const int rows = 3 * table.verticalHeader()->defaultSectionSize();
        if (table.viewport()->height() < rows)
            Cut(table.objectName() + " rows", table.viewport()->height(), rows);
    }
    void Chart(const QChart& chart) {
        const QRectF plot = chart.plotArea();
        if (QFontMetrics(chart.titleFont()).horizontalAdvance(chart.title()) > chart.size().width())
            Cut(chart.title(), chart.size().width(),
                QFontMetrics(chart.titleFont()).horizontalAdvance(chart.title()));
        for (const QAbstractAxis* axis : chart.axes()) {
            const double length =
                axis->orientation() == Qt::Vertical ? plot.height() : plot.width();
            const int title = QFontMetrics(axis->titleFont()).horizontalAdvance(axis->titleText());
            if (title > length)
                Cut(axis->titleText(), length, title);
            const QStringList labels = TickLabels(*axis);
            int widest = 0;
            for (const QString& label : labels)
                widest =
                    std::max(widest, QFontMetrics(axis->labelsFont()).horizontalAdvance(label));
            // Qt Charts pads a label by some 7 pixels a side, or cuts it to "…".
            const int needs = static_cast<int>(labels.size()) * (widest + 14);
            if (axis->orientation() == Qt::Horizontal && needs > length)
                Cut(axis->titleText() + " tick labels", length, needs);
        }
        int legend = 0;
        for (const QLegendMarker* marker : chart.legend()->markers())
            if (chart.legend()->isVisible())
                legend += QFontMetrics(marker->font()).horizontalAdvance(marker->label()) + 30;
        if (legend > chart.size().width())
            Cut("legend", chart.size().width(), legend);
    }
    static QStringList TickLabels(const QAbstractAxis& axis) {
        QStringList labels;
        if (const auto* dates = qobject_cast<const QDateTimeAxis*>(&axis)) {
            const qint64 first = dates->min().toMSecsSinceEpoch();
            const qint64 last = dates->max().toMSecsSinceEpoch();
            for (int n = 0; n < dates->tickCount(); ++n)
                labels << QDateTime::fromMSecsSinceEpoch(first + (last - first) * n /
                                                                     (dates->tickCount() - 1))
                              .toString(dates->format());
        } else if (auto* categories =
                       qobject_cast<QBarCategoryAxis*>(const_cast<QAbstractAxis*>(&axis))) {
            labels = categories->categories();
        }
        return labels;
    }

    std::vector<std::string> Found;
};

class StatsWindowFit : public StatsFormTest {
protected:
    // A first day of practice: twelve exercises an hour apart, some wrong
    // answers, a drill of each kind, every third exercise under band
    // conditions, so that the progress chart draws both bands, and lessons.
    void FirstDay() {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        const std::vector<std::pair<std::string, std::string>> answers{
            {"UA3ABC", "UA3A6C"}, {"DL1XYZ", "DL1XYZ"}, {"OK2HQ", "0K2HQ"}, {"W7FJM", "W7FJM"}};
        for (int n = 0; n < 12; ++n) {
            ExerciseStart start = CallsignStart(TestTime(-9 * 3600 + n * 3600));
            if (n % 3 == 1)
                start.Conditions = "contest";
            if (n == 5 || n == 9)
                start.Kind =
                    n == 5 ? ExerciseKind::MissedCallsDrill : ExerciseKind::WeakCharactersDrill;
            ASSERT_TRUE(journal.BeginExercise(start));
            for (int a = 0; a < 4; ++a)
                ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(
                    a + 1, answers[a].first,
                    answers[(a + n) % 4].second == answers[a].first ? answers[a].first
                                                                    : answers[a].second,
                    28 + n)));
            ASSERT_TRUE(journal.EndExercise(CallsignEnd(
                TestTime(-9 * 3600 + n * 3600 + 300), EndReason::Completed, 900 + 40 * n, 28 + n)));
        }
        // And the course: lessons of both courses between the exercises.
        for (int n = 0; n < 8; ++n)
            AddLesson(journal,
                      {TestTime(-9 * 3600 + n * 3600 + 1800), n % 4 == 3 ? "cyrillic" : "latin",
                       1 + n / 2, 80.0 + 3 * n, n % 2 == 1});
        ASSERT_TRUE(journal.Flush());
    }
    void Open() {
        Form = std::make_unique<TStatsForm>(&Main);
        Form->SetJournalFile(Path);
        Form->SetClock([] { return TestTime(); });
    }

    QWidget Main;
};

} // namespace

TEST_F(StatsWindowFit, OpensWithinTheScreensAvailableArea) {
    FirstDay();
    Main.resize(600, 400);
    Main.show();
    Open();
    Form->show();
    const QRect area = Form->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(Form->frameGeometry()))
        << Form->frameGeometry().width() << "x" << Form->frameGeometry().height() << " in "
        << area.width() << "x" << area.height();
    // The least size fits a 1366x768 laptop with a panel and a title bar.
    EXPECT_LE(Form->minimumSizeHint().width(), 1366 - 4);
    EXPECT_LE(Form->minimumSizeHint().height(), 768 - 32 - 34);
}

TEST_F(StatsWindowFit, EveryPageReadsAtTheLeastSize) {
    FirstDay();
    Open();
    Form->show();
    Form->resize(Form->minimumSizeHint());
    auto* tabs = Form->findChild<QTabWidget*>("StatsTabs");
    ASSERT_NE(tabs, nullptr);
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        const std::vector<std::string> cut = CutTexts(*Form).Lines();
        EXPECT_TRUE(cut.empty()) << "page " << page << " at " << Form->width() << "x"
                                 << Form->height() << ":\n"
                                 << [&] {
                                        std::string all;
                                        for (const std::string& line : cut)
                                            all += "  " + line + "\n";
                                        return all;
                                    }();
    }
}

TEST_F(StatsWindowFit, TheRecognitionColumnReadsAtTheLeastSize) {
    FirstDay();
    {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        AddRecognition(journal, TestTime(-3600),
                       {{"K", "K", 450}, {"M", "R", 1250}, {"Q", "Q", 700}, {"5", "H", 980}});
    }
    Open();
    Form->show();
    Form->resize(Form->minimumSizeHint());
    Form->findChild<QTabWidget*>("StatsTabs")->setCurrentIndex(TStatsForm::CharactersPage);
    // «Узнавание»: the table has its fifth column.
    Form->findChild<QComboBox*>("CharactersSourceBox")->setCurrentIndex(2);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    const auto* table = Form->findChild<QTableView*>("CharactersTable");
    ASSERT_EQ(table->model()->columnCount(), 5);
    // Every column shows whole without scrolling sideways.
    EXPECT_LE(table->horizontalHeader()->length(), table->viewport()->width());
    const std::vector<std::string> cut = CutTexts(*Form).Lines();
    std::string all;
    for (const std::string& line : cut)
        all += "  " + line + "\n";
    EXPECT_TRUE(cut.empty()) << Form->width() << "x" << Form->height() << ":\n" << all;
}
