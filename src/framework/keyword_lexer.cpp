#include "framework/keyword_lexer.h"

#include "framework/number_parse.h"
#include "platform/text_case.h"

#include <algorithm>

namespace ravlo {
namespace {

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == '=';
}

// The next character (0-based index of LexPos), or nullopt past the end.
std::optional<char> Peek(const TLexState& s) {
    if (s.LexPos < 1 || s.LexPos > s.LexLine.size()) {
        return std::nullopt;
    }
    return s.LexLine[s.LexPos - 1];
}

void JumpToEnd(TLexState& s) {
    s.LexPos = s.LexLine.size() + 1;
}

} // namespace

TLexState& LexState() {
    static TLexState state;
    return state;
}

TLexState& LexFailLine() {
    static TLexState state;
    return state;
}

void LexStart(std::string_view text) {
    LexState().LexLine.assign(text);
    LexState().LexPos = 1;
}

std::string LexConsumed(const TLexState& state) {
    const std::size_t read = state.LexPos == 0 ? 0 : state.LexPos - 1;
    return state.LexLine.substr(0, std::min(read, state.LexLine.size()));
}

void LexSkipSep() {
    TLexState& s = LexState();
    while (const std::optional<char> c = Peek(s)) {
        if (IsSeparator(*c)) {
            ++s.LexPos;
        } else if (*c == '{') {
            const std::size_t close = s.LexLine.find('}', s.LexPos);
            if (close == std::string::npos) {
                JumpToEnd(s);
            } else {
                s.LexPos = close + 2; // past the "}"
            }
        } else if (*c == ';') {
            JumpToEnd(s);
        } else {
            return;
        }
    }
}

std::string LexGetWord() {
    return Cp1250ToUpper(LexGetRawWord());
}

std::string LexGetRawWord() {
    LexSkipSep();
    TLexState& s = LexState();
    std::string word;
    while (const std::optional<char> c = Peek(s)) {
        if (IsSeparator(*c)) {
            break;
        }
        if (word.size() < kLexWordMax) {
            word += *c;
        }
        ++s.LexPos;
    }
    return word;
}

std::string LexGetStr() {
    LexSkipSep();
    TLexState& s = LexState();
    const std::optional<char> quote = Peek(s);
    if (quote != '"' && quote != '\'') {
        return LexGetWord();
    }
    const std::size_t close = s.LexLine.find(*quote, s.LexPos);
    if (close == std::string::npos) {
        JumpToEnd(s);
        return {};
    }
    std::string text = s.LexLine.substr(s.LexPos, close - s.LexPos);
    s.LexPos = close + 2;
    return text;
}

std::optional<std::int32_t> LexGetNum() {
    const std::string word = LexGetWord();
    if (word.empty()) {
        return std::nullopt;
    }
    return ValInt32(word);
}

std::optional<std::int32_t> LexGetNumIn(std::int32_t low, std::int32_t high) {
    const std::optional<std::int32_t> value = LexGetNum();
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

bool LexIsWord(std::string_view text) {
    if (text.empty() || text.size() > kLexWordMax ||
        std::string_view("\"'{;").find(text.front()) != std::string_view::npos) {
        return false;
    }
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return !IsSeparator(c) && Cp1250ToUpper(c) == c; });
}

std::string LexStrText(std::string_view text) {
    const std::string value(text);
    if (text.find('\'') == std::string_view::npos) {
        return "'" + value + "'";
    }
    if (text.find('"') == std::string_view::npos) {
        return '"' + value + '"';
    }
    return value;
}

int LexKeyIndex(std::string_view word, std::string_view list) {
    const std::size_t width = list.find('|') == std::string_view::npos ? list.size() : list.find('|');
    if (word.empty() || width == 0) {
        return 0;
    }
    std::string key(word.substr(0, width));
    key.resize(width, ' ');
    int index = 1;
    for (std::size_t at = 0; at < list.size(); at += width + 1, ++index) {
        if (list.substr(at, width) == key) {
            return index;
        }
    }
    return 0;
}

bool LexParseKeywords(std::string_view text, const LexKeywordHandler& handler) {
    const LexStateSaver saver;
    LexStart(text);
    bool err = false;
    while (!err) {
        std::string keyword = LexGetWord();
        if (keyword.empty()) {
            break;
        }
        keyword.resize(std::min(keyword.size(), kLexKeywordMax));
        err = handler(keyword);
    }
    if (err) {
        LexFailLine() = LexState();
    }
    return err;
}

} // namespace ravlo
