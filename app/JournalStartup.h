#pragma once

#include <filesystem>

class QWidget;

namespace tonvik {

class Journal;
class MessageService;

// Opens the journal the window records into at path (the user's own when
// empty) and says in one message box what went wrong with it, if anything.
// A write that fails later closes the journal; window then says so once,
// after the handler that was recording. journal and messages must outlive window.
void OpenWindowJournal(Journal& journal, const std::filesystem::path& path,
                       MessageService& messages, QWidget& window);

} // namespace tonvik
