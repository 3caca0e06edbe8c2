#pragma once

#include <cstdint>
#include <string>

namespace ravlo {

// Flags of a watched value.
inline constexpr std::uint16_t kParamHex = 0x0001;   // "$" + hex digits instead of decimal
inline constexpr std::uint16_t kParamRange = 0x0002; // a value outside Min..Max shows as blanks

// A watched value: one field of a record in memory, shown as text in a label and refreshed when a
// wm_VarChanged notification names the record's base address.
class TParamObj {
public:
    TParamObj(const void* base, std::uint8_t width, std::uint16_t flags, std::uint16_t offset);
    virtual ~TParamObj() = default;
    TParamObj(const TParamObj&) = delete;
    TParamObj& operator=(const TParamObj&) = delete;

    // Rebinds to another record (nullptr allowed: then there is no field).
    virtual void SetBase(const void* base, std::uint16_t offset);
    // Whether a notification for the record at base concerns this value; the typed values also
    // require the field to differ from the last reported value, and then remember it.
    virtual bool Changed(const void* base);
    // The label text of the last reported value; empty in the base.
    virtual std::string FormatValue() const;
    virtual const void* GetValuePtr() const { return ValuePtr; }
    virtual const void* GetLastPtr() const { return nullptr; }
    virtual std::size_t GetSize() const { return 0; }

    const void* Base = nullptr;
    std::uint16_t Offset = 0;
    std::uint16_t Flags = 0;
    std::uint8_t Width = 0;
    const void* ValuePtr = nullptr;

protected:
    std::string Blanks() const { return std::string(Width, ' '); }
};

// The typed watched values share this: Last, Min and Max of the field's type.
template <typename T, T kNoValue>
class TTypedParamObj : public TParamObj {
public:
    TTypedParamObj(const void* base, std::uint8_t width, std::uint16_t flags, std::uint16_t offset, T min,
                   T max);

    bool Changed(const void* base) override;
    const void* GetLastPtr() const override { return &Last; }
    std::size_t GetSize() const override { return sizeof(T); }

    // The field as it is in memory now; kNoValue when there is no field.
    T Current() const;

    T Last;
    T Min;
    T Max;

protected:
    // Whether Last shows as blanks (range flag set and Last outside Min..Max).
    bool ShowsBlank() const { return (Flags & kParamRange) != 0 && (Last < Min || Last > Max); }
};

class TByteParamObj final : public TTypedParamObj<std::uint8_t, 255> {
public:
    using TTypedParamObj::TTypedParamObj;
    std::string FormatValue() const override;
};

class TWordParamObj final : public TTypedParamObj<std::uint16_t, 65535> {
public:
    using TTypedParamObj::TTypedParamObj;
    std::string FormatValue() const override;
};

// Signed compare; the hex text shows only the low word.
class TIntegerParamObj final : public TTypedParamObj<std::int32_t, -1> {
public:
    using TTypedParamObj::TTypedParamObj;
    std::string FormatValue() const override;
};

extern template class TTypedParamObj<std::uint8_t, 255>;
extern template class TTypedParamObj<std::uint16_t, 65535>;
extern template class TTypedParamObj<std::int32_t, -1>;

} // namespace ravlo
