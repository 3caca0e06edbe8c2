#pragma once

#include "framework/byte_stream.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// Reads record values from text: lines from a byte source (CR LF, CR or LF ends a line, so that
// files edited with LF line ends keep their line numbers and short lines; a byte 26 ends the
// input), non-blank characters with their line and column, nested "{...}" comments, quoted strings
// and typed numbers with range checks. The first error is shown in a message box as "LineNo:Col
// Text" and sets ErrorFlag, which stays set: every later read returns its default and shows
// nothing, so a caller can run a whole import and test the flag once.
class TLexReader {
public:
    static constexpr std::size_t kDefaultBufSize = 16 * 1024;
    // A line longer than this raises EStreamError; hex buffers make long lines, so it is generous.
    static constexpr std::size_t kMaxLineLength = 1024 * 1024;
    // Lines split ahead of use at one fill.
    static constexpr std::size_t kMaxFillLines = 1600;

    // String-table ids of the error titles.
    static constexpr int kLexicalError = 145;
    static constexpr int kSyntaxError = 146;
    static constexpr int kSemanticError = 147;
    static constexpr int kCharExpected = 148;

    // Default results.
    static constexpr std::uint8_t kByteDefault = 255;
    static constexpr std::uint16_t kWordDefault = 65535;
    static constexpr std::int16_t kSmallIntDefault = -1;
    static constexpr std::int32_t kIntegerDefault = -1;
    static constexpr std::uint32_t kDWordDefault = 0xFFFFFFFF;

    // ReadDWord modes: a date-time text packs as a TTC time in mode 2, else as a DOS file time.
    static constexpr std::uint8_t kDWordPlain = 0;
    static constexpr std::uint8_t kDWordDosTime = 1;
    static constexpr std::uint8_t kDWordTTCTime = 2;

    explicit TLexReader(Stream& source, std::size_t bufSize = kDefaultBufSize);

    // When no split line is waiting, splits more from the source; true when none is waiting
    // afterwards (end of input). Raises EStreamError for a line beyond kMaxLineLength.
    bool FillLines();
    // The next line ("" at the end of input); does not count it in LineNo.
    std::string NextLine();

    // The next non-blank character outside comments; 0 at the end of input or after an error.
    char NextChar();
    // The character at Col; 0 after an error or when Col is off the line.
    char CurChar() const;

    // The string whose opening quote (the quote character or an apostrophe) is at Col, up to the
    // same quote, which Col is left on; a doubled quote inside stands for one quote. A line end
    // inside is kept as CR LF, a lone LF as itself: older writers put a text's LF into the line
    // as it was. "" after an error.
    std::string ReadQuoted();
    // The next character must open a string: the string, else an error and "". Character codes
    // may follow a quoted part directly, each as "#" and decimal digits, and further quoted parts
    // after them ('a'#10'b'): so a value keeps the characters a quoted part cannot carry.
    std::string ReadString();

    // Numbers start at the next character: "$" and hex digits, or decimal digits with an optional
    // "-" (not for bytes). A hex number gives the raw bits of the value's width, so $FFFF reads as
    // -1 for ReadSmallInt and $80000000 as the lowest integer for ReadInteger. Col is left on the
    // number's last character.
    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    std::int16_t ReadSmallInt();
    std::int32_t ReadInteger();
    // A plain unsigned number, or a date and time (a number followed directly by the date
    // separator, then optionally a time after blanks) packed as the mode says.
    std::uint32_t ReadDWord(std::uint8_t mode);
    // A real within -1.0E38 .. 1.0E38; the locale's decimal separator is taken as well as ".".
    double ReadReal();

    // Skips one value: a string (with its character codes), or characters up to ")", ";" or the
    // field separator, which is the result (0 at the end of input). An empty value answers its
    // separator at once.
    char SkipToSeparator();

    // The error reporters; only the first error of a reader shows a message box.
    void LexError(int id, std::string_view text);
    void CharExpected(char ch);

    bool ErrorFlag() const { return errorFlag_; }
    // The message of the first error, "" while there is none.
    const std::string& ErrorText() const { return errorText_; }
    const std::string& CurLine() const { return curLine_; }
    // 1-based position in CurLine of the character last handed out; 0 for none on this line.
    std::int32_t Col() const { return col_; }
    // Lines taken into CurLine so far, empty ones included.
    std::int32_t LineNo() const { return lineNo_; }

private:
    // Moves complete lines from the bytes read into the line list; false when the source must
    // give more bytes first.
    void SplitLines();
    bool ReadChunk();
    // Takes the next line into CurLine; false at the end of input.
    bool TakeLine();
    int LineLength() const { return static_cast<int>(curLine_.size()); }
    // The integer token that starts at Col ("" when none does), Col then on its last character.
    std::string IntTokenAtCol();
    // After NextChar: the integer token at Col, or nullopt after a reported error.
    std::optional<std::string> NextIntToken(bool allowMinus, std::string_view charsText);
    std::uint32_t ReadDateTime(std::uint8_t mode, int tokenStart);
    // After a quoted part: the "#" codes and quoted parts that follow it directly.
    void ReadStringTail(std::string& text);
    // Limits of an integer read; a hex number ("$") is checked against its own limits.
    struct IntRange {
        std::int32_t fallback;
        std::int32_t min;
        std::int32_t max;
        std::int32_t hexMin;
        std::int32_t hexMax;
        std::string_view rangeText;
        bool allowMinus;
    };
    std::int32_t ReadIntIn(const IntRange& range);

    Stream& source_;
    std::vector<std::uint8_t> buf_;
    // Bytes read and not yet split; searched for a line end from scanned_ on.
    std::string pending_;
    std::size_t scanned_ = 0;
    bool sourceDone_ = false;
    struct SplitLine {
        std::string text;
        // Ended by an LF without CR before it.
        bool loneLf = false;
    };
    std::deque<SplitLine> lines_;

    std::string curLine_;
    bool curLineLoneLf_ = false;
    bool errorFlag_ = false;
    std::string errorText_;
    std::int32_t col_ = 0;
    std::int32_t lineNo_ = 0;
};

// A date text and a time text (each in the settings' form; an empty time is midnight, a date of
// zeros the empty date) packed as a TTC stamp (mode kDWordTTCTime) or else as a DOS file
// date-time; nullopt with errText when they do not convert.
std::optional<std::uint32_t> PackDateTimeText(std::string_view dateText, std::string_view timeText,
                                              std::uint8_t mode, std::string& errText);

} // namespace ravlo
