#include "framework/ui/radio_group_box.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ravlo {

TRadioGroupBox::TRadioGroupBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)), layout_(new QVBoxLayout(this)) {
    connect(group_, &QButtonGroup::idClicked, this, &TRadioGroupBox::ItemClicked);
}

void TRadioGroupBox::SetItems(const QStringList& items) {
    for (QAbstractButton* button : group_->buttons()) {
        group_->removeButton(button);
        button->hide();
        button->deleteLater();
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        layout_->addWidget(button);
    }
}

QStringList TRadioGroupBox::Items() const {
    QStringList items;
    for (int i = 0; group_->button(i) != nullptr; ++i) {
        items << group_->button(i)->text();
    }
    return items;
}

void TRadioGroupBox::SetItem(int index, const QString& text) {
    if (QAbstractButton* button = group_->button(index)) {
        button->setText(text);
    }
}

int TRadioGroupBox::ItemIndex() const {
    return group_->checkedId();
}

void TRadioGroupBox::SetItemIndex(int index) {
    if (QAbstractButton* button = group_->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; none is asked for here.
    group_->setExclusive(false);
    for (QAbstractButton* button : group_->buttons()) {
        button->setChecked(false);
    }
    group_->setExclusive(true);
}

} // namespace ravlo
