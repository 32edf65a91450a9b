#pragma once

#include <QSpinBox>

namespace tonvik {

// A spin box whose value is what its text says. Any whole number may be
// typed, also outside the range; text that is not a number reads as the
// minimum; the value is brought to the nearer bound when the field loses the
// focus.
class SpinEdit : public QSpinBox {
    Q_OBJECT

public:
    explicit SpinEdit(QWidget* parent = nullptr);

    // The number the field holds at this moment, as typed.
    int CurrentValue() const;

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

} // namespace tonvik
