// The band on the main window: «Эфир», the words beside it while a condition
// is on, the window «Условия приёма» and the kept choice.
#include "app/MainForm.h"

#include "air/AirForm.h"
#include "air/AirRandom.h"
#include "air/BandPreview.h"
#include "air/BandSettingsFile.h"
#include "air/PreviewPlayer.h"
#include "callsign/CallsignList.h"
#include "text/WindowPlacement.h"
#include "ui_MainForm.h"

#include <QLabel>
#include <QShortcut>
#include <QToolButton>

#include <chrono>

namespace tonvik {
namespace {

// Callsigns for the other stations, from the list the exercise draws from.
std::vector<std::string> StationCalls(const std::filesystem::path& list) {
    const CallsignList calls = CallsignList::Load(list);
    std::vector<std::string> out;
    for (int i = 0; i < calls.Count() && out.size() < 2000; ++i) {
        const std::string_view line = calls.Line(i);
        const std::string call(line.substr(0, line.find(',')));
        if (!call.empty() && call.size() <= 12)
            out.push_back(call);
    }
    return out;
}

// Callsigns for the preview to key: more than five seconds hold at any speed.
std::vector<std::string> PreviewCalls(const std::vector<std::string>& list, uint64_t seed) {
    static const std::vector<std::string> Fallback{"UA3ABC", "DL1XYZ", "RV9CX"};
    const std::vector<std::string>& from = list.empty() ? Fallback : list;
    AirRandom draw(seed);
    std::vector<std::string> calls;
    for (int n = 0; n < 8; ++n)
        calls.push_back(from[static_cast<std::size_t>(draw.Below(static_cast<int>(from.size())))]);
    return calls;
}

// A file in our place that is not ours goes to the first free name of
// band.txt.bak, band.txt.bak.1, ...: an earlier one set aside is never
// written over. False when it could not be moved.
bool SetAside(const std::filesystem::path& file) {
    for (int n = 0; n < 1000; ++n) {
        std::filesystem::path aside = file.string() + ".bak";
        if (n > 0)
            aside += "." + std::to_string(n);
        std::error_code error;
        if (std::filesystem::symlink_status(aside, error).type() !=
            std::filesystem::file_type::not_found)
            continue;
        std::filesystem::rename(file, aside, error);
        return !error;
    }
    return false;
}

} // namespace

// Beside «Статистика» on the toolbar, so that no control of the window moves.
void TMorseMain::SetUpAir(WaveOut& device) {
    Listening = std::make_unique<PreviewPlayer>(device);
    AirBut = new QToolButton(Ui->ControlPanel);
    AirBut->setObjectName("AirBut");
    AirBut->setGeometry(410, 1, 70, 23);
    AirBut->setText("Эфир");
    AirBut->setAccessibleName("Эфир: условия приёма");
    AirBut->setAutoRaise(true);
    AirBut->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    AirBut->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    AirLabel = new QLabel(Ui->ControlPanel);
    AirLabel->setObjectName("AirLbl");
    AirLabel->setGeometry(484, 4, 128, 17);
    AirLabel->setStyleSheet("color: #a00000;");
    AirLabel->hide();
    connect(AirBut, &QToolButton::clicked, this, &TMorseMain::AirButClick);
    AirBut->setAccessibleDescription("Шум, замирания, помехи и другие станции. Клавиша F4");
    connect(new QShortcut(QKeySequence(Qt::Key_F4), this), &QShortcut::activated, this,
            &TMorseMain::AirButClick);
    AirBut->setEnabled(Control.Controls().StartEnabled);
}

void TMorseMain::SetBandSettingsFile(const std::filesystem::path& file) {
    AirFile = file;
    const LoadedBand loaded = LoadBandSettings(file);
    if (!loaded.Problem.empty() && !SetAside(file))
        AirFile.clear(); // neither moved nor ours: the choice is not kept over it
    ApplyBand(loaded.Conditions);
}

void TMorseMain::SetBandDevice(WaveOut& device) {
    Control.Air().SetDevice(device, BandNotifier);
}

void TMorseMain::ApplyBand(const BandConditions& conditions) {
    Control.Air().Choose(conditions, conditions.Qrm > 0 || conditions.CallersPercent > 0
                                         ? StationCalls(Trainer.ListFile())
                                         : std::vector<std::string>{});
    AirLabel->setText("Эфир: " + TAirForm::Describe(conditions));
    AirLabel->setAccessibleName(AirLabel->text());
    AirLabel->setVisible(conditions.AnyOn());
}

void TMorseMain::AirButClick() {
    if (!Control.Controls().StartEnabled)
        return;
    const bool first = !AirForm;
    if (first) {
        AirForm = std::make_unique<TAirForm>(this);
        AirForm->SetListenHandler([this](const BandConditions& c) { ListenToBand(c); });
    }
    AirForm->SetConditions(Control.Air().Chosen());
    if (first)
        CentreOnWindow(*AirForm, *this);
    AirForm->ShowListenProblem({});
    const int answer = AirForm->exec();
    Listening->Stop();
    if (answer != QDialog::Accepted)
        return;
    const BandConditions chosen = AirForm->Conditions();
    ApplyBand(chosen);
    if (!AirFile.empty()) {
        if (const std::string error = SaveBandSettings(AirFile, chosen); !error.empty())
            ShowWarning("Условия приёма не сохранены: " + error, "Эфир");
    }
}

// Five seconds of callsigns through exactly the band the dialog shows, at
// the window's speed, pitch and volume, through the window's own device.
// Pressed again, it starts over.
void TMorseMain::ListenToBand(const BandConditions& c) {
    if (Control.Phase() != ExercisePhase::Idle || LessonRunning() || RecognitionRunning())
        return;
    PreviewSetup setup;
    setup.Keying = Control.CurrentKeyerSettings();
    setup.VolumeFactor = Control.VolumeFactor();
    setup.Seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    setup.StationCalls = StationCalls(Trainer.ListFile());
    setup.Calls = PreviewCalls(setup.StationCalls, setup.Seed);
    const std::string problem = Listening->Play(RenderBandPreview(c, setup));
    AirForm->ShowListenProblem(QString::fromStdString(problem).replace("\r\n", " "));
}

} // namespace tonvik
