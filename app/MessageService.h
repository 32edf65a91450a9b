#pragma once

#include <QString>

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

// The application's error box, for failures the program does not check
// itself (a file that exists but cannot be read).
void ShowErrorBox(MessageService& messages, const QString& text);

} // namespace tonvik
