#pragma once

#include "framework/ctrl_validator.h"

namespace ravlo {

// One bit mask of a byte, word or longint field in a check box (or a radio button). Load checks the
// control when a bit of the mask is set; Store sets the mask's bits when it is checked and clears
// them otherwise, leaving every other bit as the field holds it then. Several of them bind bits of
// one field: only the one set up with Last moves on to the next field.
class TTrBits_Validator : public TCtrlValidator {
public:
    std::string_view ClassName() const override { return className_; }
    std::size_t DataSize() const override { return width_; }
    std::uint16_t FieldSize() const override;
    void Load(std::span<std::uint8_t> field) override;
    bool Validate() override;
    void Store() override;

protected:
    TTrBits_Validator(std::string_view className, std::uint8_t width, TCtrlClass ctrlClass)
        : className_(className), width_(width), ctrlClass_(ctrlClass) {}

    void SetMask(std::uint16_t options, std::uint32_t mask, bool last);
    TCtrlClass RequiredClass() const override { return ctrlClass_; }
    void ShowEmpty() override { Control->SetChecked(false); }
    void ShowValue() override;

private:
    std::uint32_t ReadField() const;

    std::string_view className_;
    std::uint8_t width_;
    TCtrlClass ctrlClass_;
    std::uint32_t mask_ = 0;
    bool last_ = true;
    bool checked_ = false;
};

class TTrByteChecks_Validator final : public TTrBits_Validator {
public:
    TTrByteChecks_Validator() : TTrBits_Validator("TTrByteChecks_Validator", 1, TCtrlClass::CheckBox) {}
    void Setup(std::uint16_t options, std::uint8_t mask, bool last) { SetMask(options, mask, last); }
};

class TTrWordChecks_Validator final : public TTrBits_Validator {
public:
    TTrWordChecks_Validator() : TTrBits_Validator("TTrWordChecks_Validator", 2, TCtrlClass::CheckBox) {}
    void Setup(std::uint16_t options, std::uint16_t mask, bool last) { SetMask(options, mask, last); }
};

class TTrLIntChecks_Validator final : public TTrBits_Validator {
public:
    TTrLIntChecks_Validator() : TTrBits_Validator("TTrLIntChecks_Validator", 4, TCtrlClass::CheckBox) {}
    void Setup(std::uint16_t options, std::uint32_t mask, bool last) { SetMask(options, mask, last); }
};

class TTrByteRadio_Validator final : public TTrBits_Validator {
public:
    TTrByteRadio_Validator() : TTrBits_Validator("TTrByteRadio_Validator", 1, TCtrlClass::RadioButton) {}
    void Setup(std::uint16_t options, std::uint8_t mask, bool last) { SetMask(options, mask, last); }
};

} // namespace ravlo
