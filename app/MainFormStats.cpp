// The statistics window over the window's journal, and the re-drills it
// starts on this window.
#include "app/MainForm.h"

#include "callsign/CallsignList.h"
#include "journal/Journal.h"
#include "stats/StatsForm.h"
#include "text/WindowPlacement.h"
#include "ui_MainForm.h"

namespace tonvik {

void TMorseMain::StatsButClick() {
    if (Stats && Stats->isVisible()) {
        Stats->raise();
        Stats->activateWindow();
        return;
    }
    const bool first = !Stats;
    if (first) {
        Stats = std::make_unique<TStatsForm>(this);
        Stats->SetMissedCallsHandler([this](const std::vector<std::string>& callsigns) {
            StartDrill(CallsignDrill::MissedCalls, callsigns);
        });
        Stats->SetWeakCharactersHandler(
            [this](const MissRates& rates) { StartWeakCharactersDrill(rates); });
    }
    if (Records == nullptr) {
        Stats->SetNoJournal(nullptr);
    } else if (!JournalOpenProblem.Ok()) {
        Stats->SetNoJournal(&JournalOpenProblem);
    } else {
        // What the writer still holds is shown too.
        Records->Flush();
        Stats->SetJournalFile(Records->Path());
    }
    Stats->SetDrillsEnabled(Control.Controls().StartEnabled);
    if (first)
        CentreOnWindow(*Stats, *this);
    Stats->show();
}

bool TMorseMain::StartWeakCharactersDrill(const MissRates& rates) {
    if (!Control.Controls().StartEnabled)
        return false;
    const CallsignList list = CallsignList::Load(Trainer.ListFile());
    if (!list.Ok())
        ShowListProblem(list.Status());
    return StartDrill(CallsignDrill::WeakCharacters, WeakCharactersDrill(list, rates, Rng));
}

} // namespace tonvik
