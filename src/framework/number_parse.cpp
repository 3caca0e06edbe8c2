#include "framework/number_parse.h"

#include <charconv>
#include <limits>
#include <string>
#include <system_error>

namespace ravlo {
namespace {

struct IntText {
    bool negative = false;
    bool hex = false;
    std::uint64_t magnitude = 0;
};

int DigitValue(char c, unsigned base) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (base == 16 && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (base == 16 && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<IntText> ScanInt(std::string_view text) {
    IntText result;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        result.negative = text[i] == '-';
        ++i;
    }
    if (i < text.size() && text[i] == '$') {
        result.hex = true;
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    const unsigned base = result.hex ? 16 : 10;
    constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0 || result.magnitude > (kMax - static_cast<unsigned>(digit)) / base) {
            return std::nullopt;
        }
        result.magnitude = result.magnitude * base + static_cast<unsigned>(digit);
    }
    return result;
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
    }
    return i;
}

} // namespace

std::string_view SkipLeadingBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::optional<std::int64_t> ValInt64(std::string_view text) {
    const auto scanned = ScanInt(text);
    if (!scanned) {
        return std::nullopt;
    }
    constexpr auto kMaxPositive = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (!scanned->negative) {
        if (scanned->magnitude > kMaxPositive) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(scanned->magnitude);
    }
    if (scanned->magnitude > kMaxPositive + 1) {
        return std::nullopt;
    }
    // Two's complement negation in unsigned arithmetic covers the most negative value too.
    return static_cast<std::int64_t>(0 - scanned->magnitude);
}

std::optional<std::int32_t> ValInt32(std::string_view text) {
    const auto scanned = ScanInt(text);
    if (!scanned) {
        return std::nullopt;
    }
    if (scanned->hex) {
        if (scanned->magnitude > 0xFFFFFFFFu) {
            return std::nullopt;
        }
        auto pattern = static_cast<std::uint32_t>(scanned->magnitude);
        if (scanned->negative) {
            pattern = 0u - pattern;
        }
        return static_cast<std::int32_t>(pattern);
    }
    const std::uint64_t limit = scanned->negative ? 0x80000000u : 0x7FFFFFFFu;
    if (scanned->magnitude > limit) {
        return std::nullopt;
    }
    const auto magnitude = static_cast<std::int64_t>(scanned->magnitude);
    return static_cast<std::int32_t>(scanned->negative ? -magnitude : magnitude);
}

std::optional<std::uint32_t> ValDWord(std::string_view text) {
    const auto scanned = ScanInt(text);
    if (!scanned || scanned->magnitude > 0xFFFFFFFFu || (scanned->negative && scanned->magnitude != 0)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(scanned->magnitude);
}

std::optional<double> ValReal(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t numberStart = i;
    const std::size_t intEnd = SkipDigits(text, i);
    std::size_t mantissaDigits = intEnd - i;
    i = intEnd;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, i + 1);
        mantissaDigits += fractionEnd - (i + 1);
        i = fractionEnd;
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponentEnd = SkipDigits(text, i);
        if (exponentEnd == i) {
            return std::nullopt;
        }
        i = exponentEnd;
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    // from_chars takes no "+" sign, so the sign is applied here.
    double value = 0;
    const std::string_view number = text.substr(numberStart);
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc() || end != number.data() + number.size()) {
        return std::nullopt;
    }
    return (!text.empty() && text[0] == '-') ? -value : value;
}

} // namespace ravlo
