#pragma once

#include "framework/ctrl_validator.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// The form in which a field's text shows its integer value.
struct TValueForm {
    enum class Kind {
        Scaled,        // the value divided by 10^Scale, with Decimals decimals
        Seconds,       // a count of seconds as hours, minutes and seconds
        SignedSeconds, // the same with a sign in front
        TTCTime,       // a TTC stamp as a date and time
        DosTime,       // a DOS file date-time as a date and time
    };
    Kind kind = Kind::Scaled;
    int Scale = 0;
    int Decimals = 0;
};

// The integer under the form: Width bytes (1, 2 or 4), signed or not, alone in its field or
// followed by its minimum and maximum of the same width.
struct TRawNumber {
    std::uint8_t Width = 4;
    bool Signed = false;
    bool LimitsInField = false;
};

// An integer field edited in the form its text shows: 1.750 for 1750 at scale 3, 00:00:10 for ten
// seconds, a date and time for a stamp. The limits are the raw value's (the field's own, else the
// range of its width), and the range message shows them in the form as well (string-table text
// 159, 155 for times). A text that is not of the form shows text 153 (numbers), 152 (times) or the
// date's own message. A text left as it was shown keeps the field's bytes, so that a form with
// fewer decimals than the scale changes nothing.
class TTrFormEdit_Validator final : public TCtrlValidator {
public:
    TTrFormEdit_Validator(const TValueForm& form, const TRawNumber& raw);

    std::string_view ClassName() const override { return "TTrFormEdit_Validator"; }
    std::size_t DataSize() const override;
    void Load(std::span<std::uint8_t> field) override;
    bool Validate() override;
    void Store() override;

    // The value as the form shows it.
    std::string FormText(std::int64_t value) const;
    // The value a text of the form names; nullopt with error's message when it names none.
    std::optional<std::int64_t> Parse(std::string_view text, std::string& error) const;

protected:
    TCtrlClass RequiredClass() const override { return TCtrlClass::Edit; }
    void ShowEmpty() override { Control->SetText({}); }
    void ShowValue() override;

private:
    std::int64_t ReadAt(std::size_t index) const;
    // The order of two values in the form: a TTC stamp orders by its day word first.
    bool Less(std::int64_t a, std::int64_t b) const;

    TValueForm form_;
    TRawNumber raw_;
    std::int64_t value_ = 0;
    std::int64_t min_ = 0;
    std::int64_t max_ = 0;
    std::string loadedText_;
};

} // namespace ravlo
