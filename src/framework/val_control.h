#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// The kinds of control a validator binds, named as the validators' messages name them.
enum class TCtrlClass : std::uint8_t { Edit, ComboBox, CheckBox, RadioButton, RadioGroup, ListBox };

// "TEdit", "TComboBox", "TCheckBox", "TRadioButton", "TRadioGroup" or "TListBox".
std::string_view CtrlClassName(TCtrlClass ctrlClass);

// One control of a validated dialog as the validators see it. The GUI wraps its widgets in it
// (framework/ui/qt_val_control.h); tests use a plain fake. Texts are code page 1250. A property
// that a kind of control does not have reads as empty, false or -1 and ignores being set.
class TValControl {
public:
    virtual ~TValControl() = default;

    virtual TCtrlClass CtrlClass() const = 0;

    // An edit's text; a combo box's typed or shown text.
    virtual std::string Text() const = 0;
    // Whether the code page holds every character of that text; Text() shows the others as "?".
    virtual bool TextFits() const { return true; }
    virtual void SetText(std::string_view text) = 0;

    // Check boxes and radio buttons.
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool checked) = 0;

    // Combo boxes, radio groups and list boxes: their lines and the selected one (-1: none).
    // Setting lines or the selection from the program runs no click handler.
    virtual std::vector<std::string> Items() const = 0;
    virtual void SetItems(const std::vector<std::string>& items) = 0;
    virtual void SetItem(std::int32_t index, std::string_view text) = 0;
    virtual std::int32_t ItemIndex() const = 0;
    virtual void SetItemIndex(std::int32_t index) = 0;

    // Visible is the control's own setting, true even while its dialog is not shown yet.
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool ReadOnly() const = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual bool TabStop() const = 0;
    virtual void SetTabStop(bool tabStop) = 0;
    virtual void SetFocus() = 0;

    // Runs handler, after the handlers added before it, each time the user picks a line or
    // clicks the control.
    virtual void AddClickHandler(std::function<void()> handler) = 0;
};

} // namespace ravlo
