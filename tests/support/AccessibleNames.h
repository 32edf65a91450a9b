#pragma once

// What a screen reader finds in a window, read through Qt's accessibility
// interface as the AT-SPI bridge reads it.
#include <QAccessible>
#include <QString>
#include <QStringList>

#include <ostream>
#include <vector>

class QWidget;

// Test failures show Qt's strings as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tonvik {

// Every control of window a screen reader presents (buttons, fields,
// sliders, lists, tables, tabs, scroll bars...) that is showing and has no
// accessible name, as "objectName (role)". Empty when every one is named.
QStringList UnnamedControls(QWidget* window);

// The accessible names of the controls under window that a screen reader can
// reach, shown or not: what it may read out.
QStringList ReachableNames(QWidget* window);

// Accessibility events, recorded by an installed update handler for as long
// as the recorder lives.
class AccessibleEventRecorder {
public:
    struct Entry {
        QAccessible::Event Type;
        QObject* Object;
        QString Name; // the object's accessible name when the event came
    };
    AccessibleEventRecorder();
    ~AccessibleEventRecorder();
    AccessibleEventRecorder(const AccessibleEventRecorder&) = delete;
    AccessibleEventRecorder& operator=(const AccessibleEventRecorder&) = delete;

    // Names carried by events of the given type, in order.
    QStringList NamesOf(QAccessible::Event type) const;

    std::vector<Entry> Events;
};

} // namespace tonvik
