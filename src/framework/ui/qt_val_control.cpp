#include "framework/ui/qt_val_control.h"

#include "framework/ctrl_validator.h"
#include "framework/ui/qt_text.h"
#include "framework/ui/radio_group_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <utility>

namespace ravlo {
namespace {

TCtrlClass ClassOf(QWidget* widget) {
    if (qobject_cast<QLineEdit*>(widget) != nullptr) {
        return TCtrlClass::Edit;
    }
    if (qobject_cast<QComboBox*>(widget) != nullptr) {
        return TCtrlClass::ComboBox;
    }
    if (qobject_cast<QCheckBox*>(widget) != nullptr) {
        return TCtrlClass::CheckBox;
    }
    if (qobject_cast<QRadioButton*>(widget) != nullptr) {
        return TCtrlClass::RadioButton;
    }
    if (qobject_cast<TRadioGroupBox*>(widget) != nullptr) {
        return TCtrlClass::RadioGroup;
    }
    if (qobject_cast<QListWidget*>(widget) != nullptr) {
        return TCtrlClass::ListBox;
    }
    throw ExcValidators("TQtValControl: no validator binds a " +
                        std::string(widget != nullptr ? widget->metaObject()->className() : "nullptr"));
}

QStringList ToQStrings(const std::vector<std::string>& items) {
    QStringList list;
    for (const std::string& item : items) {
        list << FromCp1250(item);
    }
    return list;
}

// Sets a flag for the length of a change the program makes.
class ProgramChange {
public:
    explicit ProgramChange(bool& flag) : flag_(flag), previous_(std::exchange(flag, true)) {}
    ~ProgramChange() { flag_ = previous_; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;

private:
    bool& flag_;
    bool previous_;
};

} // namespace

TQtValControl::TQtValControl(QWidget* widget) : widget_(widget), class_(ClassOf(widget)) {
    const auto clicked = [this] {
        Clicked();
    };
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        clicks_ = QObject::connect(combo, &QComboBox::activated, clicked);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        clicks_ = QObject::connect(button, &QAbstractButton::clicked, clicked);
    } else if (auto* group = qobject_cast<TRadioGroupBox*>(widget)) {
        clicks_ = QObject::connect(group, &TRadioGroupBox::ItemClicked, clicked);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        clicks_ = QObject::connect(list, &QListWidget::currentRowChanged, clicked);
    }
}

TQtValControl::~TQtValControl() {
    QObject::disconnect(clicks_);
}

void TQtValControl::Clicked() {
    if (programChange_) {
        return;
    }
    // A handler may add handlers; those run from the next click on.
    const auto handlers = handlers_;
    for (const auto& handler : handlers) {
        handler();
    }
}

std::string TQtValControl::Text() const {
    if (auto* edit = qobject_cast<QLineEdit*>(widget_)) {
        return ToCp1250(edit->text());
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        if (!combo->isEditable() && combo->currentIndex() < 0) {
            return ToCp1250(combo->placeholderText());
        }
        return ToCp1250(combo->currentText());
    }
    return {};
}

bool TQtValControl::TextFits() const {
    const QLineEdit* edit = qobject_cast<QLineEdit*>(widget_);
    if (const auto* combo = qobject_cast<QComboBox*>(widget_); combo != nullptr && combo->isEditable()) {
        edit = combo->lineEdit();
    }
    return edit == nullptr || FitsCp1250(edit->text());
}

void TQtValControl::SetText(std::string_view text) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget_)) {
        edit->setText(FromCp1250(text));
        edit->setCursorPosition(0);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        const ProgramChange change(programChange_);
        if (combo->isEditable()) {
            combo->setEditText(FromCp1250(text));
        } else {
            combo->setCurrentIndex(-1);
            combo->setPlaceholderText(FromCp1250(text));
        }
    }
}

bool TQtValControl::Checked() const {
    auto* button = qobject_cast<QAbstractButton*>(widget_);
    return button != nullptr && button->isChecked();
}

void TQtValControl::SetChecked(bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(widget_);
    if (button == nullptr) {
        return;
    }
    // A radio button of an exclusive set cannot be unchecked alone otherwise.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(exclusive && checked);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

std::vector<std::string> TQtValControl::Items() const {
    QStringList list;
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        for (int i = 0; i < combo->count(); ++i) {
            list << combo->itemText(i);
        }
    } else if (auto* group = qobject_cast<TRadioGroupBox*>(widget_)) {
        list = group->Items();
    } else if (auto* listBox = qobject_cast<QListWidget*>(widget_)) {
        for (int i = 0; i < listBox->count(); ++i) {
            list << listBox->item(i)->text();
        }
    }
    std::vector<std::string> items;
    for (const QString& item : list) {
        items.push_back(ToCp1250(item));
    }
    return items;
}

void TQtValControl::SetItems(const std::vector<std::string>& items) {
    const ProgramChange change(programChange_);
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        combo->clear();
        combo->addItems(ToQStrings(items));
    } else if (auto* group = qobject_cast<TRadioGroupBox*>(widget_)) {
        group->SetItems(ToQStrings(items));
    } else if (auto* listBox = qobject_cast<QListWidget*>(widget_)) {
        listBox->clear();
        listBox->addItems(ToQStrings(items));
    }
}

void TQtValControl::SetItem(std::int32_t index, std::string_view text) {
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        combo->setItemText(index, FromCp1250(text));
    } else if (auto* group = qobject_cast<TRadioGroupBox*>(widget_)) {
        group->SetItem(index, FromCp1250(text));
    } else if (auto* listBox = qobject_cast<QListWidget*>(widget_)) {
        if (QListWidgetItem* item = listBox->item(index)) {
            item->setText(FromCp1250(text));
        }
    }
}

std::int32_t TQtValControl::ItemIndex() const {
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        return combo->currentIndex();
    }
    if (auto* group = qobject_cast<TRadioGroupBox*>(widget_)) {
        return group->ItemIndex();
    }
    if (auto* listBox = qobject_cast<QListWidget*>(widget_)) {
        return listBox->currentRow();
    }
    return -1;
}

void TQtValControl::SetItemIndex(std::int32_t index) {
    const ProgramChange change(programChange_);
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        combo->setCurrentIndex(index);
    } else if (auto* group = qobject_cast<TRadioGroupBox*>(widget_)) {
        group->SetItemIndex(index);
    } else if (auto* listBox = qobject_cast<QListWidget*>(widget_)) {
        listBox->setCurrentRow(index);
    }
}

bool TQtValControl::Visible() const {
    return widget_ != nullptr && !widget_->isHidden();
}

void TQtValControl::SetVisible(bool visible) {
    if (widget_ != nullptr) {
        widget_->setVisible(visible);
    }
}

bool TQtValControl::Enabled() const {
    return widget_ != nullptr && widget_->isEnabled();
}

void TQtValControl::SetEnabled(bool enabled) {
    if (widget_ != nullptr) {
        widget_->setEnabled(enabled);
    }
}

bool TQtValControl::ReadOnly() const {
    auto* edit = qobject_cast<QLineEdit*>(widget_);
    return edit != nullptr && edit->isReadOnly();
}

void TQtValControl::SetReadOnly(bool readOnly) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget_)) {
        edit->setReadOnly(readOnly);
    }
}

bool TQtValControl::TabStop() const {
    return widget_ != nullptr && (widget_->focusPolicy() & Qt::TabFocus) != 0;
}

void TQtValControl::SetTabStop(bool tabStop) {
    if (widget_ != nullptr) {
        widget_->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void TQtValControl::SetFocus() {
    if (widget_ != nullptr) {
        widget_->setFocus(Qt::OtherFocusReason);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget_)) {
        edit->selectAll(); // ready to be typed over
    }
}

} // namespace ravlo
