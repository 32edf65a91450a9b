#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace tonvik {

// A captioned column of radio buttons of which at most one is chosen.
class RadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex)

public:
    explicit RadioGroup(QWidget* parent = nullptr);

    QStringList items() const { return Items; }
    void setItems(const QStringList& items);

    // The chosen item, or -1 when none is chosen.
    int itemIndex() const;
    // -1 clears the choice; other values outside the items are ignored.
    void setItemIndex(int index);

    QRadioButton* button(int index) const;

private:
    QStringList Items;
    QButtonGroup* Group;
};

} // namespace tonvik
