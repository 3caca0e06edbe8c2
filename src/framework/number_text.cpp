#include "framework/number_text.h"

#include "framework/padding.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace ravlo {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// More decimals than a short string holds are never shown.
constexpr int kMaxDecimals = static_cast<int>(kShortStringMax);

// |x| = 0.digits * 10^point, digits without leading zeros ("0" for zero); digits may be emptied
// by rounding, which then means zero.
struct DecimalForm {
    std::string digits;
    int point = 0;
};

// The shortest decimal form that reads back as x, so 0.15 rounds like the 0.15 a user typed.
DecimalForm ShortestDecimal(double x) {
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
    const std::string_view text(buf, static_cast<std::size_t>(result.ptr - buf));
    const std::size_t e = text.find('e');
    DecimalForm form;
    for (const char c : text.substr(0, e)) {
        if (c != '.') {
            form.digits += c;
        }
    }
    std::string_view exponent = text.substr(e + 1);
    const bool negative = exponent.front() == '-';
    exponent.remove_prefix(1);
    int value = 0;
    std::from_chars(exponent.data(), exponent.data() + exponent.size(), value);
    form.point = (negative ? -value : value) + 1;
    return form;
}

// Keeps the first keep digits, rounding half away from zero.
void RoundDigits(DecimalForm& form, int keep) {
    if (keep < 0) {
        form.digits.clear();
        return;
    }
    const auto kept = static_cast<std::size_t>(keep);
    if (kept >= form.digits.size()) {
        form.digits.append(kept - form.digits.size(), '0');
        return;
    }
    const bool up = form.digits[kept] >= '5';
    form.digits.resize(kept);
    if (!up) {
        return;
    }
    std::size_t i = kept;
    while (i > 0 && form.digits[i - 1] == '9') {
        form.digits[--i] = '0';
    }
    if (i > 0) {
        ++form.digits[i - 1];
    } else {
        form.digits.insert(0, 1, '1');
        ++form.point;
    }
}

char DigitAt(const DecimalForm& form, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= form.digits.size()) {
        return '0';
    }
    return form.digits[static_cast<std::size_t>(index)];
}

bool IsZero(const DecimalForm& form) {
    return form.digits.find_first_not_of('0') == std::string::npos;
}

std::string NonFiniteText(double x) {
    if (std::isnan(x)) {
        return "NAN";
    }
    return x < 0 ? "-INF" : "INF";
}

std::string FixedText(double x, int decimals) {
    if (!std::isfinite(x)) {
        return NonFiniteText(x);
    }
    DecimalForm form = ShortestDecimal(x);
    RoundDigits(form, form.point + decimals);
    std::string text = (x < 0 && !IsZero(form)) ? "-" : "";
    if (form.point <= 0) {
        text += '0';
    }
    for (int i = 0; i < form.point; ++i) {
        text += DigitAt(form, i);
    }
    if (decimals > 0) {
        text += '.';
        for (int i = form.point; i < form.point + decimals; ++i) {
            text += DigitAt(form, i);
        }
    }
    return text;
}

template <class Number>
std::string DecimalText(Number value, int width) {
    char buf[24];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    return PadLChr(std::string_view(buf, static_cast<std::size_t>(result.ptr - buf)), width, ' ');
}

template <class Number>
std::string HexText(Number value, int digitCount) {
    std::string text(static_cast<std::size_t>(digitCount), '0');
    for (int i = digitCount - 1; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kHexDigits[value & 0xFu];
        value = static_cast<Number>(value >> 4);
    }
    return text;
}

} // namespace

std::string ByteStr(std::uint8_t value, int width) {
    return DecimalText(value, width);
}
std::string WordStr(std::uint16_t value, int width) {
    return DecimalText(value, width);
}
std::string IntStr(std::int32_t value, int width) {
    return DecimalText(value, width);
}
std::string LIntStr(std::int32_t value, int width) {
    return DecimalText(value, width);
}
std::string DWordStr(std::uint32_t value, int width) {
    return DecimalText(static_cast<std::uint64_t>(value), width);
}

std::string RealStr(double x, int width, int decimals) {
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    if (width == decimals && decimals > 0) {
        std::string text = PadLChr(FixedText(x, decimals - 1), width, ' ');
        text.resize(std::min(text.size(), static_cast<std::size_t>(width)));
        return text;
    }
    return CutToShort(PadLChr(FixedText(x, decimals), width, ' '));
}

std::string RealExpStr(double x, int width) {
    if (!std::isfinite(x)) {
        return PadLChr(NonFiniteText(x), width, ' ');
    }
    // Width counts a sign place, the leading digit, the point and a four-digit exponent.
    const int decimals = std::clamp(width - 9, 1, 16);
    DecimalForm form = ShortestDecimal(x);
    int exponent = 0;
    if (!IsZero(form)) {
        RoundDigits(form, decimals + 1);
        exponent = form.point - 1;
    }
    std::string text = x < 0 ? "-" : "";
    text += DigitAt(form, 0);
    text += '.';
    for (int i = 1; i <= decimals; ++i) {
        text += IsZero(form) ? '0' : DigitAt(form, i);
    }
    text += exponent < 0 ? "E-" : "E+";
    text += PadLChr(std::to_string(std::abs(exponent)), 4, '0');
    return PadLChr(TrimExponent(std::move(text)), width, ' ');
}

std::string TrimExponent(std::string text) {
    const std::size_t e = text.find_first_of("Ee");
    if (e == std::string::npos || text.size() - e - 1 <= 2) {
        return text;
    }
    const std::size_t lastTwo = text.size() - 2;
    std::string trimmed = text.substr(0, e + 1);
    for (std::size_t i = e + 1; i < lastTwo; ++i) {
        if (text[i] != '0') {
            trimmed += text[i];
        }
    }
    trimmed += text.substr(lastTwo);
    return trimmed;
}

char HexN(unsigned value) {
    return kHexDigits[value & 0xFu];
}
std::string HexB(std::uint8_t value) {
    return HexText(value, 2);
}
std::string HexW(std::uint16_t value) {
    return HexText(value, 4);
}
std::string HexDW(std::uint32_t value) {
    return HexText(value, 8);
}

std::string HexBuf(std::span<const std::uint8_t> buf, std::size_t count) {
    count = std::min({count, buf.size(), kShortStringMax});
    std::string text;
    text.reserve(count * 2);
    for (const std::uint8_t b : buf.first(count)) {
        text += HexB(b);
    }
    return CutToShort(std::move(text));
}

std::string TwoDigits(unsigned n) {
    return {static_cast<char>('0' + n % 100 / 10), static_cast<char>('0' + n % 10)};
}

double Pow10R(int n) {
    return n <= 0 ? 1.0 : std::pow(10.0, n);
}

int RealDecimals(int digits, double x) {
    if (!std::isfinite(x)) {
        return 0;
    }
    const double magnitude = std::fabs(x);
    int n = std::min(digits - 1, 15);
    double p = 1;
    // Ends at the latest when p overflows to infinity.
    do {
        p *= 10;
        --n;
    } while (!(magnitude < p));
    if (x < 0) {
        --n;
    }
    const double f = Pow10R(n);
    const double scaled = magnitude * f;
    if (scaled >= 2147483647.0) {
        --n;
    } else if (std::nearbyint(scaled) >= p * f) {
        // The rounded text would need one more digit.
        --n;
    }
    return std::max(n, 0);
}

bool SameMem(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t len) {
    if (a.size() < len || b.size() < len) {
        return false;
    }
    return len == 0 || std::memcmp(a.data(), b.data(), len) == 0;
}

} // namespace ravlo
