#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// The keyword syntax of named-object values in the application INI: keywords and values between
// separators (control characters, blank, "="), "{...}" comments where a separator may stand, and
// ";" at the start of a token ending the line. So "MAX=10", "MAX 10" and "MAX = 10" read alike.
struct TLexState {
    std::string LexLine;
    // 1-based position of the next character; LexLine.size() + 1 at the end of the line.
    std::size_t LexPos = 1;
};

// The one lexer state that the Lex* functions work on, shared by every parse on the main thread.
TLexState& LexState();
// Line and position of the last parse that failed, for its error report.
TLexState& LexFailLine();

// Loads text into the lexer at its first character.
void LexStart(std::string_view text);
// The part of the line that has been read.
std::string LexConsumed(const TLexState& state);

// Saves the lexer state and puts it back when it goes, so that a parse may run inside another.
class LexStateSaver {
public:
    LexStateSaver() : saved_(LexState()) {}
    ~LexStateSaver() { LexState() = std::move(saved_); }
    LexStateSaver(const LexStateSaver&) = delete;
    LexStateSaver& operator=(const LexStateSaver&) = delete;

private:
    TLexState saved_;
};

inline constexpr std::size_t kLexWordMax = 64;
inline constexpr std::size_t kLexKeywordMax = 20;

// Skips separators and comments; ";" jumps past the end of the line.
void LexSkipSep();
// The next word, upper-cased and cut to kLexWordMax characters; empty at the end of the line.
std::string LexGetWord();
// The same word as it stands in the line, not upper-cased.
std::string LexGetRawWord();
// The next string: text between double or single quotes as it stands (no escapes; an unclosed quote
// gives an empty text and ends the line), else the next word.
std::string LexGetStr();
// The next word as a 32-bit number (decimal, or "$" and hex digits, optional sign); nullopt for a
// missing word or one that is not such a number.
std::optional<std::int32_t> LexGetNum();
// The next number limited to [low, high]; nullopt also for a number outside.
std::optional<std::int32_t> LexGetNumIn(std::int32_t low, std::int32_t high);

// Reads the next number into a field when it lies in [low, high]; answers true (a keyword error)
// and leaves the field as it is for anything else.
template <class T>
bool LexGetField(T& field, std::int32_t low, std::int32_t high) {
    if (const std::optional<std::int32_t> value = LexGetNumIn(low, high)) {
        field = static_cast<T>(*value);
        return false;
    }
    return true;
}

// Whether LexGetWord and LexGetStr read the text back as one word just as it stands (no separator,
// no lower-case letter, no quote, comment or ";" in front).
bool LexIsWord(std::string_view text);
// The text written so that LexGetStr reads it back as it stands: between quotes it does not hold. A
// text holding both quotes can only have been read as a bare word, and is written as one.
std::string LexStrText(std::string_view text);

// The 1-based index of word in a list of equal-width entries each followed by "|" (the last "|" may
// be missing), the width being the length of the first entry. The word is cut or padded with blanks
// to that width, so "UPDATE" matches "UPD" and "AT" matches "AT ". 0 for an empty word or no match.
int LexKeyIndex(std::string_view word, std::string_view list);

// Parses text as a keyword list: reads keywords (cut to kLexKeywordMax) until the line ends or a
// keyword's handler answers true (failed); the handler reads the keyword's value itself. On failure
// the state at that point goes to LexFailLine. The caller's lexer state is restored in every case.
// Answers whether the parse failed.
using LexKeywordHandler = std::function<bool(std::string_view keyword)>;
bool LexParseKeywords(std::string_view text, const LexKeywordHandler& handler);

} // namespace ravlo
