#pragma once

#include "framework/enum_types.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

namespace ravlo {

// What the application data asks of the record descriptions it holds; they live in a subsystem
// above this one and implement these.
class TRecordTypeSource {
public:
    // With ix in the collection the item at ix, else the first type named name (ix then set to
    // its index); nullptr when there is none.
    virtual TrbStreamable* GetRecordTypeDscr(std::string_view name, std::int16_t& ix) const = 0;

protected:
    ~TRecordTypeSource() = default;
};

class TDataBaseDscrSource {
public:
    // The first description of database type dbTid, nullptr when there is none.
    virtual TrbStreamable* GetDataBaseDscrObj(std::uint16_t dbTid) const = 0;
    // Whether every description fits its record types; each misfit is reported.
    virtual bool TestAllTypeDscrs() const = 0;

protected:
    ~TDataBaseDscrSource() = default;
};

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

    // False without database descriptions, else their own type test.
    bool TestDataBaseDscrColl() const;

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
    TrbStreamable* GetRecordTypeDscr(std::string_view name, std::int16_t& ix) const;
    // Found by its database type, as the databases ask for it.
    TrbStreamable* GetDataBaseDscrObj(std::uint16_t dbTid) const;
    TrbStreamable* GetParRecTypesColl() const;
    TrbStreamable* GetParRecType(std::int32_t index) const;
};

// The program's extension object.
TAppExtension& AppExtension();
// Drops the data it holds and starts afresh (for tests).
void ResetAppExtension();

} // namespace ravlo
