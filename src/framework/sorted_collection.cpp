#include "framework/sorted_collection.h"

#include "framework/obj_stream.h"

#include <utility>

namespace ravlo {

void TrbSortedCollection::Store(TrbObjStream& stream) const {
    stream.WriteU8(Duplicates ? 1 : 0);
    TrbCollection::Store(stream);
}

void TrbSortedCollection::Load(TrbObjStream& stream) {
    Duplicates = stream.ReadU8() != 0;
    TrbCollection::Load(stream);
}

const void* TrbSortedCollection::KeyOf(const TrbStreamable* item) const {
    return item;
}

int TrbSortedCollection::Compare(const void*, const void*) const {
    return -1;
}

bool TrbSortedCollection::Search(const void* key, std::int32_t& index) const {
    std::int32_t lo = 0;
    std::int32_t hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const std::int32_t mid = (lo + hi) >> 1;
        const int c = Compare(KeyOf(At(mid)), key);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (!Duplicates) {
                    lo = mid;
                }
            }
        }
    }
    index = lo;
    return found;
}

TrbInsertResult TrbSortedCollection::Insert(std::unique_ptr<TrbStreamable> item) {
    // A nil item has no key to place it by; one read from a stream is dropped.
    if (!item) {
        return {};
    }
    std::int32_t index = 0;
    if (Search(KeyOf(item.get()), index) && !Duplicates) {
        return {index, false, std::move(item)};
    }
    return AtInsert(index, std::move(item));
}

std::int32_t TrbSortedCollection::IndexOf(const TrbStreamable* item) const {
    // A nil slot has no key to search by.
    if (item == nullptr) {
        return IdentityIndexOf(item);
    }
    std::int32_t index = 0;
    if (!Search(KeyOf(item), index)) {
        return -1;
    }
    if (!Duplicates) {
        return index;
    }
    while (index < Count() && At(index) != item) {
        ++index;
    }
    return index < Count() ? index : -1;
}

} // namespace ravlo
