#include "framework/enum_types.h"

#include "framework/obj_stream.h"
#include "framework/string_table.h"
#include "platform/exception.h"

#include <cstdio>

namespace ravlo {
namespace {

[[noreturn]] void ThrowIndexError(std::int32_t index) {
    throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
}

} // namespace

void TEnumTypeElObj::Assign(const TrbStreamable& source) {
    const auto& other = AssignSource<TEnumTypeElObj>(*this, source);
    Text = other.Text;
    TextId = other.TextId;
}

void TEnumTypeElObj::Store(TrbObjStream& stream) const {
    stream.WriteStr(Text);
    stream.WriteI16(TextId);
}

void TEnumTypeElObj::Load(TrbObjStream& stream) {
    Text = stream.ReadStr();
    TextId = stream.ReadI16();
}

std::string TEnumTypeElObj::ShownText() const {
    if (TextId >= 0) {
        std::string text = AppLoadStr(TextId);
        if (text != kMissingStringText) {
            return text;
        }
    }
    return Text;
}

void TEnumTransferObj::Assign(const TrbStreamable& source) {
    const auto& other = AssignSource<TEnumTransferObj>(*this, source);
    Map = other.Map;
}

void TEnumTransferObj::Store(TrbObjStream& stream) const {
    stream.Write(Map);
}

void TEnumTransferObj::Load(TrbObjStream& stream) {
    stream.Read(Map);
}

void TEnumTypeDefStrings::SetElements(std::unique_ptr<TrbCollection> elements) {
    elements_ = elements ? std::move(elements) : std::make_unique<TrbCollection>();
}

TEnumTypeElObj* TEnumTypeDefStrings::Element(std::int32_t index) const {
    if (index < 0 || index >= elements_->Count()) {
        return nullptr;
    }
    return dynamic_cast<TEnumTypeElObj*>(elements_->At(index));
}

TEnumTypeElObj& TEnumTypeDefStrings::ExistingElement(std::int32_t index) const {
    TEnumTypeElObj* element = Element(index);
    if (element == nullptr) {
        ThrowIndexError(index);
    }
    return *element;
}

std::string TEnumTypeDefStrings::Get(std::int32_t index) const {
    const TEnumTypeElObj* element = Element(index);
    return element != nullptr ? element->ShownText() : std::string();
}

void TEnumTypeDefStrings::Put(std::int32_t index, std::string_view text) {
    ExistingElement(index).Text = text;
}

TrbStreamable* TEnumTypeDefStrings::GetObject(std::int32_t index) const {
    const TEnumTypeElObj* element = Element(index);
    return element != nullptr ? element->Obj.get() : nullptr;
}

void TEnumTypeDefStrings::PutObject(std::int32_t index, std::unique_ptr<TrbStreamable> obj) {
    ExistingElement(index).Obj = std::move(obj);
}

void TEnumTypeDefStrings::Clear() {
    elements_->FreeAll();
}

void TEnumTypeDefStrings::Delete(std::int32_t index) {
    if (index < 0 || index >= elements_->Count()) {
        ThrowIndexError(index);
    }
    elements_->FreeItem(elements_->AtDelete(index));
}

void TEnumTypeDefStrings::Insert(std::int32_t index, std::string_view text) {
    if (index < 0 || index > elements_->Count()) {
        ThrowIndexError(index);
    }
    if (!elements_->AtInsert(index, std::make_unique<TEnumTypeElObj>(std::string(text))).Inserted) {
        throw ERangeError("Enumeration list is full");
    }
}

std::int32_t TEnumTypeDefStrings::Add(std::string_view text) {
    const std::int32_t index = GetCount();
    Insert(index, text);
    return index;
}

std::int32_t TEnumTypeDefStrings::ItemOfValue(std::int32_t value) const {
    if (!Transfer) {
        return value;
    }
    if (value < 0 || value >= static_cast<std::int32_t>(Transfer->Map.size())) {
        return -1;
    }
    return Transfer->Map[static_cast<std::size_t>(value)];
}

std::int32_t TEnumTypeDefStrings::ValueOfItem(std::int32_t index) const {
    if (!Transfer) {
        return index;
    }
    for (std::size_t value = 0; value < Transfer->Map.size(); ++value) {
        if (Transfer->Map[value] == index) {
            return static_cast<std::int32_t>(value);
        }
    }
    return 0;
}

std::string TEnumTypeDefStrings::ValueToText(std::int32_t value) const {
    std::string text = Get(ItemOfValue(value));
    if (text.empty()) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "$%02X", static_cast<unsigned>(value));
        text = hex;
    }
    return text;
}

void TEnumTypeDefinition::Store(TrbObjStream& stream) const {
    stream.WriteStr(TypeName);
    stream.Put(&Strings.Elements());
    stream.Put(Strings.Transfer.get());
}

void TEnumTypeDefinition::Load(TrbObjStream& stream) {
    TypeName = stream.ReadStr();
    std::unique_ptr<TrbCollection> elements = stream.GetAs<TrbCollection>();
    if (elements) {
        for (std::int32_t i = 0; i < elements->Count(); ++i) {
            const TrbStreamable* item = elements->At(i);
            if (item != nullptr && dynamic_cast<const TEnumTypeElObj*>(item) == nullptr) {
                ThrowInvalidCast(item->ClassName(), TEnumTypeElObj::kClassName);
            }
        }
    }
    Strings.SetElements(std::move(elements));
    Strings.Transfer = stream.GetAs<TEnumTransferObj>();
}

TEnumTypeDefStrings* TEnumTypesColl::GetStrings(std::int32_t typeIndex) const {
    TEnumTypeDefinition* definition = ItemAt(typeIndex);
    return definition != nullptr ? &definition->Strings : nullptr;
}

} // namespace ravlo
