#include "records/lex_writer.h"

#include <span>
#include <string>

namespace ravlo {

std::string QuotedText(std::string_view text, char quote) {
    std::string quoted(1, quote);
    for (const char c : text) {
        quoted += c;
        if (c == quote) {
            quoted += quote;
        }
    }
    quoted += quote;
    return quoted;
}

std::string StringValueText(std::string_view text) {
    std::string value;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n' && c != 26) {
            continue;
        }
        // The value begins with a quoted part; empty ones between codes are left out.
        if (i > start || value.empty()) {
            value += QuotedText(text.substr(start, i - start), '\'');
        }
        value += "#" + std::to_string(static_cast<unsigned char>(c));
        start = i + 1;
    }
    if (start < text.size() || value.empty()) {
        value += QuotedText(text.substr(start), '\'');
    }
    return value;
}

TLexWriter::TLexWriter(Stream& dest, std::uint16_t maxWidth) : MaxWidth(maxWidth), dest_(dest) {}

void TLexWriter::SetPrefix(std::string_view prefix) {
    prefix_ = prefix.substr(0, std::min(prefix.size(), kPrefixMax));
}

void TLexWriter::WrNewLine() {
    if (!line_.empty()) {
        WrFlushLine();
    }
    line_ = prefix_;
}

void TLexWriter::WrFlushLine() {
    line_ += "\r\n";
    dest_.WriteBuffer(std::span(reinterpret_cast<const std::uint8_t*>(line_.data()), line_.size()));
    line_.clear();
    ++lineCount_;
}

void TLexWriter::WrPChar(std::string_view text) {
    if (MaxWidth >= line_.size() && MaxWidth - line_.size() >= text.size()) {
        line_ += text;
        return;
    }
    WrFlushLine();
    line_ = prefix_;
    line_ += text;
}

void TLexWriter::WrChar(char ch) {
    if (BreakChars.test(static_cast<unsigned char>(ch))) {
        WrNewLine();
    }
    WrPChar(std::string_view(&ch, 1));
}

void TLexWriter::WrQuoted(std::string_view text, char quote) {
    WrPChar(QuotedText(text, quote));
}

void TLexWriter::WrFinish() {
    if (!line_.empty()) {
        WrFlushLine();
    }
}

} // namespace ravlo
