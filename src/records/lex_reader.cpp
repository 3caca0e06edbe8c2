#include "records/lex_reader.h"

#include "framework/checked_conversions.h"
#include "framework/date_text.h"
#include "framework/message_box.h"
#include "framework/padding.h"
#include "framework/string_table.h"
#include "framework/text_settings.h"
#include "framework/token_readers.h"
#include "platform/cp1250.h"
#include "platform/exception.h"
#include "records/ttc_time.h"

#include <limits>

namespace ravlo {
namespace {

constexpr char kEndOfData = 26;
constexpr std::size_t kTitleMax = 127;
// Date and time texts are parsed from their first characters only.
constexpr std::size_t kDateTimeTextMax = 12;

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsQuote(char c) {
    return c == QuoteChar || c == '\'';
}

// TTC stamps reach 2080, so two-digit years from 92 on are of the 1900s; DOS times reach 2107.
constexpr DateYearWindow kTTCYears{1980, 2080, 92};
constexpr DateYearWindow kDosYears{1980, 2107, 80};

} // namespace

TLexReader::TLexReader(Stream& source, std::size_t bufSize)
    : source_(source), buf_(std::max<std::size_t>(bufSize, 1)) {}

bool TLexReader::ReadChunk() {
    const std::size_t count = source_.Read(buf_);
    if (count == 0) {
        return false;
    }
    pending_.append(reinterpret_cast<const char*>(buf_.data()), count);
    return true;
}

void TLexReader::SplitLines() {
    std::size_t start = 0;
    std::size_t i = scanned_;
    while (i < pending_.size() && lines_.size() < kMaxFillLines) {
        const char c = pending_[i];
        if (c == kEndOfData) {
            // The rest of the source is not data.
            pending_.resize(i);
            sourceDone_ = true;
            break;
        }
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        if (c == '\r' && i + 1 == pending_.size() && !sourceDone_) {
            // An LF may follow in the next chunk.
            break;
        }
        lines_.push_back({pending_.substr(start, i - start), c == '\n'});
        i += (c == '\r' && i + 1 < pending_.size() && pending_[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    pending_.erase(0, start);
    scanned_ = i - start;
    if (pending_.size() > kMaxLineLength) {
        throw EStreamError(Utf8ToCp1250("Příliš dlouhá řádka"));
    }
}

bool TLexReader::FillLines() {
    if (!lines_.empty()) {
        return false;
    }
    while (lines_.empty()) {
        SplitLines();
        if (!lines_.empty()) {
            break;
        }
        if (sourceDone_ || !ReadChunk()) {
            sourceDone_ = true;
            SplitLines();
            if (lines_.empty() && !pending_.empty()) {
                // The last line has no line end.
                lines_.push_back({std::move(pending_), false});
                pending_.clear();
                scanned_ = 0;
            }
            break;
        }
    }
    return lines_.empty();
}

std::string TLexReader::NextLine() {
    if (FillLines()) {
        return {};
    }
    std::string line = std::move(lines_.front().text);
    lines_.pop_front();
    return line;
}

bool TLexReader::TakeLine() {
    if (FillLines()) {
        return false;
    }
    curLineLoneLf_ = lines_.front().loneLf;
    curLine_ = NextLine();
    ++lineNo_;
    col_ = curLine_.empty() ? 0 : 1;
    return true;
}

char TLexReader::NextChar() {
    if (errorFlag_) {
        return 0;
    }
    col_ = LineLength() > col_ ? col_ + 1 : 0;
    // Comments nest; the depth is counted here rather than by recursion.
    int depth = 0;
    for (;;) {
        if (col_ > 0) {
            while (col_ <= LineLength() && IsBlank(curLine_[static_cast<std::size_t>(col_ - 1)])) {
                ++col_;
            }
            if (col_ <= LineLength()) {
                const char c = curLine_[static_cast<std::size_t>(col_ - 1)];
                if (depth == 0 && c != '{') {
                    return c;
                }
                if (c == '{') {
                    ++depth;
                } else if (c == '}') {
                    --depth;
                } else if (c == QuoteChar) {
                    // A "}" inside a string does not end the comment. Apostrophes do not open
                    // strings here: comments are free text, where they are common.
                    ReadQuoted();
                    if (errorFlag_) {
                        return 0;
                    }
                }
                col_ = LineLength() > col_ ? col_ + 1 : 0;
                continue;
            }
        }
        col_ = 0;
        while (col_ == 0) {
            if (!TakeLine()) {
                return 0;
            }
        }
    }
}

char TLexReader::CurChar() const {
    if (errorFlag_ || col_ < 1 || col_ > LineLength()) {
        return 0;
    }
    return curLine_[static_cast<std::size_t>(col_ - 1)];
}

std::string TLexReader::ReadQuoted() {
    if (errorFlag_) {
        return {};
    }
    const char quote = CurChar();
    if (!IsQuote(quote)) {
        CharExpected('\'');
        return {};
    }
    std::string text;
    ++col_;
    for (;;) {
        if (col_ >= 1 && col_ <= LineLength()) {
            const auto at = static_cast<std::size_t>(col_ - 1);
            const char c = curLine_[at];
            if (c != quote) {
                text += c;
                ++col_;
            } else if (at + 1 < curLine_.size() && curLine_[at + 1] == quote) {
                text += quote;
                col_ += 2;
            } else {
                return text;
            }
            continue;
        }
        if (FillLines()) {
            CharExpected(quote);
            return {};
        }
        text += curLineLoneLf_ ? "\n" : "\r\n";
        TakeLine();
    }
}

std::string TLexReader::ReadString() {
    if (!IsQuote(NextChar())) {
        CharExpected('\'');
        return {};
    }
    std::string text = ReadQuoted();
    ReadStringTail(text);
    return errorFlag_ ? std::string() : text;
}

void TLexReader::ReadStringTail(std::string& text) {
    // Only what follows directly belongs to the string; Col rests on its last character.
    const auto next = [this] {
        return col_ >= 1 && col_ < LineLength() ? curLine_[static_cast<std::size_t>(col_)] : '\0';
    };
    while (!errorFlag_ && next() == '#') {
        ++col_;
        std::string digits;
        while (digits.size() < 3 && IsDigit(next())) {
            ++col_;
            digits += CurChar();
        }
        const int code = digits.empty() ? 256 : std::stoi(digits);
        if (code > 255) {
            LexError(kLexicalError, "#" + digits + " <0;255> ");
            return;
        }
        text += static_cast<char>(code);
        if (IsQuote(next())) {
            ++col_;
            text += ReadQuoted();
        }
    }
}

std::string TLexReader::IntTokenAtCol() {
    const auto start = static_cast<std::size_t>(col_ - 1);
    std::size_t pos = start;
    std::string token = GetIntTok(pos, curLine_);
    if (token.empty() || pos - token.size() != start) {
        // A number must start where the value starts, never further on.
        return {};
    }
    col_ = static_cast<std::int32_t>(pos);
    return token;
}

std::optional<std::string> TLexReader::NextIntToken(bool allowMinus, std::string_view charsText) {
    if (errorFlag_) {
        return std::nullopt;
    }
    const char c = NextChar();
    if (errorFlag_) {
        return std::nullopt;
    }
    if (c != '$' && !IsDigit(c) && !(allowMinus && c == '-')) {
        LexError(kLexicalError, charsText);
        return std::nullopt;
    }
    return IntTokenAtCol();
}

namespace {

constexpr std::string_view kByteChars = "not (Ch in [''$'',''0''..''9'',''A''..''F''])";
constexpr std::string_view kNumberChars = "not (Ch in [''$'',''-'',''0''..''9'',''A''..''F''])";
constexpr std::string_view kRealChars = "not (Ch in [''.'',''+'',''-'',''0''..''9'',''E''])";
constexpr std::size_t kMessageMax = 255;

bool IsHexToken(const std::string& token) {
    return !token.empty() && token[0] == '$';
}

} // namespace

std::int32_t TLexReader::ReadIntIn(const IntRange& range) {
    const auto token = NextIntToken(range.allowMinus, range.allowMinus ? kNumberChars : kByteChars);
    if (!token) {
        return range.fallback;
    }
    std::string text = *token;
    std::int32_t value = range.fallback;
    bool ok = false;
    if (IsHexToken(text)) {
        ok = StrToLongIntChk(text, kMessageMax, value, 0, range.hexMax, range.hexMin);
    } else if (range.allowMinus) {
        ok = StrToLongIntChk(text, kMessageMax, value, 0, range.max, range.min);
    } else {
        ok = StrToIntChk(text, kMessageMax, value, 0, range.max, range.min);
    }
    if (!ok) {
        LexError(kSemanticError, text + std::string(range.rangeText));
        return range.fallback;
    }
    return value;
}

std::uint8_t TLexReader::ReadByte() {
    return static_cast<std::uint8_t>(ReadIntIn({kByteDefault, 0, 255, 0, 255, " <0;$FF> ", false}));
}

std::uint16_t TLexReader::ReadWord() {
    return static_cast<std::uint16_t>(ReadIntIn({kWordDefault, 0, 65535, 0, 65535, " <0;$FFFF> ", true}));
}

std::int16_t TLexReader::ReadSmallInt() {
    const std::int32_t value =
        ReadIntIn({kSmallIntDefault, -32768, 32767, 0, 65535, " <-32768;32767> ", true});
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

std::int32_t TLexReader::ReadInteger() {
    constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
    return ReadIntIn({kIntegerDefault, -kMaxInt, kMaxInt, std::numeric_limits<std::int32_t>::min(), kMaxInt,
                      " <-Maxint;Maxint> ", true});
}

std::uint32_t TLexReader::ReadDWord(std::uint8_t mode) {
    const auto token = NextIntToken(true, kNumberChars);
    if (!token) {
        return kDWordDefault;
    }
    const std::int32_t tokenStart = col_ - static_cast<std::int32_t>(token->size()) + 1;
    if (!token->empty() && !IsHexToken(*token) && col_ < LineLength() &&
        curLine_[static_cast<std::size_t>(col_)] == DateSep) {
        return ReadDateTime(mode, tokenStart);
    }
    std::string text = *token;
    std::uint32_t value = kDWordDefault;
    if (!StrToDWordChk(text, kMessageMax, value, 0, 0xFFFFFFFF, 0)) {
        LexError(kSemanticError, text + " <0;$FFFFFFFF> ");
        return kDWordDefault;
    }
    return value;
}

namespace {

// The date part; a date of zeros is the empty date, read as such.
bool DateTextChk(std::string_view dateText, std::uint8_t mode, TDTRec& rec, std::string& errText) {
    const bool emptyDate = dateText.find_first_not_of(std::string("0") + DateSep) == std::string::npos;
    return StrToDateChk(dateText.substr(0, std::min(dateText.size(), kDateTimeTextMax)), errText, rec.Year,
                        rec.Month, rec.Day, mode == TLexReader::kDWordTTCTime ? kTTCYears : kDosYears) ||
           emptyDate;
}

} // namespace

std::optional<std::uint32_t> PackDateTimeText(std::string_view dateText, std::string_view timeText,
                                              std::uint8_t mode, std::string& errText) {
    TDTRec rec;
    if (!DateTextChk(dateText, mode, rec, errText) ||
        !StrToTimeChk(timeText.substr(0, std::min(timeText.size(), kDateTimeTextMax)), errText, rec.Hour,
                      rec.Min, rec.Sec)) {
        return std::nullopt;
    }
    if (mode != TLexReader::kDWordTTCTime) {
        return static_cast<std::uint32_t>(DTRecToFileDate(rec));
    }
    const auto packed = PackTTCTime(rec);
    if (!packed) {
        errText = "Err PackTTCTime";
    }
    return packed;
}

std::uint32_t TLexReader::ReadDateTime(std::uint8_t mode, std::int32_t tokenStart) {
    std::size_t pos = static_cast<std::size_t>(tokenStart - 1);
    const std::string dateText = GetDateTok(pos, curLine_);
    std::string errText;
    TDTRec date;
    // A date error is shown where the date ends, before any time is taken.
    if (!DateTextChk(dateText, mode, date, errText)) {
        LexError(kLexicalError, errText);
        return 0;
    }
    // The time, when one follows on the line after blanks; nothing else is skipped.
    std::size_t timeAt = pos;
    while (timeAt < curLine_.size() && IsBlank(curLine_[timeAt])) {
        ++timeAt;
    }
    std::string timeText;
    if (timeAt < curLine_.size() && IsDigit(curLine_[timeAt])) {
        pos = timeAt;
        timeText = GetTimeTok(pos, curLine_);
    }
    col_ = static_cast<std::int32_t>(pos);
    const std::optional<std::uint32_t> packed = PackDateTimeText(dateText, timeText, mode, errText);
    if (!packed) {
        LexError(kLexicalError, errText);
        return 0;
    }
    return *packed;
}

double TLexReader::ReadReal() {
    if (errorFlag_) {
        return 0.0;
    }
    const char c = NextChar();
    if (errorFlag_) {
        return 0.0;
    }
    const bool localSep = FieldSep != ',' && (c == DecimalSep || (DecimalSep == '.' && c == ','));
    if (!localSep && c != '+' && c != '-' && c != '.' && !IsDigit(c) && c != 'E' && c != 'e') {
        LexError(kLexicalError, kRealChars);
        return 0.0;
    }
    const auto start = static_cast<std::size_t>(col_ - 1);
    std::size_t pos = start;
    std::string text = GetLocRealTok(pos, curLine_);
    if (text.empty() || pos - text.size() != start) {
        text.clear();
    } else {
        col_ = static_cast<std::int32_t>(pos);
    }
    double value = 0.0;
    if (!StrToRealChk(text, kMessageMax, value, 0, 1.0e38, -1.0e38)) {
        LexError(kSemanticError, text + " <-1.0E+38;1.0E+38> ");
        return 0.0;
    }
    return value;
}

char TLexReader::SkipToSeparator() {
    if (errorFlag_) {
        return 0;
    }
    char c = NextChar();
    if (IsQuote(c)) {
        std::string text = ReadQuoted();
        ReadStringTail(text);
        return NextChar();
    }
    while (c != 0 && c != ')' && c != ';' && c != FieldSep) {
        c = NextChar();
    }
    return c;
}

void TLexReader::LexError(int id, std::string_view text) {
    if (errorFlag_) {
        return;
    }
    errorFlag_ = true;
    errorText_ = CutToShort(std::to_string(lineNo_) + ":" + std::to_string(col_) + " " + std::string(text));
    TrMessageBox(CutText(AppLoadStr(id), kTitleMax), errorText_, MB_ICONHAND);
}

void TLexReader::CharExpected(char ch) {
    if (errorFlag_) {
        return;
    }
    errorFlag_ = true;
    const std::string quoted =
        ch == '\'' ? std::string(" ''' or '") + QuoteChar + "' " : std::string(" '") + ch + "'  ";
    errorText_ =
        CutToShort(AppLoadStr(kCharExpected) + quoted + std::to_string(lineNo_) + ":" + std::to_string(col_));
    TrMessageBox(CutText(AppLoadStr(kSyntaxError), kTitleMax), errorText_, MB_ICONQUESTION);
}

} // namespace ravlo
