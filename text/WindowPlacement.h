#pragma once

class QWidget;

namespace tonvik {

// Moves a dialog so that it stands centred on window, already at its first
// showing: the dialog's frame is not known before it is first shown, so the
// window's own frame stands in for it (both get the same decoration).
void CentreOnWindow(QWidget& dialog, const QWidget& window);

} // namespace tonvik
