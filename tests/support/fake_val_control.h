#pragma once

#include "framework/val_control.h"

#include <string>
#include <vector>

namespace ravlo::testing {

// A control of a validated dialog as plain fields; Click plays the user picking a line or box.
class FakeValControl final : public TValControl {
public:
    explicit FakeValControl(TCtrlClass ctrlClass = TCtrlClass::Edit) : ctrlClass_(ctrlClass) {}

    TCtrlClass CtrlClass() const override { return ctrlClass_; }
    std::string Text() const override { return text; }
    void SetText(std::string_view value) override { text = value; }
    bool Checked() const override { return checked; }
    void SetChecked(bool value) override { checked = value; }
    std::vector<std::string> Items() const override { return items; }
    void SetItems(const std::vector<std::string>& value) override {
        items = value;
        itemIndex = -1;
    }
    void SetItem(std::int32_t index, std::string_view value) override { items.at(index) = value; }
    std::int32_t ItemIndex() const override { return itemIndex; }
    void SetItemIndex(std::int32_t index) override { itemIndex = index; }
    bool Visible() const override { return visible; }
    void SetVisible(bool value) override { visible = value; }
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool value) override { enabled = value; }
    bool ReadOnly() const override { return readOnly; }
    void SetReadOnly(bool value) override { readOnly = value; }
    bool TabStop() const override { return tabStop; }
    void SetTabStop(bool value) override { tabStop = value; }
    void SetFocus() override { ++focusCount; }
    void AddClickHandler(std::function<void()> handler) override { handlers_.push_back(std::move(handler)); }

    void Click(std::int32_t index) {
        itemIndex = index;
        for (const auto& handler : handlers_) {
            handler();
        }
    }
    std::string text;
    std::vector<std::string> items;
    std::int32_t itemIndex = -1;
    bool checked = false, readOnly = false;
    bool visible = true, enabled = true, tabStop = true;
    int focusCount = 0;

private:
    TCtrlClass ctrlClass_;
    std::vector<std::function<void()>> handlers_;
};

} // namespace ravlo::testing
