#pragma once

#include "framework/val_control.h"

#include <QPointer>
#include <QWidget>
#include <vector>

namespace ravlo {

// A widget of a validated dialog seen as a TValControl: QLineEdit (TEdit), QComboBox, QCheckBox,
// QRadioButton, TRadioGroupBox or QListWidget. A combo box that cannot be typed into shows a value
// without an entry as its placeholder text. Click handlers run when the user checks a box, picks a
// combo entry or radio button, or moves to another list line; never for changes the program makes.
class TQtValControl final : public TValControl {
public:
    // Raises ExcValidators for a widget of another class.
    explicit TQtValControl(QWidget* widget);
    ~TQtValControl() override;
    TQtValControl(const TQtValControl&) = delete;
    TQtValControl& operator=(const TQtValControl&) = delete;

    QWidget* Widget() const { return widget_; }

    TCtrlClass CtrlClass() const override { return class_; }
    std::string Text() const override;
    bool TextFits() const override;
    void SetText(std::string_view text) override;
    bool Checked() const override;
    void SetChecked(bool checked) override;
    std::vector<std::string> Items() const override;
    void SetItems(const std::vector<std::string>& items) override;
    void SetItem(std::int32_t index, std::string_view text) override;
    std::int32_t ItemIndex() const override;
    void SetItemIndex(std::int32_t index) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    bool ReadOnly() const override;
    void SetReadOnly(bool readOnly) override;
    bool TabStop() const override;
    void SetTabStop(bool tabStop) override;
    void SetFocus() override;
    void AddClickHandler(std::function<void()> handler) override { handlers_.push_back(std::move(handler)); }

private:
    void Clicked();

    QPointer<QWidget> widget_;
    TCtrlClass class_;
    QMetaObject::Connection clicks_;
    std::vector<std::function<void()>> handlers_;
    bool programChange_ = false;
};

} // namespace ravlo
