#include "text/WindowPlacement.h"

#include <QWidget>

namespace tonvik {

void CentreOnWindow(QWidget& dialog, const QWidget& window) {
    const QPoint frameOffset = window.geometry().topLeft() - window.frameGeometry().topLeft();
    const QPoint clientTopLeft = window.geometry().center() - dialog.rect().center();
    dialog.move(clientTopLeft - frameOffset);
}

} // namespace tonvik
