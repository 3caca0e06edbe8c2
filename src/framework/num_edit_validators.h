#pragma once

#include "framework/ctrl_validator.h"

#include <cstdint>
#include <optional>

namespace ravlo {

// The number edits. A field holds the value (1, 2 or 4 bytes, little-endian); the "Lim" kinds hold
// the value, then its minimum and maximum of the same width, and take their limits from there.
// Load shows the value in decimal, or "$" and 2, 4 or 8 hex digits with kValHex; Validate reads the
// text as decimal or "$" hex (leading blanks skipped) and keeps it when it lies within the limits.
// A text that is no number shows string-table text 153; a value out of range shows the label used
// as a format pattern with the value, minimum and maximum, or without a label the range text of
// the kind (156/157 with kValHex, else 158/159).
class TTrNumEdit_Validator : public TCtrlValidator {
public:
    std::string_view ClassName() const override { return kind_.className; }
    std::size_t DataSize() const override;
    void Load(std::span<std::uint8_t> field) override;
    bool Validate() override;
    void Store() override;

protected:
    struct Kind {
        std::string_view className;
        std::uint8_t width;
        bool isSigned;
        bool limitsInField;
        int hexRangeId;
        int decRangeId;
    };

    TTrNumEdit_Validator(const Kind& kind, std::int64_t min, std::int64_t max)
        : kind_(kind), min_(min), max_(max) {}

    void SetLimits(std::uint16_t options, std::int64_t min, std::int64_t max);
    TCtrlClass RequiredClass() const override { return TCtrlClass::Edit; }
    void ShowEmpty() override;
    void ShowValue() override;

private:
    std::int64_t ReadAt(std::size_t index) const;
    std::optional<std::int64_t> Parse(std::string_view text) const;
    std::string ShownText() const;

    Kind kind_;
    std::int64_t value_ = 0;
    std::int64_t min_;
    std::int64_t max_;
};

class TTrByteEdit_Validator final : public TTrNumEdit_Validator {
public:
    TTrByteEdit_Validator();
    void Setup(std::uint16_t options, std::uint8_t min = 0, std::uint8_t max = 0xFF) {
        SetLimits(options, min, max);
    }
};

class TTrByteLimEdit_Validator final : public TTrNumEdit_Validator {
public:
    TTrByteLimEdit_Validator();
    void Setup(std::uint16_t options) { Options = options; }
};

class TTrWordEdit_Validator final : public TTrNumEdit_Validator {
public:
    TTrWordEdit_Validator();
    void Setup(std::uint16_t options, std::uint16_t min = 0, std::uint16_t max = 0xFFFF) {
        SetLimits(options, min, max);
    }
};

class TTrWordLimEdit_Validator final : public TTrNumEdit_Validator {
public:
    TTrWordLimEdit_Validator();
    void Setup(std::uint16_t options) { Options = options; }
};

// A signed 32-bit value; "$" hex texts are 32-bit patterns ("$FFFFFFFF" is -1).
class TTrLIntEdit_Validator final : public TTrNumEdit_Validator {
public:
    TTrLIntEdit_Validator();
    void Setup(std::uint16_t options, std::int32_t min = INT32_MIN, std::int32_t max = INT32_MAX) {
        SetLimits(options, min, max);
    }
};

// An unsigned 32-bit value, compared unsigned.
class TTrDWordEdit_Validator final : public TTrNumEdit_Validator {
public:
    TTrDWordEdit_Validator();
    void Setup(std::uint16_t options, std::uint32_t min = 0, std::uint32_t max = UINT32_MAX) {
        SetLimits(options, min, max);
    }
};

class TTrDWordLimEdit_Validator final : public TTrNumEdit_Validator {
public:
    TTrDWordLimEdit_Validator();
    void Setup(std::uint16_t options) { Options = options; }
};

} // namespace ravlo
