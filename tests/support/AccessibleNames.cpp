#include "tests/support/AccessibleNames.h"

#include <QAccessibleInterface>
#include <QWidget>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <functional>

namespace tonvik {

namespace {

// Roles of what the user acts on or reads as a whole; frames, panes, labels
// and the cells of a table are read through these.
bool IsControl(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::ScrollBar:
    case QAccessible::EditableText:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::PageTab:
    case QAccessible::PageTabList:
    case QAccessible::ProgressBar:
    case QAccessible::Dial:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Chart:
    case QAccessible::Link:
    case QAccessible::Grouping:
        return true;
    default:
        return false;
    }
}

bool HasCells(QAccessible::Role role) {
    return role == QAccessible::Table || role == QAccessible::List || role == QAccessible::Tree;
}

QString Describe(QAccessibleInterface* iface) {
    const QObject* object = iface->object();
    QString name = object != nullptr ? object->objectName() : QString();
    if (name.isEmpty() && object != nullptr)
        name = QString::fromLatin1(object->metaObject()->className());
    return QStringLiteral("%1 (role 0x%2)").arg(name).arg(int(iface->role()), 0, 16);
}

// Walks the tree under iface, skipping what visit() declines.
void Walk(QAccessibleInterface* iface, const std::function<bool(QAccessibleInterface*)>& visit) {
    if (iface == nullptr || !visit(iface) || HasCells(iface->role()))
        return;
    for (int n = 0; n < iface->childCount(); ++n)
        Walk(iface->child(n), visit);
}

} // namespace

QStringList UnnamedControls(QWidget* window) {
    QStringList unnamed;
    Walk(QAccessible::queryAccessibleInterface(window), [&](QAccessibleInterface* iface) {
        if (iface->state().invisible)
            return false;
        if (IsControl(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << Describe(iface);
        return true;
    });
    return unnamed;
}

QStringList ReachableNames(QWidget* window) {
    QStringList names;
    Walk(QAccessible::queryAccessibleInterface(window), [&](QAccessibleInterface* iface) {
        if (IsControl(iface->role()))
            names << iface->text(QAccessible::Name);
        return true;
    });
    return names;
}

namespace {
AccessibleEventRecorder* Current = nullptr;

void Record(QAccessibleEvent* event) {
    if (Current == nullptr)
        return;
    QAccessibleInterface* iface = event->accessibleInterface();
    Current->Events.push_back({event->type(), event->object(),
                               iface != nullptr ? iface->text(QAccessible::Name) : QString()});
}
} // namespace

AccessibleEventRecorder::AccessibleEventRecorder() {
    Current = this;
    QAccessible::installUpdateHandler(Record);
    // As a screen reader being there makes it: Qt reports events only then.
    if (QPlatformAccessibility* platform =
            QGuiApplicationPrivate::platformIntegration()->accessibility())
        platform->setActive(true);
}

AccessibleEventRecorder::~AccessibleEventRecorder() {
    if (QPlatformAccessibility* platform =
            QGuiApplicationPrivate::platformIntegration()->accessibility())
        platform->setActive(false);
    QAccessible::installUpdateHandler(nullptr);
    Current = nullptr;
}

QStringList AccessibleEventRecorder::NamesOf(QAccessible::Event type) const {
    QStringList names;
    for (const Entry& entry : Events)
        if (entry.Type == type)
            names << entry.Name;
    return names;
}

} // namespace tonvik
