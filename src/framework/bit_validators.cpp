#include "framework/bit_validators.h"

#include "framework/le_bytes.h"

namespace ravlo {

void TTrBits_Validator::SetMask(std::uint16_t options, std::uint32_t mask, bool last) {
    Options = options;
    mask_ = mask;
    last_ = last;
}

std::uint16_t TTrBits_Validator::FieldSize() const {
    return last_ ? TCtrlValidator::FieldSize() : 0;
}

std::uint32_t TTrBits_Validator::ReadField() const {
    return GetLEWidth(FieldPtr, 0, width_);
}

void TTrBits_Validator::Load(std::span<std::uint8_t> field) {
    FieldPtr = field;
    checked_ = (ReadField() & mask_) != 0;
    ShowValue();
}

void TTrBits_Validator::ShowValue() {
    if (Control != nullptr) {
        Control->SetChecked(checked_);
    }
}

bool TTrBits_Validator::Validate() {
    if (Control != nullptr) {
        checked_ = Control->Checked();
    }
    return true;
}

void TTrBits_Validator::Store() {
    // Read now, not at Load: the validators before this one may have stored bits of the same field.
    PutLEWidth(FieldPtr, 0, width_, checked_ ? ReadField() | mask_ : ReadField() & ~mask_);
}

} // namespace ravlo
