#include "records/field_validators.h"

#include "framework/format_pattern.h"
#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "framework/string_table.h"
#include "records/field_bytes.h"
#include "records/real48.h"

#include <array>

namespace ravlo {
namespace {

constexpr int kLIntHexRangeId = 157;
constexpr int kDecRangeId = 158;
constexpr int kNumberSyntaxId = 153;
constexpr int kRealRangeId = 160;

constexpr std::uint8_t kFormatDecimals = 0x1F;
constexpr std::uint8_t kFormatScientific = 0x80;

std::string_view SignedName(std::uint8_t width, bool limitsInField) {
    if (width == 1) {
        return limitsInField ? "TTrShortIntLimEdit_Validator" : "TTrShortIntEdit_Validator";
    }
    return limitsInField ? "TTrSmallIntLimEdit_Validator" : "TTrSmallIntEdit_Validator";
}

} // namespace

TTrSignedEdit_Validator::TTrSignedEdit_Validator(std::uint8_t width, bool limitsInField)
    : TTrNumEdit_Validator(
          {SignedName(width, limitsInField), width, true, limitsInField, kLIntHexRangeId, kDecRangeId},
          width == 1 ? -128 : -32768, width == 1 ? 127 : 32767) {}

TTrLIntLimEdit_Validator::TTrLIntLimEdit_Validator()
    : TTrNumEdit_Validator({"TTrLIntLimEdit_Validator", 4, true, true, kLIntHexRangeId, kDecRangeId},
                           INT32_MIN, INT32_MAX) {}

std::string_view TTrRealpEdit_Validator::ClassName() const {
    return limitsInField_ ? "TTrRealpLimEdit_Validator" : "TTrRealpEdit_Validator";
}

void TTrRealpEdit_Validator::Setup(std::uint16_t options, std::uint8_t decimals, bool scientific) {
    Options = options;
    decimals_ = decimals;
    scientific_ = scientific;
}

std::size_t TTrRealpEdit_Validator::DataSize() const {
    return limitsInField_ ? 3 * kReal48Size + 1 : kReal48Size;
}

void TTrRealpEdit_Validator::Load(std::span<std::uint8_t> field) {
    FieldPtr = field;
    value_ = Real48ToDouble(field);
    if (limitsInField_) {
        min_ = Real48ToDouble(field.subspan(kReal48Size));
        max_ = Real48ToDouble(field.subspan(2 * kReal48Size));
        const std::uint8_t format = field[3 * kReal48Size];
        decimals_ = format & kFormatDecimals;
        scientific_ = (format & kFormatScientific) != 0;
    }
    loadedValue_ = value_;
    loadedText_ = ShownText();
    ShowValue();
}

std::string TTrRealpEdit_Validator::ShownText() const {
    if (!scientific_) {
        return RealStr(value_, 0, decimals_);
    }
    std::string text = RealExpStr(value_, decimals_ + 9);
    std::erase(text, ' ');
    return text;
}

void TTrRealpEdit_Validator::ShowValue() {
    if (Control != nullptr) {
        Control->SetText(ShownText());
    }
}

bool TTrRealpEdit_Validator::Validate() {
    if (Control == nullptr) {
        return true;
    }
    const std::string text = Control->Text();
    if (text == loadedText_) {
        value_ = loadedValue_;
        return true;
    }
    const std::optional<double> value = ValReal(SkipLeadingBlanks(text));
    if (!value || !DoubleToReal48(*value)) {
        return Fail(AppLoadStr(kNumberSyntaxId));
    }
    if (limitsInField_ && (*value < min_ || *value > max_)) {
        const std::array<FormatArg, 3> args = {*value, min_, max_};
        return Fail(AppLoadStrFmt(kRealRangeId, args));
    }
    value_ = *value;
    return true;
}

void TTrRealpEdit_Validator::Store() {
    // The bytes stay as they are while the text is the one shown at Load.
    if (Control != nullptr && Control->Text() != loadedText_) {
        PutBytes(FieldPtr, DoubleToReal48Clamped(value_));
    }
}

} // namespace ravlo
