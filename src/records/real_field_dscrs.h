#pragma once

#include "records/field_type_dscr.h"
#include "records/real48.h"

namespace ravlo {

// A 6-byte real with Decimals decimals in its fixed-point text.
class TRealpRecFieldDscr : public TRecFieldTypeDscr {
public:
    static constexpr std::string_view kClassName = "TRealpRecFieldDscr";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    void InitFieldValue(std::span<std::uint8_t> data) const override;

    TReal48 Default{};
    std::uint8_t Decimals = 0;

protected:
    std::uint16_t ValueSize() const override { return kReal48Size; }
    bool CaptionIsPattern() const override { return true; }
    std::string ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const override;
};

// With limits: the transfer record holds the value, Min and Max (6 bytes each) and a format byte
// for the dialog: the decimals in bits 0..4 (with kFldHex or kFldFitDecimals instead the larger of
// LineWidth and Decimals + 2, and bit 6), 0x20 for kFldPattern, bit 7 for kFldScientific.
class TRealpLimRecFieldDscr : public TRealpRecFieldDscr {
public:
    static constexpr std::string_view kClassName = "TRealpLimRecFieldDscr";
    static constexpr std::uint16_t kTransferSize = 3 * kReal48Size + 1;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    std::uint16_t GetTrBuffSize() const override { return Transfers() ? kTransferSize : 0; }
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override;
    void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                           std::uint8_t& modified) const override;

    std::uint8_t FormatByte() const;

    TReal48 Min{};
    TReal48 Max{};
};

} // namespace ravlo
