#include "framework/padding.h"

#include <algorithm>

namespace ravlo {
namespace {

std::size_t PaddedWidth(std::string_view text, int width) {
    if (width <= 0) {
        return text.size();
    }
    return std::max(text.size(), std::min(static_cast<std::size_t>(width), kShortStringMax));
}

} // namespace

std::string CutText(std::string text, std::size_t max) {
    if (text.size() > max) {
        text.resize(max);
    }
    return text;
}

std::string PadRStr(std::string_view text, int width) {
    return PadRChr(text, width, ' ');
}

std::string PadLChr(std::string_view text, int width, char ch) {
    std::string result(PaddedWidth(text, width) - text.size(), ch);
    result += text;
    return result;
}

std::string PadRChr(std::string_view text, int width, char ch) {
    std::string result(text);
    result.resize(PaddedWidth(text, width), ch);
    return result;
}

void PadPChar(std::span<char> buf, std::size_t len) {
    if (buf.empty()) {
        return;
    }
    len = std::min(len, buf.size() - 1);
    const auto terminator = std::find(buf.begin(), buf.end(), '\0');
    const auto textLength = static_cast<std::size_t>(terminator - buf.begin());
    if (textLength < len) {
        std::fill(buf.begin() + static_cast<std::ptrdiff_t>(textLength),
                  buf.begin() + static_cast<std::ptrdiff_t>(len), ' ');
    }
    buf[len] = '\0';
}

} // namespace ravlo
