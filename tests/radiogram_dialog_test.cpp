// The radiogram dialog: its defaults, kept choices and cancelling.
#include "tests/support/AccessibleNames.h"
#include "tests/support/WindowFixture.h"
#include "text/CreateUnit.h"
#include "text/RadioGroup.h"
#include "text/SpinEdit.h"

#include <QFocusEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <algorithm>

namespace tonvik {
namespace {

class RadiogramDialog : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        Dialog = std::make_unique<TCreateForm>(Window.get());
        Window->SetCreateForm(Dialog.get());
    }

    void TearDown() override {
        Dialog.reset();
        WindowFixture::TearDown();
    }

    // Shows the dialog modally and runs act inside it.
    int RunDialog(const std::function<void()>& act) {
        QTimer::singleShot(0, Dialog.get(), act);
        return Dialog->ShowModal();
    }

    template <class T> T* DialogControl(const char* name) const {
        return Dialog->findChild<T*>(QString::fromLatin1(name));
    }

    std::unique_ptr<TCreateForm> Dialog;
};

TEST_F(RadiogramDialog, IsCentredOnTheMainWindowAtItsFirstShowing) {
    Window->move(41, 29);
    QPoint centre;
    RunDialog([&] {
        centre = Dialog->geometry().center();
        Dialog->reject();
    });
    EXPECT_LE((centre - Window->geometry().center()).manhattanLength(), 1);
}

TEST_F(RadiogramDialog, StartsWithLatinLettersAndThirtyGroups) {
    EXPECT_EQ(Dialog->windowTitle(), "Формирование радиограммы");
    EXPECT_EQ(Dialog->SymbolIndex(), 2);
    EXPECT_EQ(Dialog->Groups(), 30);
    auto* kinds = DialogControl<RadioGroup>("SymbolRG");
    ASSERT_NE(kinds, nullptr);
    EXPECT_EQ(kinds->title(), "Состав радиограммы");
    EXPECT_EQ(kinds->items(), QStringList({"Цифры", "Буквы русские", "Буквы латинские"}));
    auto* groups = DialogControl<SpinEdit>("NumGroup");
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->minimum(), 1);
    EXPECT_EQ(groups->maximum(), 100);
    for (const char* name : {"OkBtn", "CancelBtn"}) {
        auto* button = DialogControl<QPushButton>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << name;
    }
    EXPECT_EQ(DialogControl<QPushButton>("CancelBtn")->text(), "Отмена");
}

TEST_F(RadiogramDialog, KeepsTheLastChoiceBetweenShowings) {
    const int result = RunDialog([&] {
        DialogControl<RadioGroup>("SymbolRG")->button(1)->click();
        auto* groups = DialogControl<SpinEdit>("NumGroup");
        groups->setFocus();
        QTest::keyClick(groups, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(groups, "500");
        // Clicking a button takes the focus from the field.
        QFocusEvent leave(QEvent::FocusOut, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(groups, &leave);
        DialogControl<QPushButton>("OkBtn")->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(Dialog->SymbolIndex(), 1);
    EXPECT_EQ(Dialog->Groups(), 100);

    int kind = -1, groups = -1;
    const int second = RunDialog([&] {
        kind = Dialog->SymbolIndex();
        groups = Dialog->Groups();
        DialogControl<QPushButton>("CancelBtn")->click();
    });
    EXPECT_EQ(second, QDialog::Rejected);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(groups, 100);
}

TEST_F(RadiogramDialog, EscapeDoesNotCloseIt) {
    bool openAfterEscape = false;
    RunDialog([&] {
        QTest::keyClick(Dialog.get(), Qt::Key_Escape);
        openAfterEscape = Dialog->isVisible();
        Dialog->reject();
    });
    EXPECT_TRUE(openAfterEscape);
}

TEST_F(RadiogramDialog, OkFillsTheTextWindowWithARadiogram) {
    auto* text = Control<QPlainTextEdit>("TextWin");
    text->setPlainText("QST QST");
    ShowPage(TextPage); // the filter stays disabled until the text changes
    QTimer::singleShot(0, Dialog.get(), [&] { DialogControl<QPushButton>("OkBtn")->click(); });
    Control<QToolButton>("CreateBut")->click();
    const QString radiogram = text->toPlainText();
    ASSERT_EQ(radiogram.size(), 210);
    for (int n = 0; n < radiogram.size(); ++n) {
        if (n % 7 < 5)
            EXPECT_TRUE(radiogram[n] >= 'A' && radiogram[n] <= 'Z') << n;
        else
            EXPECT_EQ(radiogram[n], ' ') << n;
    }
    EXPECT_TRUE(Control<QWidget>("ChooseRG")->isEnabled());
    EXPECT_TRUE(Control<QWidget>("ChooseBut")->isEnabled());

    QTimer::singleShot(0, Dialog.get(), [&] {
        DialogControl<RadioGroup>("SymbolRG")->button(1)->click();
        DialogControl<SpinEdit>("NumGroup")->setValue(100);
        DialogControl<QPushButton>("OkBtn")->click();
    });
    Control<QToolButton>("CreateBut")->click();
    const QString russian = text->toPlainText();
    EXPECT_EQ(russian.size(), 700);
    EXPECT_FALSE(russian.contains(QChar(0x042A))); // no hard sign
    EXPECT_TRUE(std::all_of(russian.begin(), russian.end(), [](QChar c) {
        return c == ' ' || (c.unicode() >= 0x0410 && c.unicode() <= 0x042F);
    }));
}

TEST_F(RadiogramDialog, CancelLeavesTheTextWindowUntouched) {
    auto* text = Control<QPlainTextEdit>("TextWin");
    text->setPlainText("QST QST");
    bool shown = false;
    QTimer::singleShot(0, Dialog.get(), [&] {
        shown = Dialog->isVisible();
        DialogControl<QPushButton>("CancelBtn")->click();
    });
    Control<QToolButton>("CreateBut")->click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(text->toPlainText(), "QST QST");
}

TEST_F(RadiogramDialog, EveryControlHasANameForAScreenReader) {
    Dialog->show();
    EXPECT_EQ(UnnamedControls(Dialog.get()), QStringList());
    QAccessibleInterface* groups =
        QAccessible::queryAccessibleInterface(DialogControl<QWidget>("NumGroup"));
    EXPECT_EQ(groups->text(QAccessible::Name), "Количество групп");
    Dialog->hide();
}

} // namespace
} // namespace tonvik
