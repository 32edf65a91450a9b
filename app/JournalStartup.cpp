#include "app/JournalStartup.h"

#include "app/MainForm.h"

#include "app/MessageService.h"
#include "app/WindowTexts.h"
#include "journal/Journal.h"
#include "journal/JournalPath.h"

#include <QPointer>

namespace tonvik {

JournalProblem OpenWindowJournal(Journal& journal, const std::filesystem::path& path,
                                 MessageService& messages, TMorseMain& window) {
    // The writer thread only asks the window's thread to look.
    QPointer<TMorseMain> receiver(&window);
    journal.SetProblemNotifier([&journal, receiver] {
        QMetaObject::invokeMethod(
            receiver,
            [&journal, receiver] {
                if (const auto problem = journal.TakeWriteProblem(); problem && receiver)
                    receiver->JournalWriteFailed(*problem);
            },
            Qt::QueuedConnection);
    });
    const JournalProblem problem = journal.Open(path.empty() ? DefaultJournalPath() : path);
    if (problem.Worth())
        messages.ShowMessage(JournalProblemText(problem), WarningCaption);
    return problem;
}

} // namespace tonvik
