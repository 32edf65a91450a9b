// The callsign trainer's handlers on the main window: the draw of the
// callsigns, the pause for the answer, the answer, the replay and the error
// list. The scoring itself is the Scoring core's.
#include "app/MainForm.h"

#include "app/MessageService.h"
#include "callsign/CallsignList.h"
#include "callsign/Scoring.h"
#include "text/Cp1251.h"
#include "ui_MainForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>

#include <filesystem>

namespace tonvik {

namespace {

const QString CallsignListName = QStringLiteral("master.ped");

// The list's path as the file system takes it: the local 8-bit encoding that
// Qt uses for file names, or UTF-16 on Windows.
std::filesystem::path FileSystemPath(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QTextCharFormat Coloured(const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}

} // namespace

QString TMorseMain::CallsignListPath() const {
    if (!CallsignListOverride.isEmpty())
        return CallsignListOverride;
    return QDir(QCoreApplication::applicationDirPath()).filePath(CallsignListName);
}

void TMorseMain::AppendCallsigns() {
    // Read anew at every start, so an edited list takes effect at once.
    const CallsignList list = CallsignList::Load(FileSystemPath(CallsignListPath()));
    if (!list.Ok())
        Messages.ShowMessage(FromCp1251(CallsignListMessage(list.Status())),
                             QStringLiteral("Внимание!"));
    // A list without lines draws a single space: the exercise ends at once.
    State.PlayText += DrawCallsigns(list, Rng);
}

bool TMorseMain::CallsignExerciseRunning() const {
    // Stop is enabled exactly while an exercise runs, and the callsign page
    // is the only one shown during a callsign exercise.
    return ActivePage() == CallsignPage && Ui->StopBut->isEnabled();
}

void TMorseMain::PauseForAnswer() {
    State.StopRequested = true;
    State.AwaitingAnswer = true;
}

void TMorseMain::InputKeyDown(int key) {
    if (State.SentText.empty())
        return;
    if (key == VkF6) {
        // The letters of the test, or a callsign of an exercise that has
        // ended, are nothing to replay.
        if (!TestRunning && CallsignExerciseRunning())
            ReplayCall();
    } else if (key == VkEscape && !TestRunning) {
        StopButClick();
    }
}

void TMorseMain::ReplayCall() {
    // Past the last callsign only the end of the exercise is left to key.
    if (State.CallStartPos > static_cast<int>(State.PlayText.size()))
        return;
    State.PlayPos = State.CallStartPos;
    ReplayFactor /= 2;
    State.SentText.clear();
    // The answer is taken once the replay has been keyed in full: SentText
    // holds only part of the callsign until then.
    State.AwaitingAnswer = false;
    // A device still keying the callsign is reset and closed before the new
    // one opens, so the two buffers are never queued twice.
    WavePumpCore.OpenWaveOut();
}

void TMorseMain::InputKeyPress(QChar& key) {
    if (key != QLatin1Char('\r') || !State.AwaitingAnswer || TestRunning ||
        !CallsignExerciseRunning())
        return;
    key = QChar();
    EvaluateAnswer();
}

void TMorseMain::EvaluateAnswer() {
    const std::string answer = ToCp1251(Ui->Input->text());
    AnswerInput input;
    input.SentText = State.SentText;
    input.InputText = answer;
    input.SpeedPosition = Ui->SpeedTrackBar->value();
    input.SpeedFixed = Ui->SpeedBox->isChecked();
    input.ToneFixed = Ui->ToneBox->isChecked();
    input.ReplayFactor = ReplayFactor;
    input.MaxWpm = MaxWpm;
    input.TotalPoints = TotalPoints;
    const AnswerOutcome outcome = tonvik::EvaluateAnswer(input);
    // Nothing keyed yet (a replay still opening, or one whose device failed):
    // no callsign to measure, so the Enter is ignored.
    if (!outcome.Evaluated)
        return;

    State.AwaitingAnswer = false;
    ErrorCount = outcome.ErrorCount;
    CallWpm = outcome.CallWpm;
    if (!outcome.Right)
        ShowErrors(outcome.ErrorLine, outcome.ErrorLineSentLength);
    // The track bar's own handler recomputes the dot length and the labels.
    Ui->SpeedTrackBar->setValue(outcome.SpeedPosition);
    MaxWpm = outcome.MaxWpm;
    CallPoints = outcome.CallPoints;
    TotalPoints = outcome.TotalPoints;
    if (outcome.UpdateLabels) {
        Ui->PointLbl->setText(FromCp1251(outcome.PointText));
        Ui->AllPointLbl->setText(FromCp1251(outcome.TotalText));
    }
    NextCall();
}

void TMorseMain::ShowErrors(const std::string& line, int sentLength) {
    QTextCursor cursor(Ui->OutWin->document());
    const QTextBlock first = Ui->OutWin->document()->firstBlock();
    cursor.setPosition(first.position());
    cursor.setPosition(first.position() + first.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(FromCp1251(ErrorsHeading), Coloured(Qt::red));

    // Every CP1251 byte is one character, so the byte count of the sent part
    // is its length in the window too.
    const QString text = FromCp1251(line);
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    const int lineStart = cursor.position();
    cursor.insertText(text.left(sentLength), Coloured(Qt::blue));
    cursor.insertText(text.mid(sentLength), Coloured(Qt::red));
    cursor.setPosition(lineStart);
    Ui->OutWin->setTextCursor(cursor);
    Ui->OutWin->ensureCursorVisible();
}

void TMorseMain::NextCall() {
    Ui->Input->clear();
    State.SentText.clear();
    ++CallNumber;
    Ui->NumberCallLbl->setText(QString::number(CallNumber));
    if (!Ui->ToneBox->isChecked())
        ToneFreq = static_cast<long double>(Rng.Below(100) + Ui->PitchTrackBar->value() * 100 - 50);
    State.CallStartPos = State.PlayPos;
    ReplayFactor = 1.0L;
    WavePumpCore.OpenWaveOut();
}

} // namespace tonvik
