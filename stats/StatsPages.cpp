// The pages of the statistics window, each filled from the journal when it
// is first shown.
#include "callsign/Scoring.h"
#include "journal/JournalStats.h"
#include "stats/CourseChart.h"
#include "stats/LessonSteps.h"
#include "stats/PagedRowsModel.h"
#include "stats/StatsCharts.h"
#include "stats/StatsForm.h"
#include "stats/StatsText.h"
#include "text/Cp1251.h"
#include "ui_StatsForm.h"

#include <QChart>
#include <QHeaderView>
#include <QScrollBar>

#include <map>
#include <string>

namespace tonvik {
namespace {

// The most frequent confusions the characters page lists.
constexpr int ConfusionsShown = 20;
constexpr int LastExercisesShown = 10;
// Every lesson for the course chart: a lesson takes minutes, so even years of
// daily lessons are a few thousand rows.
constexpr int LessonsCharted = 1000000;

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* Number(long long value) {
    return Cell(QString::number(value), Qt::AlignRight);
}

QString EndText(bool ended, EndReason reason) {
    if (!ended)
        return QStringLiteral("прервано");
    switch (reason) {
    case EndReason::Completed:
        return QStringLiteral("все ответы");
    case EndReason::Stopped:
        return QStringLiteral("остановлено");
    case EndReason::NoSoundDevice:
        return QStringLiteral("нет звука");
    }
    return QString();
}

QString BestText(const std::optional<ExerciseRow>& best) {
    if (!best)
        return QStringLiteral("Лучшего результата пока нет.");
    return QStringLiteral("Лучший результат: %1 — очки: %2, наибольшая скорость: %3 wpm, "
                          "верно %4 из %5.")
        .arg(DateText(best->Start.Started), QString::fromStdString(FormatPoints(best->TotalPoints)))
        .arg(best->MaxWpm)
        .arg(best->RightAnswers)
        .arg(best->Answers);
}

// The characters table's columns; a recognition run's median reaction besides.
void SetCharacterColumns(QTableWidget* table, bool timed) {
    QStringList headers{QStringLiteral("Знак"), QStringLiteral("Передан"), QStringLiteral("Ошибок"),
                        QStringLiteral("Точность, %")};
    if (timed)
        headers << QStringLiteral("Реакция, мс");
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
}

// Returns the width the table needs to show every column whole, its scroll
// bar besides.
int FitColumns(QTableView* table) {
    // Sized to their contents, the columns leave the rest to the last one.
    QHeaderView* header = table->horizontalHeader();
    header->setStretchLastSection(false);
    table->resizeColumnsToContents();
    const int whole =
        header->length() + table->verticalScrollBar()->sizeHint().width() + 2 * table->frameWidth();
    header->setStretchLastSection(true);
    return whole;
}

} // namespace

void TStatsForm::LoadProgress() {
    const ConditionsFilter conditions = ProgressConditions();
    ReplaceChart(Ui->ProgressChart,
                 BuildProgressChart(ProgressSeries(*Reader, conditions), conditions));
    Ui->BestLbl->setText(BestText(Reader->Best(ExerciseKind::Callsign)));
    const std::vector<ExerciseRow> last =
        Reader->LastExercises(ExerciseKind::Callsign, LastExercisesShown);
    QTableWidget* table = Ui->LastTable;
    table->setRowCount(static_cast<int>(last.size()));
    for (int row = 0; row < static_cast<int>(last.size()); ++row) {
        const ExerciseRow& e = last[static_cast<size_t>(row)];
        table->setItem(row, 0, Cell(DateText(e.Start.Started)));
        table->setItem(row, 1, Cell(FromCp1251(e.Start.OwnCall)));
        table->setItem(
            row, 2,
            Cell(QStringLiteral("%1/%2").arg(e.RightAnswers).arg(e.Answers), Qt::AlignRight));
        table->setItem(row, 3, Number(e.MaxWpm));
        table->setItem(row, 4,
                       Cell(QString::fromStdString(FormatPoints(e.TotalPoints)), Qt::AlignRight));
        table->setItem(row, 5, Cell(EndText(e.Ended.has_value(), e.Reason)));
    }
    FitColumns(table);
    const JournalReader* reader = Reader.get();
    TextRows->Reset([reader](int limit, int offset) {
        std::vector<QStringList> rows;
        for (const TextExercise& e : TextExercises(*reader, limit, offset))
            rows.push_back({DateText(e.Started), QString::number(e.Wpm),
                            QString::number(e.Characters),
                            e.RanToEnd ? QStringLiteral("да") : QStringLiteral("нет")});
        return rows;
    });
    FitColumns(Ui->TextTable);
}

void TStatsForm::LoadCharacters() {
    const StatsPeriod period = Period();
    const JournalTime now = Now();
    const CharacterFilter filter = CharactersShown();
    const std::vector<CharacterStat> stats = CharacterAccuracy(*Reader, period, now, filter);
    ReplaceChart(Ui->CharactersChart, BuildCharacterChart(stats, filter.Source));
    // A recognition run times every answer: its median stands in a column of its own.
    const bool timed = filter.Source == CharacterSource::Recognition;
    std::map<std::string, int> medians;
    if (timed)
        for (const ReactionStat& reaction : RecognitionReactions(*Reader, period, now))
            medians[reaction.Character] = reaction.MedianMs;
    QTableWidget* table = Ui->CharactersTable;
    SetCharacterColumns(table, timed);
    table->setRowCount(static_cast<int>(stats.size()));
    for (int row = 0; row < static_cast<int>(stats.size()); ++row) {
        const CharacterStat& stat = stats[static_cast<size_t>(row)];
        table->setItem(row, 0, Cell(FromCp1251(stat.Character), Qt::AlignHCenter));
        table->setItem(row, 1, Number(stat.Sent));
        table->setItem(row, 2, Number(stat.Wrong));
        table->setItem(row, 3, Cell(PercentText(stat.AccuracyPercent), Qt::AlignRight));
        if (timed) {
            const auto median = medians.find(stat.Character);
            table->setItem(row, 4,
                           median != medians.end() ? Number(median->second)
                                                   : Cell(QStringLiteral("—"), Qt::AlignRight));
        }
    }
    const int whole = FitColumns(table);
    // The fifth column takes some of the confusions' width, so that it shows whole.
    table->setMinimumWidth(timed ? whole : 0);
    Ui->ConfusionsList->clear();
    for (const Confusion& confusion : Confusions(*Reader, period, now, ConfusionsShown, filter))
        Ui->ConfusionsList->addItem(ConfusionText(confusion));
}

void TStatsForm::LoadErrors() {
    const JournalReader* reader = Reader.get();
    ErrorRows->Reset([reader](int limit, int offset) {
        std::vector<QStringList> rows;
        for (const MissedCall& call : MissedCalls(*reader, limit, offset))
            rows.push_back({DateText(call.Answered), QString::number(call.Wpm),
                            FromCp1251(call.Sent), FromCp1251(call.Typed)});
        return rows;
    });
    const bool none = ErrorRows->rowCount() == 0;
    Ui->ErrorsEmptyLbl->setText(QStringLiteral("Ошибок пока нет"));
    Ui->ErrorsStack->setCurrentIndex(none ? 1 : 0);
    FitColumns(Ui->ErrorsTable);
}

void TStatsForm::LoadDrills() {
    const JournalReader* reader = Reader.get();
    DrillRows->Reset([reader](int limit, int offset) {
        std::vector<QStringList> rows;
        for (const DrillResult& d : DrillResults(*reader, limit, offset))
            rows.push_back(
                {DateText(d.Started),
                 d.Kind == ExerciseKind::WeakCharactersDrill ? QStringLiteral("Слабые знаки")
                                                             : QStringLiteral("Повтор ошибок"),
                 QStringLiteral("%1/%2").arg(d.RightAnswers).arg(d.Answers),
                 QString::number(d.MaxWpm), QString::fromStdString(FormatPoints(d.TotalPoints)),
                 EndText(d.Ended, d.Reason)});
        return rows;
    });
    const bool none = DrillRows->rowCount() == 0;
    Ui->DrillsEmptyLbl->setText(QStringLiteral("Тренировок пока не было"));
    Ui->DrillsStack->setCurrentIndex(none ? 1 : 0);
    FitColumns(Ui->DrillsTable);
}

ConditionsFilter TStatsForm::ProgressConditions() const {
    return static_cast<ConditionsFilter>(Ui->ProgressConditionsBox->currentData().toInt());
}

CharacterFilter TStatsForm::CharactersShown() const {
    CharacterFilter filter;
    filter.Source = static_cast<CharacterSource>(Ui->CharactersSourceBox->currentData().toInt());
    filter.Conditions =
        static_cast<ConditionsFilter>(Ui->CharactersConditionsBox->currentData().toInt());
    return filter;
}

void TStatsForm::LoadCourse() {
    const std::vector<LessonResult> lessons = LessonResults(*Reader, "", LessonsCharted);
    ReplaceChart(Ui->CourseChart, BuildCourseChart(LessonReachedSteps(lessons)));
    const JournalReader* reader = Reader.get();
    LessonRows->Reset([reader](int limit, int offset) {
        std::vector<QStringList> rows;
        for (const LessonResult& l : LessonResults(*reader, "", limit, offset))
            rows.push_back({DateText(l.Started), CourseText(l.Course), QString::number(l.Lesson),
                            PercentText(l.ScorePercent),
                            l.Passed ? QStringLiteral("да") : QStringLiteral("нет")});
        return rows;
    });
    Ui->CourseEmptyLbl->setText(QStringLiteral("Уроков пока не было"));
    Ui->CourseStack->setCurrentIndex(lessons.empty() ? 1 : 0);
    FitColumns(Ui->CourseTable);
}

StatsPeriod TStatsForm::Period() const {
    if (Ui->PeriodWeekBut->isChecked())
        return StatsPeriod::LastWeek;
    if (Ui->PeriodMonthBut->isChecked())
        return StatsPeriod::LastMonth;
    return StatsPeriod::AllTime;
}

} // namespace tonvik
