#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TCreateForm;
}

namespace tonvik {

// Asks for the kind and the number of groups of a radiogram. One dialog
// serves the whole run, so the last choice is offered again.
class TCreateForm : public QDialog {
    Q_OBJECT

public:
    explicit TCreateForm(QWidget* parent = nullptr);
    ~TCreateForm() override;

    // Shows the dialog modally; QDialog::Accepted when closed with OK.
    int ShowModal();

    // 0 digits, 1 Russian letters, 2 Latin letters.
    int SymbolIndex() const;
    // The number of groups as the field holds it.
    int Groups() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<::Ui::TCreateForm> Ui;
};

} // namespace tonvik
