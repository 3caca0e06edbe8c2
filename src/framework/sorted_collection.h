#pragma once

#include "framework/collection.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace ravlo {

// A collection kept in the order of Compare over the items' keys. Keys are whatever KeyOf points
// at; descendants override KeyOf and Compare together. A descendant whose KeyOf expects one item
// class derives from TrbTypedCollection<Item, TrbSortedCollection>, so that loading checks the
// class before KeyOf sees an item.
class TrbSortedCollection : public TrbCollection {
public:
    static constexpr std::string_view kClassName = "TrbSortedCollection";

    // Equal keys allowed.
    bool Duplicates = false;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    // The item itself in the base.
    virtual const void* KeyOf(const TrbStreamable* item) const;
    // -1, 0 or 1; -1 in the base.
    virtual int Compare(const void* key1, const void* key2) const;
    // Binary search: true when the key is present; index is its position (with Duplicates the
    // first of the equal items) or where it would be inserted.
    virtual bool Search(const void* key, std::int32_t& index) const;

    // Inserts in key order. Without Duplicates an item whose key is present is refused and handed
    // back with the index of the equal item. A nil item is refused.
    TrbInsertResult Insert(std::unique_ptr<TrbStreamable> item) override;
    // -1 unless the key is present. Without Duplicates the index of the equal-key item, which may
    // be another object; with Duplicates the index of the item itself among the equal ones.
    std::int32_t IndexOf(const TrbStreamable* item) const override;
};

} // namespace ravlo
