#include "framework/app_data.h"

#include "framework/obj_stream_file.h"

namespace ravlo {
namespace {

std::unique_ptr<TrbStreamable> GetOfClass(TrbObjStream& stream, std::string_view expected) {
    std::unique_ptr<TrbStreamable> obj = stream.Get();
    if (obj && obj->ClassName() != expected) {
        ThrowInvalidCast(obj->ClassName(), expected);
    }
    return obj;
}

// The item at index of a collection held by its base; nullptr for anything else.
TrbStreamable* CollectionItem(const TrbStreamable* holder, std::int32_t index) {
    const auto* collection = dynamic_cast<const TrbCollection*>(holder);
    if (collection == nullptr || index < 0 || index >= collection->Count()) {
        return nullptr;
    }
    return collection->At(index);
}

} // namespace

void TAppData::SaveToStream(TrbObjStream& stream) const {
    stream.Put(EnumTypesColl.get());
    stream.Put(RecTypesDscrColl.get());
    stream.Put(DataBaseDscrColl.get());
    stream.Put(SemManColl.get());
    stream.Put(ParRecTypesColl.get());
}

void TAppData::LoadFromStream(TrbObjStream& stream) {
    std::unique_ptr<TEnumTypesColl> enumTypes = stream.GetAs<TEnumTypesColl>();
    std::unique_ptr<TrbStreamable> recTypes = GetOfClass(stream, kRecTypesDscrCollClass);
    std::unique_ptr<TrbStreamable> dataBases = GetOfClass(stream, kDataBaseDscrCollClass);
    std::unique_ptr<TrbStreamable> semMan = GetOfClass(stream, kSemManCollClass);
    std::unique_ptr<TrbStreamable> parRecTypes = GetOfClass(stream, kParRecTypesCollClass);
    EnumTypesColl = std::move(enumTypes);
    RecTypesDscrColl = std::move(recTypes);
    DataBaseDscrColl = std::move(dataBases);
    SemManColl = std::move(semMan);
    ParRecTypesColl = std::move(parRecTypes);
}

void TAppData::SaveToFile(const std::filesystem::path& path) const {
    SaveObjectFile(path, [this](TrbObjStream& stream) { SaveToStream(stream); });
}

void TAppData::LoadFromFile(const std::filesystem::path& path) {
    LoadObjectFile(path, [this](TrbObjStream& stream) { LoadFromStream(stream); });
}

bool TAppData::TestDataBaseDscrColl() const {
    const auto* descriptions = dynamic_cast<const TDataBaseDscrSource*>(DataBaseDscrColl.get());
    return descriptions != nullptr && descriptions->TestAllTypeDscrs();
}

TEnumTypeDefStrings* TAppExtension::GetEnumStrings(std::int32_t typeIndex) const {
    if (!AppData || !AppData->EnumTypesColl || typeIndex < 0 ||
        typeIndex >= AppData->EnumTypesColl->Count()) {
        return nullptr;
    }
    return AppData->EnumTypesColl->GetStrings(typeIndex);
}

TrbStreamable* TAppExtension::GetRecTypesDscrColl() const {
    return AppData ? AppData->RecTypesDscrColl.get() : nullptr;
}

TrbStreamable* TAppExtension::GetRecordTypeDscr(std::string_view name, std::int16_t& ix) const {
    const auto* types = dynamic_cast<const TRecordTypeSource*>(GetRecTypesDscrColl());
    return types != nullptr ? types->GetRecordTypeDscr(name, ix) : nullptr;
}

TrbStreamable* TAppExtension::GetDataBaseDscrObj(std::uint16_t dbTid) const {
    const auto* descriptions =
        AppData ? dynamic_cast<const TDataBaseDscrSource*>(AppData->DataBaseDscrColl.get()) : nullptr;
    return descriptions != nullptr ? descriptions->GetDataBaseDscrObj(dbTid) : nullptr;
}

TrbStreamable* TAppExtension::GetParRecTypesColl() const {
    return AppData ? AppData->ParRecTypesColl.get() : nullptr;
}

TrbStreamable* TAppExtension::GetParRecType(std::int32_t index) const {
    return CollectionItem(GetParRecTypesColl(), index);
}

TAppExtension& AppExtension() {
    static TAppExtension extension;
    return extension;
}

void ResetAppExtension() {
    AppExtension() = TAppExtension();
}

} // namespace ravlo
