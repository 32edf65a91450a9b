#pragma once

#include "base/Random.h"
#include "callsign/ResultsTable.h"
#include "keying/Keyer.h"
#include "keying/PlayState.h"
#include "keying/QtWaveNotifier.h"
#include "keying/WaveOut.h"
#include "keying/WavePump.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace Ui {
class TMorseMain;
}
class QChar;
class QPainter;
class QRect;

namespace tonvik {

class MessageService;
class TAboutForm;
class TCreateForm;

// Virtual-key codes that the key handlers test.
inline constexpr int VkReturn = 13;
inline constexpr int VkEscape = 27;
inline constexpr int VkF3 = 114;
inline constexpr int VkF6 = 117;

// Letters of the preliminary test; a space follows them.
inline constexpr int TestLetterCount = 1001;

// The trainer's main window: the toolbar, the two working pages and the
// settings panel. It owns the keyer, the pump and the exercise state; the
// handlers of each subsystem are defined in that subsystem's folder.
class TMorseMain : public QWidget, public PumpHost {
    Q_OBJECT

public:
    // device plays the sound; messages shows every message box. Both must
    // outlive the window.
    TMorseMain(WaveOut& device, MessageService& messages, QWidget* parent = nullptr);
    ~TMorseMain() override;
    TMorseMain(const TMorseMain&) = delete;
    TMorseMain& operator=(const TMorseMain&) = delete;

    void SetAboutForm(TAboutForm* form) { AboutForm = form; }
    void SetCreateForm(TCreateForm* form) { CreateForm = form; }

    // Life cycle and settings (app/MainForm.cpp).
    void FormShow();
    void SpeedTrackBarChange();
    void PitchTrackBarChange();
    void VolTrackBarChange();
    void TabCallShow();
    void TabTextShow();
    void ExitButClick();
    void QButClick();

    // Exercise control (exercise/ExerciseControl.cpp).
    void StartButClick();
    void StopButClick();
    void TestButClick();
    void EndExercise() override;
    void BuildPlayText();
    // Key-down handlers take a virtual-key code and never consume the key;
    // key-press handlers take the character and consume it by nulling it.
    void CallEditKeyDown(int key);
    void CallEditKeyPress(QChar& key);
    void SpeedTrackBarKeyDown(int key);
    void PitchTrackBarKeyDown(int key);
    void VolTrackBarKeyDown(int key);
    void LastGridKeyDown(int key);

    // Callsign trainer (callsign/CallsignHandlers.cpp).
    void PauseForAnswer() override;
    void InputKeyDown(int key);
    void InputKeyPress(QChar& key);
    void EvaluateAnswer();
    void NextCall();
    // The callsign list read instead of master.ped beside the executable; an
    // empty path restores that.
    void SetCallsignListFile(const QString& path) { CallsignListOverride = path; }
    QString CallsignListPath() const;

    // Results table (callsign/ResultsHandlers.cpp).
    void LastGridDrawCell(QPainter& painter, int row, int column, const QRect& rect) const;
    void LastGridSelectCell(int row, int column);
    const ResultsTable& Results() const { return ResultsCore; }

    // Text page (text/TextHandlers.cpp).
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

    // PumpHost.
    int ActivePage() const override;
    KeyerSettings CurrentKeyerSettings() const override;
    void ShowWarning(const std::string& text, const std::string& caption) override;

    const Keyer& CharKeyer() const { return KeyerCore; }
    const WavePump& Pump() const { return WavePumpCore; }

    // The state an exercise shares with the pump and the callsign trainer.
    PlayState State;
    int32_t DotSamples = 0;
    long double ToneFreq = 1000.0L;
    int32_t VolumeFactor = 0;
    bool TestRunning = false;

    // Figures of the current callsign exercise.
    int CallNumber = 0;
    long double ReplayFactor = 1.0L;
    int ErrorCount = 0;
    double TotalPoints = 0.0;
    int MaxWpm = 0;
    int CallWpm = 0;         // the speed the last evaluated callsign was keyed at
    double CallPoints = 0.0; // its unrounded points

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void SetUpControls();
    void ConnectHandlers();
    void InstallKeyFilters();
    bool RouteKey(QObject* watched, QKeyEvent* event);
    void SetUpResultsGrid();
    // The speed, tone and volume handlers, in that order.
    void ApplySettings();
    // Locks the settings and resets the figures for a callsign exercise.
    void BeginCallsignExercise();
    void SetExerciseTabs(bool callPage, bool textPage);
    // Esc, F3 and Enter in the track bars and the results grid.
    void SettingsKeyDown(int key);
    // Draws the callsigns of an exercise into PlayText.
    void AppendCallsigns();
    // Whether the answer field's keys have a callsign exercise to act on.
    bool CallsignExerciseRunning() const;
    // F6: the current callsign again, at half its value.
    void ReplayCall();
    // Lists a wrong answer: line is the sent part (its first sentLength
    // characters), the arrow and the answer, in CP1251.
    void ShowErrors(const std::string& line, int sentLength);
    // The results table records a finished callsign exercise.
    void RecordResult();
    // The results grid's header cells and column widths.
    void SetUpResultsTable();
    // Its cell painting and its selection.
    void ConnectResultsGrid();
    // Copies the results table into the grid's cells.
    void ShowResults();
    // A selection reported once, after the click or key that made it.
    void QueueSelectCell(int row, int column);

    MessageService& Messages;
    TAboutForm* AboutForm = nullptr;
    TCreateForm* CreateForm = nullptr;
    // The text page's file-open dialog, the folder it opens in next, and
    // what answers in its place when set.
    std::optional<QString> RunOpenDialog();
    QString OpenDialogFolder;
    std::function<std::optional<QString>()> FileChooser;
    std::unique_ptr<Ui::TMorseMain> Ui;
    Keyer KeyerCore;
    Random Rng;
    QtWaveNotifier Notifier;
    QString CallsignListOverride;
    ResultsTable ResultsCore;
    int SelectRow = -1;
    int SelectColumn = -1;
    bool SelectQueued = false;
    // Declared last so that it is destroyed first: its destructor stops the
    // device while everything it uses still exists.
    WavePump WavePumpCore;
};

} // namespace tonvik
