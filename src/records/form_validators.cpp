#include "records/form_validators.h"

#include "framework/date_text.h"
#include "framework/le_bytes.h"
#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "framework/string_table.h"
#include "framework/text_settings.h"
#include "records/lex_reader.h"
#include "records/ttc_time.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ravlo {
namespace {

constexpr int kTimeSyntaxId = 152;
constexpr int kNumberSyntaxId = 153;
constexpr int kTimeRangeId = 155;
constexpr int kTextRangeId = 159;
constexpr int kDateSyntaxId = 136;
// Hours of a duration: more digits than any 32-bit count of seconds needs.
constexpr std::size_t kHourDigitsMax = 7;
// Far beyond any raw value, and still exact in a double.
constexpr double kRawBound = 1e15;

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits and separators only.
bool DigitsAnd(std::string_view text, char separator) {
    return std::all_of(text.begin(), text.end(),
                       [separator](char c) { return IsDigit(c) || c == separator; });
}

// Hours, minutes and seconds separated by TimeSep, the hours first; missing groups are 0.
std::optional<std::int64_t> ParseSeconds(std::string_view text, bool withSign) {
    std::int64_t sign = 1;
    if (withSign && !text.empty() && (text[0] == '+' || text[0] == '-')) {
        sign = text[0] == '-' ? -1 : 1;
        text.remove_prefix(1);
    }
    std::array<std::int64_t, 3> groups{};
    for (std::size_t count = 0;; ++count) {
        const std::size_t end = std::min(text.find(TimeSep), text.size());
        const std::string_view digits = text.substr(0, end);
        const std::size_t maxDigits = count == 0 ? kHourDigitsMax : 2;
        if (count == groups.size() || digits.empty() || digits.size() > maxDigits ||
            !DigitsAnd(digits, '0')) {
            return std::nullopt;
        }
        groups[count] = *ValInt64(digits);
        if (end == text.size()) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    if (groups[1] > 59 || groups[2] > 59) {
        return std::nullopt;
    }
    return sign * (groups[0] * 3600 + groups[1] * 60 + groups[2]);
}

} // namespace

TTrFormEdit_Validator::TTrFormEdit_Validator(const TValueForm& form, const TRawNumber& raw)
    : form_(form), raw_(raw) {
    const unsigned bits = 8u * raw_.Width;
    min_ = raw_.Signed ? -(std::int64_t{1} << (bits - 1)) : 0;
    max_ = raw_.Signed ? (std::int64_t{1} << (bits - 1)) - 1 : (std::int64_t{1} << bits) - 1;
}

std::size_t TTrFormEdit_Validator::DataSize() const {
    return raw_.LimitsInField ? 3u * raw_.Width : raw_.Width;
}

std::int64_t TTrFormEdit_Validator::ReadAt(std::size_t index) const {
    return GetLEWidthInt(FieldPtr, index * raw_.Width, raw_.Width, raw_.Signed);
}

void TTrFormEdit_Validator::Load(std::span<std::uint8_t> field) {
    FieldPtr = field;
    value_ = ReadAt(0);
    if (raw_.LimitsInField) {
        min_ = ReadAt(1);
        max_ = ReadAt(2);
    }
    loadedText_ = FormText(value_);
    ShowValue();
}

std::string TTrFormEdit_Validator::FormText(std::int64_t value) const {
    switch (form_.kind) {
    case TValueForm::Kind::Scaled:
        return RealStr(static_cast<double>(value) / Pow10R(form_.Scale), 0, form_.Decimals);
    case TValueForm::Kind::Seconds:
        return SecsToTimeStr(value);
    case TValueForm::Kind::SignedSeconds:
        return SgnSecsToStr(value);
    case TValueForm::Kind::TTCTime:
        return TTCTimeStr(static_cast<std::uint32_t>(value));
    case TValueForm::Kind::DosTime:
        return FileDateStr(static_cast<std::int32_t>(value));
    }
    return {};
}

std::optional<std::int64_t> TTrFormEdit_Validator::Parse(std::string_view text, std::string& error) const {
    text = Trimmed(text);
    switch (form_.kind) {
    case TValueForm::Kind::Scaled: {
        const std::optional<double> value = ValReal(text);
        if (!value) {
            error = AppLoadStr(kNumberSyntaxId);
            return std::nullopt;
        }
        // The nearest raw value; one far out of range stays out of range.
        return std::llround(std::clamp(*value * Pow10R(form_.Scale), -kRawBound, kRawBound));
    }
    case TValueForm::Kind::Seconds:
    case TValueForm::Kind::SignedSeconds: {
        const auto seconds = ParseSeconds(text, form_.kind == TValueForm::Kind::SignedSeconds);
        if (!seconds) {
            error = AppLoadStr(kTimeSyntaxId);
        }
        return seconds;
    }
    case TValueForm::Kind::TTCTime:
    case TValueForm::Kind::DosTime: {
        // The date, then after blanks the time, as the text form writes them.
        const std::size_t blank = std::min(text.find(' '), text.size());
        const std::string_view date = text.substr(0, blank);
        const std::string_view time = Trimmed(text.substr(blank));
        if (date.empty() || !DigitsAnd(date, DateSep) || !DigitsAnd(time, TimeSep)) {
            error = AppLoadStr(kDateSyntaxId);
            return std::nullopt;
        }
        const std::uint8_t mode =
            form_.kind == TValueForm::Kind::TTCTime ? TLexReader::kDWordTTCTime : TLexReader::kDWordDosTime;
        const std::optional<std::uint32_t> packed = PackDateTimeText(date, time, mode, error);
        return packed ? std::optional<std::int64_t>(*packed) : std::nullopt;
    }
    }
    return std::nullopt;
}

bool TTrFormEdit_Validator::Less(std::int64_t a, std::int64_t b) const {
    if (form_.kind == TValueForm::Kind::TTCTime) {
        return CmpTTCTime(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b)) < 0;
    }
    return a < b;
}

void TTrFormEdit_Validator::ShowValue() {
    if (Control != nullptr) {
        Control->SetText(FormText(value_));
    }
}

bool TTrFormEdit_Validator::Validate() {
    if (Control == nullptr) {
        return true;
    }
    const std::string text = Control->Text();
    if (text == loadedText_) {
        value_ = ReadAt(0);
        return true;
    }
    std::string error;
    const std::optional<std::int64_t> value = Parse(text, error);
    if (!value) {
        return Fail(error);
    }
    if (Less(*value, min_) || Less(max_, *value)) {
        const bool time =
            form_.kind == TValueForm::Kind::Seconds || form_.kind == TValueForm::Kind::SignedSeconds;
        const std::string shown = std::string(Trimmed(text));
        const std::array<FormatArg, 3> args = {shown, FormText(min_), FormText(max_)};
        const std::string label = Label();
        return Fail(label.empty() ? AppLoadStrFmt(time ? kTimeRangeId : kTextRangeId, args)
                                  : CutToShort(FormatPattern(label, args)));
    }
    value_ = *value;
    return true;
}

void TTrFormEdit_Validator::Store() {
    // The bytes stay as they are while the text is the one shown at Load.
    if (Control != nullptr && Control->Text() != loadedText_) {
        PutLEWidth(FieldPtr, 0, raw_.Width, static_cast<std::uint32_t>(value_));
    }
}

} // namespace ravlo
