#include "records/enum_field_dscrs.h"

#include "framework/app_data.h"
#include "framework/format_pattern.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "records/field_bytes.h"

#include <algorithm>

namespace ravlo {
void TEnumRecFieldDscr::Store(TrbObjStream& stream) const {
    TByteRecFieldDscr::Store(stream);
    stream.WriteI16(EnumType);
}

void TEnumRecFieldDscr::Load(TrbObjStream& stream) {
    TByteRecFieldDscr::Load(stream);
    EnumType = stream.ReadI16();
}

void TEnumRecFieldDscr::PutDataToTrBuff(std::span<const std::uint8_t> data,
                                        std::span<std::uint8_t> trBuf) const {
    PutLE(trBuf, 0, GetLE<std::uint8_t>(data));
    PutLE(trBuf, 1, static_cast<std::int32_t>(EnumType));
}

void TEnumRecFieldDscr::GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                                          std::uint8_t& modified) const {
    CopyChanged(data, trBuf, 1, modified);
}

std::string TEnumRecFieldDscr::ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const {
    const auto value = GetLE<std::uint8_t>(data);
    const std::string hex = "$" + HexB(value);
    if ((Flags & kFldHex) != 0) {
        return NoFill(form) ? hex : PadRStr(hex, width);
    }
    const TEnumTypeDefStrings* strings = AppExtension().GetEnumStrings(EnumType);
    const std::string element = strings != nullptr ? strings->ValueToText(value) : hex;
    if (form == TextForm::CSV) {
        return CSVText(value, element, strings != nullptr);
    }
    return CutText(NoFill(form) ? element : PadRStr(element, width),
                   static_cast<std::size_t>(std::min(width, kTextMax)));
}

std::string TEnumRecFieldDscr::CSVText(std::uint8_t value, const std::string& elementText, bool found) const {
    const bool pattern = (Flags & kFldPattern) != 0;
    if ((Flags & kFldCSVQuoted) == 0) {
        if (pattern) {
            const std::array<FormatArg, 1> args{FormatArg{std::int64_t{value}}};
            return FormatPattern(PatternFor(TextForm::CSV), args);
        }
        return PadLChr(std::to_string(value), CSVWidth, ' ');
    }
    std::string inner = elementText;
    if (found && pattern) {
        const std::array<FormatArg, 1> args{FormatArg{elementText}};
        inner = FormatPattern(PatternFor(TextForm::CSV), args);
    }
    if ((Flags & kFldCSVAlways) == 0) {
        // The quotes stay inside the width, so the closing one is never cut off.
        const int innerWidth = std::max(std::min<int>(CSVWidth, kTextMax) - 2, 0);
        if (!NoFill(TextForm::CSV)) {
            inner = PadRStr(inner, innerWidth);
        }
        inner = CutText(std::move(inner), static_cast<std::size_t>(innerWidth));
    }
    return CSVQuoted(inner);
}

void TEnumSetFieldDscr::Store(TrbObjStream& stream) const {
    TRecFieldTypeDscr::Store(stream);
    stream.WriteU8(SetMode);
    stream.WriteU32(SetRef);
    WriteBytes(stream, DefaultSet);
}

void TEnumSetFieldDscr::Load(TrbObjStream& stream) {
    TRecFieldTypeDscr::Load(stream);
    SetMode = stream.ReadU8();
    SetRef = stream.ReadU32();
    DefaultSet = ReadBytes<kMaxSetSize>(stream);
    Size = std::min(Size, kMaxSetSize);
}

void TEnumSetFieldDscr::InitFieldValue(std::span<std::uint8_t> data) const {
    TRecFieldTypeDscr::InitFieldValue(data);
    PutBytes(FieldBytes(data), std::span(DefaultSet).first(std::min(Size, kMaxSetSize)));
}

std::uint16_t TEnumSetFieldDscr::GetTrBuffSize() const {
    return Transfers() ? static_cast<std::uint16_t>(std::min(Size, kMaxSetSize) + 5) : 0;
}

void TEnumSetFieldDscr::PutDataToTrBuff(std::span<const std::uint8_t> data,
                                        std::span<std::uint8_t> trBuf) const {
    if (!Transfers()) {
        return;
    }
    PutLE(trBuf, 0, SetMode);
    PutLE(trBuf, 1, SetRef);
    PutBytes(trBuf, FieldBytes(data).first(std::min<std::size_t>(FieldBytes(data).size(), kMaxSetSize)), 5);
}

void TEnumSetFieldDscr::GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                                          std::uint8_t& modified) const {
    if (Transfers()) {
        CopyChanged(data, SpanFrom(trBuf, 5), std::min(Size, kMaxSetSize), modified);
    }
}

} // namespace ravlo
