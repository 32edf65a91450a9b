#include "app/MainForm.h"

#include "app/AboutUnit.h"
#include "app/MessageService.h"
#include "ui_MainForm.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QTableWidgetItem>

#include <chrono>
#include <cmath>

namespace tonvik {

namespace {

uint64_t ClockSeed() {
    return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
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

// Keeps a field in capitals as the user types, as the callsign fields require.
void KeepUpperCase(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

} // namespace

TMorseMain::TMorseMain(WaveOut& device, MessageService& messages, QWidget* parent)
    : QWidget(parent), Messages(messages), Ui(std::make_unique<::Ui::TMorseMain>()),
      Rng(ClockSeed()),
      Notifier([this](WaveMessage message, WaveHandle handle, WaveHeader* header) {
          WavePumpCore.Dispatch(message, handle, header);
      }),
      WavePumpCore(device, Notifier, KeyerCore, State, *this) {
    Ui->setupUi(this);
    SetUpControls();
    FormCreate();
    ConnectHandlers();
    InstallKeyFilters();
}

TMorseMain::~TMorseMain() {
    // The controls are destroyed after this body; their signals and key
    // events must not reach a window that is half gone.
    for (QObject* child : findChildren<QObject*>()) {
        child->removeEventFilter(this);
        QObject::disconnect(child, nullptr, this, nullptr);
    }
    State.StopRequested = true;
    // The pump, the first member to go, resets and closes the device before
    // its buffers, the keyer and the notifier are released.
}

void TMorseMain::FormCreate() {
    // The pump has allocated its headers and buffers and holds no device; the
    // keyer has its sine table; the generator was seeded from the clock.
    State.StopRequested = false;
    State.AwaitingAnswer = false;
    ApplySettings();
    State.PlayText.clear();
    State.PlayPos = 0;
    KeyerCore.SetWordStart(true);
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
    KeepUpperCase(Ui->CallEdit);
    KeepUpperCase(Ui->Input);
    SetUpResultsGrid();
}

void TMorseMain::SetUpResultsGrid() {
    // The results grid: every cell, the header row included, drawn alike on
    // the button face, and a selected row looking like any other.
    QTableWidget* grid = Ui->LastGrid;
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QPalette gridColours = grid->palette();
    const QColor face = gridColours.color(QPalette::Button);
    gridColours.setColor(QPalette::Base, face);
    gridColours.setColor(QPalette::Highlight, face);
    gridColours.setColor(QPalette::HighlightedText, Qt::black);
    gridColours.setColor(QPalette::Text, Qt::black);
    grid->setPalette(gridColours);
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            auto* cell = new QTableWidgetItem();
            // The header row cannot be selected.
            cell->setFlags(row == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            grid->setItem(row, column, cell);
        }
    }
    ConnectResultsGrid();
}

void TMorseMain::ConnectHandlers() {
    connect(Ui->ExitBut, &QToolButton::clicked, this, &TMorseMain::ExitButClick);
    connect(Ui->StartBut, &QToolButton::clicked, this, &TMorseMain::StartButClick);
    connect(Ui->StopBut, &QToolButton::clicked, this, &TMorseMain::StopButClick);
    connect(Ui->QBut, &QToolButton::clicked, this, &TMorseMain::QButClick);
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
    // Silence at once; the pump closes the device for good when it goes.
    State.StopRequested = true;
    WavePumpCore.StopNow();
    event->accept();
}

void TMorseMain::FormShow() {
    SetUpResultsTable();
    Ui->CallEdit->setFocus();
    TestRunning = false;
    Ui->StopBut->setEnabled(false);
    if (ActivePage() == CallsignPage)
        TabCallShow();
    else if (ActivePage() == TextPage)
        TabTextShow();
}

void TMorseMain::ApplySettings() {
    SpeedTrackBarChange();
    PitchTrackBarChange();
    VolTrackBarChange();
}

void TMorseMain::SpeedTrackBarChange() {
    const int wpm = Ui->SpeedTrackBar->value();
    Ui->NowWpmLbl->setText(QString::number(wpm));
    Ui->Label8->setText(QStringLiteral("Скорость %1 wpm").arg(wpm));
    DotSamples = 9600 / wpm;
    Ui->SpeedTrackBar->setToolTip(QStringLiteral("%1 wpm").arg(wpm));
}

void TMorseMain::PitchTrackBarChange() {
    ToneFreq = static_cast<long double>(Ui->PitchTrackBar->value()) * 100.0L;
    Ui->PitchTrackBar->setToolTip(QStringLiteral("%1 Hz").arg(std::lrint(ToneFreq)));
}

void TMorseMain::VolTrackBarChange() {
    VolumeFactor = 8 - Ui->VolTrackBar->value();
    Ui->VolTrackBar->setToolTip(QString::number(VolumeFactor));
    KeyerCore.BuildSineTable(VolumeFactor);
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

int TMorseMain::ActivePage() const {
    return Ui->MainPage->currentIndex();
}

KeyerSettings TMorseMain::CurrentKeyerSettings() const {
    KeyerSettings settings;
    settings.DotSamples = DotSamples;
    settings.ToneFreq = ToneFreq;
    settings.LetterGap = Ui->SpinEdit2->CurrentValue();
    settings.WordGap = Ui->SpinEdit1->CurrentValue();
    settings.ActivePage = ActivePage();
    return settings;
}

void TMorseMain::ShowWarning(const std::string& text, const std::string& caption) {
    Messages.ShowMessage(QString::fromStdString(text), QString::fromStdString(caption),
                         MessageButtons::Ok, MessageIcon::Warning);
}

void TMorseMain::SetExerciseTabs(bool callPage, bool textPage) {
    Ui->MainPage->setTabVisible(CallsignPage, callPage);
    Ui->MainPage->setTabVisible(TextPage, textPage);
}

} // namespace tonvik
