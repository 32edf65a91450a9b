#pragma once

#include "air/BandConditions.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

namespace tonvik {

// «Условия приёма»: a preset, each of its values, and «Прослушать», which
// hands the values shown to the listen handler.
class TAirForm : public QDialog {
    Q_OBJECT

public:
    explicit TAirForm(QWidget* parent = nullptr);

    void SetConditions(const BandConditions& conditions);
    // The values as the controls show them.
    BandConditions Conditions() const;
    void SetListenHandler(std::function<void(const BandConditions&)> handler) {
        Listen = std::move(handler);
    }
    // Why «Прослушать» could not play, shown in the window; empty hides it.
    void ShowListenProblem(const QString& text);

    // «хороший день», … or «свои условия»: the main window's words for them.
    static QString Describe(const BandConditions& conditions);

private:
    void PresetChosen(int index);
    void ValueChanged();

    QComboBox* Preset = nullptr;
    QCheckBox* Noise = nullptr;
    QSpinBox* Snr = nullptr;
    QSpinBox* Bandwidth = nullptr;
    QDoubleSpinBox* Qsb = nullptr;
    QCheckBox* Flutter = nullptr;
    QDoubleSpinBox* FlutterRate = nullptr;
    QSpinBox* Qrn = nullptr;
    QSpinBox* Qrm = nullptr;
    QSpinBox* Callers = nullptr;
    QLabel* ListenProblem = nullptr;
    bool Showing = false; // the controls are being set from values
    std::function<void(const BandConditions&)> Listen;
};

} // namespace tonvik
