#pragma once

#include "framework/num_edit_validators.h"

#include <cstdint>
#include <string>

namespace ravlo {

// The transfer records of record fields that the framework's validators do not cover.

// A signed number of 1 or 2 bytes (decimal), alone or followed in its field by its minimum and
// maximum of the same width.
class TTrSignedEdit_Validator final : public TTrNumEdit_Validator {
public:
    TTrSignedEdit_Validator(std::uint8_t width, bool limitsInField);
    void Setup(std::uint16_t options) { Options = options; }
};

// The signed 32-bit value, minimum and maximum of a limited long integer.
class TTrLIntLimEdit_Validator final : public TTrNumEdit_Validator {
public:
    TTrLIntLimEdit_Validator();
    void Setup(std::uint16_t options) { Options = options; }
};

// A 6-byte real in an edit; with limits its field is the value, minimum and maximum (6 bytes each)
// and a format byte (low 5 bits the decimals, bit 7 the scientific form). A text that is no number
// shows string-table text 153, a value out of range text 160. A text left as it was shown keeps the
// value's bytes, so that showing fewer decimals than the value has changes nothing.
class TTrRealpEdit_Validator final : public TCtrlValidator {
public:
    explicit TTrRealpEdit_Validator(bool limitsInField) : limitsInField_(limitsInField) {}

    std::string_view ClassName() const override;
    // The form of a value without limits in its field.
    void Setup(std::uint16_t options, std::uint8_t decimals, bool scientific);

    std::size_t DataSize() const override;
    void Load(std::span<std::uint8_t> field) override;
    bool Validate() override;
    void Store() override;

protected:
    TCtrlClass RequiredClass() const override { return TCtrlClass::Edit; }
    void ShowEmpty() override { Control->SetText({}); }
    void ShowValue() override;

private:
    std::string ShownText() const;

    bool limitsInField_;
    std::uint8_t decimals_ = 2;
    bool scientific_ = false;
    double value_ = 0;
    double min_ = 0;
    double max_ = 0;
    double loadedValue_ = 0;
    std::string loadedText_;
};

// Bytes of a transfer record that no control shows; they stay as they are.
class TTrSkip_Validator final : public TCtrlValidator {
public:
    explicit TTrSkip_Validator(std::size_t size) : size_(size) {}

    std::string_view ClassName() const override { return "TTrSkip_Validator"; }
    std::size_t DataSize() const override { return size_; }
    void Load(std::span<std::uint8_t> field) override { FieldPtr = field; }
    bool Validate() override { return true; }
    void Store() override {}

protected:
    TCtrlClass RequiredClass() const override { return TCtrlClass::Edit; }
    void ShowEmpty() override {}
    void ShowValue() override {}

private:
    std::size_t size_;
};

} // namespace ravlo
