#pragma once

#include "journal/JournalProblem.h"
#include "journal/JournalReader.h"
#include "journal/JournalStats.h"
#include "stats/DrillDraw.h"

#include <QDialog>
#include <QString>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Ui {
class TStatsForm;
}
class QChartView;
class QChart;
class QComboBox;

namespace tonvik {

class PagedRowsModel;

// The statistics window: five pages over the training journal, "Прогресс"
// (the progress chart, the best result, the last exercises), "Знаки" (the
// accuracy per character and the confusions of a period), "Ошибки" (the
// wrongly answered callsigns), "Тренировки" (the results of the re-drills)
// and "Курс" (the lesson reached over time and the last lessons' scores),
// and the buttons that start the two re-drills.
//
// The journal is opened read-only at every showing and closed when the window
// hides; a page reads what it shows when it is first shown, and the two long
// tables read a page of rows at a time as they scroll.
class TStatsForm : public QDialog {
    Q_OBJECT

public:
    enum Page { ProgressPage, CharactersPage, ErrorsPage, DrillsPage, CoursePage, PageCount };

    // mainWindow is the window this one is centred on.
    explicit TStatsForm(QWidget* mainWindow);
    ~TStatsForm() override;

    // The journal to read: the user's own (DefaultJournalPath) until another is set.
    void SetJournalFile(const std::filesystem::path& path);
    // No journal to read: the trainer runs without one (problem null), or it
    // could not be opened (problem says why). The window then shows one line
    // instead of its pages.
    void SetNoJournal(const JournalProblem* problem);

    // "Повторить ошибки": the 30 callsigns of the drill (CP1251, newest
    // missed first). The window closes before the handler runs.
    using MissedCallsHandler = std::function<void(const std::vector<std::string>& callsigns)>;
    void SetMissedCallsHandler(MissedCallsHandler handler) { OnMissedCalls = std::move(handler); }
    // "Тренировать слабые знаки": the journal's miss share of every character,
    // for WeakCharactersDrill at the start of the exercise.
    using WeakCharactersHandler = std::function<void(const MissRates& rates)>;
    void SetWeakCharactersHandler(WeakCharactersHandler handler) {
        OnWeakCharacters = std::move(handler);
    }

    // The re-drills start only while the main window runs no exercise: the
    // buttons are disabled meanwhile, their tip saying why.
    void SetDrillsEnabled(bool enabled);

    // Opens the journal and fills the page shown; run by every showing.
    void FormShow();
    // FormShow, then the window modally.
    int ShowModal();

    // The moment the periods of the characters page end at; the clock when unset.
    void SetClock(std::function<JournalTime()> clock) { Now = std::move(clock); }

    // Shown, the window stands whole within its screen's available area.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetUpTables();
    void FitIntoScreen();
    void SetUpAccessibility();
    void ConnectHandlers();
    // The explanation in place of the pages, or the pages.
    void ShowUnavailable(const QString& text);
    void LoadPage(int page);
    void LoadProgress();
    void LoadCharacters();
    void LoadErrors();
    void LoadDrills();
    void LoadCourse();
    void ShowEmpty(bool empty);
    void SetUpFilters();
    // A filter changed: the page it sits on reads the journal again.
    void Reload(int page);
    StatsPeriod Period() const;
    ConditionsFilter ProgressConditions() const;
    CharacterFilter CharactersShown() const;
    void RepeatButClick();
    void WeakDrillButClick();
    void CloseJournal();
    static void ReplaceChart(QChartView* view, QChart* chart);

    std::unique_ptr<::Ui::TStatsForm> Ui;
    PagedRowsModel* TextRows = nullptr;
    PagedRowsModel* ErrorRows = nullptr;
    PagedRowsModel* DrillRows = nullptr;
    PagedRowsModel* LessonRows = nullptr;
    std::optional<std::filesystem::path> JournalFile;
    QString NoJournalLine;
    std::unique_ptr<JournalReader> Reader;
    bool Empty = true;
    std::array<bool, PageCount> Loaded{};
    std::function<JournalTime()> Now;
    MissedCallsHandler OnMissedCalls;
    WeakCharactersHandler OnWeakCharacters;
};

} // namespace tonvik
