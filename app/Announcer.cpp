#include "app/Announcer.h"

#include "app/TabBarAccess.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QSlider>
#include <QTabBar>

#include <algorithm>

namespace tonvik {

namespace {

const char* const ScaleProperty = "tonvikValueScale";
const char* const UnitProperty = "tonvikValueUnit";
const char* const ReversedProperty = "tonvikValueReversed";

// A slider whose value is read in the unit beside it, not in steps.
class ScaledSliderAccess : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ScaledSliderAccess(QSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return QStringLiteral("%1 %2").arg(Shown(Slider()->value())).arg(Unit()).trimmed();
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return Shown(Slider()->value()); }
    void setCurrentValue(const QVariant& value) override {
        const int step = value.toInt() / Scale();
        Slider()->setValue(Reversed() ? Slider()->maximum() + Slider()->minimum() - step : step);
    }
    QVariant maximumValue() const override { return Slider()->maximum() * Scale(); }
    QVariant minimumValue() const override { return Slider()->minimum() * Scale(); }
    QVariant minimumStepSize() const override { return Slider()->singleStep() * Scale(); }

private:
    QSlider* Slider() const { return static_cast<QSlider*>(object()); }
    int Scale() const { return std::max(1, object()->property(ScaleProperty).toInt()); }
    QString Unit() const { return object()->property(UnitProperty).toString(); }
    bool Reversed() const { return object()->property(ReversedProperty).toBool(); }
    int Shown(int position) const {
        const int step =
            Reversed() ? Slider()->maximum() + Slider()->minimum() - position : position;
        return step * Scale();
    }
};

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
    Q_UNUSED(className);
    if (auto* announcer = qobject_cast<Announcer*>(object))
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    if (auto* bar = qobject_cast<QTabBar*>(object))
        return VisibleTabsAccess(bar);
    // Every slider: one made before its unit is set keeps this interface.
    if (auto* slider = qobject_cast<QSlider*>(object))
        return new ScaledSliderAccess(slider);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    InstallAccessibility();
    setObjectName(QStringLiteral("Announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 1, 1);
    // Silent until it has something to say.
    hide();
}

void Announcer::Announce(const QString& text) {
    // Said again, the same words are news again.
    setAccessibleName(QString());
    setAccessibleName(text);
    if (isHidden()) {
        show(); // announced as shown by Qt itself
    } else {
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void SetSliderValueUnit(QWidget* slider, int scale, const QString& unit, bool reversed) {
    InstallAccessibility();
    slider->setProperty(ScaleProperty, scale);
    slider->setProperty(UnitProperty, unit);
    slider->setProperty(ReversedProperty, reversed);
}

} // namespace tonvik
