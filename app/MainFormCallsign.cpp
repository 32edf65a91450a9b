// The callsign page's handlers, handed to the callsign trainer, and the
// view through which the trainer reads the answer and shows its figures.
#include "app/MainForm.h"

#include "app/MessageService.h"
#include "app/WindowTexts.h"
#include "text/Cp1251.h"
#include "ui_MainForm.h"

#include <QFile>

namespace tonvik {

void TMorseMain::PauseForAnswer() {
    Trainer.PauseForAnswer();
}

void TMorseMain::InputKeyDown(int key) {
    Trainer.InputKeyDown(key);
}

void TMorseMain::InputKeyPress(QChar& key) {
    if (key == QLatin1Char('\r') && Trainer.InputEnter())
        key = QChar();
}

void TMorseMain::EvaluateAnswer() {
    Trainer.EvaluateAnswer();
}

void TMorseMain::NextCall() {
    Trainer.NextCall();
}

bool TMorseMain::StartDrill(CallsignDrill kind, const std::vector<std::string>& callsigns) {
    // From the text page too: a drill is a callsign exercise.
    if (Control.Controls().StartEnabled && !callsigns.empty())
        Ui->MainPage->setCurrentIndex(CallsignPage);
    return Trainer.StartDrill(kind, callsigns);
}

void TMorseMain::SetCallsignListFile(const QString& path) {
    Trainer.SetListFile(QFile::encodeName(path).toStdString());
}

QString TMorseMain::CallsignListPath() const {
    return QFile::decodeName(QByteArray::fromStdString(Trainer.ListFile().string()));
}

std::string TMorseMain::OwnCall() const {
    return ToCp1251(Ui->CallEdit->text());
}

std::string TMorseMain::AnswerText() const {
    return ToCp1251(Ui->Input->text());
}

std::string TMorseMain::AnswerAsTyped() const {
    return Ui->Input->text().toStdString();
}

bool TMorseMain::SpeedFixed() const {
    return Ui->SpeedBox->isChecked();
}

bool TMorseMain::ToneFixed() const {
    return Ui->ToneBox->isChecked();
}

int TMorseMain::SpeedPosition() const {
    return Ui->SpeedTrackBar->value();
}

int TMorseMain::PitchPosition() const {
    return Ui->PitchTrackBar->value();
}

void TMorseMain::MoveSpeed(int wpm) {
    Ui->SpeedTrackBar->setValue(wpm);
}

void TMorseMain::ClearAnswer() {
    Ui->Input->clear();
}

void TMorseMain::HoldAnswer(bool held) {
    Ui->Input->setReadOnly(held);
}

void TMorseMain::FocusAnswer() {
    Ui->Input->setFocus();
}

void TMorseMain::ShowCallNumber(int number) {
    Ui->NumberCallLbl->setText(QString::number(number));
}

void TMorseMain::ShowPoints(const std::string& callPoints, const std::string& totalPoints) {
    Ui->PointLbl->setText(FromCp1251(callPoints));
    Ui->AllPointLbl->setText(FromCp1251(totalPoints));
}

void TMorseMain::ClearErrors() {
    ErrorList.Clear();
}

void TMorseMain::ShowError(const std::string& line, int sentLength) {
    ErrorList.AddError(line, sentLength);
}

void TMorseMain::ShowListProblem(CallsignListStatus status) {
    Messages.ShowMessage(ListProblemText(status), WarningCaption);
}

} // namespace tonvik
