// The text page's handlers on the main window.
#include "app/MainForm.h"

#include "app/MessageService.h"
#include "text/Cp1251.h"
#include "text/CreateUnit.h"
#include "text/GenCodeUnit.h"
#include "text/RadioGroup.h"
#include "text/Radiogram.h"
#include "text/TextFile.h"
#include "text/WindowParagraphs.h"
#include "ui_MainForm.h"

#include <QFile>
#include <QFileDialog>
#include <QTextDocument>

namespace tonvik {

std::string TMorseMain::TextWinText() const {
    // The document's own characters: toPlainText() would turn no-break spaces
    // into spaces, and the clean-up removes them instead. Paragraph and line
    // separators (and frame marks) are the window's line breaks.
    QString text = Ui->TextWin->document()->toRawText();
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code == QChar::ParagraphSeparator || code == QChar::LineSeparator || code == 0xFDD0 ||
            code == 0xFDD1)
            c = QLatin1Char('\n');
    }
    return ToCp1251(text);
}

void TMorseMain::SetTextWinText(const std::string& text) {
    Ui->TextWin->setPlainText(FromCp1251(BreakIntoParagraphs(text)));
}

void TMorseMain::SetFileChooser(std::function<std::optional<QString>()> chooser) {
    FileChooser = std::move(chooser);
}

std::optional<QString> TMorseMain::RunOpenDialog() {
    // A dialog for each use, so that nothing of it (a completion list that
    // arrives late) outlives it; it opens again in the last folder.
    QFileDialog OpenDialog1(this, QString(), OpenDialogFolder,
                            QStringLiteral("Text files (*.txt *.TXT)"));
    OpenDialog1.setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1.setFileMode(QFileDialog::ExistingFile);
    OpenDialog1.setAcceptMode(QFileDialog::AcceptOpen);
    const bool chosen = OpenDialog1.exec() == QDialog::Accepted;
    OpenDialogFolder = OpenDialog1.directory().absolutePath();
    if (!chosen || OpenDialog1.selectedFiles().isEmpty())
        return std::nullopt;
    return OpenDialog1.selectedFiles().front();
}

void TMorseMain::OpenButClick() {
    const std::optional<QString> path = FileChooser ? FileChooser() : RunOpenDialog();
    if (!path) {
        // Cancelled: what the window holds is cleaned all the same.
        SetTextWinText(CleanText(WindowLines(TextWinText())));
        return;
    }
    const LoadedText loaded = LoadTextFile(QFile::encodeName(*path).toStdString());
    if (!loaded.Ok) {
        // The window keeps what it held, uncleaned.
        ShowErrorBox(Messages, QString::fromStdString(loaded.Error));
        return;
    }
    // The window gives back every character it is given, line breaks aside,
    // which the clean-up turns into spaces whatever their form: cleaning the
    // file's text before it goes in spares laying out a text that is replaced
    // at once, and leaves the window as loading, then cleaning, would.
    SetTextWinText(CleanText(WindowLines(loaded.Text)));
}

void TMorseMain::ClearButClick() {
    Ui->TextWin->clear();
}

void TMorseMain::TextWinChange() {
    // Whether the window has lines, without copying a text that may be large.
    const bool hasText = !Ui->TextWin->document()->isEmpty();
    Ui->ChooseRG->setEnabled(hasText);
    Ui->ChooseBut->setEnabled(hasText);
}

void TMorseMain::ChooseButClick() {
    if (std::optional<std::string> kept =
            FilterWords(WindowLines(TextWinText()), Ui->ChooseRG->itemIndex()))
        SetTextWinText(*kept);
}

void TMorseMain::CreateButClick() {
    if (CreateForm == nullptr)
        return;
    if (CreateForm->ShowModal() != QDialog::Accepted)
        return;
    SetTextWinText(MakeRadiogram(CreateForm->SymbolIndex(), CreateForm->Groups(), Rng));
}

} // namespace tonvik
