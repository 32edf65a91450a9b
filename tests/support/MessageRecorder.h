#pragma once

#include "app/MessageService.h"

#include <functional>
#include <vector>

namespace tonvik {

// Notes every message and answers it at once. OnMessage, when set, runs
// before the answer, while the message counts as shown: a test can spin the
// event loop there, as a modal box does, or act on the window.
class MessageRecorder : public MessageService {
public:
    struct Entry {
        QString Text;
        QString Caption;
        MessageButtons Buttons = MessageButtons::Ok;
        MessageIcon Icon = MessageIcon::None;
    };

    MessageAnswer ShowMessage(const QString& text, const QString& caption,
                              MessageButtons buttons = MessageButtons::Ok,
                              MessageIcon icon = MessageIcon::None) override;

    // Messages whose text equals text.
    int CountOf(const QString& text) const;

    std::vector<Entry> Messages;
    MessageAnswer Answer = MessageAnswer::Ok;
    std::function<void(const Entry&)> OnMessage;
};

} // namespace tonvik
