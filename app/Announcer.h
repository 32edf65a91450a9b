#pragma once

#include <QWidget>

namespace tonvik {

// Speaks short news to a screen reader without taking the focus: the outcome
// of an answer, the end of an exercise, a failure while one runs.
//
// It is a widget of one transparent pixel with the accessible role of a
// notification. Each message becomes its accessible name, and the widget is
// announced as shown again: Orca speaks a notification when it is shown
// (AT-SPI "object:state-changed:showing"), whatever has the focus; a name
// change alone is spoken only for the focused control. An alert event is sent
// as well, which Windows and macOS screen readers speak.
class Announcer : public QWidget {
    Q_OBJECT

public:
    explicit Announcer(QWidget* parent);

    void Announce(const QString& text);
    // What was said last.
    QString Said() const { return accessibleName(); }
};

// Lets Qt's accessibility build the interfaces of this program's own kinds
// of control: the announcer, sliders that report their value in the unit
// their labels show, and tab bars that show only their visible tabs. Call it
// before the first slider is made (an interface is made once per control);
// safe to call more than once.
void InstallAccessibility();

// A slider reports value * scale (reversed first when reversed is set: the
// leftmost position is the highest) followed by unit, e.g. «800 Гц».
void SetSliderValueUnit(QWidget* slider, int scale, const QString& unit, bool reversed = false);

} // namespace tonvik
