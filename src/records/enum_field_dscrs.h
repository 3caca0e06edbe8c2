#pragma once

#include "records/int_field_dscrs.h"

#include <array>

namespace ravlo {

// A byte whose text is an element of the named enumeration EnumType. Its transfer record is
// always 5 bytes: the value and EnumType as a 32-bit number.
class TEnumRecFieldDscr : public TByteRecFieldDscr {
public:
    static constexpr std::string_view kClassName = "TEnumRecFieldDscr";
    static constexpr std::uint16_t kTransferSize = 5;
    // Element texts are shown at most this wide.
    static constexpr int kTextMax = 79;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    std::uint16_t GetTrBuffSize() const override { return kTransferSize; }
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override;
    void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                           std::uint8_t& modified) const override;

    std::int16_t EnumType = -1;

protected:
    bool CaptionIsPattern() const override { return false; }
    std::string ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const override;

private:
    std::string CSVText(std::uint8_t value, const std::string& elementText, bool found) const;
};

// A set of up to 32 bytes; its texts are those of the base. The transfer record holds SetMode,
// SetRef, then the set's bytes.
class TEnumSetFieldDscr : public TRecFieldTypeDscr {
public:
    static constexpr std::string_view kClassName = "TEnumSetFieldDscr";
    static constexpr std::uint16_t kMaxSetSize = 32;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    // A Size above 32 is taken as 32.
    void Load(TrbObjStream& stream) override;
    void InitFieldValue(std::span<std::uint8_t> data) const override;
    std::uint16_t GetTrBuffSize() const override;
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override;
    void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                           std::uint8_t& modified) const override;

    std::uint8_t SetMode = 0;
    std::uint32_t SetRef = 0;
    std::array<std::uint8_t, kMaxSetSize> DefaultSet{};
};

} // namespace ravlo
