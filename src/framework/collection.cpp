#include "framework/collection.h"

#include <utility>

namespace ravlo {

TrbCollection::~TrbCollection() {
    FreeAll();
}

void TrbCollection::Store(TrbObjStream& stream) const {
    stream.WriteI32(Count());
    for (const std::unique_ptr<TrbStreamable>& item : items_) {
        stream.Put(item.get());
    }
}

void TrbCollection::Load(TrbObjStream& stream) {
    // Every object reference takes at least its type number.
    const std::int32_t count = stream.ReadCount(2);
    for (std::int32_t i = 0; i < count; ++i) {
        TrbInsertResult result = Insert(LoadItem(stream));
        if (!result.Inserted) {
            FreeItem(std::move(result.Refused));
        }
    }
}

std::unique_ptr<TrbStreamable> TrbCollection::LoadItem(TrbObjStream& stream) {
    return stream.Get();
}

void TrbCollection::Error(std::int32_t, std::int32_t) const {}

void TrbCollection::Grow() {
    const std::int32_t delta = limit_ < 5 ? 4 : limit_ < 9 ? 8 : 16;
    SetLimit(limit_ + delta);
}

void TrbCollection::FreeItem(std::unique_ptr<TrbStreamable> item) {
    item.reset();
}

TrbInsertResult TrbCollection::AtInsert(std::int32_t index, std::unique_ptr<TrbStreamable> item) {
    if (index < 0 || index > Count()) {
        Error(coIndexError, index);
        return {-1, false, std::move(item)};
    }
    if (Count() >= limit_) {
        Grow();
        // A Grow that could not make room must not let the count pass the limit.
        if (Count() >= limit_) {
            Error(coOverflow, index);
            return {-1, false, std::move(item)};
        }
    }
    items_.insert(items_.begin() + index, std::move(item));
    return {index, true, nullptr};
}

TrbInsertResult TrbCollection::Insert(std::unique_ptr<TrbStreamable> item) {
    return AtInsert(Count(), std::move(item));
}

std::unique_ptr<TrbStreamable> TrbCollection::AtDelete(std::int32_t index) {
    if (!ValidIndex(index)) {
        Error(coIndexError, index);
        return nullptr;
    }
    std::unique_ptr<TrbStreamable> item = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    return item;
}

std::vector<std::unique_ptr<TrbStreamable>> TrbCollection::DeleteAll() {
    std::vector<std::unique_ptr<TrbStreamable>> released = std::move(items_);
    items_.clear();
    SetLimit(0);
    return released;
}

std::int32_t TrbCollection::IndexOf(const TrbStreamable* item) const {
    return IdentityIndexOf(item);
}

std::int32_t TrbCollection::IdentityIndexOf(const TrbStreamable* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == item) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

// IndexOf of a sorted collection may answer another object with an equal key; deleting and
// freeing must touch only the object asked for.
std::int32_t TrbCollection::OwnIndexOf(const TrbStreamable* item) const {
    if (item == nullptr) {
        return IdentityIndexOf(item);
    }
    const std::int32_t index = IndexOf(item);
    if (ValidIndex(index) && items_[static_cast<std::size_t>(index)].get() == item) {
        return index;
    }
    return IdentityIndexOf(item);
}

TrbStreamable* TrbCollection::At(std::int32_t index) const {
    if (!ValidIndex(index)) {
        Error(coIndexError, index);
        return nullptr;
    }
    return items_[static_cast<std::size_t>(index)].get();
}

TrbDeleteResult TrbCollection::Delete(const TrbStreamable* item) {
    const std::int32_t index = OwnIndexOf(item);
    if (index < 0) {
        return {};
    }
    return {index, AtDelete(index)};
}

void TrbCollection::AtFree(std::int32_t index) {
    if (At(index) == nullptr) {
        return;
    }
    FreeItem(AtDelete(index));
}

void TrbCollection::FreeObj(const TrbStreamable* item) {
    if (item == nullptr) {
        return;
    }
    const std::int32_t index = OwnIndexOf(item);
    if (index >= 0) {
        AtFree(index);
    }
}

void TrbCollection::FreeAll() {
    for (std::unique_ptr<TrbStreamable>& item : DeleteAll()) {
        FreeItem(std::move(item));
    }
}

void TrbCollection::Exchange(std::int32_t i, std::int32_t j) {
    if (!ValidIndex(i) || !ValidIndex(j)) {
        Error(coIndexError, ValidIndex(i) ? j : i);
        return;
    }
    std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(j)]);
}

void TrbCollection::SetLimit(std::int32_t n) {
    if (n < Count() || n >= kMaxCollectionSize) {
        Error(coOverflow, n);
        return;
    }
    if (n == limit_) {
        return;
    }
    limit_ = n;
    if (n == 0) {
        std::vector<std::unique_ptr<TrbStreamable>>().swap(items_);
    } else {
        items_.reserve(static_cast<std::size_t>(n));
    }
}

void TrbCollection::SetCount(std::int32_t n) {
    if (n < 0 || n >= kMaxCollectionSize) {
        Error(coOverflow, n);
        return;
    }
    if (n > limit_) {
        SetLimit(n);
    }
    if (n >= Count()) {
        items_.resize(static_cast<std::size_t>(n));
        return;
    }
    std::vector<std::unique_ptr<TrbStreamable>> dropped;
    for (auto it = items_.begin() + n; it != items_.end(); ++it) {
        dropped.push_back(std::move(*it));
    }
    items_.resize(static_cast<std::size_t>(n));
    for (std::unique_ptr<TrbStreamable>& item : dropped) {
        FreeItem(std::move(item));
    }
}

} // namespace ravlo
