// Start, stop and end of an exercise, the preliminary test and their keys:
// the handlers hand each to exercise control, which sets the controls
// through the view below.
#include "app/MainForm.h"

#include "app/Announcer.h"
#include "app/MessageService.h"
#include "app/WindowTexts.h"
#include "stats/StatsForm.h"
#include "text/SpinEdit.h"
#include "ui_MainForm.h"

namespace tonvik {

void TMorseMain::StartButClick() {
    if (ActivePage() == CoursePageIndex)
        CourseStartClick();
    else if (!LessonRunning() && !RecognitionRunning())
        Control.StartButClick();
}

void TMorseMain::StopButClick() {
    Control.StopButClick();
}

void TMorseMain::TestButClick() {
    if (!LessonRunning() && !RecognitionRunning())
        Control.TestButClick();
}

void TMorseMain::EndExercise() {
    Control.EndExercise();
}

void TMorseMain::BuildPlayText() {
    Control.BuildPlayText();
}

void TMorseMain::CallEditKeyDown(int key) {
    Control.CallEditKeyDown(key);
}

void TMorseMain::CallEditKeyPress(QChar& key) {
    if (key == QLatin1Char('\r') && Control.CallEditEnter())
        key = QChar();
}

void TMorseMain::SpeedTrackBarKeyDown(int key) {
    Control.SettingsKeyDown(key);
}

void TMorseMain::PitchTrackBarKeyDown(int key) {
    Control.SettingsKeyDown(key);
}

void TMorseMain::VolTrackBarKeyDown(int key) {
    Control.SettingsKeyDown(key);
}

void TMorseMain::LastGridKeyDown(int key) {
    Control.SettingsKeyDown(key);
}

int TMorseMain::ActivePage() const {
    return Ui->MainPage->currentIndex();
}

bool TMorseMain::OwnCallEmpty() const {
    return Ui->CallEdit->text().isEmpty();
}

int TMorseMain::LetterGap() const {
    return Ui->SpinEdit2->CurrentValue();
}

int TMorseMain::WordGap() const {
    return Ui->SpinEdit1->CurrentValue();
}

std::string TMorseMain::TextWindowText() const {
    return TextWinView.Text();
}

void TMorseMain::ApplySettings() {
    SpeedTrackBarChange();
    PitchTrackBarChange();
    VolTrackBarChange();
}

void TMorseMain::ShowControls(const ExerciseControls& controls) {
    Ui->StartBut->setEnabled(controls.StartEnabled);
    Ui->StopBut->setEnabled(controls.StopEnabled);
    Ui->TestBut->setEnabled(controls.TestEnabled);
    Ui->TestBut->setText(controls.TestShowsStop ? QStringLiteral("Стоп")
                                                : QStringLiteral("Предварительный тест"));
    Ui->CallEdit->setEnabled(controls.OwnCallEnabled);
    Ui->SpeedTrackBar->setEnabled(controls.SettingsEnabled);
    Ui->PitchTrackBar->setEnabled(controls.SettingsEnabled);
    Ui->VolTrackBar->setEnabled(controls.SettingsEnabled);
    if (Stats)
        Stats->SetDrillsEnabled(controls.StartEnabled);
    if (AirBut != nullptr) // no window takes the keyboard during an exercise
        AirBut->setEnabled(controls.StartEnabled);
}

void TMorseMain::ShowPageTabs(bool callsignPage, bool textPage) {
    Ui->MainPage->setTabVisible(CallsignPage, callsignPage);
    Ui->MainPage->setTabVisible(TextPage, textPage);
    // An exercise keeps to its own page: the course's shows only between them.
    Ui->MainPage->setTabVisible(CoursePageIndex, callsignPage && textPage);
}

void TMorseMain::FocusOwnCall() {
    Ui->CallEdit->setFocus();
}

void TMorseMain::ShowNotice(ExerciseNotice notice) {
    Messages.ShowMessage(NoticeText(notice), NoticeCaption(notice));
}

void TMorseMain::ShowWarning(const std::string& text, const std::string& caption) {
    // Heard first: the box does not speak itself to every screen reader.
    Speaker->Announce(
        QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral(". ")));
    Messages.ShowMessage(QString::fromStdString(text), QString::fromStdString(caption),
                         MessageButtons::Ok, MessageIcon::Warning);
}

} // namespace tonvik
