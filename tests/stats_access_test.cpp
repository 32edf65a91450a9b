// The statistics window read as a screen reader reads it, through Qt's
// accessibility interface: every control shown on each page has a Russian
// name, the charts point to their tables, and each action says its key.
#include "stats/StatsForm.h"
#include "tests/support/JournalTestSupport.h"
#include "tests/support/StatsFormTest.h"

#include <QAccessible>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <cstdlib>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

using namespace tonvik;

namespace {

// Roles that hold other controls and need no name of their own; what lies
// inside a table or a list (cells, headers) is named by its text.
bool IsContainer(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Client:
    case QAccessible::Pane:
    case QAccessible::Grouping:
    case QAccessible::Splitter:
    case QAccessible::Grip:
    case QAccessible::Separator:
    case QAccessible::LayeredPane:
    case QAccessible::Window:
        return true;
    default:
        return false;
    }
}

bool HoldsItems(QAccessible::Role role) {
    return role == QAccessible::Table || role == QAccessible::List || role == QAccessible::Tree;
}

// The visible controls under node without an accessible name, as
// "role objectName".
void Unnamed(QAccessibleInterface* node, std::vector<std::string>& found) {
    for (int n = 0; n < node->childCount(); ++n) {
        QAccessibleInterface* child = node->child(n);
        if (child == nullptr || child->state().invisible)
            continue;
        const QAccessible::Role role = child->role();
        const QString name = child->text(QAccessible::Name).trimmed();
        // A label with no text shows nothing.
        if (role == QAccessible::StaticText && name.isEmpty())
            continue;
        if (!IsContainer(role) && name.isEmpty()) {
            const QObject* object = child->object();
            found.push_back(std::to_string(role) + " " +
                            (object != nullptr ? object->objectName().toStdString() : "?") + " (" +
                            (object != nullptr ? object->metaObject()->className() : "") + ")");
        }
        if (!HoldsItems(role))
            Unnamed(child, found);
    }
}

QString Description(QObject* object) {
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(object);
    return node != nullptr ? node->text(QAccessible::Description) : QString();
}

QString Name(QObject* object) {
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(object);
    return node != nullptr ? node->text(QAccessible::Name) : QString();
}

class StatsAccess : public StatsFormTest {
protected:
    void SetUp() override {
        StatsFormTest::SetUp();
        Journal journal;
        ASSERT_TRUE(journal.Open(Path).Ok());
        AddCallsignExercise(journal, 1, ExerciseKind::Callsign, EndReason::Completed,
                            {{"UA3ABC", "UA3A6C"}, {"DL1XYZ", "DL1XYZ"}}, 30, 540);
        AddCallsignExercise(journal, 0, ExerciseKind::MissedCallsDrill, EndReason::Completed,
                            {{"UA3ABC", "UA3ABC"}}, 32, 300);
        journal.Close();
        Form = std::make_unique<TStatsForm>(&Main);
        Form->SetJournalFile(Path);
        Form->SetClock([] { return TestTime(); });
    }
    template <class T> T* Find(const char* name) const {
        T* widget = Form->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            ADD_FAILURE() << "no widget " << name;
        return widget;
    }

    QWidget Main;
};

} // namespace

TEST_F(StatsAccess, EveryShownControlOfEveryPageHasAName) {
    Form->show();
    auto* tabs = Find<QTabWidget>("StatsTabs");
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QCoreApplication::processEvents();
        std::vector<std::string> unnamed;
        Unnamed(QAccessible::queryAccessibleInterface(Form.get()), unnamed);
        std::string all;
        for (const std::string& line : unnamed)
            all += "  " + line + "\n";
        EXPECT_TRUE(unnamed.empty()) << "page " << page << ":\n" << all;
    }
}

TEST_F(StatsAccess, ChartsPointToTheirTablesAndActionsSayTheirKeys) {
    Form->show();
    // The charts: named, and their tables given as what to read instead.
    EXPECT_FALSE(Name(Find<QChartView>("ProgressChart")).isEmpty());
    EXPECT_TRUE(Description(Find<QChartView>("ProgressChart"))
                    .contains("«Последние упражнения с позывными»"))
        << Description(Find<QChartView>("ProgressChart")).toStdString();
    EXPECT_FALSE(Name(Find<QChartView>("CharactersChart")).isEmpty());
    EXPECT_TRUE(Description(Find<QChartView>("CharactersChart")).contains("«Знаки»"))
        << Description(Find<QChartView>("CharactersChart")).toStdString();
    EXPECT_FALSE(Name(Find<QChartView>("CourseChart")).isEmpty());
    EXPECT_TRUE(
        Description(Find<QChartView>("CourseChart")).contains("«Последние уроки, новые первыми»"))
        << Description(Find<QChartView>("CourseChart")).toStdString();
    // The tables by the labels above them.
    for (const auto& [table, name] : std::vector<std::pair<const char*, QString>>{
             {"LastTable", "Последние упражнения с позывными"},
             {"TextTable", "Упражнения с текстами"},
             {"CharactersTable", "Знаки"},
             {"ConfusionsList", "Частые путаницы (передано → принято)"},
             {"ErrorsTable", "Неверно принятые позывные, новые первыми"},
             {"CourseTable", "Последние уроки, новые первыми"}})
        EXPECT_EQ(Name(Find<QWidget>(table)).toStdString(), name.toStdString()) << table;
    // The keys: the pages, the period, the drills, closing.
    const QString pages = Description(Find<QTabWidget>("StatsTabs"));
    for (const char* key : {"Ctrl+1", "Ctrl+2", "Ctrl+3", "Ctrl+4", "Ctrl+5 — Курс"})
        EXPECT_TRUE(pages.contains(key)) << key << " in " << pages.toStdString();
    for (const auto& [button, key] :
         std::vector<std::pair<const char*, const char*>>{{"PeriodWeekBut", "Alt+7"},
                                                          {"PeriodMonthBut", "Alt+3"},
                                                          {"PeriodAllBut", "Alt+В"},
                                                          {"WeakDrillBut", "Alt+Т"},
                                                          {"RepeatBut", "Alt+В"},
                                                          {"CloseBut", "Esc"}})
        EXPECT_TRUE(Description(Find<QAbstractButton>(button)).contains(key))
            << button << ": " << Description(Find<QAbstractButton>(button)).toStdString();
}

TEST_F(StatsAccess, TheFiltersAreNamedAndSayTheirKeys) {
    Form->show();
    for (const auto& [box, name, label, key] :
         std::vector<std::tuple<const char*, QString, QString, QString>>{
             {"ProgressConditionsBox", "Эфир упражнений на графике", "&Эфир:", "Alt+Э"},
             {"CharactersSourceBox", "Источник знаков", "&Источник:", "Alt+И"},
             {"CharactersConditionsBox", "Эфир упражнений со знаками", "&Эфир:", "Alt+Э"}}) {
        auto* widget = Find<QComboBox>(box);
        ASSERT_NE(widget, nullptr) << box;
        // On Linux Qt gives a list's chosen item as its name and the label
        // as its relation; elsewhere the name.
        EXPECT_EQ(widget->accessibleName().toStdString(), name.toStdString()) << box;
        QStringList labels;
        for (const auto& [other, relation] :
             QAccessible::queryAccessibleInterface(widget)->relations(QAccessible::Label))
            if (const auto* text = qobject_cast<QLabel*>(other->object()))
                labels << text->text();
        EXPECT_EQ(labels, QStringList{label}) << box;
        EXPECT_TRUE(Description(widget).contains(key))
            << box << ": " << Description(widget).toStdString();
    }
}
