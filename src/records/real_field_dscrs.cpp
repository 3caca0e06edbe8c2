#include "records/real_field_dscrs.h"

#include "records/field_bytes.h"

#include <algorithm>

namespace ravlo {

void TRealpRecFieldDscr::Store(TrbObjStream& stream) const {
    TRecFieldTypeDscr::Store(stream);
    WriteBytes(stream, Default);
    stream.WriteU8(Decimals);
}

void TRealpRecFieldDscr::Load(TrbObjStream& stream) {
    TRecFieldTypeDscr::Load(stream);
    Default = ReadBytes<kReal48Size>(stream);
    Decimals = stream.ReadU8();
}

void TRealpRecFieldDscr::InitFieldValue(std::span<std::uint8_t> data) const {
    TRecFieldTypeDscr::InitFieldValue(data);
    PutBytes(FieldBytes(data), Default);
}

std::string TRealpRecFieldDscr::ValueText(TextForm form, int width,
                                          std::span<const std::uint8_t> data) const {
    return RealText(form, width, Real48ToDouble(data), Decimals, false);
}

void TRealpLimRecFieldDscr::Store(TrbObjStream& stream) const {
    TRealpRecFieldDscr::Store(stream);
    WriteBytes(stream, Min);
    WriteBytes(stream, Max);
}

void TRealpLimRecFieldDscr::Load(TrbObjStream& stream) {
    TRealpRecFieldDscr::Load(stream);
    Min = ReadBytes<kReal48Size>(stream);
    Max = ReadBytes<kReal48Size>(stream);
}

std::uint8_t TRealpLimRecFieldDscr::FormatByte() const {
    int format = Decimals & 0x1F;
    if ((Flags & (kFldHex | kFldFitDecimals)) != 0) {
        format = (std::max<int>(LineWidth, Decimals + 2) & 0x1F) | 0x40;
    }
    if ((Flags & kFldPattern) != 0) {
        format |= 0x20;
    }
    if ((Flags & kFldScientific) != 0) {
        format |= 0x80;
    }
    return static_cast<std::uint8_t>(format);
}

void TRealpLimRecFieldDscr::PutDataToTrBuff(std::span<const std::uint8_t> data,
                                            std::span<std::uint8_t> trBuf) const {
    if (!Transfers()) {
        return;
    }
    PutBytes(trBuf, data.first(std::min(data.size(), kReal48Size)));
    PutBytes(trBuf, Min, kReal48Size);
    PutBytes(trBuf, Max, 2 * kReal48Size);
    PutLE(trBuf, 3 * kReal48Size, FormatByte());
}

void TRealpLimRecFieldDscr::GetDataFromTrBuff(std::span<std::uint8_t> data,
                                              std::span<const std::uint8_t> trBuf,
                                              std::uint8_t& modified) const {
    if (Transfers()) {
        CopyChanged(data, trBuf, kReal48Size, modified);
    }
}

} // namespace ravlo
