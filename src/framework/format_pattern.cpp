#include "framework/format_pattern.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace ravlo {
namespace {

// Widths and precisions above this are taken as this; results are short texts anyway.
constexpr int kMaxFieldSize = 255;
constexpr int kDefaultRealPrecision = 6;

struct Directive {
    bool left = false;
    bool zero = false;
    bool plus = false;
    bool space = false;
    int width = 0;
    int precision = -1; // -1: none given
    char conversion = 0;
};

// A converted field before padding: sign, then body.
struct Field {
    char sign = 0; // 0, '-', '+' or ' '
    std::string body;
    bool zeroPaddable = false;
};

bool IsConversion(char c) {
    switch (c) {
    case 's':
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
    case 'f':
    case 'g':
    case 'e':
    case 'c':
        return true;
    default:
        return false;
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads decimal digits at pos, saturating at kMaxFieldSize.
int ReadNumber(std::string_view pattern, std::size_t& pos) {
    int value = 0;
    while (pos < pattern.size() && IsDigit(pattern[pos])) {
        value = std::min(value * 10 + (pattern[pos] - '0'), kMaxFieldSize);
        ++pos;
    }
    return value;
}

// Parses the conversion that starts after a "%" at pos; on success pos ends past it.
std::optional<Directive> ParseDirective(std::string_view pattern, std::size_t& pos) {
    Directive directive;
    for (; pos < pattern.size(); ++pos) {
        const char c = pattern[pos];
        if (c == '-') {
            directive.left = true;
        } else if (c == '0') {
            directive.zero = true;
        } else if (c == '+') {
            directive.plus = true;
        } else if (c == ' ') {
            directive.space = true;
        } else {
            break;
        }
    }
    directive.width = ReadNumber(pattern, pos);
    if (pos < pattern.size() && pattern[pos] == '.') {
        ++pos;
        directive.precision = ReadNumber(pattern, pos);
    }
    if (pos >= pattern.size() || !IsConversion(pattern[pos])) {
        return std::nullopt;
    }
    directive.conversion = pattern[pos++];
    return directive;
}

// Hex digits are upper case for %x too, as everywhere in this system.
std::string Digits(std::uint64_t value, int base) {
    char buf[24];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, base);
    std::string text(buf, result.ptr);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// Negative values print as their two's complement: 32 bits when they fit, else 64.
std::uint64_t UnsignedView(std::int64_t value) {
    if (value >= 0) {
        return static_cast<std::uint64_t>(value);
    }
    if (value >= std::numeric_limits<std::int32_t>::min()) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    }
    return static_cast<std::uint64_t>(value);
}

char SignOf(bool negative, const Directive& directive) {
    if (negative) {
        return '-';
    }
    if (directive.plus) {
        return '+';
    }
    return directive.space ? ' ' : 0;
}

std::optional<Field> FormatInteger(const FormatArg& arg, const Directive& directive) {
    bool negative = false;
    std::uint64_t magnitude = 0;
    const bool isSigned = directive.conversion == 'd' || directive.conversion == 'i';
    if (const auto* s = std::get_if<std::int64_t>(&arg)) {
        if (isSigned) {
            negative = *s < 0;
            magnitude = negative ? 0 - static_cast<std::uint64_t>(*s) : static_cast<std::uint64_t>(*s);
        } else {
            magnitude = UnsignedView(*s);
        }
    } else if (const auto* u = std::get_if<std::uint64_t>(&arg)) {
        magnitude = *u;
    } else {
        return std::nullopt;
    }

    Field field;
    const bool hex = directive.conversion == 'x' || directive.conversion == 'X';
    // As in printf, precision 0 prints the value 0 as no digits at all.
    if (!(magnitude == 0 && directive.precision == 0)) {
        field.body = Digits(magnitude, hex ? 16 : 10);
    }
    if (directive.precision > static_cast<int>(field.body.size())) {
        field.body.insert(0, static_cast<std::size_t>(directive.precision) - field.body.size(), '0');
    }
    if (isSigned) {
        field.sign = SignOf(negative, directive);
    }
    field.zeroPaddable = directive.precision < 0;
    return field;
}

std::string RealText(double value, char conversion, int precision) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return "inf";
    }
    std::chars_format format = std::chars_format::general;
    if (conversion == 'f') {
        format = std::chars_format::fixed;
    } else if (conversion == 'e') {
        format = std::chars_format::scientific;
    }
    // Room for the 309 integer digits of the largest double plus the precision.
    char buf[400 + kMaxFieldSize];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, format, precision);
    return std::string(buf, result.ptr);
}

std::optional<Field> FormatReal(const FormatArg& arg, const Directive& directive) {
    double value = 0;
    if (const auto* d = std::get_if<double>(&arg)) {
        value = *d;
    } else if (const auto* s = std::get_if<std::int64_t>(&arg)) {
        value = static_cast<double>(*s);
    } else if (const auto* u = std::get_if<std::uint64_t>(&arg)) {
        value = static_cast<double>(*u);
    } else {
        return std::nullopt;
    }
    Field field;
    const bool negative = std::signbit(value) && !std::isnan(value);
    field.sign = SignOf(negative, directive);
    const int precision = directive.precision < 0 ? kDefaultRealPrecision : directive.precision;
    field.body = RealText(std::fabs(value), directive.conversion, precision);
    field.zeroPaddable = std::isfinite(value);
    return field;
}

std::optional<Field> FormatText(const FormatArg& arg, const Directive& directive) {
    Field field;
    if (const auto* text = std::get_if<std::string>(&arg)) {
        field.body = *text;
    } else if (const auto* s = std::get_if<std::int64_t>(&arg)) {
        field.body = *s < 0 ? "-" + Digits(0 - static_cast<std::uint64_t>(*s), 10)
                            : Digits(static_cast<std::uint64_t>(*s), 10);
    } else if (const auto* u = std::get_if<std::uint64_t>(&arg)) {
        field.body = Digits(*u, 10);
    } else {
        const double value = std::get<double>(arg);
        field.body = (std::signbit(value) && !std::isnan(value) ? "-" : "") +
                     RealText(std::fabs(value), 'g', kDefaultRealPrecision);
    }
    if (directive.precision >= 0 && field.body.size() > static_cast<std::size_t>(directive.precision)) {
        field.body.resize(static_cast<std::size_t>(directive.precision));
    }
    return field;
}

std::optional<Field> FormatChar(const FormatArg& arg) {
    std::uint64_t code = 0;
    if (const auto* s = std::get_if<std::int64_t>(&arg)) {
        code = static_cast<std::uint64_t>(*s);
    } else if (const auto* u = std::get_if<std::uint64_t>(&arg)) {
        code = *u;
    } else {
        return std::nullopt;
    }
    Field field;
    field.body.assign(1, static_cast<char>(static_cast<unsigned char>(code & 0xFFU)));
    return field;
}

std::optional<Field> FormatField(const FormatArg& arg, const Directive& directive) {
    switch (directive.conversion) {
    case 's':
        return FormatText(arg, directive);
    case 'c':
        return FormatChar(arg);
    case 'f':
    case 'g':
    case 'e':
        return FormatReal(arg, directive);
    default:
        return FormatInteger(arg, directive);
    }
}

void AppendPadded(std::string& out, const Field& field, const Directive& directive) {
    const std::size_t length = field.body.size() + (field.sign != 0 ? 1 : 0);
    const std::size_t pad = static_cast<std::size_t>(directive.width) > length ? directive.width - length : 0;
    if (directive.left) {
        if (field.sign != 0) {
            out += field.sign;
        }
        out += field.body;
        out.append(pad, ' ');
    } else if (directive.zero && field.zeroPaddable) {
        if (field.sign != 0) {
            out += field.sign;
        }
        out.append(pad, '0');
        out += field.body;
    } else {
        out.append(pad, ' ');
        if (field.sign != 0) {
            out += field.sign;
        }
        out += field.body;
    }
}

} // namespace

std::string FormatPattern(std::string_view pattern, std::span<const FormatArg> args) {
    std::string out;
    out.reserve(pattern.size());
    std::size_t nextArg = 0;
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const char c = pattern[pos];
        if (c != '%') {
            out += c;
            ++pos;
            continue;
        }
        if (pos + 1 < pattern.size() && pattern[pos + 1] == '%') {
            out += '%';
            pos += 2;
            continue;
        }
        const std::size_t start = pos++;
        const std::optional<Directive> directive = ParseDirective(pattern, pos);
        if (!directive) {
            // Not a conversion we know: everything read stays as written, except that a "%"
            // which stopped the parse begins the next conversion.
            out.append(pattern.substr(start, pos - start));
            if (pos < pattern.size() && pattern[pos] != '%') {
                out += pattern[pos++];
            }
            continue;
        }
        if (nextArg >= args.size()) {
            out += kFormatMissingArg;
            continue;
        }
        const std::optional<Field> field = FormatField(args[nextArg++], *directive);
        if (!field) {
            out += kFormatWrongArg;
            continue;
        }
        AppendPadded(out, *field, *directive);
    }
    return out;
}

} // namespace ravlo
