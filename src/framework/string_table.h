#pragma once

#include "framework/format_pattern.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// One entry of the program's string table, written in UTF-8 in the source.
struct StringText {
    int id;
    std::string_view utf8;
};

// Every string-table text of the program, in one table (framework/string_texts.cpp).
std::span<const StringText> ProgramStringTexts();

// What AppLoadStr answers for an id the table does not hold.
inline constexpr std::string_view kMissingStringText = "\x7F";

// The code page 1250 text of id, at most 254 characters; an unknown id gives kMissingStringText.
std::string AppLoadStr(int id);

// The same into a zero-terminated buffer: id 0 gives an empty text, an unknown id
// "string resource error"; the text is cut to fit. Returns the characters written before the
// terminating zero (0 for an empty buffer, which is left untouched).
std::size_t AppLoadStrBuf(int id, std::span<char> buf);

// The text of id used as a FormatPattern pattern; the result is cut to 255 characters.
std::string AppLoadStrFmt(int id, std::span<const FormatArg> args);

} // namespace ravlo
