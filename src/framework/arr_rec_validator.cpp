#include "framework/arr_rec_validator.h"

#include "framework/record_validator.h"

#include <algorithm>

namespace ravlo {

void TTrArrRec_Validator::Setup(std::uint16_t options, std::size_t recordSize, TRecordValidator* detail,
                                bool rebuild, bool refresh, std::int32_t highIndex) {
    Options = options;
    recordSize_ = recordSize;
    detail_ = detail;
    RebuildFlag = rebuild;
    RefreshFlag = refresh;
    HighIndex = highIndex;
}

std::int32_t TTrArrRec_Validator::Count() const {
    if (OnCount) {
        return std::max(OnCount(FieldPtr), 0);
    }
    return std::max(HighIndex + 1, 0);
}

std::string TTrArrRec_Validator::LineText(std::int32_t index) const {
    std::string text;
    if (OnGetText) {
        OnGetText(FieldPtr, index, text);
    }
    return text;
}

void TTrArrRec_Validator::Select(std::int32_t index) {
    current_ = index;
    if (Control != nullptr) {
        Control->SetItemIndex(index);
    }
    if (!OnSelect) {
        return;
    }
    if (index >= 0 || detail_ == nullptr) {
        OnSelect(FieldPtr, index);
        return;
    }
    // No record: the detail controls show nothing while the callback binds them.
    const std::uint8_t set = detail_->StateSet;
    const std::uint8_t clear = detail_->StateClear;
    detail_->SetStateBits(static_cast<std::uint8_t>(set | kCsEmpty),
                          static_cast<std::uint8_t>(clear & ~kCsEmpty));
    OnSelect(FieldPtr, index);
    detail_->SetStateBits(set, clear);
}

void TTrArrRec_Validator::LineClicked() {
    const std::int32_t picked = Control->ItemIndex();
    if (picked == current_) {
        return;
    }
    if (current_ >= 0 && (!OnCheckLeave || OnCheckLeave(FieldPtr, current_))) {
        if (detail_ != nullptr && !detail_->ValidateAndStore()) {
            Control->SetItemIndex(current_);
            return;
        }
        if (RefreshFlag) {
            Control->SetItem(current_, LineText(current_));
        }
    }
    Select(picked);
}

bool TTrArrRec_Validator::Validate() {
    return current_ < 0 || detail_ == nullptr || detail_->ValidateAndStore();
}

void TTrArrRecListBox_Validator::AssignCtrl(TValControl* control) {
    TCtrlValidator::AssignCtrl(control);
    if (control == nullptr || control == hooked_) {
        return;
    }
    hooked_ = control;
    control->AddClickHandler([this, alive = std::weak_ptr<int>(alive_)] {
        if (!alive.expired() && Control == hooked_) {
            LineClicked();
        }
    });
}

void TTrArrRecListBox_Validator::Load(std::span<std::uint8_t> field) {
    FieldPtr = field;
    if (Control == nullptr) {
        return;
    }
    const std::int32_t count = Count();
    if (RebuildFlag) {
        RebuildFlag = false;
        std::vector<std::string> lines;
        for (std::int32_t i = 0; i < count; ++i) {
            lines.push_back(LineText(i));
        }
        Control->SetItems(lines);
    }
    const std::vector<std::string> lines = Control->Items();
    const auto size = static_cast<std::int32_t>(lines.size());
    std::int32_t index = current_;
    if (size == 0) {
        index = -1;
    } else if (index < 0 || index >= size) {
        const auto found = std::find(lines.begin(), lines.end(), SelectionText);
        index = found != lines.end() ? static_cast<std::int32_t>(found - lines.begin()) : 0;
    }
    Select(index);
}

} // namespace ravlo
