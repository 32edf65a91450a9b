#include "app/JournalStartup.h"

#include "app/MessageService.h"
#include "app/WindowTexts.h"
#include "journal/Journal.h"
#include "journal/JournalPath.h"

#include <QPointer>
#include <QWidget>

namespace tonvik {

void OpenWindowJournal(Journal& journal, const std::filesystem::path& path,
                       MessageService& messages, QWidget& window) {
    // The writer thread only asks the window's thread to look.
    QPointer<QWidget> receiver(&window);
    journal.SetProblemNotifier([&journal, &messages, receiver] {
        QMetaObject::invokeMethod(
            receiver,
            [&journal, &messages] {
                if (const auto problem = journal.TakeWriteProblem())
                    messages.ShowMessage(JournalProblemText(*problem), WarningCaption);
            },
            Qt::QueuedConnection);
    });
    const JournalProblem problem = journal.Open(path.empty() ? DefaultJournalPath() : path);
    if (problem.Worth())
        messages.ShowMessage(JournalProblemText(problem), WarningCaption);
}

} // namespace tonvik
