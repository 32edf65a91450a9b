#include "app/MainForm.h"

#include "air/AirForm.h"
#include "air/PreviewPlayer.h"

#include "app/AboutUnit.h"
#include "app/Announcer.h"
#include "callsign/KeyboardLayout.h"
#include "course/LessonPlayer.h"
#include "course/RecognitionPlayer.h"
#include "exercise/Shortcuts.h"
#include "stats/StatsForm.h"
#include "text/SpinEdit.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

#include <chrono>
#include <cmath>

namespace tonvik {

namespace {

uint64_t ClockSeed() {
    return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

std::unique_ptr<::Ui::TMorseMain> SetUpUi(QWidget* window) {
    // Before the first control: an accessible interface is made once per control.
    InstallAccessibility();
    auto form = std::make_unique<::Ui::TMorseMain>();
    form->setupUi(window);
    return form;
}

// The virtual-key code of a Qt key, for the keys the handlers test; 0 for others.
int VirtualKey(int qtKey) {
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter)
        return VkReturn;
    if (qtKey == Qt::Key_Escape)
        return VkEscape;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    return 0;
}

// Text boxes and fields that hold what the user reads or types stand out on
// the pale yellow of a tool tip.
void SetInfoTipBackground(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xE1));
    widget->setPalette(palette);
}

// Keeps a callsign field in capitals as the user types, and takes a letter
// typed with the Russian layout left on as the Latin letter on its key: a
// callsign holds no Cyrillic letter, so the field shows what was meant.
void KeepUpperCase(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper =
            QString::fromStdU16String(LatinOnSameKeys(text.toStdU16String())).toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

} // namespace

TMorseMain::TMorseMain(WaveOut& device, MessageService& messages, QWidget* parent)
    : QWidget(parent), Messages(messages), Ui(SetUpUi(this)), ResultsGrid(Ui->LastGrid),
      ErrorList(Ui->OutWin), TextWinView(Ui->TextWin), Rng(ClockSeed()),
      Notifier([this](WaveMessage message, WaveHandle handle, WaveHeader* header) {
          Control.Dispatch(message, handle, header);
      }),
      BandNotifier([this](WaveMessage message, WaveHandle handle, WaveHeader* header) {
          Control.Air().Dispatch(message, handle, header);
      }),
      Control(device, Notifier, *this), Trainer(Control, *this, Rng) {
    Speaker = new Announcer(this);
    SetUpControls();
    SetUpAccessibility();
    Control.SetObserver(this);
    Trainer.SetObserver(this);
    Control.FormCreate();
    SetUpCourse(device);
    ConnectHandlers();
    SetUpAir(device);
    InstallKeyFilters();
}

TMorseMain::~TMorseMain() {
    // The controls are destroyed after this body; their signals and key
    // events must not reach a window that is half gone.
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        QObject::disconnect(child, nullptr, this, nullptr);
    }
    // Exercise control, the first to go after the trainer, resets and closes
    // the device before its buffers and the notifier are released.
    RecognitionSound.reset();
    LessonSound.reset();
    Control.Shutdown();
}

void TMorseMain::SetUpControls() {
    setFixedSize(615, 490);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    if (const QScreen* desktop = QGuiApplication::primaryScreen())
        move(desktop->availableGeometry().center() - rect().center());

    Ui->MainPage->setTabVisible(HiddenPage, false);

    QStyle* look = style();
    Ui->ExitBut->setIcon(look->standardIcon(QStyle::SP_DialogCloseButton));
    Ui->StartBut->setIcon(look->standardIcon(QStyle::SP_MediaPlay));
    Ui->StopBut->setIcon(look->standardIcon(QStyle::SP_MediaStop));
    Ui->QBut->setIcon(look->standardIcon(QStyle::SP_DialogHelpButton));
    Ui->StatsBut->setIcon(look->standardIcon(QStyle::SP_FileDialogDetailedView));
    Ui->TestBut->setIcon(look->standardIcon(QStyle::SP_MediaVolume));
    Ui->OpenBut->setIcon(look->standardIcon(QStyle::SP_DialogOpenButton));
    Ui->CreateBut->setIcon(look->standardIcon(QStyle::SP_FileDialogNewFolder));
    Ui->ClearBut->setIcon(look->standardIcon(QStyle::SP_DialogResetButton));
    Ui->ChooseBut->setIcon(look->standardIcon(QStyle::SP_FileDialogContentsView));

    for (QWidget* box : {static_cast<QWidget*>(Ui->TextWin), static_cast<QWidget*>(Ui->OutWin),
                         static_cast<QWidget*>(Ui->Input), static_cast<QWidget*>(Ui->SpinEdit2),
                         static_cast<QWidget*>(Ui->SpinEdit1)})
        SetInfoTipBackground(box);
    QFont monospace = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    monospace.setPointSize(10);
    Ui->TextWin->setFont(monospace);
    // A tab would be deleted by the clean-up anyway: Tab moves on, as in a form.
    Ui->TextWin->setTabChangesFocus(true);
    KeepUpperCase(Ui->CallEdit);
    KeepUpperCase(Ui->Input);
    ResultsGrid.SetHandlers(
        [this](QPainter& painter, int row, int column, const QRect& rect) {
            LastGridDrawCell(painter, row, column, rect);
        },
        [this](int row, int column) { LastGridSelectCell(row, column); });
}

void TMorseMain::ConnectHandlers() {
    connect(Ui->ExitBut, &QToolButton::clicked, this, &TMorseMain::ExitButClick);
    connect(Ui->StartBut, &QToolButton::clicked, this, &TMorseMain::StartButClick);
    connect(Ui->StopBut, &QToolButton::clicked, this, &TMorseMain::StopButClick);
    connect(Ui->QBut, &QToolButton::clicked, this, &TMorseMain::QButClick);
    connect(Ui->StatsBut, &QToolButton::clicked, this, &TMorseMain::StatsButClick);
    connect(Ui->TestBut, &QToolButton::clicked, this, &TMorseMain::TestButClick);
    connect(Ui->SpeedTrackBar, &QSlider::valueChanged, this, &TMorseMain::SpeedTrackBarChange);
    connect(Ui->PitchTrackBar, &QSlider::valueChanged, this, &TMorseMain::PitchTrackBarChange);
    connect(Ui->VolTrackBar, &QSlider::valueChanged, this, &TMorseMain::VolTrackBarChange);
    connect(Ui->MainPage, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == CallsignPage)
            TabCallShow();
        else if (page == TextPage)
            TabTextShow();
    });
    // The fix boxes stay usable during a callsign exercise; a click on one
    // must not leave the answer with nowhere to go.
    for (QCheckBox* box : {Ui->SpeedBox, Ui->ToneBox})
        connect(box, &QCheckBox::clicked, this, [this] {
            if (Control.Phase() == ExercisePhase::CallsignExercise)
                FocusAnswer();
        });
    connect(Ui->TextWin, &QPlainTextEdit::textChanged, this, &TMorseMain::TextWinChange);
    connect(Ui->OpenBut, &QToolButton::clicked, this, &TMorseMain::OpenButClick);
    connect(Ui->ClearBut, &QToolButton::clicked, this, &TMorseMain::ClearButClick);
    connect(Ui->ChooseBut, &QToolButton::clicked, this, &TMorseMain::ChooseButClick);
    connect(Ui->CreateBut, &QToolButton::clicked, this, &TMorseMain::CreateButClick);
}

void TMorseMain::InstallKeyFilters() {
    for (QWidget* control :
         {static_cast<QWidget*>(Ui->CallEdit), static_cast<QWidget*>(Ui->SpeedTrackBar),
          static_cast<QWidget*>(Ui->PitchTrackBar), static_cast<QWidget*>(Ui->VolTrackBar),
          static_cast<QWidget*>(Ui->LastGrid), static_cast<QWidget*>(Ui->Input)})
        control->installEventFilter(this);
}

bool TMorseMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && RouteKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

// Hands a key to its control's handlers: the key-down handler first, then,
// for a key that types a character, the key-press handler. Returns whether
// the key was consumed.
bool TMorseMain::RouteKey(QObject* watched, QKeyEvent* event) {
    const int key = VirtualKey(event->key());
    QChar typed = event->text().isEmpty() ? QChar() : event->text().front();
    const bool types = !typed.isNull();
    if (watched == Ui->CallEdit) {
        CallEditKeyDown(key);
        if (types)
            CallEditKeyPress(typed);
    } else if (watched == Ui->Input) {
        InputKeyDown(key);
        if (types)
            InputKeyPress(typed);
    } else if (watched == Ui->SpeedTrackBar) {
        SpeedTrackBarKeyDown(key);
    } else if (watched == Ui->PitchTrackBar) {
        PitchTrackBarKeyDown(key);
    } else if (watched == Ui->VolTrackBar) {
        VolTrackBarKeyDown(key);
    } else if (watched == Ui->LastGrid) {
        LastGridKeyDown(key);
    }
    return types && typed.isNull();
}

void TMorseMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMorseMain::closeEvent(QCloseEvent* event) {
    CourseStopClick();
    RecognitionStopClick();
    Control.Shutdown();
    event->accept();
}

void TMorseMain::FormShow() {
    ResultsGrid.SetUp();
    Trainer.FormShow();
    FocusOwnCall();
    Control.FormShow();
    if (ActivePage() == CallsignPage)
        TabCallShow();
    else if (ActivePage() == TextPage)
        TabTextShow();
}

void TMorseMain::SpeedTrackBarChange() {
    const int wpm = Ui->SpeedTrackBar->value();
    Ui->NowWpmLbl->setText(QString::number(wpm));
    Ui->Label8->setText(QStringLiteral("Скорость %1 wpm").arg(wpm));
    Control.SetSpeed(wpm);
    Ui->SpeedTrackBar->setToolTip(QStringLiteral("%1 wpm").arg(wpm));
}

void TMorseMain::PitchTrackBarChange() {
    Control.SetPitch(Ui->PitchTrackBar->value());
    Ui->PitchTrackBar->setToolTip(QStringLiteral("%1 Hz").arg(std::lrint(Control.ToneFreq())));
}

void TMorseMain::VolTrackBarChange() {
    Control.SetVolume(Ui->VolTrackBar->value());
    Ui->VolTrackBar->setToolTip(QString::number(Control.VolumeFactor()));
}

void TMorseMain::TabCallShow() {
    Ui->SpeedBox->setEnabled(true);
    Ui->ToneBox->setEnabled(true);
}

void TMorseMain::TabTextShow() {
    Ui->SpeedBox->setEnabled(false);
    Ui->ToneBox->setEnabled(false);
    Ui->ChooseRG->setEnabled(false);
    Ui->ChooseBut->setEnabled(false);
}

void TMorseMain::ExitButClick() {
    close();
}

void TMorseMain::QButClick() {
    if (AboutForm != nullptr)
        AboutForm->ShowModal();
}

} // namespace tonvik
