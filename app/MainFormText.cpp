// The text page's handlers: the text window, the file-open dialog and the
// radiogram dialog.
#include "app/MainForm.h"

#include "app/MessageService.h"
#include "text/CreateUnit.h"
#include "text/RadioGroup.h"
#include "text/Radiogram.h"
#include "text/TextFile.h"
#include "ui_MainForm.h"

#include <QFile>
#include <QFileDialog>

namespace tonvik {

std::string TMorseMain::TextWinText() const {
    return TextWinView.Text();
}

void TMorseMain::SetTextWinText(const std::string& text) {
    TextWinView.SetText(text);
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
        TextWinView.Clean();
        return;
    }
    const LoadedText loaded = LoadTextFile(QFile::encodeName(*path).toStdString());
    if (!loaded.Ok) {
        // The window keeps what it held, uncleaned.
        ShowErrorBox(Messages, QString::fromStdString(loaded.Error));
        return;
    }
    TextWinView.ShowCleaned(loaded);
}

void TMorseMain::ClearButClick() {
    TextWinView.Clear();
}

void TMorseMain::TextWinChange() {
    const bool hasText = TextWinView.HasText();
    Ui->ChooseRG->setEnabled(hasText);
    Ui->ChooseBut->setEnabled(hasText);
}

void TMorseMain::ChooseButClick() {
    TextWinView.Filter(Ui->ChooseRG->itemIndex());
}

void TMorseMain::CreateButClick() {
    if (CreateForm == nullptr || CreateForm->ShowModal() != QDialog::Accepted)
        return;
    TextWinView.SetText(MakeRadiogram(CreateForm->SymbolIndex(), CreateForm->Groups(), Rng));
}

} // namespace tonvik
