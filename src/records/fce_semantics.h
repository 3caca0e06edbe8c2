#pragma once

#include "records/semantics.h"

namespace ravlo {

// Function codes of the aggregate semantics in mode kSemTest.
inline constexpr std::uint8_t kFceMax = 1;
inline constexpr std::uint8_t kFceMin = 2;
inline constexpr std::uint8_t kFceSum = 3;
inline constexpr std::uint8_t kFceAnd = 4;
inline constexpr std::uint8_t kFceOr = 5;
inline constexpr std::uint8_t kFceEqual = 6;
inline constexpr std::uint8_t kFceMaxBelowTop = 7;

// Base of the aggregate semantics: take a field's value into the value cell, aggregate the
// fields of a run there, or write the cell into the fields.
class TGetFceSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TGetFceSem";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    std::uint8_t FceCode = 0;
};

// The aggregate over a number field of type T: bytes and words in the cell's 16-bit value (unsigned),
// long integers in its 32-bit value (signed). The first value of a run starts a maximum or minimum.
template <class T>
class TNumberGetFceSem : public TGetFceSem {
public:
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;

private:
    using CellValue = std::conditional_t<(sizeof(T) < 4), std::uint16_t, std::int32_t>;
    CellValue GetCell() const;
    void SetCell(CellValue value);
    void Aggregate(T value);
};

class TByteGetFceSem : public TNumberGetFceSem<std::uint8_t> {
public:
    static constexpr std::string_view kClassName = "TByteGetFceSem";
    std::string_view ClassName() const override { return kClassName; }
};

class TWordGetFceSem : public TNumberGetFceSem<std::uint16_t> {
public:
    static constexpr std::string_view kClassName = "TWordGetFceSem";
    std::string_view ClassName() const override { return kClassName; }
};

class TLIntGetFceSem : public TNumberGetFceSem<std::int32_t> {
public:
    static constexpr std::string_view kClassName = "TLIntGetFceSem";
    std::string_view ClassName() const override { return kClassName; }
};

// The same over a short-string field and the cell's text; only equality aggregates.
class TPStrGetFceSem : public TGetFceSem {
public:
    static constexpr std::string_view kClassName = "TPStrGetFceSem";

    std::string_view ClassName() const override { return kClassName; }
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;
};

} // namespace ravlo
