// Program start: the trainer window, or a headless command.
#include "air/BandSettingsFile.h"
#include "app/AboutUnit.h"
#include "app/JournalStartup.h"
#include "app/MainForm.h"
#include "app/MessageService.h"
#include "app/SoundDevice.h"
#include "app/Translations.h"
#include "cli/Cli.h"
#include "cli/Options.h"
#include "journal/Journal.h"
#include "text/CreateUnit.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// Qt aborts when it cannot reach a display; say why in one line instead.
bool DisplayAvailable() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

int RunWindow(int argc, char** argv, const tonvik::CliOptions& options) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonvik"));
    tonvik::InstallQtTranslations(app);
    const auto device = tonvik::CreateSoundDevice();
    // The band's background has a stream of its own: it goes on between callsigns.
    const auto bandDevice = tonvik::CreateBandDevice();
    tonvik::ModalMessageService messages;
    tonvik::Journal journal;
    tonvik::TMorseMain MorseMain(*device, messages);
    tonvik::TAboutForm AboutForm(messages, &MorseMain);
    tonvik::TCreateForm CreateForm(&MorseMain);
    MorseMain.SetAboutForm(&AboutForm);
    MorseMain.SetCreateForm(&CreateForm);
    MorseMain.SetBandDevice(*bandDevice);
    MorseMain.SetBandSettingsFile(tonvik::BandSettingsPath());
    MorseMain.show();
    if (!options.NoJournal) {
        const tonvik::JournalProblem problem =
            tonvik::OpenWindowJournal(journal, options.JournalPath, messages, MorseMain);
        MorseMain.SetJournal(&journal, problem);
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<tonvik::CliOptions> window = tonvik::WindowOptions(argc, argv);
    if (!window)
        return tonvik::RunCommandLine(argc, argv);
    if (!DisplayAvailable()) {
        std::fputs("tonvik: no display (DISPLAY and WAYLAND_DISPLAY are unset); the trainer "
                   "window needs one\n",
                   stderr);
        return 1;
    }
    return RunWindow(argc, argv, *window);
}
