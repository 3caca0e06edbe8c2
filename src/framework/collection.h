#pragma once

#include "framework/obj_stream.h"
#include "framework/streamable.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace ravlo {

// What an insert did with the item it was given.
struct TrbInsertResult {
    // The index used, or for a refused item the index of the equal item (-1 for a bad index).
    std::int32_t Index = -1;
    bool Inserted = false;
    // A refused item, handed back to the caller.
    std::unique_ptr<TrbStreamable> Refused;
};

// What a delete took out of the collection.
struct TrbDeleteResult {
    std::int32_t Index = -1;
    std::unique_ptr<TrbStreamable> Item;
};

// An owning list of streamable objects (nil slots allowed). Count items are in use out of a
// capacity of Limit, which grows in additive steps. Bad indexes and limits call Error, which does
// nothing here, so they are ignored unless a descendant overrides it.
class TrbCollection : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TrbCollection";
    // Error codes passed to Error.
    static constexpr std::int32_t coIndexError = -1;
    static constexpr std::int32_t coOverflow = -2;
    // Limits and counts stay below this.
    static constexpr std::int32_t kMaxCollectionSize = 0x8000000;

    TrbCollection() = default;
    // Frees the items. Virtual calls here reach only this class, so a descendant that overrides
    // FreeItem frees its items in its own destructor.
    ~TrbCollection() override;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    // Reads the count and adds each object through the virtual Insert; an item Insert refuses
    // is freed.
    void Load(TrbObjStream& stream) override;

    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    std::int32_t Limit() const { return limit_; }

    // Reports a bad index (coIndexError) or limit (coOverflow); it leaves the collection as it is.
    virtual void Error(std::int32_t code, std::int32_t info) const;
    virtual void Grow();
    virtual void FreeItem(std::unique_ptr<TrbStreamable> item);
    virtual TrbInsertResult AtInsert(std::int32_t index, std::unique_ptr<TrbStreamable> item);
    virtual TrbInsertResult Insert(std::unique_ptr<TrbStreamable> item);
    // Takes the item out of the collection and hands it to the caller.
    virtual std::unique_ptr<TrbStreamable> AtDelete(std::int32_t index);
    // Empties the collection and releases the array; the items go back to the caller.
    virtual std::vector<std::unique_ptr<TrbStreamable>> DeleteAll();
    virtual std::int32_t IndexOf(const TrbStreamable* item) const;

    // The item at index; a bad index calls Error and gives nullptr.
    TrbStreamable* At(std::int32_t index) const;
    // Takes out the item itself (found by identity), not another with an equal key.
    TrbDeleteResult Delete(const TrbStreamable* item);
    // Frees the item at index; a nil slot stays in place.
    void AtFree(std::int32_t index);
    // Frees the item itself (found by identity) when present.
    void FreeObj(const TrbStreamable* item);
    void FreeAll();
    void Exchange(std::int32_t i, std::int32_t j);
    // n must lie in Count .. kMaxCollectionSize - 1.
    void SetLimit(std::int32_t n);
    // Raises Limit when needed; new slots are nil, items beyond a smaller count are freed.
    void SetCount(std::int32_t n);

protected:
    // Reads one item for Load; a descendant that holds one class checks it here.
    virtual std::unique_ptr<TrbStreamable> LoadItem(TrbObjStream& stream);
    // The index of item by pointer identity, -1 when absent.
    std::int32_t IdentityIndexOf(const TrbStreamable* item) const;

private:
    bool ValidIndex(std::int32_t index) const { return index >= 0 && index < Count(); }
    std::int32_t OwnIndexOf(const TrbStreamable* item) const;

    std::vector<std::unique_ptr<TrbStreamable>> items_;
    std::int32_t limit_ = 0;
};

// A collection that holds items of one class: loading refuses other classes with EInvalidCast,
// and ItemAt answers the typed item (nullptr for a bad index, a nil slot or another class).
template <class Item, class Base = TrbCollection>
class TrbTypedCollection : public Base {
public:
    Item* ItemAt(std::int32_t index) const { return dynamic_cast<Item*>(this->At(index)); }

protected:
    std::unique_ptr<TrbStreamable> LoadItem(TrbObjStream& stream) override;
};

template <class Item, class Base>
std::unique_ptr<TrbStreamable> TrbTypedCollection<Item, Base>::LoadItem(TrbObjStream& stream) {
    return stream.template GetAs<Item>();
}

} // namespace ravlo
