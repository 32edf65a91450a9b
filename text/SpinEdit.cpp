#include "text/SpinEdit.h"

#include <QLineEdit>

#include <algorithm>

namespace tonvik {

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int SpinEdit::CurrentValue() const {
    bool ok = false;
    const int number = lineEdit()->text().trimmed().toInt(&ok);
    return ok ? number : minimum();
}

QValidator::State SpinEdit::validate(QString& input, int&) const {
    const QString text = input.trimmed();
    if (text.isEmpty() || text == QLatin1String("-") || text == QLatin1String("+"))
        return QValidator::Intermediate;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok)
        return QValidator::Invalid; // letters, or more than an int holds
    return number >= minimum() && number <= maximum() ? QValidator::Acceptable
                                                      : QValidator::Intermediate;
}

void SpinEdit::fixup(QString& input) const {
    bool ok = false;
    const int number = input.trimmed().toInt(&ok);
    input = QString::number(ok ? std::clamp(number, minimum(), maximum()) : minimum());
}

} // namespace tonvik
