#include "platform/text_case.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace ravlo {
namespace {

// Upper/lower pairs of the code page outside the regular block 0xC0-0xDE / 0xE0-0xFE.
constexpr std::array<std::pair<std::uint8_t, std::uint8_t>, 10> kIrregularPairs = {{
    {0x8A, 0x9A}, // S caron
    {0x8C, 0x9C}, // S acute
    {0x8D, 0x9D}, // T caron
    {0x8E, 0x9E}, // Z caron
    {0x8F, 0x9F}, // Z acute
    {0xA3, 0xB3}, // L stroke
    {0xA5, 0xB9}, // A ogonek
    {0xAA, 0xBA}, // S cedilla
    {0xAF, 0xBF}, // Z dot
    {0xBC, 0xBE}, // L caron
}};

struct CaseTables {
    std::array<std::uint8_t, 256> lower{};
    std::array<std::uint8_t, 256> upper{};
};

constexpr CaseTables MakeCaseTables() {
    CaseTables tables;
    for (int i = 0; i < 256; ++i) {
        tables.lower[i] = static_cast<std::uint8_t>(i);
        tables.upper[i] = static_cast<std::uint8_t>(i);
    }
    auto pair = [&tables](int upper, int lower) {
        tables.lower[upper] = static_cast<std::uint8_t>(lower);
        tables.upper[lower] = static_cast<std::uint8_t>(upper);
    };
    for (int c = 'A'; c <= 'Z'; ++c) {
        pair(c, c + 0x20);
    }
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) { // the multiplication sign has no case
            pair(c, c + 0x20);
        }
    }
    for (const auto& [upper, lower] : kIrregularPairs) {
        pair(upper, lower);
    }
    return tables;
}

constexpr CaseTables kCase = MakeCaseTables();

char AsciiUpperChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
}

} // namespace

char Cp1250ToLower(char c) {
    return static_cast<char>(kCase.lower[static_cast<std::uint8_t>(c)]);
}

char Cp1250ToUpper(char c) {
    return static_cast<char>(kCase.upper[static_cast<std::uint8_t>(c)]);
}

std::string Cp1250ToUpper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return Cp1250ToUpper(c); });
    return out;
}

bool SameTextNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Cp1250ToLower(x) == Cp1250ToLower(y); });
}

int CompareTextNoCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const std::uint8_t x = kCase.lower[static_cast<std::uint8_t>(a[i])];
        const std::uint8_t y = kCase.lower[static_cast<std::uint8_t>(b[i])];
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string AsciiToUpper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiUpperChar);
    return out;
}

bool SameAsciiNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiUpperChar(x) == AsciiUpperChar(y); });
}

} // namespace ravlo
