#include "framework/token_readers.h"

#include "framework/text_settings.h"

namespace ravlo {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool StartsReal(char c) {
    return c == '+' || c == '-' || c == '.' || IsDigit(c);
}
bool InReal(char c) {
    return StartsReal(c) || c == 'E' || c == 'e';
}

// Skips while skip says so; false when the end or a stop character was reached instead.
template <class Skip>
bool SkipTo(std::size_t& pos, std::string_view text, Skip skip) {
    while (pos < text.size() && skip(text[pos])) {
        ++pos;
    }
    return pos < text.size();
}

template <class Belongs>
std::string Collect(std::size_t& pos, std::string_view text, Belongs belongs) {
    const std::size_t start = pos;
    while (pos < text.size() && belongs(text[pos])) {
        ++pos;
    }
    return std::string(text.substr(start, pos - start));
}

// Digits and one separator, after skipping to a digit but not beyond FieldSep.
std::string SeparatedDigits(std::size_t& pos, std::string_view text, char separator) {
    if (!SkipTo(pos, text, [](char c) { return !IsDigit(c) && c != FieldSep; }) || text[pos] == FieldSep) {
        return {};
    }
    return Collect(pos, text, [separator](char c) { return IsDigit(c) || c == separator; });
}

} // namespace

std::string GetRealTok(std::size_t& pos, std::string_view text) {
    if (!SkipTo(pos, text, [](char c) { return !StartsReal(c); })) {
        return {};
    }
    return Collect(pos, text, InReal);
}

std::string GetLocRealTok(std::size_t& pos, std::string_view text) {
    if (FieldSep == ',') {
        return GetRealTok(pos, text);
    }
    const char localSep = DecimalSep == '.' ? ',' : DecimalSep;
    if (!SkipTo(pos, text, [localSep](char c) { return !StartsReal(c) && c != localSep; })) {
        return {};
    }
    std::string token = Collect(pos, text, [localSep](char c) { return InReal(c) || c == localSep; });
    for (char& c : token) {
        if (c == localSep) {
            c = '.';
        }
    }
    return token;
}

std::string GetIntTok(std::size_t& pos, std::string_view text) {
    if (!SkipTo(pos, text, [](char c) { return c != '$' && c != '-' && !IsDigit(c); })) {
        return {};
    }
    if (text[pos] == '$') {
        return Collect(pos, text, [](char c) { return c == '$' || IsHexDigit(c); });
    }
    return Collect(pos, text, [](char c) { return c == '-' || IsDigit(c); });
}

std::string GetDateTok(std::size_t& pos, std::string_view text) {
    return SeparatedDigits(pos, text, DateSep);
}
std::string GetTimeTok(std::size_t& pos, std::string_view text) {
    return SeparatedDigits(pos, text, TimeSep);
}

std::string GetDigitsTok(std::size_t& pos, std::string_view text) {
    if (!SkipTo(pos, text, [](char c) { return !IsDigit(c); })) {
        return {};
    }
    return Collect(pos, text, IsDigit);
}

std::string GetWordTok(std::size_t& pos, std::string_view text) {
    if (!SkipTo(pos, text, [](char c) { return c == ' '; })) {
        return {};
    }
    return Collect(pos, text, [](char c) { return c != ' '; });
}

} // namespace ravlo
