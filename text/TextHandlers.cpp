// The text page's handlers on the main window.
#include "MainForm.h"

#include "Cp1251.h"
#include "CreateUnit.h"
#include "Radiogram.h"
#include "ui_MainForm.h"

namespace tonvik {

void TMorseMain::ClearButClick() {
    Ui->TextWin->clear();
}

void TMorseMain::TextWinChange() {
    const bool hasText = !Ui->TextWin->toPlainText().isEmpty();
    Ui->ChooseRG->setEnabled(hasText);
    Ui->ChooseBut->setEnabled(hasText);
}

void TMorseMain::CreateButClick() {
    if (CreateForm == nullptr)
        return;
    if (CreateForm->ShowModal() != QDialog::Accepted)
        return;
    Ui->TextWin->setPlainText(
        FromCp1251(MakeRadiogram(CreateForm->SymbolIndex(), CreateForm->Groups(), Rng)));
}

} // namespace tonvik
