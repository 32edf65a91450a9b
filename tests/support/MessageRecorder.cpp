#include "tests/support/MessageRecorder.h"

namespace tonvik {

MessageAnswer MessageRecorder::ShowMessage(const QString& text, const QString& caption,
                                           MessageButtons buttons, MessageIcon icon) {
    const Entry entry{text, caption, buttons, icon};
    Messages.push_back(entry);
    if (OnMessage)
        OnMessage(entry);
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : Answer;
}

int MessageRecorder::CountOf(const QString& text) const {
    int count = 0;
    for (const Entry& entry : Messages) {
        if (entry.Text == text)
            ++count;
    }
    return count;
}

} // namespace tonvik
