// What a screen reader reads of the window: a name for every control from
// the label beside it, sliders in the units their labels show, and every
// action's key in its description. Nothing here changes what is seen.
#include "app/MainForm.h"

#include "app/Announcer.h"
#include "ui_MainForm.h"

#include <QScrollBar>
#include <QShortcut>

namespace tonvik {

namespace {

void Describe(QWidget* control, const QString& description) {
    control->setAccessibleDescription(description);
}

// The scroll bars of a box are read as the box's own.
void NameScrollBars(QAbstractScrollArea* box, const QString& name) {
    box->verticalScrollBar()->setAccessibleName(name + QStringLiteral(", прокрутка"));
    box->horizontalScrollBar()->setAccessibleName(name + QStringLiteral(", прокрутка вбок"));
}

} // namespace

void TMorseMain::SetUpAccessibility() {
    // Labels that name the control beside them; none has a mnemonic, so
    // nothing changes on the screen.
    Ui->Label1->setBuddy(Ui->CallEdit);
    Ui->Label20->setBuddy(Ui->Input);
    Ui->Label6->setBuddy(Ui->VolTrackBar);
    Ui->Label9->setBuddy(Ui->LastGrid);
    // A table does not read its buddy.
    Ui->LastGrid->setAccessibleName(Ui->Label9->text());
    Ui->Label21->setBuddy(Ui->SpinEdit2);
    Ui->Label22->setBuddy(Ui->SpinEdit1);
    // Labels whose words differ from the control's name: the speed label
    // carries the speed, the tone label its unit in brackets.
    Ui->SpeedTrackBar->setAccessibleName(QStringLiteral("Скорость, wpm"));
    Ui->PitchTrackBar->setAccessibleName(QStringLiteral("Тон, Гц"));
    Ui->OutWin->setAccessibleName(QStringLiteral("Ошибки"));
    Ui->TextWin->setAccessibleName(QStringLiteral("Текст для передачи"));
    Ui->MainPage->setAccessibleName(QStringLiteral("Упражнения"));
    NameScrollBars(Ui->OutWin, QStringLiteral("Ошибки"));
    NameScrollBars(Ui->TextWin, QStringLiteral("Текст для передачи"));
    NameScrollBars(Ui->LastGrid, QStringLiteral("Таблица результатов"));

    SetSliderValueUnit(Ui->SpeedTrackBar, 1, QStringLiteral("wpm"));
    SetSliderValueUnit(Ui->PitchTrackBar, 100, QStringLiteral("Гц"));
    // Leftmost is loudest («Макс.»): read as 8 of 8.
    SetSliderValueUnit(Ui->VolTrackBar, 1, QStringLiteral("из 8"), true);

    const QString startKeys =
        QStringLiteral("в поле «Ваш позывной», на ползунках и в таблице результатов");
    Describe(Ui->StartBut, QStringLiteral("Начать прием. Клавиша Enter ") + startKeys);
    Describe(Ui->StopBut,
             QStringLiteral("Закончить прием. Клавиша Esc в поле «Принятый позывной»"));
    Describe(Ui->TestBut, QStringLiteral("Включить тест: F3, выключить: Esc, ") + startKeys);
    Describe(Ui->Input, QStringLiteral("Enter: проверить ответ. F6: повторить позывной. "
                                       "Esc: закончить прием"));
    Describe(Ui->CallEdit, QStringLiteral("Enter: начать прием. F3: тест"));
    Describe(Ui->QBut, QStringLiteral("Справка. Клавиша F1"));
    Describe(Ui->StatsBut, QStringLiteral("Статистика и повтор ошибок. Клавиша F2"));
    Describe(Ui->ExitBut, QStringLiteral("Закрыть программу. Клавиши Alt+F4"));

    for (const auto& [key, action] :
         {std::pair{Qt::Key_F1, &TMorseMain::QButClick}, {Qt::Key_F2, &TMorseMain::StatsButClick}})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, this, action);
}

} // namespace tonvik
