#pragma once

#include "framework/collection.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ravlo {

// One entry of a named enumeration. Obj belongs to the entry and is not streamed.
class TEnumTypeElObj : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TEnumTypeElObj";
    static constexpr std::int16_t kNoTextId = -1;

    TEnumTypeElObj() = default;
    explicit TEnumTypeElObj(std::string text, std::int16_t textId = kNoTextId)
        : Text(std::move(text)), TextId(textId) {}

    std::string_view ClassName() const override { return kClassName; }
    // Copies Text and TextId; Obj stays with its element.
    void Assign(const TrbStreamable& source) override;
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    // The string-table text TextId when there is one, else Text.
    std::string ShownText() const;

    std::string Text;
    std::int16_t TextId = kNoTextId;
    std::unique_ptr<TrbStreamable> Obj;
};

// Map[value] = list index of value.
class TEnumTransferObj : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TEnumTransferObj";

    std::string_view ClassName() const override { return kClassName; }
    void Assign(const TrbStreamable& source) override;
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    std::array<std::uint8_t, 256> Map{};
};

// The entries of an enumeration as a string list over Elements (a collection of TEnumTypeElObj).
// Without a Transfer map an entry's value is its list index. Operations on an index that holds no
// entry raise ERangeError, except Get, which answers an empty text.
class TEnumTypeDefStrings {
public:
    TEnumTypeDefStrings() : elements_(std::make_unique<TrbCollection>()) {}

    TrbCollection& Elements() const { return *elements_; }
    // Takes over a loaded collection; nullptr gives an empty one.
    void SetElements(std::unique_ptr<TrbCollection> elements);

    std::string Get(std::int32_t index) const;
    std::int32_t GetCount() const { return elements_->Count(); }
    // Replaces the entry's Text (a string-table text of the entry still takes precedence).
    void Put(std::int32_t index, std::string_view text);
    TrbStreamable* GetObject(std::int32_t index) const;
    // Frees the object it replaces.
    void PutObject(std::int32_t index, std::unique_ptr<TrbStreamable> obj);
    void Clear();
    void Delete(std::int32_t index);
    // A new entry with text, no object and no text id; index runs 0 .. GetCount().
    void Insert(std::int32_t index, std::string_view text);
    std::int32_t Add(std::string_view text);

    // The list index of value; -1 when the value has no entry.
    std::int32_t ItemOfValue(std::int32_t value) const;
    // With Transfer the first value that maps to index, 0 when none does; else index.
    std::int32_t ValueOfItem(std::int32_t index) const;
    // The entry's text, or "$" and two hex digits when it is empty.
    std::string ValueToText(std::int32_t value) const;

    std::unique_ptr<TEnumTransferObj> Transfer;

private:
    TEnumTypeElObj* Element(std::int32_t index) const;
    TEnumTypeElObj& ExistingElement(std::int32_t index) const;

    std::unique_ptr<TrbCollection> elements_;
};

// A named enumeration.
class TEnumTypeDefinition : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TEnumTypeDefinition";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    // Elements must be a collection of entries and Transfer a map or nil, else EInvalidCast.
    void Load(TrbObjStream& stream) override;

    void SetTypeName(std::string_view name) { TypeName = name; }

    std::string TypeName;
    TEnumTypeDefStrings Strings;
};

// The named enumerations, addressed by 0-based type index.
class TEnumTypesColl : public TrbTypedCollection<TEnumTypeDefinition> {
public:
    static constexpr std::string_view kClassName = "TEnumTypesColl";

    std::string_view ClassName() const override { return kClassName; }

    // The entries of enumeration typeIndex, nullptr when there is none.
    TEnumTypeDefStrings* GetStrings(std::int32_t typeIndex) const;
};

} // namespace ravlo
