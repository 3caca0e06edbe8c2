#pragma once

#include "framework/ctrl_validator.h"

#include <bitset>

namespace ravlo {

// The characters a string field allows, one bit per code page 1250 byte.
using TCharSet = std::bitset<256>;

// The characters first..last.
TCharSet CharRange(std::uint8_t first, std::uint8_t last);

// A short string field of MaxLen bytes (a length byte and at most MaxLen - 1 characters) in an
// edit. Validate cuts the text to MaxLen - 1 characters, trims it as the options say (kValTrimLeft,
// kValTrimRight) and accepts it when every character is allowed; otherwise it shows the label, or
// string-table text 162 without one.
class TTrStringEdit_Validator final : public TCtrlValidator {
public:
    std::string_view ClassName() const override { return "TTrStringEdit_Validator"; }
    // maxLen 0 has no room for the length byte: ExcValidators.
    void Setup(std::uint16_t options, std::uint16_t maxLen, const TCharSet& allowed);

    std::size_t DataSize() const override { return maxLen_; }
    void Load(std::span<std::uint8_t> field) override;
    bool Validate() override;
    void Store() override;

protected:
    TCtrlClass RequiredClass() const override { return TCtrlClass::Edit; }
    void ShowEmpty() override { Control->SetText({}); }
    void ShowValue() override;

private:
    std::uint16_t maxLen_ = 256;
    TCharSet allowed_ = CharRange(32, 255);
    std::string value_;
};

} // namespace ravlo
