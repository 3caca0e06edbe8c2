#pragma once

#include "records/stream_objects.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ravlo {

// Maps the selector value at the start of a case field to the index of the record type that
// describes the field's bytes. This base maps nothing.
class TDscrAssignTable : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TDscrAssignTable";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream&) const override {}
    void Load(TrbObjStream&) override {}

    // The record type index for the selector at the start of data; -1 for none, also when data is
    // shorter than a selector.
    virtual std::int16_t GetDscrIx(std::span<const std::uint8_t> /*data*/) const { return -1; }
    // Whether every mapped record type has size len; each one that has not is reported. False
    // without the application's record types.
    virtual bool TestDscrLength(std::uint16_t len) const;
    // Maps the selector at the start of selector to ix.
    virtual void PutTabItem(std::span<const std::uint8_t> /*selector*/, std::int16_t /*ix*/) {}

protected:
    // The size of record type ix, 0 when it names none.
    static std::uint16_t MappedTypeSize(std::int16_t ix);
};

// A full table of the 256 byte selectors; a negative entry maps to none.
class TByteDscrAssTab : public TDscrAssignTable {
public:
    static constexpr std::string_view kClassName = "TByteDscrAssTab";

    TByteDscrAssTab() { Table.fill(-1); }

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    std::int16_t GetDscrIx(std::span<const std::uint8_t> data) const override;
    bool TestDscrLength(std::uint16_t len) const override;
    void PutTabItem(std::span<const std::uint8_t> selector, std::int16_t ix) override;

    std::array<std::int16_t, 256> Table{};
};

// A list of (u16 selector, i16 index) pairs, searched in order: the first pair of a selector wins.
class TWordDscrAssTab : public TDscrAssignTable {
public:
    static constexpr std::string_view kClassName = "TWordDscrAssTab";
    static constexpr std::size_t kPairSize = 4;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    // Bytes beyond the last whole pair are reported and kept (so that they are stored again) but
    // never used.
    void Load(TrbObjStream& stream) override;

    std::int16_t GetDscrIx(std::span<const std::uint8_t> data) const override;
    bool TestDscrLength(std::uint16_t len) const override;
    // Appends a pair (after the whole pairs).
    void PutTabItem(std::span<const std::uint8_t> selector, std::int16_t ix) override;

    std::size_t PairCount() const { return Pairs.size() / kPairSize; }
    std::uint16_t PairBytes() const { return static_cast<std::uint16_t>(Pairs.size()); }

    // The pairs' bytes as stored (PairBytes of them).
    std::vector<std::uint8_t> Pairs;

private:
    std::uint16_t SelectorAt(std::size_t pair) const;
    std::int16_t IndexAt(std::size_t pair) const;
};

} // namespace ravlo
