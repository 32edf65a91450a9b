// The characters page's filters on a hand-made journal of callsigns (clean
// and under band conditions), a lesson and a recognition run: each source
// and band gives the characters sent there, with their confusions, and a
// recognition run's median reaction per character stands in a column of its
// own. The filters are worked by the keyboard, as a user does.
#include "stats/StatsForm.h"
#include "tests/support/CourseRecords.h"
#include "tests/support/JournalTestSupport.h"
#include "tests/support/StatsFormTest.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <cstdlib>
#include <ctime>
#include <ostream>
#include <string>
#include <vector>

using namespace tonvik;

namespace {

struct SourceCase {
    const char* Name;
    int SourceDowns; // down arrows in «Источник:» (Позывные, Уроки, Узнавание, Все)
    int ConditionsDowns; // down arrows in «Эфир:» (Все, Без помех, В условиях приёма)
    // "character sent/wrong", worst first; a recognition run's median after it.
    std::vector<std::string> Rows;
    std::vector<std::string> Confusions;
    const char* ChartTitle; // "" when there are figures
};

void PrintTo(const SourceCase& c, std::ostream* out) {
    *out << c.Name;
}

class CharacterSources : public StatsFormTest, public ::testing::WithParamInterface<SourceCase> {
protected:
    // Within the last week: B missed in a clean callsign and in one under
    // "contest"; M dropped in a lesson; K pressed as R in a recognition run.
    void Prepare() {
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        Callsigns(journal, "clean", "UA3ABC", "UA3A6C");
        Callsigns(journal, "contest", "K1ABC", "K1A8C");
        AddLesson(
            journal,
            {DaysAgo(2), "latin", 1, 75, false, {{"K", "K"}, {"M", ""}, {"K", "K"}, {"M", "M"}}});
        AddRecognition(journal, DaysAgo(3),
                       {{"K", "K", 400},
                        {"M", "M", 300},
                        {"K", "K", 600},
                        {"E", "E", 200},
                        {"K", "R", 900},
                        {"M", "M", 500}});
    }
    static void Callsigns(Journal& journal, const std::string& conditions, const std::string& sent,
                          const std::string& typed) {
        ExerciseStart start = CallsignStart(DaysAgo(1));
        start.Conditions = conditions;
        ASSERT_TRUE(journal.BeginExercise(start));
        ASSERT_TRUE(journal.RecordAnswer(ScoredAnswer(1, sent, typed, 30, 0, DaysAgo(1, 5))));
        ASSERT_TRUE(
            journal.EndExercise(CallsignEnd(DaysAgo(1, 60), EndReason::Completed, 100, 30)));
        ASSERT_TRUE(journal.Flush());
    }
    void Open() {
        OpenForm(&Main);
        Form->findChild<QTabWidget*>("StatsTabs")->setCurrentIndex(TStatsForm::CharactersPage);
    }
    // Alt and a label's underlined letter, then the down arrow in the list it names.
    void Choose(char16_t letter, const char* box, int downs) {
        QTest::sendKeyEvent(QTest::Click, Form.get(),
                            static_cast<Qt::Key>(QChar(letter).toUpper().unicode()),
                            QString(QChar(letter)), Qt::AltModifier);
        auto* list = Form->findChild<QComboBox*>(box);
        ASSERT_NE(list, nullptr) << box;
        ASSERT_EQ(QApplication::focusWidget(), list) << box;
        for (int n = 0; n < downs; ++n)
            QTest::keyClick(list, Qt::Key_Down);
    }
    std::vector<std::string> Rows() const {
        const auto* table = Form->findChild<QTableWidget*>("CharactersTable");
        std::vector<std::string> rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            QString text = table->item(row, 0)->text() + " " + table->item(row, 1)->text() + "/" +
                           table->item(row, 2)->text();
            if (table->columnCount() > 4)
                text += " " + table->item(row, 4)->text();
            rows.push_back(text.toStdString());
        }
        return rows;
    }
    std::vector<std::string> Confusions() const {
        std::vector<std::string> lines;
        const auto* list = Form->findChild<QListWidget*>("ConfusionsList");
        for (int row = 0; row < list->count(); ++row)
            lines.push_back(list->item(row)->text().toStdString());
        return lines;
    }

    QWidget Main;
};

} // namespace

TEST_P(CharacterSources, EachSourceAndBandGivesItsCharacters) {
    const SourceCase& c = GetParam();
    Prepare();
    Open();
    Choose(u'и', "CharactersSourceBox", c.SourceDowns);
    Choose(u'э', "CharactersConditionsBox", c.ConditionsDowns);
    EXPECT_EQ(Rows(), c.Rows);
    EXPECT_EQ(Confusions(), c.Confusions);
    const auto* table = Form->findChild<QTableWidget*>("CharactersTable");
    const bool timed = c.SourceDowns == 2;
    ASSERT_EQ(table->columnCount(), timed ? 5 : 4);
    if (timed) {
        EXPECT_EQ(table->horizontalHeaderItem(4)->text(), "Реакция, мс");
    }
    const QString title = Form->findChild<QChartView*>("CharactersChart")->chart()->title();
    if (*c.ChartTitle != '\0') {
        EXPECT_EQ(title.toStdString(), c.ChartTitle);
    } else {
        EXPECT_TRUE(title.startsWith("Точность по знакам")) << title.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Filters, CharacterSources,
    ::testing::Values(
        SourceCase{"Callsigns",
                   0,
                   0,
                   {"B 2/2", "1 1/0", "3 1/0", "A 3/0", "C 2/0", "K 1/0", "U 1/0"},
                   {"B → 6: 1 раз", "B → 8: 1 раз"},
                   ""},
        SourceCase{"CleanCallsigns",
                   0,
                   1,
                   {"B 1/1", "3 1/0", "A 2/0", "C 1/0", "U 1/0"},
                   {"B → 6: 1 раз"},
                   ""},
        SourceCase{"CallsignsUnderConditions",
                   0,
                   2,
                   {"B 1/1", "1 1/0", "A 1/0", "C 1/0", "K 1/0"},
                   {"B → 8: 1 раз"},
                   ""},
        SourceCase{"Lessons", 1, 0, {"M 2/1", "K 2/0"}, {}, ""},
        SourceCase{"LessonsUnderConditions", 1, 2, {}, {}, "За этот срок уроков не было"},
        SourceCase{
            "Recognition", 2, 0, {"K 3/1 600", "E 1/0 200", "M 2/0 400"}, {"K → R: 1 раз"}, ""},
        SourceCase{
            "Everything",
            3,
            0,
            {"B 2/2", "M 4/1", "K 6/1", "1 1/0", "3 1/0", "A 3/0", "C 2/0", "E 1/0", "U 1/0"},
            {"B → 6: 1 раз", "B → 8: 1 раз", "K → R: 1 раз"},
            ""}),
    [](const ::testing::TestParamInfo<SourceCase>& info) { return std::string(info.param.Name); });
