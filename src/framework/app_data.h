#pragma once

#include "framework/enum_types.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace ravlo {

// The application's data descriptions. The last four are collections of the record description
// classes, held by their base and checked by class name when loaded.
class TAppData : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TAppData";
    static constexpr std::string_view kRecTypesDscrCollClass = "TRecTypesDscrColl";
    static constexpr std::string_view kDataBaseDscrCollClass = "TDataBaseDscrColl";
    static constexpr std::string_view kSemManCollClass = "TSemManColl";
    static constexpr std::string_view kParRecTypesCollClass = "TParRecTypesColl";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override { SaveToStream(stream); }
    void Load(TrbObjStream& stream) override { LoadFromStream(stream); }

    // The five references in field order.
    void SaveToStream(TrbObjStream& stream) const;
    // Reads five objects in field order; an object of another class raises EInvalidCast and
    // leaves the fields as they were.
    void LoadFromStream(TrbObjStream& stream);

    // The data as a stored object stream of its own.
    void SaveToFile(const std::filesystem::path& path) const;
    void LoadFromFile(const std::filesystem::path& path);

    std::unique_ptr<TEnumTypesColl> EnumTypesColl;
    std::unique_ptr<TrbStreamable> RecTypesDscrColl;
    std::unique_ptr<TrbStreamable> DataBaseDscrColl;
    std::unique_ptr<TrbStreamable> SemManColl;
    std::unique_ptr<TrbStreamable> ParRecTypesColl;
};

// The one object that holds the application data in use.
class TAppExtension {
public:
    // Handle of a resource library; the system never loads one, so string-table texts always
    // come from the program. Kept so the field is there for a later use.
    std::intptr_t ResLib = 0;
    // nullptr until the main form sets it.
    std::unique_ptr<TAppData> AppData;
    // The parameter-record data collection, nullptr when absent.
    std::unique_ptr<TrbStreamable> ParRecData;

    // Each answers nullptr when a link of the chain is missing or an index is out of range.
    TEnumTypeDefStrings* GetEnumStrings(std::int32_t typeIndex) const;
    TrbStreamable* GetRecTypesDscrColl() const;
    TrbStreamable* GetDataBaseDscrObj(std::int32_t index) const;
    TrbStreamable* GetParRecTypesColl() const;
    TrbStreamable* GetParRecType(std::int32_t index) const;
};

// The program's extension object.
TAppExtension& AppExtension();
// Drops the data it holds and starts afresh (for tests).
void ResetAppExtension();

} // namespace ravlo
