#include "framework/num_edit_validators.h"

#include "framework/le_bytes.h"
#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "framework/string_table.h"

#include <array>

namespace ravlo {
namespace {

constexpr int kNumberSyntaxId = 153;
constexpr int kHexRangeId = 156;
constexpr int kLIntHexRangeId = 157;
constexpr int kDecRangeId = 158;
constexpr int kUnsignedRangeId = 159;

} // namespace

TTrByteEdit_Validator::TTrByteEdit_Validator()
    : TTrNumEdit_Validator({"TTrByteEdit_Validator", 1, false, false, kHexRangeId, kDecRangeId}, 0, 0xFF) {}

TTrByteLimEdit_Validator::TTrByteLimEdit_Validator()
    : TTrNumEdit_Validator({"TTrByteLimEdit_Validator", 1, false, true, kHexRangeId, kDecRangeId}, 0, 0xFF) {}

TTrWordEdit_Validator::TTrWordEdit_Validator()
    : TTrNumEdit_Validator({"TTrWordEdit_Validator", 2, false, false, kHexRangeId, kDecRangeId}, 0, 0xFFFF) {}

TTrWordLimEdit_Validator::TTrWordLimEdit_Validator()
    : TTrNumEdit_Validator({"TTrWordLimEdit_Validator", 2, false, true, kHexRangeId, kDecRangeId}, 0,
                           0xFFFF) {}

TTrLIntEdit_Validator::TTrLIntEdit_Validator()
    : TTrNumEdit_Validator({"TTrLIntEdit_Validator", 4, true, false, kLIntHexRangeId, kDecRangeId}, INT32_MIN,
                           INT32_MAX) {}

TTrDWordEdit_Validator::TTrDWordEdit_Validator()
    : TTrNumEdit_Validator({"TTrDWordEdit_Validator", 4, false, false, kHexRangeId, kUnsignedRangeId}, 0,
                           UINT32_MAX) {}

TTrDWordLimEdit_Validator::TTrDWordLimEdit_Validator()
    : TTrNumEdit_Validator({"TTrDWordLimEdit_Validator", 4, false, true, kHexRangeId, kUnsignedRangeId}, 0,
                           UINT32_MAX) {}

std::size_t TTrNumEdit_Validator::DataSize() const {
    return kind_.limitsInField ? 3u * kind_.width : kind_.width;
}

void TTrNumEdit_Validator::SetLimits(std::uint16_t options, std::int64_t min, std::int64_t max) {
    Options = options;
    min_ = min;
    max_ = max;
}

std::int64_t TTrNumEdit_Validator::ReadAt(std::size_t index) const {
    return GetLEWidthInt(FieldPtr, index * kind_.width, kind_.width, kind_.isSigned);
}

void TTrNumEdit_Validator::Load(std::span<std::uint8_t> field) {
    FieldPtr = field;
    value_ = ReadAt(0);
    if (kind_.limitsInField) {
        min_ = ReadAt(1);
        max_ = ReadAt(2);
    }
    ShowValue();
}

std::optional<std::int64_t> TTrNumEdit_Validator::Parse(std::string_view text) const {
    text = SkipLeadingBlanks(text);
    if (kind_.isSigned) {
        const auto value = ValInt32(text);
        return value ? std::optional<std::int64_t>(*value) : std::nullopt;
    }
    if (kind_.width == 4) {
        const auto value = ValDWord(text);
        return value ? std::optional<std::int64_t>(*value) : std::nullopt;
    }
    return ValInt64(text);
}

bool TTrNumEdit_Validator::Validate() {
    if (Control == nullptr) {
        return true;
    }
    const std::optional<std::int64_t> value = Parse(Control->Text());
    if (!value) {
        return Fail(AppLoadStr(kNumberSyntaxId));
    }
    if (*value < min_ || *value > max_) {
        const std::array<FormatArg, 3> args = {*value, min_, max_};
        const std::string label = Label();
        const int rangeId = (Options & kValHex) != 0 ? kind_.hexRangeId : kind_.decRangeId;
        return Fail(label.empty() ? AppLoadStrFmt(rangeId, args) : CutToShort(FormatPattern(label, args)));
    }
    value_ = *value;
    return true;
}

void TTrNumEdit_Validator::Store() {
    PutLEWidth(FieldPtr, 0, kind_.width, static_cast<std::uint32_t>(value_));
}

std::string TTrNumEdit_Validator::ShownText() const {
    const auto bits = static_cast<std::uint32_t>(value_);
    if ((Options & kValHex) != 0) {
        // The low 2, 4 or 8 digits of the 32-bit pattern.
        return "$" + HexDW(bits).substr(8 - 2u * kind_.width);
    }
    return kind_.isSigned ? LIntStr(static_cast<std::int32_t>(bits)) : DWordStr(bits);
}

void TTrNumEdit_Validator::ShowEmpty() {
    Control->SetText({});
}

void TTrNumEdit_Validator::ShowValue() {
    if (Control != nullptr) {
        Control->SetText(ShownText());
    }
}

} // namespace ravlo
