#include "text/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tonvik {

RadioGroup::RadioGroup(QWidget* parent) : QGroupBox(parent), Group(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 4, 4);
    layout->setSpacing(2);
}

void RadioGroup::setItems(const QStringList& items) {
    for (QAbstractButton* old : Group->buttons()) {
        Group->removeButton(old);
        delete old;
    }
    Items = items;
    for (int n = 0; n < Items.size(); ++n) {
        auto* radio = new QRadioButton(Items[n], this);
        Group->addButton(radio, n);
        layout()->addWidget(radio);
    }
}

int RadioGroup::itemIndex() const {
    return Group->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (index == -1) {
        // An exclusive group keeps one button checked; lift that to clear it.
        Group->setExclusive(false);
        for (QAbstractButton* radio : Group->buttons())
            radio->setChecked(false);
        Group->setExclusive(true);
        return;
    }
    if (QAbstractButton* radio = Group->button(index))
        radio->setChecked(true);
}

QRadioButton* RadioGroup::button(int index) const {
    return static_cast<QRadioButton*>(Group->button(index));
}

} // namespace tonvik
