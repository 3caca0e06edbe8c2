#include "framework/checked_conversions.h"

#include "framework/number_parse.h"
#include "framework/padding.h"
#include "framework/string_table.h"
#include "framework/text_settings.h"
#include "framework/token_readers.h"

#include <algorithm>
#include <array>
#include <optional>

namespace ravlo {
namespace {

constexpr int kIntegerSyntaxId = 134;
constexpr int kOutOfRangeId = 135;
constexpr int kLongIntSyntaxId = 138;
constexpr int kRealSyntaxId = 139;

// Date and time texts longer than this are not looked at further.
constexpr std::size_t kDateTimeTextMax = 40;
// A digit group longer than this is out of range, never cut into a valid value.
constexpr std::size_t kGroupDigitsMax = 4;

std::string Message(int id, std::string_view range) {
    return CutToShort(AppLoadStr(id) + " " + std::string(range));
}

bool Fail(std::string& text, std::size_t maxLen, int id) {
    text = Message(id, {});
    text.resize(std::min(text.size(), maxLen));
    return false;
}

template <class T>
bool WithinLimits(T v, T max, T min, std::uint32_t options) {
    const bool aboveMin = (options & kChkMinExclusive) != 0 ? v > min : v >= min;
    const bool belowMax = (options & kChkMaxExclusive) != 0 ? v < max : v <= max;
    return aboveMin && belowMax;
}

template <class T>
bool CheckNumber(std::string& text, std::size_t maxLen, T& value, std::optional<T> parsed, int syntaxId,
                 std::uint32_t options, T max, T min) {
    if (!parsed) {
        return Fail(text, maxLen, syntaxId);
    }
    if (!WithinLimits(*parsed, max, min, options)) {
        return Fail(text, maxLen, kOutOfRangeId);
    }
    value = *parsed;
    text.clear();
    return true;
}

std::array<std::string, 3> DigitGroups(std::string_view text) {
    text = text.substr(0, std::min(text.size(), kDateTimeTextMax));
    std::size_t pos = 0;
    std::array<std::string, 3> groups;
    for (auto& group : groups) {
        group = GetDigitsTok(pos, text);
    }
    return groups;
}

// The value of a digit group ("" is 0); -1 for one too long to be any field.
int GroupValue(const std::string& group) {
    if (group.size() > kGroupDigitsMax) {
        return -1;
    }
    int value = 0;
    for (const char c : group) {
        value = value * 10 + (c - '0');
    }
    return value;
}

struct FieldRange {
    int min;
    int max;
    std::string_view text;
};

// Stores the group's value (plus offset) in field when it lies in range, else sets errText.
bool CheckField(int groupValue, FieldRange range, int offset, std::uint16_t& field, std::string& errText) {
    if (groupValue < range.min || groupValue > range.max) {
        errText = Message(kOutOfRangeId, range.text);
        return false;
    }
    field = static_cast<std::uint16_t>(groupValue + offset);
    return true;
}

} // namespace

bool StrToIntChk(std::string& text, std::size_t maxLen, std::int32_t& value, std::uint32_t options,
                 std::int32_t max, std::int32_t min) {
    return CheckNumber(text, maxLen, value, ValInt32(SkipLeadingBlanks(text)), kIntegerSyntaxId, options, max,
                       min);
}

bool StrToLongIntChk(std::string& text, std::size_t maxLen, std::int32_t& value, std::uint32_t options,
                     std::int32_t max, std::int32_t min) {
    return CheckNumber(text, maxLen, value, ValInt32(SkipLeadingBlanks(text)), kLongIntSyntaxId, options, max,
                       min);
}

bool StrToDWordChk(std::string& text, std::size_t maxLen, std::uint32_t& value, std::uint32_t options,
                   std::uint32_t max, std::uint32_t min) {
    const auto wide = ValInt64(SkipLeadingBlanks(text));
    if (wide && (*wide < 0 || *wide > 0xFFFFFFFF)) {
        return Fail(text, maxLen, kOutOfRangeId);
    }
    const auto parsed = wide ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*wide)) : std::nullopt;
    return CheckNumber(text, maxLen, value, parsed, kLongIntSyntaxId, options, max, min);
}

bool StrToRealChk(std::string& text, std::size_t maxLen, double& value, std::uint32_t options, double max,
                  double min) {
    return CheckNumber(text, maxLen, value, ValReal(SkipLeadingBlanks(text)), kRealSyntaxId, options, max,
                       min);
}

bool StrToDateChk(std::string_view text, std::string& errText, std::uint16_t& year, std::uint16_t& month,
                  std::uint16_t& day) {
    return StrToDateChk(text, errText, year, month, day, DateYearWindow{});
}

bool StrToDateChk(std::string_view text, std::string& errText, std::uint16_t& year, std::uint16_t& month,
                  std::uint16_t& day, const DateYearWindow& window) {
    const auto groups = DigitGroups(text);
    std::size_t dayAt = 0;
    std::size_t monthAt = 1;
    std::size_t yearAt = 2;
    if (DateOrder == kDateOrderMonthDayYear) {
        dayAt = 1;
        monthAt = 0;
    } else if (DateOrder == kDateOrderYearMonthDay) {
        dayAt = 2;
        yearAt = 0;
    }
    if (!CheckField(GroupValue(groups[dayAt]), {1, 31, "< 1,31>"}, 0, day, errText) ||
        !CheckField(GroupValue(groups[monthAt]), {1, 12, "< 1,12>"}, 0, month, errText)) {
        return false;
    }
    const std::string& yearGroup = groups[yearAt];
    const int yearValue = GroupValue(yearGroup);
    if (yearGroup.size() > 2) {
        const std::string range =
            "<" + std::to_string(window.first) + "," + std::to_string(window.last) + ">";
        return CheckField(yearValue, {window.first, window.last, range}, 0, year, errText);
    }
    return CheckField(yearValue, {0, 99, "< 0,99>"}, yearValue < window.pivot ? 2000 : 1900, year, errText);
}

bool StrToTimeChk(std::string_view text, std::string& errText, std::uint16_t& hour, std::uint16_t& min,
                  std::uint16_t& sec) {
    const auto groups = DigitGroups(text);
    return CheckField(GroupValue(groups[0]), {0, 23, "< 0,23>"}, 0, hour, errText) &&
           CheckField(GroupValue(groups[1]), {0, 59, "< 0,59>"}, 0, min, errText) &&
           CheckField(GroupValue(groups[2]), {0, 59, "< 0,59>"}, 0, sec, errText);
}

} // namespace ravlo
