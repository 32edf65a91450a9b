#pragma once

class QAccessibleInterface;
class QTabBar;

namespace tonvik {

// The accessible interface of a tab bar that shows a screen reader only the
// tabs a sighted user sees: a hidden tab is not there under any name.
QAccessibleInterface* VisibleTabsAccess(QTabBar* bar);

} // namespace tonvik
