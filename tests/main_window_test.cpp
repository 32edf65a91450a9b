// The main window at start-up, its settings handlers, pages and fields.
#include "app/Translations.h"
#include "tests/support/WindowFixture.h"

#include "text/RadioGroup.h"
#include "text/SpinEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace tonvik {
namespace {

using MainWindowStart = WindowFixture;

TEST_F(MainWindowStart, AppliesTheDefaultSettings) {
    EXPECT_EQ(Control<QLabel>("NowWpmLbl")->text(), "30");
    EXPECT_EQ(Control<QLabel>("Label8")->text(), "Скорость 30 wpm");
    EXPECT_EQ(Control<QSlider>("SpeedTrackBar")->toolTip(), "30 wpm");
    EXPECT_EQ(Control<QSlider>("PitchTrackBar")->toolTip(), "800 Hz");
    EXPECT_EQ(Control<QSlider>("VolTrackBar")->toolTip(), "5");
    EXPECT_EQ(Window->Exercise().DotSamples(), 320);
    EXPECT_EQ(Window->Exercise().ToneFreq(), 800.0L);
    EXPECT_EQ(Window->Exercise().VolumeFactor(), 5);
    EXPECT_EQ(Window->Exercise().CharKeyer().SineTable()[8192], 20479);
    EXPECT_TRUE(Window->Exercise().CharKeyer().WordStart());
    EXPECT_FALSE(Window->Exercise().TestRunning());
    EXPECT_FALSE(Window->Exercise().State().StopRequested);
    EXPECT_FALSE(Window->Exercise().State().AwaitingAnswer);
    EXPECT_EQ(Window->Exercise().State().PlayPos, 0);
    EXPECT_EQ(Window->Callsigns().Results().NextResultRow(), 1);
    EXPECT_EQ(Window->Exercise().WaveOutPump().WaveDevice(), 0u);
}

TEST_F(MainWindowStart, ShowsTheIdleWindow) {
    EXPECT_EQ(Window->windowTitle(), "Tonvik v2.14 by Kelvad ");
    EXPECT_EQ(Window->size(), QSize(615, 490));
    EXPECT_EQ(Window->minimumSize(), Window->maximumSize());
    EXPECT_FALSE(Window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(Window->focusWidget(), Control<QLineEdit>("CallEdit"));
    EXPECT_FALSE(Control<QToolButton>("StopBut")->isEnabled());
    EXPECT_TRUE(Control<QToolButton>("StartBut")->isEnabled());
    EXPECT_EQ(Control<QToolButton>("TestBut")->text(), "Предварительный тест");
    auto* pages = Control<QTabWidget>("MainPage");
    EXPECT_EQ(pages->currentIndex(), CallsignPage);
    EXPECT_TRUE(pages->isTabVisible(CallsignPage));
    EXPECT_FALSE(pages->isTabVisible(HiddenPage));
    EXPECT_TRUE(pages->isTabVisible(TextPage));
    EXPECT_EQ(pages->tabText(CallsignPage), "Прием позывных");
    EXPECT_EQ(pages->tabText(TextPage), "Прием текстов и радиограмм");
    EXPECT_EQ(Control<QLabel>("NumberCallLbl")->text(), "0");
    EXPECT_EQ(Control<QLabel>("Label17")->text(), "Cкорость, wpm:"); // a Latin C
    EXPECT_EQ(Control<QLabel>("Label4")->text(), "Тон (Гц) ");
}

TEST_F(MainWindowStart, ControlsHaveTheirRangesAndDefaults) {
    struct Range {
        const char* Name;
        int Minimum, Maximum, Value;
    };
    for (const Range& r : {Range{"SpeedTrackBar", 10, 100, 30}, Range{"PitchTrackBar", 4, 16, 8},
                           Range{"VolTrackBar", 0, 8, 3}}) {
        auto* slider = Control<QSlider>(r.Name);
        EXPECT_EQ(slider->minimum(), r.Minimum) << r.Name;
        EXPECT_EQ(slider->maximum(), r.Maximum) << r.Name;
        EXPECT_EQ(slider->value(), r.Value) << r.Name;
        EXPECT_EQ(slider->pageStep(), 1) << r.Name;
    }
    EXPECT_EQ(Control<QSlider>("SpeedTrackBar")->tickInterval(), 5);
    for (const Range& r : {Range{"SpinEdit2", 2, 72, 3}, Range{"SpinEdit1", 7, 108, 7}}) {
        auto* spin = Control<SpinEdit>(r.Name);
        EXPECT_EQ(spin->minimum(), r.Minimum) << r.Name;
        EXPECT_EQ(spin->maximum(), r.Maximum) << r.Name;
        EXPECT_EQ(spin->CurrentValue(), r.Value) << r.Name;
    }
    EXPECT_FALSE(Control<QCheckBox>("SpeedBox")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>("ToneBox")->isChecked());
    auto* choose = Control<RadioGroup>("ChooseRG");
    EXPECT_EQ(choose->itemIndex(), -1);
    EXPECT_EQ(choose->items(),
              QStringList({"Не больше трех букв", "Не больше четырех букв", "Не больше пяти букв",
                           "Не больше шести букв", "Не больше семи букв"}));
    EXPECT_EQ(Control<QToolButton>("OpenBut")->toolTip(), "Открыть текстовый файл");
    EXPECT_EQ(Control<QToolButton>("CreateBut")->toolTip(), "Формировать случайную радиограмму");
    EXPECT_EQ(Control<QToolButton>("ClearBut")->toolTip(), "Очистить окно ввода");
    EXPECT_EQ(Control<QToolButton>("ChooseBut")->toolTip(), "Выбор слов определенной длинны");
    for (const char* name : {"CallEdit", "Input"}) {
        const QFont font = Control<QLineEdit>(name)->font();
        EXPECT_TRUE(font.bold()) << name;
        EXPECT_EQ(font.pointSize(), 10) << name;
    }
    const QFontMetrics text(Control<QPlainTextEdit>("TextWin")->font());
    EXPECT_EQ(text.horizontalAdvance(QChar('i')), text.horizontalAdvance(QChar('W')));
    EXPECT_EQ(text.horizontalAdvance(QChar(0x0416)), text.horizontalAdvance(QChar('.')));
    EXPECT_TRUE(Control<QTextEdit>("OutWin")->isReadOnly());
    // Read-only and never focused, but enabled, so that it can be scrolled back.
    EXPECT_EQ(Control<QTextEdit>("OutWin")->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(Control<QLineEdit>("Input")->focusPolicy() & Qt::TabFocus, 0);
}

TEST_F(MainWindowStart, TabOrderRunsThroughTheSettings) {
    const QStringList expected = {"CallEdit",    "SpeedTrackBar", "PitchTrackBar",
                                  "VolTrackBar", "SpeedBox",      "ToneBox"};
    QStringList order;
    QWidget* widget = Control<QLineEdit>("CallEdit");
    for (int n = 0; n < 500 && order.size() < expected.size(); ++n) {
        if (expected.contains(widget->objectName()) && !order.contains(widget->objectName()))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(order, expected);
}

TEST_F(MainWindowStart, ResultsGridShowsItsHeaderAndNineteenRows) {
    auto* grid = Control<QTableWidget>("LastGrid");
    ASSERT_EQ(grid->columnCount(), 3);
    ASSERT_EQ(grid->rowCount(), 20);
    EXPECT_EQ(grid->item(0, 0)->text(), "Позывной");
    EXPECT_EQ(grid->item(0, 1)->text(), "Wpm");
    EXPECT_EQ(grid->item(0, 2)->text(), "Очки");
    EXPECT_EQ(grid->columnWidth(0), 83);
    EXPECT_EQ(grid->columnWidth(1), 40);
    EXPECT_EQ(grid->columnWidth(2), 63);
    EXPECT_EQ(grid->rowHeight(1), 15);
    EXPECT_EQ(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    // Every row fits without scrolling.
    EXPECT_GE(grid->viewport()->height(), 20 * 15);
    EXPECT_FALSE(grid->item(0, 0)->flags() & Qt::ItemIsSelectable);
    EXPECT_TRUE(grid->item(1, 0)->flags() & Qt::ItemIsSelectable);
}

using SettingsHandlers = WindowFixture;

TEST_F(SettingsHandlers, SpeedSetsTheDotLengthTruncated) {
    auto* speed = Control<QSlider>("SpeedTrackBar");
    struct Case {
        int Wpm, Dot;
    };
    for (const Case& c : {Case{70, 137}, Case{100, 96}, Case{10, 960}, Case{31, 309}}) {
        speed->setValue(c.Wpm);
        EXPECT_EQ(Window->Exercise().DotSamples(), c.Dot) << c.Wpm;
        EXPECT_EQ(Control<QLabel>("NowWpmLbl")->text(), QString::number(c.Wpm));
        EXPECT_EQ(Control<QLabel>("Label8")->text(), QString("Скорость %1 wpm").arg(c.Wpm));
        EXPECT_EQ(speed->toolTip(), QString("%1 wpm").arg(c.Wpm));
    }
}

TEST_F(SettingsHandlers, PitchSetsTheToneInHundredsOfHertz) {
    auto* pitch = Control<QSlider>("PitchTrackBar");
    pitch->setValue(16);
    EXPECT_EQ(Window->Exercise().ToneFreq(), 1600.0L);
    EXPECT_EQ(pitch->toolTip(), "1600 Hz");
    pitch->setValue(4);
    EXPECT_EQ(Window->Exercise().ToneFreq(), 400.0L);
    EXPECT_EQ(pitch->toolTip(), "400 Hz");
}

TEST_F(SettingsHandlers, VolumeRebuildsTheSineTable) {
    auto* volume = Control<QSlider>("VolTrackBar");
    volume->setValue(8);
    EXPECT_EQ(Window->Exercise().VolumeFactor(), 0);
    EXPECT_EQ(volume->toolTip(), "0");
    const auto& silent = Window->Exercise().CharKeyer().SineTable();
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](int16_t s) { return s == 0; }));
    volume->setValue(0);
    EXPECT_EQ(Window->Exercise().VolumeFactor(), 8);
    EXPECT_EQ(Window->Exercise().CharKeyer().SineTable()[8192], 32767);
    volume->setValue(4);
    EXPECT_EQ(Window->Exercise().CharKeyer().SineTable()[8192], 16384);
}

TEST_F(SettingsHandlers, KeyerReadsTheControlsAsTheyStand) {
    Control<QSlider>("SpeedTrackBar")->setValue(20);
    Control<QSlider>("PitchTrackBar")->setValue(10);
    Control<SpinEdit>("SpinEdit2")->setValue(5);
    Control<SpinEdit>("SpinEdit1")->setValue(9);
    ShowPage(TextPage);
    const KeyerSettings settings = Window->Exercise().CurrentKeyerSettings();
    EXPECT_EQ(settings.DotSamples, 480);
    EXPECT_EQ(settings.ToneFreq, 1000.0L);
    EXPECT_EQ(settings.LetterGap, 5);
    EXPECT_EQ(settings.WordGap, 9);
    EXPECT_EQ(settings.ActivePage, TextPage);
}

using Pages = WindowFixture;

TEST_F(Pages, TextPageDisablesTheFixBoxesAndTheFilter) {
    auto* text = Control<QPlainTextEdit>("TextWin");
    text->setPlainText("CQ CQ");
    ShowPage(TextPage);
    EXPECT_FALSE(Control<QCheckBox>("SpeedBox")->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>("ToneBox")->isEnabled());
    // Disabled although the window holds text, until it next changes.
    EXPECT_FALSE(Control<RadioGroup>("ChooseRG")->isEnabled());
    EXPECT_FALSE(Control<QToolButton>("ChooseBut")->isEnabled());
    text->setPlainText("CQ DE");
    EXPECT_TRUE(Control<RadioGroup>("ChooseRG")->isEnabled());
    EXPECT_TRUE(Control<QToolButton>("ChooseBut")->isEnabled());
    Control<QToolButton>("ClearBut")->click();
    EXPECT_EQ(text->toPlainText(), "");
    EXPECT_FALSE(Control<RadioGroup>("ChooseRG")->isEnabled());
    EXPECT_FALSE(Control<QToolButton>("ChooseBut")->isEnabled());
    ShowPage(CallsignPage);
    EXPECT_TRUE(Control<QCheckBox>("SpeedBox")->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>("ToneBox")->isEnabled());
}

using Fields = WindowFixture;

TEST_F(Fields, CallsignFieldsTurnLettersToCapitals) {
    for (const char* name : {"CallEdit", "Input"}) {
        auto* edit = Control<QLineEdit>(name);
        QTest::keyClicks(edit, "ua3abc");
        EXPECT_EQ(edit->text(), "UA3ABC") << name;
    }
    auto* call = Control<QLineEdit>("CallEdit");
    call->clear();
    // The Russian layout left on: the letters of the same keys in the Latin one.
    struct Case {
        QString Typed, Shown;
    };
    for (const Case& c : {Case{"рк1а", "HR1F"}, Case{"ЕФ2фи.з", "TA2AB/P"}, Case{"ц1ф,", "W1A?"},
                          Case{"ua3ж", "UA3Ж"}}) {
        for (const char* name : {"CallEdit", "Input"}) {
            auto* edit = Control<QLineEdit>(name);
            edit->clear();
            for (QChar typed : c.Typed) {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(typed));
                QCoreApplication::sendEvent(edit, &press);
            }
            EXPECT_EQ(edit->text(), c.Shown) << name << " " << c.Typed.toStdString();
        }
    }
}

// Typing into a spin edit and leaving it, as the user does.
void TypeAndLeave(SpinEdit* spin, const QString& text) {
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(spin, Qt::Key_Backspace);
    QTest::keyClicks(spin, text);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(spin, &leave);
}

TEST_F(Fields, SpinEditsReadTypedTextAndClampOnLeaving) {
    auto* wordGap = Control<SpinEdit>("SpinEdit1");
    wordGap->setFocus();
    QTest::keyClick(wordGap, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(wordGap, "200");
    // While typed, the keyer gets the number as it stands, range or not.
    EXPECT_EQ(wordGap->CurrentValue(), 200);
    EXPECT_EQ(Window->Exercise().CurrentKeyerSettings().WordGap, 200);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(wordGap, &leave);
    EXPECT_EQ(wordGap->CurrentValue(), 108);
    EXPECT_EQ(wordGap->value(), 108);

    auto* letterGap = Control<SpinEdit>("SpinEdit2");
    TypeAndLeave(letterGap, "1");
    EXPECT_EQ(letterGap->CurrentValue(), 2);
    TypeAndLeave(letterGap, "xyz"); // letters are refused: nothing typed
    EXPECT_EQ(letterGap->CurrentValue(), 2);
    letterGap->setFocus();
    QTest::keyClick(letterGap, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(letterGap, Qt::Key_Backspace);
    EXPECT_EQ(letterGap->CurrentValue(), 2); // empty reads as the minimum
    TypeAndLeave(letterGap, "40");
    EXPECT_EQ(letterGap->CurrentValue(), 40);
}

TEST_F(Fields, TabInTheTextWindowMovesOnInsteadOfTypingATab) {
    ShowPage(TextPage);
    auto* text = Control<QPlainTextEdit>("TextWin");
    text->setPlainText("CQ");
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_EQ(text->toPlainText(), "CQ");
    EXPECT_NE(QApplication::focusWidget(), text);
}

using RussianDialogs = WindowFixture;

TEST_F(RussianDialogs, QtsOwnButtonsSpeakRussianAndTheProgramsOkStays) {
    ASSERT_TRUE(InstallQtTranslations(*QCoreApplication::instance()))
        << "qtbase_ru.qm is not installed (qt6-translations-l10n)";
    QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Open)->text(), "Открыть");
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "Отмена");
    // The program's own messages keep their "OK".
    QMessageBox box(QMessageBox::Warning, "Warning", "Error opening waveform audio!",
                    QMessageBox::Ok);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "OK");

    // The text page's file-open dialog: Russian labels, no English left.
    QStringList labels;
    QTimer::singleShot(0, Window.get(), [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            labels << label->text();
        for (const QAbstractButton* button : dialog->findChildren<QPushButton*>())
            labels << button->text();
        dialog->reject();
    });
    ShowPage(TextPage);
    Control<QToolButton>("OpenBut")->click();
    EXPECT_FALSE(labels.isEmpty());
    for (const char* english : {"Look in:", "Open", "Cancel", "File name:", "Files of type:"})
        EXPECT_FALSE(labels.contains(QString::fromLatin1(english))) << english;
    EXPECT_TRUE(labels.contains("Отмена"));
}

TEST_F(Fields, ExitClosesTheWindowAlsoWhileKeying) {
    ShowPage(TextPage);
    Control<QPlainTextEdit>("TextWin")->setPlainText("PARIS PARIS");
    Control<QToolButton>("StartBut")->click();
    ASSERT_TRUE(ProcessUntil([&] { return Device.QueuedCount() == 2; }));
    Control<QToolButton>("ExitBut")->click();
    EXPECT_FALSE(Window->isVisible());
    EXPECT_FALSE(Device.IsOpen());
    EXPECT_TRUE(Messages.Messages.empty());
}

} // namespace
} // namespace tonvik
