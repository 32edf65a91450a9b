// The band on the window: «Эфир» and the words beside it, the kept choice,
// the window «Условия приёма», and an exercise heard through the band.
#include "air/AirForm.h"
#include "air/BandSettingsFile.h"
#include "keying/MmErrMsg.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <functional>

namespace tonvik {
namespace {

class AirWindow : public CallsignWindowFixture {
protected:
    void Keep(const std::string& line) {
        std::ofstream(Temp.Path("band.txt")) << line;
        Window->SetBandSettingsFile(Temp.Path("band.txt"));
    }
    // Opens «Условия приёма» with «Эфир» and runs inside while it is open;
    // the window is cancelled after it.
    void InAirWindow(const std::function<void(TAirForm&)>& inside) {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TAirForm*>(QApplication::activeModalWidget());
            if (form == nullptr)
                return;
            opened = true;
            inside(*form);
            form->reject();
        });
        Control<QToolButton>("AirBut")->click();
        ProcessPending();
        EXPECT_TRUE(opened);
    }
    static QPushButton* ListenButton(TAirForm& form) {
        for (QPushButton* button : form.findChildren<QPushButton*>())
            if (button->accessibleName() == "Прослушать пять секунд")
                return button;
        ADD_FAILURE() << "no «Прослушать»";
        return nullptr;
    }
    TempFolder Temp{"tonvik-air-window"};
};

TEST_F(AirWindow, WithoutAKeptBandTheExerciseSoundsAsBefore) {
    Window->SetBandSettingsFile(Temp.Path("band.txt")); // no such file
    EXPECT_FALSE(Control<QLabel>("AirLbl")->isVisible());
    Start();
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(SamplesSince(Device, 0), Keyed(Call, 30, 800.0L));
}

TEST_F(AirWindow, AKeptPresetIsNamedOnTheToolbarAndHeard) {
    Keep("poor\n");
    QLabel* label = Control<QLabel>("AirLbl");
    ASSERT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), "Эфир: тяжёлый день");
    Start();
    ASSERT_TRUE(KeyToPause());
    const std::vector<int16_t> heard = SamplesSince(Device, 0);
    const std::vector<int16_t> clean = Keyed(Call, 30, 800.0L);
    ASSERT_EQ(heard.size(), clean.size());
    // Between the elements, where the keyer is silent, the band is not.
    int noisyGaps = 0;
    for (std::size_t i = 0; i < clean.size(); ++i)
        noisyGaps += clean[i] == 0 && heard[i] != 0 ? 1 : 0;
    EXPECT_GT(noisyGaps, static_cast<int>(clean.size() / 4));
}

TEST_F(AirWindow, TheButtonSitsAfterStatisticsAndIsOffDuringAnExercise) {
    QToolButton* air = Control<QToolButton>("AirBut");
    QToolButton* stats = Control<QToolButton>("StatsBut");
    EXPECT_EQ(air->text(), "Эфир");
    EXPECT_FALSE(air->accessibleName().isEmpty());
    EXPECT_GE(air->geometry().left(), stats->geometry().right());
    EXPECT_LE(Control<QLabel>("AirLbl")->geometry().right(), 615);
    EXPECT_EQ(Window->size(), QSize(615, 490));
    EXPECT_TRUE(air->isEnabled());
    Start();
    EXPECT_FALSE(air->isEnabled());
    Stop();
    ProcessPending();
    EXPECT_TRUE(air->isEnabled());
}

TEST_F(AirWindow, AFileThatIsNotOursIsSetAsideAndTheBandStaysClean) {
    Keep(std::string("\x7f"
                     "ELF\x01\x02",
                     6));
    EXPECT_FALSE(Control<QLabel>("AirLbl")->isVisible());
    EXPECT_TRUE(std::filesystem::exists(Temp.Path("band.txt.bak")));
    EXPECT_FALSE(std::filesystem::exists(Temp.Path("band.txt")));
}

TEST_F(AirWindow, AnEarlierFileSetAsideIsNeverWrittenOver) {
    std::ofstream(Temp.Path("band.txt.bak")) << "the user's own\n";
    Keep("not a band at all\n");
    EXPECT_FALSE(std::filesystem::exists(Temp.Path("band.txt")));
    std::ifstream earlier(Temp.Path("band.txt.bak"));
    std::string line;
    std::getline(earlier, line);
    EXPECT_EQ(line, "the user's own");
    std::ifstream moved(Temp.Path("band.txt.bak.1"));
    std::getline(moved, line);
    EXPECT_EQ(line, "not a band at all");
}

// F4 opens «Условия приёма» from the keyboard, says so to a screen reader,
// and never opens it over a running exercise.
TEST_F(AirWindow, F4OpensTheConditionsWindowOnlyBetweenExercises) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(Control<QWidget>("AirBut"));
    EXPECT_TRUE(iface->text(QAccessible::Description).contains("F4"));
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    QString opened;
    const auto pressF4 = [&] {
        opened.clear();
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened = modal->windowTitle();
                modal->close();
            }
        });
        QTest::keyClick(Window.get(), Qt::Key_F4);
        ProcessPending();
    };
    pressF4();
    EXPECT_EQ(opened, QString("Условия приёма"));
    Start();
    pressF4();
    EXPECT_TRUE(opened.isEmpty());
    Stop();
}

// «Прослушать» plays five seconds through the window's own device: one
// buffer of 40000 samples, the device closed once that buffer has played.
TEST_F(AirWindow, ListenPlaysOneFiveSecondBufferAndClosesTheDeviceAfterIt) {
    Keep("poor\n");
    InAirWindow([&](TAirForm& form) {
        ListenButton(form)->click();
        ProcessPending();
        ASSERT_EQ(Device.Writes.size(), 1u);
        EXPECT_EQ(Device.Writes[0].size() * sizeof(int16_t), 80000u);
        EXPECT_TRUE(Device.IsOpen());
        EXPECT_EQ(Device.CloseCount, 0);
        ASSERT_TRUE(Device.CompleteNext());
        ProcessPending();
        EXPECT_FALSE(Device.IsOpen());
        EXPECT_EQ(Device.CloseCount, 1);
        EXPECT_EQ(Device.Writes.size(), 1u);
    });
    ExpectOneDeviceAtATime();
    EXPECT_TRUE(Messages.Messages.empty());
}

// Pressed again while it plays, it starts over on a device closed first;
// closing the window silences it.
TEST_F(AirWindow, ListenAgainStartsOverAndClosingTheWindowStopsIt) {
    Keep("contest\n");
    InAirWindow([&](TAirForm& form) {
        QPushButton* listen = ListenButton(form);
        listen->click();
        ProcessPending();
        listen->click();
        ProcessPending();
        EXPECT_EQ(Device.Writes.size(), 2u);
        EXPECT_EQ(Device.OpenCount, 2);
        EXPECT_EQ(Device.CloseCount, 1);
        EXPECT_TRUE(Device.IsOpen());
    });
    EXPECT_FALSE(Device.IsOpen());
    ExpectOneDeviceAtATime();
    // The exercise after it has the device to itself.
    Start();
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Device.OpensOverOpenDevice, 0);
    EXPECT_EQ(Device.StrayWrites, 0);
}

// From the keyboard: focused, Space plays it.
TEST_F(AirWindow, ListenIsPlayedFromTheKeyboard) {
    InAirWindow([&](TAirForm& form) {
        QPushButton* listen = ListenButton(form);
        EXPECT_TRUE(listen->focusPolicy() & Qt::TabFocus);
        listen->setFocus();
        QTest::keyClick(listen, Qt::Key_Space);
        ProcessPending();
        EXPECT_EQ(Device.Writes.size(), 1u);
    });
    ExpectOneDeviceAtATime();
}

// A device that does not open is said in the window itself, with the
// device's reason; no message box, nothing written.
TEST_F(AirWindow, ADeviceThatDoesNotOpenIsSaidInTheWindow) {
    InAirWindow([&](TAirForm& form) {
        Device.NextOpenResult = MmNoDriver;
        ListenButton(form)->click();
        ProcessPending();
        auto* problem = form.findChild<QLabel*>("ListenProblem");
        ASSERT_NE(problem, nullptr);
        EXPECT_TRUE(problem->isVisible());
        EXPECT_TRUE(problem->text().startsWith("Error opening waveform audio!"));
        EXPECT_TRUE(problem->text().contains(QString::fromStdString(MmErrorText(MmNoDriver))));
        EXPECT_FALSE(problem->accessibleName().isEmpty());
        // Once the device opens again the problem is gone.
        ListenButton(form)->click();
        ProcessPending();
        EXPECT_FALSE(problem->isVisible());
    });
    EXPECT_EQ(Device.Writes.size(), 1u);
    EXPECT_TRUE(Messages.Messages.empty());
    EXPECT_FALSE(Device.IsOpen());
    EXPECT_EQ(Device.CloseCount, 1); // the one that opened
    EXPECT_EQ(Device.OpensOverOpenDevice, 0);
}

// Every knob reaches the preview as it stands: the flutter's rate too.
TEST(AirForm, TheFlutterRateIsKeptAsSet) {
    TAirForm form;
    for (const double rate : {10.0, 12.5, 30.0}) {
        BandConditions c;
        c.FlutterHz = rate;
        form.SetConditions(c);
        EXPECT_EQ(form.Conditions().FlutterHz, rate);
    }
    form.SetConditions(BandConditions{});
    EXPECT_EQ(form.Conditions().FlutterHz, 0);
}

TEST(AirForm, EachPresetSetsItsValuesAndAChangedValueMakesThemOwn) {
    TAirForm form;
    auto* preset = form.findChild<QComboBox*>();
    ASSERT_NE(preset, nullptr);
    for (const BandPreset p : {BandPreset::Clean, BandPreset::Good, BandPreset::Average,
                               BandPreset::Poor, BandPreset::Contest}) {
        preset->setCurrentIndex(static_cast<int>(p));
        emit preset->activated(static_cast<int>(p));
        EXPECT_EQ(form.Conditions(), PresetConditions(p)) << PresetName(p);
    }
    form.SetConditions(PresetConditions(BandPreset::Average));
    form.findChildren<QSpinBox*>()[0]->setValue(-5); // the SNR
    EXPECT_EQ(preset->currentText(), "Свои условия");
    EXPECT_EQ(TAirForm::Describe(form.Conditions()), "свои условия");
    EXPECT_EQ(TAirForm::Describe(PresetConditions(BandPreset::Contest)), "контест");
}

TEST(AirForm, EveryControlHasARussianAccessibleName) {
    TAirForm form;
    const QList<QWidget*> controls = form.findChildren<QWidget*>();
    int named = 0;
    for (QWidget* w : controls) {
        if (qobject_cast<QSpinBox*>(w) || qobject_cast<QDoubleSpinBox*>(w) ||
            qobject_cast<QComboBox*>(w) || qobject_cast<QCheckBox*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
            ++named;
        }
    }
    EXPECT_EQ(named, 10);
}

TEST(BandSettingsFile, KeepsTheChoiceAndReadsItBack) {
    TempFolder temp("tonvik-band-file");
    BandConditions own = PresetConditions(BandPreset::Poor);
    own.Qrm = 5;
    own.FlutterHz = DefaultFlutterHz;
    for (const BandConditions& c : {own, PresetConditions(BandPreset::Contest), BandConditions{}}) {
        ASSERT_EQ(SaveBandSettings(temp.Path("sub/band.txt"), c), "");
        const LoadedBand loaded = LoadBandSettings(temp.Path("sub/band.txt"));
        EXPECT_EQ(loaded.Problem, "");
        EXPECT_EQ(loaded.Conditions, c) << DescribeConditions(c);
    }
    EXPECT_EQ(LoadBandSettings(temp.Path("none.txt")).Problem, "");
    std::ofstream(temp.Path("junk.txt")) << "snr=ten";
    EXPECT_NE(LoadBandSettings(temp.Path("junk.txt")).Problem, "");
    EXPECT_NE(LoadBandSettings(temp.Path("")).Problem, ""); // a folder
}

} // namespace
} // namespace tonvik
