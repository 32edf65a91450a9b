#pragma once

#include "journal/JournalProblem.h"

#include <filesystem>

namespace tonvik {

class Journal;
class MessageService;
class TMorseMain;

// Opens the journal the window records into at path (the user's own when
// empty) and says in one message box what went wrong with it, if anything;
// returns what the opening answered.
// A write that fails later closes the journal; window then says so once,
// after the handler that was recording, without a dialog in the middle of an
// exercise. journal and messages must outlive window.
JournalProblem OpenWindowJournal(Journal& journal, const std::filesystem::path& path,
                                 MessageService& messages, TMorseMain& window);

} // namespace tonvik
