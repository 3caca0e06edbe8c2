#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace ravlo {

// Longest text the system stores in one piece (a short string).
inline constexpr std::size_t kShortStringMax = 255;

// text cut to max characters.
std::string CutText(std::string text, std::size_t max);

// text cut to kShortStringMax characters.
inline std::string CutToShort(std::string text) {
    return CutText(std::move(text), kShortStringMax);
}

// text padded up to width characters (never beyond kShortStringMax); a text already that long,
// or a width of 0 or less, leaves it unchanged. Padding never cuts.
std::string PadRStr(std::string_view text, int width);
std::string PadLChr(std::string_view text, int width, char ch);
std::string PadRChr(std::string_view text, int width, char ch);

// The zero-terminated text in buf padded with blanks up to len characters and terminated at
// len, which is limited to buf.size() - 1; a longer text is thereby cut to len. A text without a
// terminator inside buf counts as filling it. An empty buf is left alone.
void PadPChar(std::span<char> buf, std::size_t len);

} // namespace ravlo
