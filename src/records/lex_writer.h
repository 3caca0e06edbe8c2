#pragma once

#include "framework/byte_stream.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// text between two quote characters, an embedded quote doubled.
std::string QuotedText(std::string_view text, char quote);

// text as a string value between apostrophes, with the characters that a quoted part cannot carry
// through the reader (CR, LF and the end-of-data byte 26) as "#" codes between quoted parts:
// 'a'#10'b'. The reader's ReadString gives text back unchanged.
std::string StringValueText(std::string_view text);

// Collects text into lines that end in CR LF: every new line starts with Prefix, a piece that
// would take the line past MaxWidth starts a new line, and a character of BreakChars starts a new
// line before itself. Lines have no length limit. The last line is written by WrFinish.
class TLexWriter {
public:
    static constexpr std::size_t kPrefixMax = 31;
    static constexpr std::uint16_t kDefaultMaxWidth = 80;

    explicit TLexWriter(Stream& dest, std::uint16_t maxWidth = kDefaultMaxWidth);

    // The prefix of the lines begun from now on, cut to kPrefixMax characters.
    void SetPrefix(std::string_view prefix);
    const std::string& Prefix() const { return prefix_; }

    // Writes a line that holds anything, then begins one with the prefix.
    void WrNewLine();
    // Writes the line and CR LF and empties it.
    void WrFlushLine();
    // Appends text when it fits within MaxWidth; otherwise writes the line (an empty one too) and
    // begins the next with the prefix and text.
    void WrPChar(std::string_view text);
    void WrStr(std::string_view text) { WrPChar(text); }
    // A break character begins a new line first.
    void WrChar(char ch);
    // text between two quote characters, an embedded quote doubled, as one piece, so that a line
    // break never falls inside it.
    void WrQuoted(std::string_view text, char quote = '\'');
    // Writes the last line when it holds anything.
    void WrFinish();

    const std::string& Line() const { return line_; }
    std::size_t LineLen() const { return line_.size(); }
    std::int32_t LineCount() const { return lineCount_; }

    std::uint16_t MaxWidth;
    std::bitset<256> BreakChars;

private:
    Stream& dest_;
    std::string line_;
    std::string prefix_;
    std::int32_t lineCount_ = 0;
};

} // namespace ravlo
