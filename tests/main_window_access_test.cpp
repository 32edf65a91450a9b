// The main window read by ear: every control named as its label says, the
// hidden page out of reach, sliders in their units, the outcome of each
// answer and the end of an exercise spoken without moving the focus, and the
// drill under way shown on the window.
#include "app/Announcer.h"
#include "stats/StatsForm.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/WindowFixture.h"

#include <QAccessibleValueInterface>
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextEdit>

namespace tonvik {
namespace {

class AccessibleWindow : public CallsignWindowFixture {
protected:
    QString NameOf(const char* control) const {
        QAccessibleInterface* iface =
            QAccessible::queryAccessibleInterface(Control<QWidget>(control));
        return iface != nullptr ? iface->text(QAccessible::Name) : QString();
    }
    // What the screen reader was told to speak, in order.
    QStringList Spoken() const {
        QStringList spoken;
        const QObject* speaker = Window->findChild<Announcer*>();
        for (const auto& entry : Events.Events)
            if (entry.Type == QAccessible::ObjectShow && entry.Object == speaker)
                spoken << entry.Name;
        return spoken;
    }
    void TypeKeys(const char* control, const QString& text) {
        for (QChar typed : text)
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent key(type, typed.toUpper().unicode(), Qt::NoModifier, QString(typed));
                QCoreApplication::sendEvent(Control<QWidget>(control), &key);
            }
    }

    AccessibleEventRecorder Events;
};

TEST_F(AccessibleWindow, EveryControlIsNamedAsItsLabelSays) {
    struct Case {
        const char* Control;
        QString Name;
    };
    for (const Case& c : {Case{"CallEdit", "Ваш позывной"}, Case{"Input", "Принятый позывной"},
                          Case{"VolTrackBar", "Громкость"}, Case{"SpeedTrackBar", "Скорость, wpm"},
                          Case{"PitchTrackBar", "Тон, Гц"}, Case{"LastGrid", "Таблица результатов"},
                          Case{"OutWin", "Ошибки"}})
        EXPECT_EQ(NameOf(c.Control), c.Name) << c.Control;
    EXPECT_EQ(UnnamedControls(Window.get()), QStringList()) << "on the callsign page";
    ShowPage(TextPage);
    EXPECT_EQ(UnnamedControls(Window.get()), QStringList()) << "on the text page";
    // The course page with boxes full enough to show their scroll bars.
    ShowPage(CoursePageIndex);
    for (QPlainTextEdit* box : Window->findChildren<QPlainTextEdit*>())
        if (box->isVisible())
            box->setPlainText(QString("KMKMK ").repeated(400).replace(" K", "\nK"));
    for (QTextEdit* box : Window->findChildren<QTextEdit*>())
        if (box->isVisible())
            box->setPlainText(QString("KMKMK").repeated(400) + QString("\nM").repeated(40));
    QApplication::processEvents();
    EXPECT_EQ(UnnamedControls(Window.get()), QStringList()) << "on the course page";
    ShowPage(CallsignPage);
    Start();
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABD");
    EXPECT_EQ(UnnamedControls(Window.get()), QStringList()) << "during an exercise";
}

TEST_F(AccessibleWindow, TheHiddenPageIsOutOfReach) {
    const QStringList names = ReachableNames(Window.get());
    EXPECT_FALSE(names.contains("TabSheet1")) << names.join(", ").toStdString();
    QAccessibleInterface* tabs =
        QAccessible::queryAccessibleInterface(Control<QTabWidget>("MainPage")->tabBar());
    ASSERT_NE(tabs, nullptr);
    QStringList pageTabs;
    for (int n = 0; n < tabs->childCount(); ++n)
        if (tabs->child(n)->role() == QAccessible::PageTab)
            pageTabs << tabs->child(n)->text(QAccessible::Name);
    EXPECT_EQ(pageTabs, QStringList({"Прием позывных", "Прием текстов и радиограмм", "Курс"}));
}

TEST_F(AccessibleWindow, SlidersReadInTheUnitsTheirLabelsShow) {
    struct Case {
        const char* Control;
        int Position;
        int Value;
        QString Text;
    };
    for (const Case& c :
         {Case{"PitchTrackBar", 8, 800, "800 Гц"}, Case{"PitchTrackBar", 16, 1600, "1600 Гц"},
          Case{"SpeedTrackBar", 42, 42, "42 wpm"}, Case{"VolTrackBar", 0, 8, "8 из 8"},
          Case{"VolTrackBar", 8, 0, "0 из 8"}, Case{"VolTrackBar", 3, 5, "5 из 8"}}) {
        Control<QSlider>(c.Control)->setValue(c.Position);
        QAccessibleInterface* iface =
            QAccessible::queryAccessibleInterface(Control<QWidget>(c.Control));
        ASSERT_NE(iface, nullptr);
        ASSERT_NE(iface->valueInterface(), nullptr) << c.Control;
        EXPECT_EQ(iface->valueInterface()->currentValue().toInt(), c.Value) << c.Control;
        EXPECT_EQ(iface->text(QAccessible::Value), c.Text) << c.Control;
    }
    // Set through the interface, as a screen reader's keys do.
    QAccessible::queryAccessibleInterface(Control<QWidget>("PitchTrackBar"))
        ->valueInterface()
        ->setCurrentValue(1200);
    EXPECT_EQ(Control<QSlider>("PitchTrackBar")->value(), 12);
}

TEST_F(AccessibleWindow, EveryActionSaysItsKey) {
    struct Case {
        const char* Control;
        QString Key;
    };
    for (const Case& c : {Case{"StartBut", "Enter"}, Case{"StopBut", "Esc"}, Case{"TestBut", "F3"},
                          Case{"Input", "F6"}, Case{"QBut", "F1"}, Case{"StatsBut", "F2"}}) {
        QAccessibleInterface* iface =
            QAccessible::queryAccessibleInterface(Control<QWidget>(c.Control));
        EXPECT_TRUE(iface->text(QAccessible::Description).contains(c.Key)) << c.Control;
    }
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    QTest::keyClick(Window.get(), Qt::Key_F2);
    ASSERT_NE(Window->StatsForm(), nullptr);
    EXPECT_TRUE(Window->StatsForm()->isVisible());
}

TEST_F(AccessibleWindow, EachAnswerIsSpokenWithoutMovingTheFocus) {
    Start();
    ASSERT_TRUE(KeyToPause());
    EXPECT_EQ(Window->focusWidget(), Control<QWidget>("Input"));
    Answer("UA3ABC");
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABD");
    ASSERT_TRUE(KeyToPause());
    Answer("");
    EXPECT_EQ(Window->focusWidget(), Control<QWidget>("Input"));
    Stop();
    EXPECT_EQ(Spoken(),
              QStringList({"Верно. Скорость 32", "Ошибка: UA3ABC, принято UA3ABD. Скорость 31",
                           "Ошибка: UA3ABC, ничего не принято. Скорость 30",
                           "Прием закончен. Всего очков: 836"}));
    // Spoken, not shown: the window looks as before.
    EXPECT_EQ(Text("StatusLbl"), "");
}

TEST_F(AccessibleWindow, ADrillIsShownOnTheWindowWithItsPoints) {
    ASSERT_TRUE(Window->StartDrill(CallsignDrill::MissedCalls, {"UA3ABC", "UA3ABC"}));
    EXPECT_EQ(Text("StatusLbl"), "Повтор ошибок: 0 очков");
    EXPECT_TRUE(Control<QWidget>("StatusLbl")->isVisible());
    ASSERT_TRUE(KeyToPause());
    Answer("UA3ABC");
    EXPECT_EQ(Text("StatusLbl"), "Повтор ошибок: 540 очков");
    ASSERT_TRUE(KeyToPause());
    Stop();
    EXPECT_EQ(Text("StatusLbl"), "Повтор ошибок окончен: 540 очков");
    EXPECT_EQ(Spoken().back(), "Повтор ошибок окончен. Всего очков: 540");
    // The next plain exercise clears it.
    Start();
    EXPECT_EQ(Text("StatusLbl"), "");
    Stop();
}

TEST_F(AccessibleWindow, TheWeakCharactersDrillIsNamedToo) {
    ASSERT_TRUE(Window->StartDrill(CallsignDrill::WeakCharacters, {"UA3ABC"}));
    EXPECT_EQ(Text("StatusLbl"), "Слабые знаки: 0 очков");
    Stop();
    EXPECT_EQ(Text("StatusLbl"), "Слабые знаки окончен: 0 очков");
}

TEST_F(AccessibleWindow, ASoundDeviceThatFailsIsSpokenToo) {
    Device.NextOpenResult = MmNoDriver;
    Start();
    ASSERT_FALSE(Spoken().isEmpty());
    EXPECT_TRUE(Spoken().contains(Messages.Messages.at(0).Text.replace("\r\n", ". ")))
        << Spoken().join(" | ").toStdString();
    Stop();
}

} // namespace
} // namespace tonvik
