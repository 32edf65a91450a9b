#include "app/TabBarAccess.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QPointer>
#include <QTabBar>

#include <map>

namespace tonvik {

namespace {

// One tab, pressed to show its page.
class TabAccess : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccess(QTabBar* bar, int index, QAccessibleInterface* parent)
        : Bar(bar), Index(index), Parent(parent) {}

    bool isValid() const override { return Bar && Index < Bar->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return Parent->window(); }
    QAccessibleInterface* parent() const override { return Parent; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override {
        if (!isValid())
            return {};
        if (kind == QAccessible::Name)
            return QString(Bar->tabText(Index)).remove(QLatin1Char('&'));
        if (kind == QAccessible::Description)
            return Bar->tabToolTip(Index);
        return {};
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect local = Bar->tabRect(Index);
        return QRect(Bar->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.focusable = true;
        state.selectable = true;
        state.selected = Bar->currentIndex() == Index;
        state.focused = state.selected && Bar->hasFocus();
        state.disabled = !Bar->isTabEnabled(Index);
        state.invisible = !Bar->isVisible() || !Bar->isTabVisible(Index);
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid() && Bar->isTabEnabled(Index))
            Bar->setCurrentIndex(Index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTabBar> Bar;
    int Index;
    QAccessibleInterface* Parent;
};

class VisibleTabBarAccess : public QAccessibleWidget {
public:
    explicit VisibleTabBarAccess(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}
    ~VisibleTabBarAccess() override {
        for (const auto& [index, id] : Tabs)
            QAccessible::deleteAccessibleInterface(id);
    }
    VisibleTabBarAccess(const VisibleTabBarAccess&) = delete;
    VisibleTabBarAccess& operator=(const VisibleTabBarAccess&) = delete;

    int childCount() const override { return static_cast<int>(Shown().size()); }
    QAccessibleInterface* child(int n) const override {
        const std::vector<int> shown = Shown();
        // The tab bar's own events count every tab: past the shown ones, n is
        // such an index, and it names a shown tab after a hidden one.
        int index = n;
        if (n >= 0 && n < static_cast<int>(shown.size()))
            index = shown[static_cast<std::size_t>(n)];
        else if (n < 0 || n >= Bar()->count() || !Bar()->isTabVisible(n))
            return nullptr;
        auto found = Tabs.find(index);
        if (found == Tabs.end())
            found = Tabs.emplace(index, QAccessible::registerAccessibleInterface(new TabAccess(
                                            Bar(), index, const_cast<VisibleTabBarAccess*>(this))))
                        .first;
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int n = 0; n < childCount(); ++n)
            if (this->child(n) == child)
                return n;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int n = 0; n < childCount(); ++n)
            if (child(n)->rect().contains(x, y))
                return child(n);
        return nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && Bar()->currentIndex() >= 0)
            return QString(Bar()->tabText(Bar()->currentIndex())).remove(QLatin1Char('&'));
        return QAccessibleWidget::text(kind);
    }

private:
    QTabBar* Bar() const { return static_cast<QTabBar*>(object()); }
    std::vector<int> Shown() const {
        std::vector<int> shown;
        for (int index = 0; index < Bar()->count(); ++index)
            if (Bar()->isTabVisible(index))
                shown.push_back(index);
        return shown;
    }

    mutable std::map<int, QAccessible::Id> Tabs;
};

} // namespace

QAccessibleInterface* VisibleTabsAccess(QTabBar* bar) {
    return new VisibleTabBarAccess(bar);
}

} // namespace tonvik
