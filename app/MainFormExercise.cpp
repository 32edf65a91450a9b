// Start, stop and end of an exercise, the preliminary test, and the keys
// that do the same without the mouse.
#include "app/MainForm.h"

#include "app/MessageService.h"
#include "text/GenCodeUnit.h"
#include "ui_MainForm.h"

namespace tonvik {

namespace {

const QString WarningCaption = QStringLiteral("Внимание!");
const QString TestCaption = QStringLiteral("Предварительный тест");
const QString StopCaption = QStringLiteral("Стоп");

} // namespace

void TMorseMain::StartButClick() {
    // Enter reaches here from several controls: an exercise or test under way
    // is never restarted over its open device.
    if (!Ui->StartBut->isEnabled())
        return;
    ApplySettings();
    State.PlayText.clear();
    State.SentText.clear();

    const int page = ActivePage();
    if (page == CallsignPage) {
        if (Ui->CallEdit->text().isEmpty()) {
            Messages.ShowMessage(QStringLiteral("Введите свой позывной"), WarningCaption);
            Ui->CallEdit->setFocus();
            return;
        }
        BeginCallsignExercise();
    } else if (page == TextPage) {
        SetExerciseTabs(false, true);
    } else {
        Messages.ShowMessage(QStringLiteral("Эта страница пока не работает!"),
                             QStringLiteral("Обожди!"));
        Ui->CallEdit->setFocus();
        return;
    }

    // A test that ran out by itself left its flag and caption behind, and an
    // exercise stopped during a pause its answer gate: neither belongs to
    // the new exercise.
    TestRunning = false;
    Ui->TestBut->setText(TestCaption);
    State.AwaitingAnswer = false;

    Ui->CallEdit->setEnabled(false);
    Ui->TestBut->setEnabled(false);
    Ui->StartBut->setEnabled(false);
    Ui->StopBut->setEnabled(true);
    BuildPlayText();
    WavePumpCore.OpenWaveOut();
}

void TMorseMain::BeginCallsignExercise() {
    Ui->SpeedTrackBar->setEnabled(false);
    Ui->PitchTrackBar->setEnabled(false);
    Ui->VolTrackBar->setEnabled(false);
    Ui->Input->clear();
    Ui->Input->setFocus();
    CallNumber = 1;
    Ui->NumberCallLbl->setText(QStringLiteral("1"));
    ReplayFactor = 1.0L;
    ErrorCount = 0;
    TotalPoints = 0.0;
    MaxWpm = 0;
    Ui->PointLbl->setText(QStringLiteral("0"));
    Ui->AllPointLbl->setText(QStringLiteral("0"));
    Ui->OutWin->clear();
    SetExerciseTabs(true, false);
}

void TMorseMain::StopButClick() {
    // Esc in the answer field comes here too; it ends only what the button could.
    if (!Ui->StopBut->isEnabled())
        return;
    EndExercise();
}

void TMorseMain::TestButClick() {
    // F3 reaches here while the button is disabled by an exercise.
    if (!Ui->TestBut->isEnabled())
        return;
    if (!TestRunning) {
        ApplySettings();
        TestRunning = true;
        State.SentText.clear();
        State.PlayText = std::string(TestLetterCount, 'V') + ' ';
        State.PlayPos = 1;
        Ui->TestBut->setText(StopCaption);
        Ui->StartBut->setEnabled(false);
        WavePumpCore.OpenWaveOut();
        return;
    }
    Ui->TestBut->setText(TestCaption);
    Ui->StartBut->setEnabled(true);
    Ui->CallEdit->setFocus();
    TestRunning = false;
    State.StopRequested = true;
    // The letters of the test are no callsign to answer or replay.
    State.AwaitingAnswer = false;
    State.SentText.clear();
}

void TMorseMain::EndExercise() {
    // Set before the message: completions handled under it only close the device.
    State.StopRequested = true;
    Ui->StartBut->setEnabled(true);
    Ui->TestBut->setEnabled(true);
    Ui->StopBut->setEnabled(false);
    Ui->CallEdit->setEnabled(true);
    Ui->SpeedTrackBar->setEnabled(true);
    Ui->PitchTrackBar->setEnabled(true);
    Ui->VolTrackBar->setEnabled(true);
    Messages.ShowMessage(QStringLiteral("Прием закончен !"), WarningCaption);
    SetExerciseTabs(true, true);
    KeyerCore.SetWordStart(true);
    if (ActivePage() == CallsignPage) {
        Ui->CallEdit->setFocus();
        Ui->NumberCallLbl->setText(QStringLiteral("0"));
        Ui->Input->clear();
        RecordResult();
    }
}

void TMorseMain::BuildPlayText() {
    const int page = ActivePage();
    if (page == CallsignPage)
        AppendCallsigns();
    else if (page == TextPage)
        State.PlayText = TextPlayText(TextWinText());
    State.PlayPos = 1;
    State.CallStartPos = 1;
}

namespace {

// What Esc, F3 and Enter do in the track bars and the results grid.
enum class Shortcut { None, Test, Start };

Shortcut ShortcutOf(int key, bool testRunning) {
    if (key == VkEscape)
        return testRunning ? Shortcut::Test : Shortcut::None;
    if (key == VkF3)
        return testRunning ? Shortcut::None : Shortcut::Test;
    if (key == VkReturn)
        return testRunning ? Shortcut::None : Shortcut::Start;
    return Shortcut::None;
}

} // namespace

void TMorseMain::CallEditKeyDown(int key) {
    // Enter is taken by the key-press handler here.
    if (key != VkReturn && ShortcutOf(key, TestRunning) == Shortcut::Test)
        TestButClick();
}

void TMorseMain::CallEditKeyPress(QChar& key) {
    if (key != QLatin1Char('\r') || TestRunning)
        return;
    key = QChar();
    StartButClick();
}

void TMorseMain::SettingsKeyDown(int key) {
    switch (ShortcutOf(key, TestRunning)) {
    case Shortcut::Test:
        TestButClick();
        break;
    case Shortcut::Start:
        StartButClick();
        break;
    case Shortcut::None:
        break;
    }
}

void TMorseMain::SpeedTrackBarKeyDown(int key) {
    SettingsKeyDown(key);
}

void TMorseMain::PitchTrackBarKeyDown(int key) {
    SettingsKeyDown(key);
}

void TMorseMain::VolTrackBarKeyDown(int key) {
    SettingsKeyDown(key);
}

void TMorseMain::LastGridKeyDown(int key) {
    SettingsKeyDown(key);
}

} // namespace tonvik
