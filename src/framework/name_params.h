#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// Pieces of the read/parse/write protocol that TNameObject and TNameColl share.

// Reads a UPD value (0..255) from the lexer and applies it: a value above 1 is ignored while upd is
// already set, so that "write once" cannot override "write every time". Answers whether it failed.
bool LexGetUpd(std::uint8_t& upd);

// The key's value in the read section of the application INI.
std::string ReadNamedValue(std::string_view name);
// Error line for a missing or empty key.
void ReportMissingEntry(std::string_view name, std::string_view className);
// The trace line of a verbose read.
void TraceNamedValue(std::string_view name, std::string_view value);
// The two error lines of a failed parse: the heading (ending in tail) and the line up to the point of
// failure between "### " and "#".
void ReportParseFailure(std::string_view name, std::string_view className, std::string_view tail);
// Writes text ("{nothing}" when empty) under key to the write section of the application INI.
void WriteNamedParams(std::string_view key, const std::string& text);

} // namespace ravlo
