#pragma once

#include "framework/ctrl_validator.h"

namespace ravlo {

class TEnumTypeDefStrings;

// A value byte shown as an entry of a named enumeration (TAppExtension::GetEnumStrings) in a combo
// box or a radio group. The plain kinds take the enumeration's type index from the 4 bytes after the
// value byte (a field of 5 bytes); the "Run" kinds get it in Setup and their field is the value
// byte. The masked ("Msk") kinds keep their value in the bits of Mask, which must be one run of set
// bits: the value is (field and Mask) shr Shift, and Store changes only those bits, so several of
// them can share a byte (all but the last with kValNoRoom). A masked kind's maximum is at most what
// the mask can hold.
//
// Load fills the control with the entries and selects the value's entry; a value without an entry
// is shown as a number, with nothing selected. Validate takes the selected entry's value, or with
// nothing selected looks the typed text up among the entries and failing that reads it as a number;
// it refuses a value outside Min..Max with "Enum Err: " and the reason in an error box.
class TTrEnum_Validator : public TCtrlValidator {
public:
    std::string_view ClassName() const override { return className_; }
    std::size_t DataSize() const override { return typeInField_ ? 5 : 1; }
    void Load(std::span<std::uint8_t> field) override;
    bool Validate() override;
    void Store() override;

protected:
    TTrEnum_Validator(std::string_view className, bool typeInField, TCtrlClass ctrlClass)
        : className_(className), typeInField_(typeInField), ctrlClass_(ctrlClass) {}

    // A mask of 0 or with gaps between its bits raises ExcValidators.
    void SetUp(std::uint16_t options, std::int32_t typeIndex, std::uint8_t mask, std::uint8_t min,
               std::uint8_t max);
    TCtrlClass RequiredClass() const override { return ctrlClass_; }
    void ShowEmpty() override;
    void ShowValue() override;

private:
    TEnumTypeDefStrings* Strings() const;
    // The reason the control's choice is refused (empty when it is accepted, with value set).
    std::string Check(std::uint8_t& value) const;
    std::string RangeText() const;

    std::string_view className_;
    bool typeInField_;
    TCtrlClass ctrlClass_;
    std::int32_t typeIndex_ = -1;
    std::uint8_t mask_ = 0xFF;
    std::uint8_t shift_ = 0;
    std::uint8_t min_ = 0;
    std::uint8_t max_ = 0xFF;
    std::uint8_t value_ = 0;
};

class TTrEnumCombo_Validator final : public TTrEnum_Validator {
public:
    TTrEnumCombo_Validator() : TTrEnum_Validator("TTrEnumCombo_Validator", true, TCtrlClass::ComboBox) {}
    void Setup(std::uint16_t options, std::uint8_t min = 0, std::uint8_t max = 0xFF) {
        SetUp(options, -1, 0xFF, min, max);
    }
};

class TTrMskEnumCombo_Validator final : public TTrEnum_Validator {
public:
    TTrMskEnumCombo_Validator()
        : TTrEnum_Validator("TTrMskEnumCombo_Validator", true, TCtrlClass::ComboBox) {}
    void Setup(std::uint16_t options, std::uint8_t mask, std::uint8_t min = 0, std::uint8_t max = 0xFF) {
        SetUp(options, -1, mask, min, max);
    }
};

class TTrEnumRunCombo_Validator final : public TTrEnum_Validator {
public:
    TTrEnumRunCombo_Validator()
        : TTrEnum_Validator("TTrEnumRunCombo_Validator", false, TCtrlClass::ComboBox) {}
    void Setup(std::uint16_t options, std::int32_t typeIndex, std::uint8_t min = 0, std::uint8_t max = 0xFF) {
        SetUp(options, typeIndex, 0xFF, min, max);
    }
};

class TTrMskEnumRunCombo_Validator final : public TTrEnum_Validator {
public:
    TTrMskEnumRunCombo_Validator()
        : TTrEnum_Validator("TTrMskEnumRunCombo_Validator", false, TCtrlClass::ComboBox) {}
    void Setup(std::uint16_t options, std::int32_t typeIndex, std::uint8_t mask, std::uint8_t min = 0,
               std::uint8_t max = 0xFF) {
        SetUp(options, typeIndex, mask, min, max);
    }
};

// A radio group has no typed text: with nothing selected it is refused.
class TTrMskEnumRunRadioGroup_Validator final : public TTrEnum_Validator {
public:
    TTrMskEnumRunRadioGroup_Validator()
        : TTrEnum_Validator("TTrMskEnumRunRadioGroup_Validator", false, TCtrlClass::RadioGroup) {}
    void Setup(std::uint16_t options, std::int32_t typeIndex, std::uint8_t mask, std::uint8_t min = 0,
               std::uint8_t max = 0xFF) {
        SetUp(options, typeIndex, mask, min, max);
    }
};

} // namespace ravlo
