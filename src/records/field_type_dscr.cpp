#include "records/field_type_dscr.h"

#include "framework/format_pattern.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "framework/string_table.h"
#include "framework/text_settings.h"
#include "records/field_bytes.h"
#include "records/lex_writer.h"

#include <algorithm>
#include <array>

namespace ravlo {

void AppendCut(std::string& dest, std::string_view text, std::size_t max) {
    if (dest.size() < max) {
        dest.append(text.substr(0, std::min(text.size(), max - dest.size())));
    }
}

void CopyChanged(std::span<std::uint8_t> target, std::span<const std::uint8_t> source, std::size_t count,
                 std::uint8_t& modified) {
    count = std::min({count, target.size(), source.size()});
    if (!std::equal(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(count), target.begin())) {
        modified = 1;
        PutBytes(target, source.first(count));
    }
}

void TRecFieldTypeDscr::Store(TrbObjStream& stream) const {
    stream.WriteStr(Name);
    stream.WriteU16(Size);
    stream.WriteStr(Caption);
    stream.WriteI16(CaptionId);
    stream.WriteU16(Flags);
    stream.WriteU8(LineWidth);
    stream.WriteU8(WinWidth);
    stream.WriteU8(CSVWidth);
    stream.WriteU8(JoinWidth);
    stream.Put(Semantics.get());
}

void TRecFieldTypeDscr::Load(TrbObjStream& stream) {
    Name = stream.ReadStr();
    Size = stream.ReadU16();
    Caption = stream.ReadStr();
    CaptionId = stream.ReadI16();
    Flags = stream.ReadU16();
    LineWidth = stream.ReadU8();
    WinWidth = stream.ReadU8();
    CSVWidth = stream.ReadU8();
    JoinWidth = stream.ReadU8();
    Semantics = GetStreamObject<TSemEvalColl>(stream);
    if (Size < ValueSize()) {
        throw ErbObjStream("Field " + Name + " of " + std::string(ClassName()) + " has size " +
                           std::to_string(Size) + ", its value needs " + std::to_string(ValueSize()));
    }
}

void TRecFieldTypeDscr::InitFieldValue(std::span<std::uint8_t> data) const {
    const std::span<std::uint8_t> field = FieldBytes(data);
    std::fill(field.begin(), field.end(), std::uint8_t{0});
}

std::span<const std::uint8_t> TRecFieldTypeDscr::FieldBytes(std::span<const std::uint8_t> data) const {
    return data.first(std::min<std::size_t>(data.size(), GetFieldSize()));
}

std::span<std::uint8_t> TRecFieldTypeDscr::FieldBytes(std::span<std::uint8_t> data) const {
    return data.first(std::min<std::size_t>(data.size(), GetFieldSize()));
}

void TRecFieldTypeDscr::GetLineAStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const {
    AppendForm(TextForm::Line, data, dest, maxLen);
}

void TRecFieldTypeDscr::GetCWinAStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const {
    AppendForm(TextForm::Win, data, dest, maxLen);
}

void TRecFieldTypeDscr::GetCSV_AStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const {
    AppendForm(TextForm::CSV, data, dest, maxLen);
}

void TRecFieldTypeDscr::GetJoinAStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const {
    AppendForm(TextForm::Join, data, dest, maxLen);
}

std::string TRecFieldTypeDscr::CaptionText() const {
    if (CaptionId >= 0) {
        std::string text = AppLoadStr(CaptionId);
        if (text != kMissingStringText) {
            return CutText(std::move(text), kCaptionMax);
        }
    }
    return CutText(Caption, kCaptionMax);
}

std::uint8_t TRecFieldTypeDscr::FormWidth(TextForm form) const {
    switch (form) {
    case TextForm::Line:
        return LineWidth;
    case TextForm::Win:
        return WinWidth;
    case TextForm::CSV:
        return CSVWidth;
    case TextForm::Join:
        return JoinWidth;
    }
    return 0;
}

bool TRecFieldTypeDscr::NoFill(TextForm form) const {
    return (Flags & (form == TextForm::Win ? kFldNoWinFill : kFldNoFill)) != 0;
}

void TRecFieldTypeDscr::AppendForm(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                                   int maxLen) const {
    const std::size_t max = maxLen < 0 ? 0 : static_cast<std::size_t>(maxLen);
    const std::uint16_t patternCaption = CaptionIsPattern() ? kFldPattern : 0;
    switch (form) {
    case TextForm::Line:
        if ((Flags & (kFldNoLineCaption | patternCaption)) == 0) {
            AppendCut(dest, CaptionText(), max);
        }
        break;
    case TextForm::Win:
        if ((Flags & kFldNoWinCaption) == 0) {
            AppendCut(dest, CaptionText(), max);
        }
        break;
    case TextForm::Join:
        if ((Flags & (kFldNoJoinCaption | patternCaption)) == 0) {
            AppendCut(dest, CaptionText(), max);
        }
        break;
    case TextForm::CSV:
        if ((Flags & kFldCSVNewLine) != 0) {
            AppendCut(dest, "\r\n", max);
        }
        if (CSVWidth == 0 && (Flags & kFldCSVAlways) == 0) {
            return;
        }
        break;
    }
    const int width = FormWidth(form);
    if (form != TextForm::CSV && width == 0) {
        return;
    }
    AppendCut(dest, ValueText(form, width, FieldBytes(data)), max);
    if (form == TextForm::CSV) {
        AppendCut(dest, std::string_view(&FieldSep, 1), max);
    }
}

std::string TRecFieldTypeDscr::ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const {
    if ((Flags & kFldHex) == 0) {
        return NoFill(form) ? std::string() : std::string(static_cast<std::size_t>(width), ' ');
    }
    std::string text;
    // Longer texts are cut by the caller anyway.
    for (const std::uint8_t b : data.first(std::min<std::size_t>(data.size(), kShortStringMax))) {
        text += '$';
        text += HexB(b);
    }
    return text;
}

std::string TRecFieldTypeDscr::PatternFor(TextForm form) const {
    const std::string caption = CaptionText();
    if (form != TextForm::CSV) {
        return caption;
    }
    const std::size_t percent = caption.find('%');
    if (percent == std::string::npos) {
        return {};
    }
    const std::size_t start = (percent > 0 && caption[percent - 1] == '$') ? percent - 1 : percent;
    const std::size_t end = caption.find(' ', percent);
    return caption.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string TRecFieldTypeDscr::IntegerText(TextForm form, int width, std::int64_t value,
                                           int hexDigits) const {
    if ((Flags & kFldHex) != 0) {
        const auto bits = static_cast<std::uint32_t>(value);
        const std::string digits = HexDW(bits).substr(static_cast<std::size_t>(8 - hexDigits));
        return PadLChr("$" + digits, width, ' ');
    }
    if ((Flags & kFldPattern) != 0 && form != TextForm::Win) {
        const std::array<FormatArg, 1> args{FormatArg{value}};
        return FormatPattern(PatternFor(form), args);
    }
    return PadLChr(std::to_string(value), width, ' ');
}

std::string TRecFieldTypeDscr::RealText(TextForm form, int width, double value, int decimals,
                                        bool patternInWindow) const {
    if ((Flags & kFldHex) != 0) {
        return RealStr(value, width, width);
    }
    if ((Flags & kFldFitDecimals) != 0) {
        return RealStr(value, width, RealDecimals(width, value));
    }
    if ((Flags & kFldScientific) != 0) {
        return RealExpStr(value, width);
    }
    if ((Flags & kFldPattern) != 0 && (form != TextForm::Win || patternInWindow)) {
        const std::array<FormatArg, 1> args{FormatArg{value}};
        return FormatPattern(PatternFor(form), args);
    }
    return RealStr(value, width, decimals);
}

std::string TRecFieldTypeDscr::CSVQuoted(std::string_view text) {
    return QuotedText(text, QuoteChar);
}

std::uint16_t TRecFieldTypeDscr::GetTrBuffSize() const {
    return Transfers() ? Size : 0;
}

void TRecFieldTypeDscr::PutDataToTrBuff(std::span<const std::uint8_t> data,
                                        std::span<std::uint8_t> trBuf) const {
    if (Transfers()) {
        PutBytes(trBuf.first(std::min<std::size_t>(trBuf.size(), Size)),
                 data.first(std::min<std::size_t>(data.size(), Size)));
    }
}

void TRecFieldTypeDscr::GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                                          std::uint8_t& modified) const {
    if (Transfers()) {
        CopyChanged(data, trBuf, Size, modified);
    }
}

void TRecFieldTypeDscr::RunSemEvaluators(std::uint32_t no, std::uint8_t sub,
                                         std::span<std::uint8_t> data) const {
    if (Semantics) {
        Semantics->RunAllEvaluators(no, kSemFieldValue, FieldBytes(data), sub);
    }
}

} // namespace ravlo
