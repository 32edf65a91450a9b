#include "text/CreateUnit.h"

#include "text/WindowPlacement.h"
#include "ui_CreateUnit.h"

#include <QKeyEvent>
#include <QStyle>

namespace tonvik {

TCreateForm::TCreateForm(QWidget* parent)
    : QDialog(parent), Ui(std::make_unique<::Ui::TCreateForm>()) {
    Ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Ui->OkBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    Ui->CancelBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    // Neither button is the dialog's default: Enter in the field does not close it.
    Ui->OkBtn->setAutoDefault(false);
    Ui->CancelBtn->setAutoDefault(false);
    connect(Ui->OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(Ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    // The label names the field for a screen reader; it has no mnemonic, so
    // nothing changes on the screen.
    Ui->Label1->setBuddy(Ui->NumGroup);
    Ui->CancelBtn->setAccessibleDescription(QStringLiteral("Клавиша Esc"));
}

TCreateForm::~TCreateForm() = default;

int TCreateForm::ShowModal() {
    if (parentWidget() != nullptr)
        CentreOnWindow(*this, *parentWidget()->window());
    return exec();
}

int TCreateForm::SymbolIndex() const {
    return Ui->SymbolRG->itemIndex();
}

int TCreateForm::Groups() const {
    return Ui->NumGroup->CurrentValue();
}

void TCreateForm::keyPressEvent(QKeyEvent* event) {
    // Nor is either the cancel button: Esc leaves the dialog open.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tonvik
