#pragma once

#include "base/Random.h"
#include "callsign/AnswerObserver.h"
#include "callsign/CallsignTrainer.h"
#include "callsign/CallsignView.h"
#include "callsign/ErrorListView.h"
#include "callsign/ResultsGridView.h"
#include "course/LessonSession.h"
#include "course/Recognition.h"
#include "exercise/ExerciseControl.h"
#include "exercise/ExerciseObserver.h"
#include "exercise/ExerciseView.h"
#include "journal/JournalProblem.h"
#include "journal/JournalTypes.h"
#include "keying/QtWaveNotifier.h"
#include "stats/DrillDraw.h"
#include "text/TextWindow.h"

#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace Ui {
class TMorseMain;
}
class QChar;
class QLabel;
class QToolButton;
class QKeyEvent;
class QPainter;
class QRect;

namespace tonvik {

class Journal;
class MessageService;
class Announcer;
class TAboutForm;
class TAirForm;
class TCreateForm;
class TStatsForm;
class WaveOut;
class CoursePage;
class LessonPlayer;
class RecognitionPlayer;

// The trainer's main window: the toolbar, the two working pages and the
// settings panel. Its handlers are thin: exercise control, the callsign
// trainer and the text window hold the state and the rules, and reach the
// controls through the views this window implements.
class TMorseMain : public QWidget,
                   private ExerciseView,
                   private CallsignView,
                   private ExerciseObserver,
                   private AnswerObserver {
    Q_OBJECT

public:
    // device plays the sound; messages shows every message box. Both must
    // outlive the window.
    TMorseMain(WaveOut& device, MessageService& messages, QWidget* parent = nullptr);
    ~TMorseMain() override;
    TMorseMain(const TMorseMain&) = delete;
    TMorseMain& operator=(const TMorseMain&) = delete;

    void SetAboutForm(TAboutForm* form) { AboutForm = form; }
    // The training journal every exercise and answer is recorded in; it
    // must outlive the window. nullptr records nothing. openProblem is what
    // its opening answered: the statistics window explains a failed one.
    void SetJournal(Journal* journal, const JournalProblem& openProblem = {}) {
        Records = journal;
        JournalOpenProblem = openProblem;
        CourseJournalOpened();
    }
    void SetCreateForm(TCreateForm* form) { CreateForm = form; }
    // A write of the journal failed and closed it (MainFormStatus.cpp). Said
    // in the status line at once; while an exercise runs, to a screen reader
    // and in a message box only after the exercise ends, so that no dialog
    // takes the answer being typed.
    void JournalWriteFailed(const JournalProblem& problem);

    // Life cycle and settings (MainForm.cpp).
    void FormShow();
    void SpeedTrackBarChange();
    void PitchTrackBarChange();
    void VolTrackBarChange();
    void TabCallShow();
    void TabTextShow();
    void ExitButClick();
    void QButClick();

    // The statistics window and its re-drills (MainFormStats.cpp). The
    // window is made at the first click and raised when already open.
    void StatsButClick();
    // The band (MainFormAir.cpp): «Эфир» opens «Условия приёма»; the choice
    // is kept in file, read here and written at every change.
    void AirButClick();
    void SetBandSettingsFile(const std::filesystem::path& file);
    // The weak-characters drill: 30 callsigns of the list drawn by the
    // journal's miss rates, started as StartDrill starts one.
    bool StartWeakCharactersDrill(const MissRates& rates);
    TStatsForm* StatsForm() const { return Stats.get(); }

    // Exercise control (MainFormExercise.cpp). Key-down handlers take a
    // virtual-key code and never consume the key; key-press handlers take
    // the character and consume it by nulling it.
    void StartButClick();
    void StopButClick();
    void TestButClick();
    void EndExercise();
    void BuildPlayText();
    void CallEditKeyDown(int key);
    void CallEditKeyPress(QChar& key);
    void SpeedTrackBarKeyDown(int key);
    void PitchTrackBarKeyDown(int key);
    void VolTrackBarKeyDown(int key);
    void LastGridKeyDown(int key);

    // Callsign trainer (MainFormCallsign.cpp).
    void PauseForAnswer();
    void InputKeyDown(int key);
    void InputKeyPress(QChar& key);
    void EvaluateAnswer();
    void NextCall();
    // A drill on the given callsigns (CP1251), started as Start starts an
    // exercise, on the callsign page; false when it did not start (an
    // exercise or test under way, no own callsign, no callsigns).
    bool StartDrill(CallsignDrill kind, const std::vector<std::string>& callsigns);
    // The callsign list read instead of master.ped beside the executable; an
    // empty path restores that.
    void SetCallsignListFile(const QString& path);
    QString CallsignListPath() const;

    // Results table (MainFormResults.cpp).
    void LastGridDrawCell(QPainter& painter, int row, int column, const QRect& rect) const;
    void LastGridSelectCell(int row, int column);

    // Text page (MainFormText.cpp).
    void OpenButClick();
    void ClearButClick();
    void TextWinChange();
    void ChooseButClick();
    void CreateButClick();
    // Answers in place of the file-open dialog: the chosen path, or nothing
    // when cancelled. An empty function brings the dialog back.
    void SetFileChooser(std::function<std::optional<QString>()> chooser);
    // The text window's text in CP1251, line breaks as LF; and its replacement.
    std::string TextWinText() const;
    void SetTextWinText(const std::string& text);

    // The «Курс» page (MainFormCourse.cpp): a Koch lesson keyed through the
    // same device while no exercise runs, its copy checked at the end.
    void CourseStartClick();
    void CourseCheckClick();
    void CourseStopClick();
    void CourseChanged();
    void CourseKeyingEnded();
    bool LessonRunning() const;
    // Instant recognition on the same page.
    void RecognitionStartClick();
    void RecognitionStopClick();
    void RecognitionKey(QChar key);
    void RecognitionNext();
    bool RecognitionRunning() const { return Recognizing.has_value(); }
    const std::optional<RecognitionRun>& Recognition() const { return Recognizing; }
    CoursePage* CourseView() const { return Course; }
    const LessonSession& Lessons() const { return Lesson; }

    // The owners of the running state, for reading.
    const ExerciseControl& Exercise() const { return Control; }
    const CallsignTrainer& Callsigns() const { return Trainer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetUpControls();
    void SetUpCourse(WaveOut& device);
    void HoldOtherPages(bool held);
    // The course in the journal (MainFormCourseJournal.cpp): the lesson
    // reached and the bests read from it, every lesson and recognition
    // answer recorded in it.
    void CourseJournalOpened();
    void ShowCourseLessons(CourseKind course, int selected);
    std::map<unsigned char, CharacterRecord> JournalDrawHistory() const;
    void JournalCourseStart(ExerciseKind kind, int characterWpm);
    void JournalCourseEnd(EndReason reason, int64_t charactersKeyed = 0);
    void JournalLessonChecked();
    void JournalRecognitionAnswer(const RecognitionAnswer& answer);
    void SetUpAccessibility();
    void ConnectHandlers();
    void InstallKeyFilters();
    bool RouteKey(QObject* watched, QKeyEvent* event);
    std::optional<QString> RunOpenDialog();

    // ExerciseView (MainFormExercise.cpp).
    int ActivePage() const override;
    bool OwnCallEmpty() const override;
    int LetterGap() const override;
    int WordGap() const override;
    std::string TextWindowText() const override;
    void ApplySettings() override;
    void ShowControls(const ExerciseControls& controls) override;
    void ShowPageTabs(bool callsignPage, bool textPage) override;
    void FocusOwnCall() override;
    void ShowNotice(ExerciseNotice notice) override;
    void ShowWarning(const std::string& text, const std::string& caption) override;

    // CallsignView (MainFormCallsign.cpp).
    std::string OwnCall() const override;
    std::string AnswerText() const override;
    std::string AnswerAsTyped() const override;
    bool SpeedFixed() const override;
    bool ToneFixed() const override;
    int SpeedPosition() const override;
    int PitchPosition() const override;
    void MoveSpeed(int wpm) override;
    void ClearAnswer() override;
    void HoldAnswer(bool held) override;
    void FocusAnswer() override;
    void ShowCallNumber(int number) override;
    void ShowPoints(const std::string& callPoints, const std::string& totalPoints) override;
    void ClearErrors() override;
    void ShowError(const std::string& line, int sentLength) override;
    void ShowResults(const ResultsTable& results) override;
    void ShowReport(const ResultRow& result) override;
    void ShowListProblem(CallsignListStatus status) override;

    // ExerciseObserver and AnswerObserver: the journal (MainFormJournal.cpp).
    void ExerciseStarted(ExercisePhase phase) override;
    void ExerciseEnded(ExercisePhase phase, ExerciseEndCause cause, int charactersKeyed) override;
    void AnswerEvaluated(const AnsweredCall& answer) override;
    bool Recording() const;
    void RecordEnd(ExercisePhase phase, ExerciseEndCause cause, int charactersKeyed);

    // The status line and the screen reader (MainFormStatus.cpp).
    bool Exercising() const;
    // A journal failure held back during an exercise, shown now that it ended.
    void ShowPendingJournalProblem();
    void ShowStatus();
    void StatusExerciseStarted(ExercisePhase phase);
    void StatusExerciseEnded(ExercisePhase phase);
    void StatusAnswerEvaluated(const AnsweredCall& answer);

    MessageService& Messages;
    Journal* Records = nullptr;
    JournalProblem JournalOpenProblem;
    // A journal failure to show once the exercise it happened in has ended.
    std::optional<JournalProblem> PendingJournalProblem;
    QString DrillLine;
    QString JournalLine;
    TAboutForm* AboutForm = nullptr;
    TCreateForm* CreateForm = nullptr;
    // The folder the file-open dialog opens in next, and what answers in its
    // place when set.
    QString OpenDialogFolder;
    std::function<std::optional<QString>()> FileChooser;
    std::unique_ptr<::Ui::TMorseMain> Ui;
    Announcer* Speaker = nullptr; // a child of the window
    ResultsGridView ResultsGrid;
    ErrorListView ErrorList;
    TextWindow TextWinView;
    Random Rng;
    QtWaveNotifier Notifier;
    // Declared after what they use and destroyed before it: the pump inside
    // exercise control resets and closes the device when it goes.
    ExerciseControl Control;
    CallsignTrainer Trainer;
    // Destroyed before the trainer its drills start on.
    std::unique_ptr<TStatsForm> Stats;
    CoursePage* Course = nullptr; // a child of its tab
    LessonSession Lesson;
    std::unique_ptr<LessonPlayer> LessonSound;
    std::optional<RecognitionRun> Recognizing;
    bool AwaitingKey = false; // a character keyed and not yet answered
    int RecognitionRuns = 0;  // a pause of an earlier run never keys into this one
    std::unique_ptr<RecognitionPlayer> RecognitionSound;
    // The band: its button and the words beside it, its window, its file.
    void SetUpAir();
    void ApplyBand(const BandConditions& conditions);
    void ListenToBand(const BandConditions& conditions);
    QToolButton* AirBut = nullptr;
    QLabel* AirLabel = nullptr;
    std::unique_ptr<TAirForm> AirForm;
    std::filesystem::path AirFile; // empty: nothing is kept
};

} // namespace tonvik
