#pragma once

#include "framework/collection.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// A general sort and scan item. Ref1 and Ref2 are run-time references, never streamed and not
// owned. Text may be nil, which differs from an empty text when sorting.
class TScanObject : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TScanObject";

    TScanObject() = default;
    TScanObject(std::uint16_t w, std::uint32_t l, void* ref1, void* ref2, std::optional<std::string> text)
        : W(w), L(l), Ref1(ref1), Ref2(ref2), Text(std::move(text)) {}

    std::string_view ClassName() const override { return kClassName; }
    void Assign(const TrbStreamable& source) override;
    void Store(TrbObjStream& stream) const override;
    // Clears both references.
    void Load(TrbObjStream& stream) override;

    std::uint16_t W = 0;
    std::uint32_t L = 0;
    void* Ref1 = nullptr;
    void* Ref2 = nullptr;
    std::optional<std::string> Text;
};

// Scan items with in-place ascending sorts. Nil slots sort before every item.
class TScanObjColl : public TrbTypedCollection<TScanObject> {
public:
    static constexpr std::string_view kClassName = "TScanObjColl";

    std::string_view ClassName() const override { return kClassName; }

    // By W.
    void QuickSort_W();
    // By Text, byte by byte; a nil text before any other.
    void QuickSort_Pch();
    // By Text ignoring case (code page 1250 letters, by byte value); a nil text before any other.
    void QuickSort_AnsiPch();
    // By L as a signed number.
    void QuickSort_L();
    // By L as an unsigned number.
    void QuickSort_DW();

private:
    using KeyCompare = int (*)(const TScanObject& a, const TScanObject& b);
    void QuickSort(KeyCompare compare);
    void QuickSortRange(KeyCompare compare, std::int32_t lo, std::int32_t hi);
};

} // namespace ravlo
