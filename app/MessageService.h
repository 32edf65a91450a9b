#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace tonvik {

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Information, Warning, Critical };
enum class MessageAnswer { Ok, Cancel };

// Every message box of the program goes through one of these, so that tests
// can answer the boxes instead of a user.
class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows a modal message and returns the button the user chose.
    virtual MessageAnswer ShowMessage(const QString& text, const QString& caption,
                                      MessageButtons buttons = MessageButtons::Ok,
                                      MessageIcon icon = MessageIcon::None) = 0;
};

// The real boxes: a modal QMessageBox over the active window.
class ModalMessageService : public MessageService {
public:
    MessageAnswer ShowMessage(const QString& text, const QString& caption,
                              MessageButtons buttons = MessageButtons::Ok,
                              MessageIcon icon = MessageIcon::None) override;
};

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

// The application's error box, for failures the program does not check
// itself (a file that exists but cannot be read).
void ShowErrorBox(MessageService& messages, const QString& text);

} // namespace tonvik
