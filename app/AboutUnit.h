#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class TAboutForm;
}

namespace tonvik {

class MessageService;

// The help window: shows readme.txt from beside the executable, read anew at
// every showing.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    // mainWindow gives the caption shown after the help file and is the
    // window this one is centred on; messages shows the warnings.
    TAboutForm(MessageService& messages, QWidget* mainWindow);
    ~TAboutForm() override;

    // The help file to read instead of readme.txt beside the executable;
    // an empty path restores that.
    void SetHelpFile(const QString& path) { HelpFileOverride = path; }
    QString HelpFilePath() const;

    // Loads the help file, or warns that it is missing.
    void FormShow();
    // FormShow, then the window modally.
    int ShowModal();

    // A help file larger than this is refused rather than loaded.
    static constexpr qint64 MaxHelpBytes = 8 * 1024 * 1024;

private:
    MessageService& Messages;
    QWidget* MainWindow;
    QString HelpFileOverride;
    std::unique_ptr<::Ui::TAboutForm> Ui;
};

} // namespace tonvik
