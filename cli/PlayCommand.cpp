#include "cli/PlayCommand.h"

#include "callsign/CallsignSession.h"

#include "air/Band.h"
#include "cli/BandOptions.h"
#include "cli/ExportCommand.h"
#include "cli/Interrupt.h"
#include "course/Farnsworth.h"
#include "keying/MmErrMsg.h"
#include "keying/QtWaveNotifier.h"
#include "keying/SoundOutput.h"
#include "keying/WavePump.h"
#include "text/GenCodeUnit.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>

#include <memory>
#include <optional>
#include <ostream>
#include <unistd.h>

namespace tonvik {
namespace {

// The pump's host for the terminal: no window, no answers. In callsign mode
// every pause is followed at once by the next callsign.
class Player : public PumpHost {
public:
    Player(const std::string& playText, const KeyerSettings& settings, int volume, int latencyMs,
           int farnsworthWpm, std::ostream& err, std::unique_ptr<Band> air)
        : Settings(settings), Err(err), Device(CreateSoundOutput(latencyMs)), Air(std::move(air)) {
        if (farnsworthWpm > 0)
            Spacing.emplace(settings.DotSamples, farnsworthWpm);
        Voice.BuildSineTable(volume);
        State.PlayText = playText;
        State.PlayPos = 1;
        State.CallStartPos = 1;
    }

    int Run();

    int ActivePage() const override { return Settings.ActivePage; }
    KeyerSettings CurrentKeyerSettings() const override { return Settings; }
    CharRendering PlanChar(Keyer& keyer, unsigned char ch) override {
        return Spacing ? PlanFarnsworthChar(keyer, *Spacing, ch, Settings)
                       : keyer.PlanChar(ch, Settings);
    }
    void PauseForAnswer() override {
        State.StopRequested = true;
        State.AwaitingAnswer = true;
        Resume = true;
    }
    // As the window's end message does, wait here (handling notifications)
    // until the last character, still playing, has finished and the device
    // has closed; only then does the interrupted handler go on.
    void EndExercise() override {
        State.StopRequested = true;
        Ended = true;
        QEventLoop untilClosed;
        EndLoop = &untilClosed;
        untilClosed.exec();
        EndLoop = nullptr;
    }
    void ShowWarning(const std::string& text, const std::string&) override {
        // The dialog's CR LF becomes a plain line break on the terminal.
        for (char c : text) {
            if (c != '\r')
                Err << c;
        }
        Err << "\n";
        Failed = true;
    }
    void DeviceLost(MmResult code) override {
        Err << "tonvik: the sound device stopped during playback: " << MmErrorText(code) << "\n";
        Failed = true;
    }
    uint64_t Starvations() const { return Device->Starvations(); }
    void KeyedSamples(int16_t* samples, int64_t count, int startedChar) override;

private:
    void OnNotice(WaveMessage message, WaveHandle device, WaveHeader* header);
    void OnInterrupt();

    KeyerSettings Settings;
    std::optional<FarnsworthSpacing> Spacing;
    std::ostream& Err;
    Keyer Voice;
    PlayState State;
    // Nobody answers on the terminal: each pause moves straight to the next callsign.
    CallsignSession Calls;
    std::unique_ptr<HeldWaveOut> Device;
    QtWaveNotifier Notifier{
        [this](WaveMessage m, WaveHandle d, WaveHeader* h) { OnNotice(m, d, h); }};
    WavePump Pump{*Device, Notifier, Voice, State, *this};
    std::unique_ptr<Band> Air; // none when every condition is off
    QEventLoop* EndLoop = nullptr;
    bool Resume = false;
    bool Ended = false;
    bool Failed = false;
    bool Interrupted = false;
};

void Player::OnNotice(WaveMessage message, WaveHandle device, WaveHeader* header) {
    Pump.Dispatch(message, device, header);
    if (message != WaveMessage::Close || Pump.WaveDevice() != 0)
        return;
    if (Resume && !Ended && !Interrupted) {
        Resume = false;
        Calls.NextCall(State);
        Pump.OpenWaveOut();
        if (!Failed)
            return;
    }
    if (EndLoop != nullptr)
        EndLoop->quit();
    QCoreApplication::exit(0);
}

// Through the band, if any; a second caller answers as each callsign starts.
void Player::KeyedSamples(int16_t* samples, int64_t count, int startedChar) {
    if (!Air)
        return;
    const int index = State.PlayPos - 2; // of the character just started
    const std::string& text = State.PlayText;
    if (startedChar > ' ' && index >= 0 && (index == 0 || text[index - 1] == ' ')) {
        const std::size_t end = text.find(' ', index);
        Air->CallsignStarts(std::string_view(text).substr(
            index, end == std::string::npos ? std::string::npos : end - index));
    }
    Air->Process(samples, samples, count);
}

void Player::OnInterrupt() {
    Interrupted = true;
    State.StopRequested = true;
    Pump.StopNow();
    if (EndLoop != nullptr)
        EndLoop->quit();
    QCoreApplication::exit(0);
}

int Player::Run() {
    std::unique_ptr<QSocketNotifier> watch;
    if (InterruptPipe() >= 0) {
        watch = std::make_unique<QSocketNotifier>(InterruptPipe(), QSocketNotifier::Read);
        QObject::connect(watch.get(), &QSocketNotifier::activated, [this] {
            char drain[16];
            while (::read(InterruptPipe(), drain, sizeof drain) > 0) {
            }
            OnInterrupt();
        });
    }
    Pump.OpenWaveOut();
    if (!Failed)
        QCoreApplication::exec();
    if (Interrupted)
        return 130;
    return Failed ? 1 : 0;
}

} // namespace

int RunPlay(const CliOptions& options, std::istream& in, std::ostream& err) {
    std::string playText;
    {
        const EndAtOnceOnInterrupt nothingOpenYet;
        const CommandText text = ReadCommandText(options, in);
        if (!text.Text)
            return ReportTextFailure(text, err);
        playText = TextPlayText(*text.Text);
    }
    std::unique_ptr<QCoreApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "tonvik";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const KeyerSettings settings = CommandKeyerSettings(options);
    std::unique_ptr<Band> air;
    if (const BandConditions conditions = CommandConditions(options); conditions.AnyOn()) {
        BandSetup setup;
        setup.PitchHz = static_cast<double>(settings.ToneFreq);
        setup.DotSamples = settings.DotSamples;
        setup.VolumeFactor = options.Volume;
        setup.Seed = CommandBandSeed(options);
        setup.Callsigns = BandCallsigns();
        air = std::make_unique<Band>(conditions, std::move(setup));
    }
    Player player(playText, settings, options.Volume, options.LatencyMs, options.Farnsworth, err,
                  std::move(air));
    const int status = player.Run();
    if (options.Stats)
        err << "sound ran out while keying: " << player.Starvations() << " times\n";
    return status;
}

} // namespace tonvik
