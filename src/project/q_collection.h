#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace ravlo {

// The light sorted collection of the project model: items kept in the order of a compare function
// (none set: every item compares as smaller, so new items go to the end). Equal items keep the order
// in which they were inserted. Holder is std::unique_ptr<Item> for an owning collection or Item* for
// a list that only refers to items owned elsewhere. Searches are linear walks (ForEach, FirstThat).
template <class Item, class Holder = std::unique_ptr<Item>>
class tqSortedCollection {
public:
    using CompareFunc = int (*)(const Item& a, const Item& b);

    tqSortedCollection() = default;
    explicit tqSortedCollection(CompareFunc compare) : compare_(compare) {}
    tqSortedCollection(const tqSortedCollection&) = delete;
    tqSortedCollection& operator=(const tqSortedCollection&) = delete;
    virtual ~tqSortedCollection() = default;

    void SetCompareFunc(CompareFunc compare) { compare_ = compare; }
    // -1, 0 or 1; -1 when no compare function is set.
    int Compare(const Item& a, const Item& b) const { return compare_ != nullptr ? compare_(a, b) : -1; }

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    // The item at index; nullptr for a bad index.
    Item* At(std::int32_t index) const {
        return index >= 0 && index < Count() ? std::to_address(items_[static_cast<std::size_t>(index)])
                                             : nullptr;
    }
    Item* First() const { return At(0); }
    Item* Last() const { return At(Count() - 1); }

    // Inserts after every item that does not compare greater; answers the index. A null item is
    // not inserted (-1).
    std::int32_t Insert(Holder item) {
        if (std::to_address(item) == nullptr) {
            return -1;
        }
        std::size_t lo = 0;
        std::size_t hi = items_.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (Compare(*std::to_address(items_[mid]), *std::to_address(item)) <= 0) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(lo), std::move(item));
        return static_cast<std::int32_t>(lo);
    }

    // The index of the item itself (by identity), -1 when absent.
    std::int32_t IndexOf(const Item* item) const {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (std::to_address(items_[i]) == item) {
                return static_cast<std::int32_t>(i);
            }
        }
        return -1;
    }

    // Takes the item at index out and hands it over; an empty holder for a bad index.
    Holder AtDelete(std::int32_t index) {
        if (index < 0 || index >= Count()) {
            return Holder{};
        }
        Holder item = std::move(items_[static_cast<std::size_t>(index)]);
        items_.erase(items_.begin() + index);
        return item;
    }
    // Takes the item itself out (by identity).
    Holder Remove(const Item* item) { return AtDelete(IndexOf(item)); }
    // Empties the collection and hands every item over in order.
    std::vector<Holder> DeleteAll() { return std::exchange(items_, {}); }

    template <class Proc>
    void ForEach(Proc&& proc) const {
        for (const Holder& item : items_) {
            proc(*std::to_address(item));
        }
    }
    // The first item (from index 0) for which test answers true, else nullptr.
    template <class Test>
    Item* FirstThat(Test&& test) const {
        for (const Holder& item : items_) {
            if (test(*std::to_address(item))) {
                return std::to_address(item);
            }
        }
        return nullptr;
    }

private:
    CompareFunc compare_ = nullptr;
    std::vector<Holder> items_;
};

} // namespace ravlo
