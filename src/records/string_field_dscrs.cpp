#include "records/string_field_dscrs.h"

#include "framework/format_pattern.h"
#include "framework/padding.h"
#include "framework/string_table.h"
#include "records/field_bytes.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::size_t kCharsAt = 1;
constexpr std::size_t kTextAt = 33;
constexpr std::size_t kTextRoom = 255;

std::string Formatted(const std::string& pattern, const std::string& text) {
    const std::array<FormatArg, 1> args{FormatArg{text}};
    return FormatPattern(pattern, args);
}

} // namespace

void TDBStringFieldDscr::Store(TrbObjStream& stream) const {
    TRecFieldTypeDscr::Store(stream);
    stream.WriteStr(DefaultText);
    stream.WriteI16(DefaultTextId);
}

void TDBStringFieldDscr::Load(TrbObjStream& stream) {
    TRecFieldTypeDscr::Load(stream);
    DefaultText = stream.ReadStr();
    DefaultTextId = stream.ReadI16();
}

std::string TDBStringFieldDscr::DefaultString() const {
    if (DefaultTextId >= 0) {
        std::string text = AppLoadStr(DefaultTextId);
        if (text != kMissingStringText) {
            return text;
        }
    }
    return DefaultText;
}

void TDBStringFieldDscr::InitFieldValue(std::span<std::uint8_t> data) const {
    TRecFieldTypeDscr::InitFieldValue(data);
    PutShortString(FieldBytes(data), DefaultString());
}

void TDBStringFieldDscr::GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                                           std::uint8_t& modified) const {
    const std::span<const std::uint8_t> field = FieldBytes(std::span<const std::uint8_t>(data));
    const std::span<const std::uint8_t> text = trBuf.first(std::min(trBuf.size(), field.size()));
    if (!field.empty() && !text.empty() && field[0] == text[0] &&
        GetShortString(field) == GetShortString(text)) {
        return;
    }
    TRecFieldTypeDscr::GetDataFromTrBuff(data, trBuf, modified);
}

std::string TDBStringFieldDscr::ValueText(TextForm form, int width,
                                          std::span<const std::uint8_t> data) const {
    return FormText(form, width, GetShortString(data));
}

std::string TDBStringFieldDscr::FormText(TextForm form, int width, const std::string& text) const {
    const bool pattern = (Flags & kFldPattern) != 0;
    const bool noFill = NoFill(form);
    switch (form) {
    case TextForm::Line:
    case TextForm::Join: {
        std::string shown =
            pattern ? Formatted(PatternFor(form), text) : (noFill ? text : PadRStr(text, width));
        return CutText(std::move(shown), noFill ? GetFieldSize() : static_cast<std::size_t>(width));
    }
    case TextForm::Win:
        return CutText(noFill ? text : PadRStr(text, width), static_cast<std::size_t>(width));
    case TextForm::CSV:
        if (pattern) {
            return CSVQuoted(Formatted(PatternFor(form), text));
        }
        if (noFill || CSVWidth == 0) {
            return CSVQuoted(text);
        }
        {
            // The quotes stay inside the width.
            const int innerWidth = std::max(CSVWidth - 2, 0);
            return CSVQuoted(CutText(PadRStr(text, innerWidth), static_cast<std::size_t>(innerWidth)));
        }
    }
    return {};
}

void TStringLimFieldDscr::Store(TrbObjStream& stream) const {
    TDBStringFieldDscr::Store(stream);
    WriteBytes(stream, Chars);
}

void TStringLimFieldDscr::Load(TrbObjStream& stream) {
    TDBStringFieldDscr::Load(stream);
    Chars = ReadBytes<32>(stream);
}

void TStringLimFieldDscr::PutDataToTrBuff(std::span<const std::uint8_t> data,
                                          std::span<std::uint8_t> trBuf) const {
    if (!Transfers()) {
        return;
    }
    PutLE(trBuf, 0, static_cast<std::uint8_t>(std::min<std::uint16_t>(GetFieldSize(), 255)));
    PutBytes(trBuf, Chars, kCharsAt);
    const std::span<std::uint8_t> room = SpanFrom(trBuf, kTextAt);
    PutShortString(room.first(std::min(room.size(), kTextRoom)),
                   CutText(GetShortString(FieldBytes(data)), kTextMax));
}

void TStringLimFieldDscr::GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                                            std::uint8_t& modified) const {
    const std::span<std::uint8_t> field = FieldBytes(data);
    if (!Transfers() || field.empty()) {
        return;
    }
    const std::span<const std::uint8_t> room = SpanFrom(trBuf, kTextAt);
    const std::string text =
        CutText(GetShortString(room.first(std::min(room.size(), kTextRoom))), field.size() - 1);
    if (text != GetShortString(field) || field[0] != text.size()) {
        PutShortString(field, text);
        modified = 1;
    }
}

void TLabelFieldDscr::AppendForm(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                                 int maxLen) const {
    if (form != TextForm::CSV) {
        TDBStringFieldDscr::AppendForm(form, data, dest, maxLen);
    }
}

void TLabelFieldDscr::PutDataToTrBuff(std::span<const std::uint8_t> /*data*/,
                                      std::span<std::uint8_t> trBuf) const {
    if (Transfers()) {
        PutShortString(trBuf.first(std::min<std::size_t>(trBuf.size(), Size)), DefaultString());
    }
}

std::string TLabelFieldDscr::ValueText(TextForm form, int width,
                                       std::span<const std::uint8_t> /*data*/) const {
    const std::string text = DefaultString();
    return CutText(NoFill(form) ? text : PadRStr(text, width), static_cast<std::size_t>(width));
}

} // namespace ravlo
