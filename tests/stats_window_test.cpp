// The statistics window on a prepared journal: each page's contents through
// its widgets, read only when the page is shown; the empty journal, no
// journal and a journal that cannot be opened; the keys; and the two drill
// buttons, which close the window and hand their callsigns on.
#include "stats/StatsForm.h"
#include "stats/StatsText.h"
#include "tests/support/JournalTestSupport.h"
#include "tests/support/StatsFormTest.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <ctime>

using namespace tonvik;

namespace {

class StatsWindow : public StatsFormTest {
protected:
    void SetUp() override {
        StatsFormTest::SetUp();
        Form = std::make_unique<TStatsForm>(&Main);
        Form->SetJournalFile(Path);
        Form->SetClock([] { return TestTime(); });
        Form->SetMissedCallsHandler(
            [this](const std::vector<std::string>& calls) { MissedDrills.push_back(calls); });
        Form->SetWeakCharactersHandler(
            [this](const MissRates& rates) { WeakDrills.push_back(rates); });
    }
    void TearDown() override {
        Recorder.Close();
        StatsFormTest::TearDown();
    }

    // The journal of the page tests: three plain callsign exercises (one of
    // them stopped), a drill and a text exercise.
    void Prepare() {
        ASSERT_TRUE(Recorder.Open(Path).Ok());
        Add(40, ExerciseKind::Callsign, EndReason::Completed, {{"UB5K", "U65K"}, {"UB5K", "UB5K"}},
            30, 100);
        Add(10, ExerciseKind::Callsign, EndReason::Stopped,
            {{"UA3ABC", "UA3A6C"}, {"DL1XYZ", "DL1XY"}}, 28, 150);
        Add(5, ExerciseKind::Callsign, EndReason::Completed, {{"R3A", "R3A"}}, 44, 6000);
        Add(0, ExerciseKind::MissedCallsDrill, EndReason::Completed,
            {{"OK2AB", "0K2AB"}, {"OK2AB", "OK2AB"}, {"R3A", "R3A"}}, 50, 7000);
        ExerciseStart text;
        text.Kind = ExerciseKind::Text;
        text.Started = DaysAgo(2);
        text.Wpm = 22;
        ASSERT_TRUE(Recorder.BeginExercise(text));
        ExerciseEnd end;
        end.Ended = DaysAgo(2, 300);
        end.Reason = EndReason::Completed;
        end.CharactersKeyed = 1234;
        ASSERT_TRUE(Recorder.EndExercise(end));
        ASSERT_TRUE(Recorder.Flush());
    }

    void Add(int daysAgo, ExerciseKind kind, EndReason reason, const SentAndTyped& answers,
             int maxWpm, double points) {
        AddCallsignExercise(Recorder, daysAgo, kind, reason, answers, maxWpm, points);
    }

    template <class T> T* Find(const char* name) const {
        T* widget = Form->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            ADD_FAILURE() << "no widget " << name;
        return widget;
    }
    void ShowPage(int page) { Find<QTabWidget>("StatsTabs")->setCurrentIndex(page); }
    QString Cell(const char* table, int row, int column) const {
        const QTableWidgetItem* item = Find<QTableWidget>(table)->item(row, column);
        return item != nullptr ? item->text() : QString("(none)");
    }
    QString ModelCell(const char* table, int row, int column) const {
        const QAbstractItemModel* model = Find<QTableView>(table)->model();
        return model->index(row, column).data().toString();
    }
    int ModelRows(const char* table) const { return Find<QTableView>(table)->model()->rowCount(); }
    // The text the page shows in place of its figures, or "" when it shows them.
    QString EmptyText(const char* stack) const {
        const QStackedWidget* pages = Find<QStackedWidget>(stack);
        if (pages->currentIndex() == 0)
            return "";
        return pages->currentWidget()->findChild<QLabel*>()->text();
    }
    std::vector<double> SeriesValues(int series) const {
        const auto all = Find<QChartView>("ProgressChart")->chart()->series();
        std::vector<double> values;
        if (series >= all.size())
            return values;
        for (const QPointF& point : qobject_cast<QLineSeries*>(all[series])->points())
            values.push_back(point.y());
        return values;
    }

    QWidget Main;
    Journal Recorder;
    std::vector<std::vector<std::string>> MissedDrills;
    std::vector<MissRates> WeakDrills;
};

} // namespace

TEST_F(StatsWindow, IsRussianResizableAndHasItsFivePages) {
    Form->show();
    EXPECT_EQ(Form->windowTitle(), "Статистика");
    const QTabWidget* tabs = Find<QTabWidget>("StatsTabs");
    ASSERT_EQ(tabs->count(), 5);
    QStringList titles;
    for (int page = 0; page < 5; ++page)
        titles << tabs->tabText(page).remove('&');
    EXPECT_EQ(titles, (QStringList{"Прогресс", "Знаки", "Ошибки", "Тренировки", "Курс"}));
    Form->resize(1300, 950);
    EXPECT_EQ(Form->size(), QSize(1300, 950));
    Form->resize(700, 600);
    EXPECT_EQ(Form->size(), QSize(700, 600));
}

TEST_F(StatsWindow, ProgressShowsFinishedExercisesTheBestTheLastTenAndTheTexts) {
    Prepare();
    Form->show();
    EXPECT_EQ(EmptyText("ProgressStack"), "");
    // Finished plain callsign exercises, oldest first: not the stopped one
    // nor the drill.
    EXPECT_EQ(SeriesValues(0), (std::vector<double>{30, 44}));
    EXPECT_EQ(SeriesValues(1), (std::vector<double>{100, 6000}));
    const QString best = Find<QLabel>("BestLbl")->text();
    EXPECT_TRUE(best.contains("04.03.2024 17:05")) << best.toStdString();
    EXPECT_TRUE(best.contains("6000"));
    EXPECT_TRUE(best.contains("44 wpm"));

    ASSERT_EQ(Find<QTableWidget>("LastTable")->rowCount(), 3);
    EXPECT_EQ(Cell("LastTable", 0, 0), "04.03.2024 17:05");
    EXPECT_EQ(Cell("LastTable", 0, 1), "UA3XYZ");
    EXPECT_EQ(Cell("LastTable", 0, 2), "1/1");
    EXPECT_EQ(Cell("LastTable", 0, 3), "44");
    EXPECT_EQ(Cell("LastTable", 0, 4), "6000");
    EXPECT_EQ(Cell("LastTable", 0, 5), "все ответы");
    EXPECT_EQ(Cell("LastTable", 1, 2), "0/2");
    EXPECT_EQ(Cell("LastTable", 1, 5), "остановлено");
    EXPECT_EQ(Cell("LastTable", 2, 0), "29.01.2024 17:05");

    ASSERT_EQ(ModelRows("TextTable"), 1);
    EXPECT_EQ(ModelCell("TextTable", 0, 0), "07.03.2024 17:05");
    EXPECT_EQ(ModelCell("TextTable", 0, 1), "22");
    EXPECT_EQ(ModelCell("TextTable", 0, 2), "1234");
    EXPECT_EQ(ModelCell("TextTable", 0, 3), "да");
}

TEST_F(StatsWindow, ThePagesAreReadWhenFirstShown) {
    Prepare();
    Form->show();
    EXPECT_EQ(Find<QTableWidget>("CharactersTable")->rowCount(), 0);
    EXPECT_EQ(ModelRows("ErrorsTable"), 0);
    ShowPage(TStatsForm::ErrorsPage);
    EXPECT_EQ(ModelRows("ErrorsTable"), 4);
    EXPECT_EQ(Find<QTableWidget>("CharactersTable")->rowCount(), 0);
    ShowPage(TStatsForm::CharactersPage);
    EXPECT_EQ(Find<QTableWidget>("CharactersTable")->rowCount(), 16);
}

TEST_F(StatsWindow, CharactersWorstFirstWithTheirConfusionsOverAPeriod) {
    Prepare();
    Form->show();
    ShowPage(TStatsForm::CharactersPage);
    EXPECT_EQ(EmptyText("CharactersStack"), "");
    // Z missing from its answer once of once, O typed as 0 once of twice, B
    // as 6 twice of five times; the rest always right.
    EXPECT_EQ(Cell("CharactersTable", 0, 0), "Z");
    EXPECT_EQ(Cell("CharactersTable", 0, 1), "1");
    EXPECT_EQ(Cell("CharactersTable", 0, 2), "1");
    EXPECT_EQ(Cell("CharactersTable", 0, 3), "0,0");
    EXPECT_EQ(Cell("CharactersTable", 1, 0), "O");
    EXPECT_EQ(Cell("CharactersTable", 1, 3), "50,0");
    EXPECT_EQ(Cell("CharactersTable", 2, 0), "B");
    EXPECT_EQ(Cell("CharactersTable", 2, 1), "5");
    EXPECT_EQ(Cell("CharactersTable", 2, 2), "2");
    EXPECT_EQ(Cell("CharactersTable", 2, 3), "60,0");
    EXPECT_EQ(Cell("CharactersTable", 3, 3), "100,0");
    const QListWidget* confusions = Find<QListWidget>("ConfusionsList");
    ASSERT_EQ(confusions->count(), 2);
    EXPECT_EQ(confusions->item(0)->text(), "B → 6: 2 раза");
    EXPECT_EQ(confusions->item(1)->text(), "O → 0: 1 раз");

    // The last 7 days: today and the 6 before, from 03.03.
    Find<QRadioButton>("PeriodWeekBut")->click();
    EXPECT_EQ(Cell("CharactersTable", 0, 0), "O");
    // R3A twice and OK2AB twice: R, 3, A, O, K, 2, B.
    EXPECT_EQ(Find<QTableWidget>("CharactersTable")->rowCount(), 7);
    ASSERT_EQ(confusions->count(), 1);
    EXPECT_EQ(confusions->item(0)->text(), "O → 0: 1 раз");
    Find<QRadioButton>("PeriodMonthBut")->click();
    EXPECT_EQ(Cell("CharactersTable", 0, 0), "Z");
    EXPECT_EQ(Cell("CharactersTable", 2, 1), "3"); // UB5K of 40 days ago left out
    const auto bars = Find<QChartView>("CharactersChart")->chart()->series();
    ASSERT_EQ(bars.size(), 1);
}

TEST_F(StatsWindow, ErrorsNewestFirstWithDateSpeedSentAndTyped) {
    Prepare();
    Form->show();
    ShowPage(TStatsForm::ErrorsPage);
    ASSERT_EQ(ModelRows("ErrorsTable"), 4);
    EXPECT_EQ(ModelCell("ErrorsTable", 0, 0), "09.03.2024 17:05");
    EXPECT_EQ(ModelCell("ErrorsTable", 0, 1), "30");
    EXPECT_EQ(ModelCell("ErrorsTable", 0, 2), "OK2AB");
    EXPECT_EQ(ModelCell("ErrorsTable", 0, 3), "0K2AB");
    EXPECT_EQ(ModelCell("ErrorsTable", 1, 2), "DL1XYZ");
    EXPECT_EQ(ModelCell("ErrorsTable", 1, 3), "DL1XY");
    EXPECT_EQ(ModelCell("ErrorsTable", 2, 2), "UA3ABC");
    EXPECT_EQ(ModelCell("ErrorsTable", 3, 0), "29.01.2024 17:05");
    EXPECT_EQ(ModelCell("ErrorsTable", 3, 3), "U65K");
}

TEST_F(StatsWindow, DrillsNewestFirstWithWhichDrillPointsSpeedAndEnd) {
    Prepare();
    ExerciseStart weak = CallsignStart(DaysAgo(0, 600));
    weak.Kind = ExerciseKind::WeakCharactersDrill;
    ASSERT_TRUE(Recorder.BeginExercise(weak));
    ASSERT_TRUE(Recorder.RecordAnswer(ScoredAnswer(1, "QZ1J", "QZ1J", 35)));
    ASSERT_TRUE(Recorder.Flush()); // never ended: cut off
    Form->show();
    ShowPage(TStatsForm::DrillsPage);
    EXPECT_EQ(EmptyText("DrillsStack"), "");
    ASSERT_EQ(ModelRows("DrillsTable"), 2);
    EXPECT_EQ(ModelCell("DrillsTable", 0, 0), "09.03.2024 17:15");
    EXPECT_EQ(ModelCell("DrillsTable", 0, 1), "Слабые знаки");
    EXPECT_EQ(ModelCell("DrillsTable", 0, 2), "1/1");
    EXPECT_EQ(ModelCell("DrillsTable", 0, 5), "прервано");
    // The drill of missed callsigns: OK2AB wrong once, R3A right.
    EXPECT_EQ(ModelCell("DrillsTable", 1, 0), "09.03.2024 17:05");
    EXPECT_EQ(ModelCell("DrillsTable", 1, 1), "Повтор ошибок");
    EXPECT_EQ(ModelCell("DrillsTable", 1, 2), "2/3");
    EXPECT_EQ(ModelCell("DrillsTable", 1, 3), "50");
    EXPECT_EQ(ModelCell("DrillsTable", 1, 4), "7000");
    EXPECT_EQ(ModelCell("DrillsTable", 1, 5), "все ответы");
    // Still out of the progress chart and the last exercises.
    ShowPage(TStatsForm::ProgressPage);
    EXPECT_EQ(SeriesValues(0), (std::vector<double>{30, 44}));
    EXPECT_EQ(Find<QTableWidget>("LastTable")->rowCount(), 3);
    // Ctrl+4 shows the page.
    ShowPage(TStatsForm::ProgressPage);
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    QTest::keyClick(Form.get(), Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(Find<QTabWidget>("StatsTabs")->currentIndex(), TStatsForm::DrillsPage);
}

TEST_F(StatsWindow, WithoutDrillsTheirPageSaysSo) {
    ASSERT_TRUE(Recorder.Open(Path).Ok());
    Add(1, ExerciseKind::Callsign, EndReason::Completed, {{"R3A", "R3A"}}, 30, 100);
    Form->show();
    ShowPage(TStatsForm::DrillsPage);
    EXPECT_EQ(EmptyText("DrillsStack"), "Тренировок пока не было");
}

TEST_F(StatsWindow, RepeatingTheErrorsClosesTheWindowAndHandsOnThirtyCallsigns) {
    Prepare();
    int result = -1;
    QTimer::singleShot(0, Form.get(), [&] {
        ShowPage(TStatsForm::ErrorsPage);
        Find<QPushButton>("RepeatBut")->click();
    });
    result = Form->ShowModal();
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(Form->isVisible());
    ASSERT_EQ(MissedDrills.size(), 1u);
    const std::vector<std::string> order{"OK2AB", "DL1XYZ", "UA3ABC", "UB5K"};
    ASSERT_EQ(MissedDrills[0].size(), 30u);
    for (size_t n = 0; n < 30; ++n)
        EXPECT_EQ(MissedDrills[0][n], order[n % 4]) << n;
    EXPECT_TRUE(WeakDrills.empty());
}

TEST_F(StatsWindow, TrainingWeakCharactersHandsOnTheirMissShares) {
    Prepare();
    Form->show();
    ShowPage(TStatsForm::CharactersPage);
    Find<QPushButton>("WeakDrillBut")->click();
    EXPECT_FALSE(Form->isVisible());
    ASSERT_EQ(WeakDrills.size(), 1u);
    EXPECT_DOUBLE_EQ(WeakDrills[0]['Z'], 1.0);
    EXPECT_DOUBLE_EQ(WeakDrills[0]['O'], 0.5);
    EXPECT_DOUBLE_EQ(WeakDrills[0]['B'], 0.4);
    EXPECT_DOUBLE_EQ(WeakDrills[0]['U'], 0.0);
    EXPECT_TRUE(MissedDrills.empty());
}

TEST_F(StatsWindow, EveryShowingReadsTheJournalAnew) {
    Prepare();
    Form->show();
    ASSERT_EQ(Find<QTableWidget>("LastTable")->rowCount(), 3);
    Form->hide();
    Add(0, ExerciseKind::Callsign, EndReason::Completed, {{"RK9F", "RK9"}}, 31, 200);
    Form->show();
    EXPECT_EQ(Find<QTableWidget>("LastTable")->rowCount(), 4);
    EXPECT_EQ(SeriesValues(0).size(), 3u);
    ShowPage(TStatsForm::ErrorsPage);
    EXPECT_EQ(ModelCell("ErrorsTable", 0, 2), "RK9F");
}

TEST_F(StatsWindow, AnEmptyOrMissingJournalSaysSoOnEveryPage) {
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            // A journal begun and never used.
            ASSERT_TRUE(Recorder.Open(Path).Ok());
            Recorder.Close();
            ASSERT_TRUE(std::filesystem::exists(Path));
        }
        Form->show();
        EXPECT_FALSE(Find<QLabel>("UnavailableLbl")->isVisible());
        for (const char* stack : {"ProgressStack", "CharactersStack", "ErrorsStack", "DrillsStack"})
            EXPECT_EQ(EmptyText(stack), "Пока нет ни одного упражнения") << stack << round;
        ShowPage(TStatsForm::ErrorsPage);
        EXPECT_FALSE(Find<QPushButton>("RepeatBut")->isVisible());
        ShowPage(TStatsForm::ProgressPage);
        Form->hide();
    }
    // Reading never made a file.
    Recorder.Close();
}

TEST_F(StatsWindow, WithoutAJournalOneLineSaysWhyInsteadOfThePages) {
    Form->SetNoJournal(nullptr);
    Form->show();
    const QLabel* line = Find<QLabel>("UnavailableLbl");
    EXPECT_TRUE(line->isVisible());
    EXPECT_TRUE(line->text().contains("--no-journal")) << line->text().toStdString();
    EXPECT_FALSE(Find<QTabWidget>("StatsTabs")->isVisible());
    Form->hide();

    JournalProblem problem;
    problem.Fault = JournalFault::Locked;
    problem.Path = Path.string();
    Form->SetNoJournal(&problem);
    Form->show();
    EXPECT_EQ(line->text(), NoJournalText(&problem));
    Form->hide();

    // Given a journal again, the pages come back.
    Prepare();
    Form->SetJournalFile(Path);
    Form->show();
    EXPECT_FALSE(line->isVisible());
    EXPECT_TRUE(Find<QTabWidget>("StatsTabs")->isVisible());
}

TEST_F(StatsWindow, AFileThatIsNoJournalIsReportedAndLeftAsItIs) {
    std::filesystem::create_directories(Path.parent_path());
    const std::string bytes = "my own notes, not a database\n";
    WriteFileBytes(Path, bytes);
    Form->show();
    const QLabel* line = Find<QLabel>("UnavailableLbl");
    EXPECT_TRUE(line->isVisible());
    EXPECT_TRUE(line->text().contains(QString::fromStdString(Path.string())));
    EXPECT_TRUE(line->text().contains("не открылся"));
    EXPECT_FALSE(Find<QTabWidget>("StatsTabs")->isVisible());
    EXPECT_EQ(ReadFileBytes(Path), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path.parent_path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(StatsWindow, KeysSwitchThePagesAndEscCloses) {
    Prepare();
    Form->show();
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    QTest::keyClick(Form.get(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(Find<QTabWidget>("StatsTabs")->currentIndex(), TStatsForm::CharactersPage);
    QTest::keyClick(Form.get(), Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(Find<QTabWidget>("StatsTabs")->currentIndex(), TStatsForm::ErrorsPage);
    EXPECT_EQ(ModelRows("ErrorsTable"), 4);
    // The Russian mnemonic of "Прогресс".
    for (const QTest::KeyAction action : {QTest::Press, QTest::Release})
        QTest::sendKeyEvent(action, Form.get(), static_cast<Qt::Key>(0x041F), QString("П"),
                            Qt::AltModifier);
    EXPECT_EQ(Find<QTabWidget>("StatsTabs")->currentIndex(), TStatsForm::ProgressPage);
    QTest::keyClick(Form.get(), Qt::Key_Escape);
    EXPECT_FALSE(Form->isVisible());
    EXPECT_TRUE(MissedDrills.empty());
    EXPECT_TRUE(WeakDrills.empty());
}
