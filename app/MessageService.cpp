#include "app/MessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tonvik {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Messages may break lines with CR LF or with a bare CR; a label breaks on LF.
QString DisplayText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

MessageAnswer ModalMessageService::ShowMessage(const QString& text, const QString& caption,
                                               MessageButtons buttons, MessageIcon icon) {
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr)
        parent = QApplication::activeWindow();
    const auto standard = buttons == MessageButtons::OkCancel
                              ? QMessageBox::Ok | QMessageBox::Cancel
                              : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(BoxIcon(icon), caption, DisplayText(text), standard, parent);
    box.setTextFormat(Qt::PlainText);
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        cancel->setText(QStringLiteral("Отмена"));
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void ShowErrorBox(MessageService& messages, const QString& text) {
    messages.ShowMessage(text, QStringLiteral("Tonvik"), MessageButtons::Ok, MessageIcon::Critical);
}

} // namespace tonvik
