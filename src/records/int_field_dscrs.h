#pragma once

#include "records/field_bytes.h"
#include "records/field_type_dscr.h"

#include <cstdint>
#include <vector>

namespace ravlo {

// A field whose value is an integer of type T at its start; Default is its initial value. The
// text is the decimal value, "$" and its hex digits (the raw bits), or the caption's pattern.
template <class T>
class TIntFieldDscr : public TRecFieldTypeDscr {
public:
    using ValueType = T;

    void Store(TrbObjStream& stream) const override {
        TRecFieldTypeDscr::Store(stream);
        WriteNumber(stream, Default);
    }
    void Load(TrbObjStream& stream) override {
        TRecFieldTypeDscr::Load(stream);
        Default = ReadNumber<T>(stream);
    }
    void InitFieldValue(std::span<std::uint8_t> data) const override {
        TRecFieldTypeDscr::InitFieldValue(data);
        PutLE(FieldBytes(data), 0, Default);
    }

    T Default{};

protected:
    std::uint16_t ValueSize() const override { return sizeof(T); }
    bool CaptionIsPattern() const override { return true; }
    std::string ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const override {
        return IntegerText(form, width, GetLE<T>(data), 2 * sizeof(T));
    }
};

class TByteRecFieldDscr : public TIntFieldDscr<std::uint8_t> {
public:
    static constexpr std::string_view kClassName = "TByteRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TShortIntRecFieldDscr : public TIntFieldDscr<std::int8_t> {
public:
    static constexpr std::string_view kClassName = "TShortIntRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TWordRecFieldDscr : public TIntFieldDscr<std::uint16_t> {
public:
    static constexpr std::string_view kClassName = "TWordRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TSmallIntRecFieldDscr : public TIntFieldDscr<std::int16_t> {
public:
    static constexpr std::string_view kClassName = "TSmallIntRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TIntegerRecFieldDscr : public TIntFieldDscr<std::int32_t> {
public:
    static constexpr std::string_view kClassName = "TIntegerRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TLIntRecFieldDscr : public TIntFieldDscr<std::int32_t> {
public:
    static constexpr std::string_view kClassName = "TLIntRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

// An integer shown by Kind: 0 plainly; with seconds (word fields) 1 as hours, minutes and
// seconds; then the value divided by 10, 100, 1000 or 10000 as a real with Decimals decimals;
// any other Kind shows nothing.
template <class Base, bool WithSeconds>
class TScaledFieldDscr : public Base {
public:
    void Store(TrbObjStream& stream) const override {
        Base::Store(stream);
        stream.WriteU8(Kind);
        stream.WriteU8(Decimals);
    }
    void Load(TrbObjStream& stream) override {
        Base::Load(stream);
        Kind = stream.ReadU8();
        Decimals = stream.ReadU8();
    }
    // The bytes a limited descendant appends to its transfer record.
    std::vector<std::uint8_t> TransferTail() const { return {Kind, Decimals}; }

    std::uint8_t Kind = 0;
    std::uint8_t Decimals = 0;

protected:
    std::string ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const override;
};

class TSpecWordRecFieldDscr : public TScaledFieldDscr<TWordRecFieldDscr, true> {
public:
    static constexpr std::string_view kClassName = "TSpecWordRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TSpecSmallIntRecFieldDscr : public TScaledFieldDscr<TSmallIntRecFieldDscr, false> {
public:
    static constexpr std::string_view kClassName = "TSpecSmallIntRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TSpecLIntRecFieldDscr : public TScaledFieldDscr<TLIntRecFieldDscr, false> {
public:
    static constexpr std::string_view kClassName = "TSpecLIntRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

// A 32-bit unsigned value shown by Kind: 0 plainly, 1 as a DOS file date-time, 2 as a TTC time,
// 3 as hours, minutes and seconds, 4 as signed seconds with a sign; any other Kind shows nothing.
class TDWordRecFieldDscr : public TLIntRecFieldDscr {
public:
    static constexpr std::string_view kClassName = "TDWordRecFieldDscr";
    using ValueType = std::uint32_t;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    std::uint8_t Kind = 0;

protected:
    std::string ValueText(TextForm form, int width, std::span<const std::uint8_t> data) const override;
};

// A value with limits that the editing dialog checks: the transfer record holds the value, Min
// and Max at the value's width, then the tail of a scaled base (Kind, Decimals). Only the value
// comes back from it.
template <class Base>
class TLimFieldDscr : public Base {
public:
    using ValueType = typename Base::ValueType;

    void Store(TrbObjStream& stream) const override {
        Base::Store(stream);
        WriteNumber(stream, Min);
        WriteNumber(stream, Max);
    }
    void Load(TrbObjStream& stream) override {
        Base::Load(stream);
        Min = ReadNumber<ValueType>(stream);
        Max = ReadNumber<ValueType>(stream);
    }
    std::uint16_t GetTrBuffSize() const override {
        return this->Transfers() ? static_cast<std::uint16_t>(3 * sizeof(ValueType) + LimitTail().size()) : 0;
    }
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override {
        if (!this->Transfers()) {
            return;
        }
        constexpr std::size_t width = sizeof(ValueType);
        PutLE(trBuf, 0, GetLE<ValueType>(data));
        PutLE(trBuf, width, Min);
        PutLE(trBuf, 2 * width, Max);
        const std::vector<std::uint8_t> tail = LimitTail();
        PutBytes(trBuf, tail, 3 * width);
    }
    void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                           std::uint8_t& modified) const override {
        if (this->Transfers()) {
            CopyChanged(data, trBuf, sizeof(ValueType), modified);
        }
    }

    ValueType Min{};
    ValueType Max{};

protected:
    virtual std::vector<std::uint8_t> LimitTail() const {
        if constexpr (requires(const Base& base) { base.TransferTail(); }) {
            return this->TransferTail();
        } else {
            return {};
        }
    }
};

class TByteLimRecFieldDscr : public TLimFieldDscr<TByteRecFieldDscr> {
public:
    static constexpr std::string_view kClassName = "TByteLimRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TShortIntLimRecFieldDscr : public TLimFieldDscr<TShortIntRecFieldDscr> {
public:
    static constexpr std::string_view kClassName = "TShortIntLimRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TWordLimRecFieldDscr : public TLimFieldDscr<TWordRecFieldDscr> {
public:
    static constexpr std::string_view kClassName = "TWordLimRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TSpecWordLimRecFieldDscr : public TLimFieldDscr<TSpecWordRecFieldDscr> {
public:
    static constexpr std::string_view kClassName = "TSpecWordLimRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TSmallIntLimRecFieldDscr : public TLimFieldDscr<TSmallIntRecFieldDscr> {
public:
    static constexpr std::string_view kClassName = "TSmallIntLimRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TSpecSmallIntLimRecFieldDscr : public TLimFieldDscr<TSpecSmallIntRecFieldDscr> {
public:
    static constexpr std::string_view kClassName = "TSpecSmallIntLimRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TLIntLimRecFieldDscr : public TLimFieldDscr<TLIntRecFieldDscr> {
public:
    static constexpr std::string_view kClassName = "TLIntLimRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

class TSpecLIntLimRecFieldDscr : public TLimFieldDscr<TSpecLIntRecFieldDscr> {
public:
    static constexpr std::string_view kClassName = "TSpecLIntLimRecFieldDscr";
    std::string_view ClassName() const override { return kClassName; }
};

// Adds Extra, stored after the limits; the transfer record ends with Kind and Extra.
class TSpecDWordLimRecFieldDscr : public TLimFieldDscr<TDWordRecFieldDscr> {
public:
    static constexpr std::string_view kClassName = "TSpecDWordLimRecFieldDscr";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    std::uint8_t Extra = 0;

protected:
    std::vector<std::uint8_t> LimitTail() const override { return {Kind, Extra}; }
};

} // namespace ravlo
