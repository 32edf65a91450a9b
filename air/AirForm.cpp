#include "air/AirForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <array>

namespace tonvik {
namespace {

struct PresetText {
    BandPreset Preset;
    const char* Name; // in the list
    const char* Said; // on the main window, after «Эфир: »
};
constexpr std::array<PresetText, 5> Presets{{
    {BandPreset::Clean, "Чистый эфир", "чистый"},
    {BandPreset::Good, "Хороший день", "хороший день"},
    {BandPreset::Average, "Средний день", "средний день"},
    {BandPreset::Poor, "Тяжёлый день", "тяжёлый день"},
    {BandPreset::Contest, "Контест", "контест"},
}};
constexpr int CustomIndex = static_cast<int>(Presets.size());

QSpinBox* Spin(int min, int max, const QString& none) {
    auto* box = new QSpinBox;
    box->setRange(min, max);
    box->setSpecialValueText(none);
    return box;
}

} // namespace

TAirForm::TAirForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Условия приёма");
    Preset = new QComboBox;
    for (const PresetText& p : Presets)
        Preset->addItem(QString::fromUtf8(p.Name));
    Preset->addItem("Свои условия");
    Noise = new QCheckBox("&Шум");
    Snr = Spin(static_cast<int>(MinSnrDb), static_cast<int>(MaxSnrDb), "");
    Snr->setSuffix(" дБ");
    Bandwidth = Spin(MinBandwidthHz, MaxBandwidthHz, "");
    Bandwidth->setSingleStep(50);
    Bandwidth->setSuffix(" Гц");
    Qsb = new QDoubleSpinBox;
    Qsb->setRange(0, MaxQsbHz);
    Qsb->setSingleStep(0.05);
    Qsb->setDecimals(2);
    Qsb->setSpecialValueText("нет");
    Qsb->setSuffix(" Гц");
    Flutter = new QCheckBox("&Флаттер (быстрые замирания)");
    FlutterRate = new QDoubleSpinBox;
    FlutterRate->setRange(MinFlutterHz, MaxFlutterHz);
    FlutterRate->setDecimals(1);
    FlutterRate->setSuffix(" Гц");
    Qrn = Spin(0, MaxQrn, "нет");
    Qrm = Spin(0, MaxQrm, "нет");
    Callers = Spin(0, 100, "нет");
    Callers->setSuffix(" %");

    auto* form = new QFormLayout;
    const auto row = [form](const char* label, QWidget* field, const char* accessible) {
        auto* text = new QLabel(QString::fromUtf8(label));
        text->setBuddy(field);
        field->setAccessibleName(QString::fromUtf8(accessible));
        form->addRow(text, field);
    };
    row("&Набор условий:", Preset, "Набор условий");
    form->addRow(Noise);
    Noise->setAccessibleName("Шум");
    row("&Сигнал/шум:", Snr, "Сигнал/шум, дБ");
    row("&Полоса приёмника:", Bandwidth, "Полоса приёмника, Гц");
    row("&QSB (замирания):", Qsb, "Частота замираний QSB, Гц");
    form->addRow(Flutter);
    Flutter->setAccessibleName("Флаттер");
    row("&Частота флаттера:", FlutterRate, "Частота флаттера, Гц");
    row("QR&N (треск):", Qrn, "Атмосферные разряды QRN, уровень");
    row("QR&M (станций):", Qrm, "Другие станции QRM, число");
    row("&Второй вызывающий:", Callers, "Второй вызывающий, процент");

    auto* listen = new QPushButton("П&рослушать");
    listen->setAccessibleName("Прослушать пять секунд");
    ListenProblem = new QLabel;
    ListenProblem->setObjectName("ListenProblem");
    ListenProblem->setWordWrap(true);
    ListenProblem->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->addButton(listen, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(
        new QLabel("Сигнал/шум — мощность сигнала при нажатом ключе\nк мощности шума в полосе "
                   "приёмника."));
    layout->addWidget(ListenProblem);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(listen, &QPushButton::clicked, this, [this] {
        if (Listen)
            Listen(Conditions());
    });
    connect(Preset, &QComboBox::activated, this, &TAirForm::PresetChosen);
    for (QSpinBox* box : {Snr, Bandwidth, Qrn, Qrm, Callers})
        connect(box, &QSpinBox::valueChanged, this, &TAirForm::ValueChanged);
    for (QDoubleSpinBox* box : {Qsb, FlutterRate})
        connect(box, &QDoubleSpinBox::valueChanged, this, &TAirForm::ValueChanged);
    for (QCheckBox* box : {Noise, Flutter})
        connect(box, &QCheckBox::toggled, this, &TAirForm::ValueChanged);
    SetConditions(BandConditions{});
}

void TAirForm::SetConditions(const BandConditions& c) {
    Showing = true;
    Noise->setChecked(c.Noise);
    Snr->setValue(static_cast<int>(c.SnrDb));
    Snr->setEnabled(c.Noise);
    Bandwidth->setValue(c.BandwidthHz);
    Qsb->setValue(c.QsbHz);
    Flutter->setChecked(c.FlutterHz > 0);
    FlutterRate->setValue(c.FlutterHz > 0 ? c.FlutterHz : DefaultFlutterHz);
    FlutterRate->setEnabled(c.FlutterHz > 0);
    Qrn->setValue(c.Qrn);
    Qrm->setValue(c.Qrm);
    Callers->setValue(c.CallersPercent);
    const auto preset = MatchingPreset(Conditions());
    Preset->setCurrentIndex(preset ? static_cast<int>(*preset) : CustomIndex);
    Showing = false;
}

BandConditions TAirForm::Conditions() const {
    BandConditions c;
    c.Noise = Noise->isChecked();
    c.SnrDb = Snr->value();
    c.BandwidthHz = Bandwidth->value();
    c.QsbHz = Qsb->value();
    c.FlutterHz = Flutter->isChecked() ? FlutterRate->value() : 0;
    c.Qrn = Qrn->value();
    c.Qrm = Qrm->value();
    c.CallersPercent = Callers->value();
    return ClampConditions(c);
}

void TAirForm::ShowListenProblem(const QString& text) {
    ListenProblem->setText(text);
    ListenProblem->setAccessibleName(text);
    ListenProblem->setVisible(!text.isEmpty());
}

void TAirForm::PresetChosen(int index) {
    if (index >= 0 && index < CustomIndex)
        SetConditions(PresetConditions(Presets[static_cast<std::size_t>(index)].Preset));
}

void TAirForm::ValueChanged() {
    if (Showing)
        return;
    SetConditions(Conditions());
}

QString TAirForm::Describe(const BandConditions& conditions) {
    if (const auto preset = MatchingPreset(conditions))
        return QString::fromUtf8(Presets[static_cast<std::size_t>(*preset)].Said);
    return "свои условия";
}

} // namespace tonvik
