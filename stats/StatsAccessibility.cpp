// The statistics window as a screen reader hears it: every control named by
// the label that stands for it, the charts pointing to the tables that hold
// their figures, and each action saying its key.
#include "stats/StatsForm.h"
#include "ui_StatsForm.h"

#include <QTabBar>

namespace tonvik {
namespace {

// A control takes the words of the label above or beside it as its name.
void NameFromLabel(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    control->setAccessibleName(label->text().remove(QLatin1Char('&')));
}

void Describe(QWidget* control, const QString& text) {
    control->setAccessibleDescription(text);
}

} // namespace

void TStatsForm::SetUpAccessibility() {
    NameFromLabel(Ui->LastLbl, Ui->LastTable);
    NameFromLabel(Ui->TextLbl, Ui->TextTable);
    NameFromLabel(Ui->CharactersLbl, Ui->CharactersTable);
    NameFromLabel(Ui->ConfusionsLbl, Ui->ConfusionsList);
    NameFromLabel(Ui->ErrorsLbl, Ui->ErrorsTable);
    NameFromLabel(Ui->DrillsLbl, Ui->DrillsTable);
    NameFromLabel(Ui->CourseLbl, Ui->CourseTable);
    Ui->ProgressChart->setAccessibleName(
        QStringLiteral("График: наибольшая скорость и очки упражнений с позывными"));
    Describe(Ui->ProgressChart,
             QStringLiteral("Его числа — в строке лучшего результата и в таблице «Последние "
                            "упражнения с позывными» ниже"));
    Ui->CharactersChart->setAccessibleName(QStringLiteral("График: точность по знакам"));
    Describe(Ui->CharactersChart, QStringLiteral("Его числа — в таблице «Знаки» ниже"));
    Ui->CourseChart->setAccessibleName(QStringLiteral("График: урок курса, до которого дошли"));
    Describe(Ui->CourseChart,
             QStringLiteral("Его числа — в таблице «Последние уроки, новые первыми» ниже"));
    const QString pages = QStringLiteral("Страницы: Ctrl+1 — Прогресс, Ctrl+2 — Знаки, Ctrl+3 — "
                                         "Ошибки, Ctrl+4 — Тренировки, Ctrl+5 — Курс");
    Ui->StatsTabs->setAccessibleName(QStringLiteral("Статистика"));
    Ui->StatsTabs->tabBar()->setAccessibleName(QStringLiteral("Страницы статистики"));
    Describe(Ui->StatsTabs, pages);
    Ui->ProgressConditionsLbl->setBuddy(Ui->ProgressConditionsBox);
    Ui->ProgressConditionsBox->setAccessibleName(QStringLiteral("Эфир упражнений на графике"));
    Describe(Ui->ProgressConditionsBox,
             QStringLiteral("Все, без помех или в условиях приёма; чистые и с помехами — "
                            "разными линиями; Alt+Э"));
    Ui->CharactersSourceLbl->setBuddy(Ui->CharactersSourceBox);
    Ui->CharactersSourceBox->setAccessibleName(QStringLiteral("Источник знаков"));
    Describe(Ui->CharactersSourceBox,
             QStringLiteral("Знаки позывных, уроков, узнавания или всех упражнений; у узнавания "
                            "в таблице и время реакции; Alt+И"));
    Ui->CharactersConditionsLbl->setBuddy(Ui->CharactersConditionsBox);
    Ui->CharactersConditionsBox->setAccessibleName(QStringLiteral("Эфир упражнений со знаками"));
    Describe(Ui->CharactersConditionsBox,
             QStringLiteral("Все, без помех или в условиях приёма; Alt+Э"));
    const QString period = QStringLiteral("Срок знаков и путаниц; ");
    Describe(Ui->PeriodWeekBut, period + QStringLiteral("Alt+7"));
    Describe(Ui->PeriodMonthBut, period + QStringLiteral("Alt+3"));
    Describe(Ui->PeriodAllBut, period + QStringLiteral("Alt+В"));
    Describe(Ui->WeakDrillBut, QStringLiteral("Закрывает окно и начинает упражнение с позывными "
                                              "из слабых знаков; Alt+Т"));
    Describe(Ui->RepeatBut, QStringLiteral("Закрывает окно и начинает упражнение из неверно "
                                           "принятых позывных; Alt+В"));
    Describe(Ui->CloseBut, QStringLiteral("Закрывает окно; Esc"));
}

} // namespace tonvik
