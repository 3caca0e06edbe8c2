#pragma once

#include "framework/app_data.h"
#include "framework/sorted_collection.h"
#include "records/assign_tables.h"
#include "records/rec_iniciator_coll.h"
#include "records/semantics.h"
#include "records/stream_objects.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class TDataBase;
class TDBRecordObj;
class TDataBaseDscrObj;

// Decides which records of a database a lookup or a reference step takes. This base takes every
// record; descendants that the program builds narrow it. Nothing is streamed.
class TDBFilterValidator : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TDBFilterValidator";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream&) const override {}
    void Load(TrbObjStream&) override {}

    virtual bool Accept() const { return true; }
    virtual bool Accept(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) const { return true; }
    virtual bool AcceptRec(const TDataBase& /*database*/, const TDBRecordObj& /*record*/) const {
        return true;
    }
    virtual void Notify() {}
    struct Query {
        std::uint32_t L = 0;
        std::uint8_t B = 0;
    };
    virtual Query GetQuery() const { return {}; }

    // The description that holds the validator (run time).
    const TDataBaseDscrObj* Owner = nullptr;
};

class TDBFilterValColl : public TRecordsCollection<TDBFilterValidator> {
public:
    static constexpr std::string_view kClassName = "TDBFilterValColl";
    std::string_view ClassName() const override { return kClassName; }
};

// Gives a database's caption for a key through the handler the program assigns; nothing streamed.
class TDBCaptionObj : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TDBCaptionObj";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream&) const override {}
    void Load(TrbObjStream&) override {}

    // The handler's caption, "" without one.
    std::string GetCaption(std::uint32_t key) const { return Handler ? Handler(key) : std::string(); }

    std::function<std::string(std::uint32_t)> Handler;
};

// What a database description is made of; the semantic numbers below 0 make no evaluator.
struct TDataBaseDscrArgs {
    std::string Name;
    std::int16_t DscrIndex = 0;
    std::uint16_t DBTid = 0;
    std::uint8_t DBFlags = 0;
    std::uint16_t AuxWord1 = 0;
    std::uint16_t DscrLng = 0;
    std::uint8_t AuxByte1 = 0;
    std::int16_t DefaultDscrIx = 0;
    std::uint16_t AuxWord2 = 0;
    std::unique_ptr<TDscrAssignTable> DscrIxAsTab;
    std::unique_ptr<TRecIniciatorColl> IniciatorColl;
    std::unique_ptr<TDBFilterValColl> FilterValColl;
    std::uint32_t AuxLong1 = 0;
    std::uint32_t AuxLong2 = 0;
    std::uint32_t AuxLong3 = 0;
    std::unique_ptr<TDBCaptionObj> CaptionObj;
    std::vector<std::int32_t> SemNos;
};

// DBFlags bits.
inline constexpr std::uint8_t kDBFlagSubDBs = 1;     // records own sub-databases to search
inline constexpr std::uint8_t kDBFlagNetNode = 2;    // a node change goes down to them
inline constexpr std::uint8_t kDBFlagNetNodeDev = 3; // a node and device change goes down

// The description of one database type: its record layout (by a selector table or a default
// record type), the initiators of its records' defaults, filters, semantics and caption.
class TDataBaseDscrObj : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TDataBaseDscrObj";

    TDataBaseDscrObj() = default;
    explicit TDataBaseDscrObj(TDataBaseDscrArgs args);

    std::string_view ClassName() const override { return kClassName; }
    void InitObj() override { DscrIndex = -1; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    // The record type index for a key: the selector table's when it has one, else DefaultDscrIx.
    std::int16_t GetRecDscrIx(std::uint16_t key) const;
    // Filter validator i, nullptr for a negative i or none.
    const TDBFilterValidator* GetFilterValidator(std::int32_t i) const;
    bool HasFlag(std::uint8_t bit) const { return bit < 8 && ((DBFlags >> bit) & 1) != 0; }
    // The type and length test; every misfit is reported.
    bool TestTypeDscrs() const;

    std::string DBName;
    std::int16_t DscrIndex = -1;
    std::uint16_t DBTid = 0;
    std::uint8_t DBFlags = 0;
    std::uint16_t AuxWord1 = 0;
    std::uint16_t DscrLng = 0;
    // A record image; empty when there is none.
    std::vector<std::uint8_t> DefaultRec;
    std::uint8_t AuxByte1 = 0;
    std::int16_t DefaultDscrIx = 0;
    std::uint16_t AuxWord2 = 0;
    std::uint32_t AuxLong1 = 0;
    std::uint32_t AuxLong2 = 0;
    std::uint32_t AuxLong3 = 0;
    std::unique_ptr<TDscrAssignTable> DscrIxAsTab;
    std::unique_ptr<TRecIniciatorColl> IniciatorColl;
    std::unique_ptr<TDBFilterValColl> FilterValColl;
    std::unique_ptr<TSemEvalColl> SemEvalColl;
    std::unique_ptr<TDBCaptionObj> CaptionObj;

private:
    void OwnFilters();
};

// The database descriptions of an application, sorted by DBTid.
class TDataBaseDscrColl : public TrbTypedCollection<TDataBaseDscrObj, TrbSortedCollection>,
                          public TDataBaseDscrSource {
public:
    static constexpr std::string_view kClassName = "TDataBaseDscrColl";

    std::string_view ClassName() const override { return kClassName; }
    // A description whose DBTid is there already is refused, freed and reported.
    void Load(TrbObjStream& stream) override;
    const void* KeyOf(const TrbStreamable* item) const override;
    int Compare(const void* key1, const void* key2) const override;

    // Builds a description; one of the same DBTid that is there already wins. The index of the
    // description kept.
    std::int32_t InsertDscr(TDataBaseDscrArgs args);
    TDataBaseDscrObj* GetDataBaseDscrObj(std::uint16_t dbTid) const override;
    // Every description in order until the first that fails; true for none.
    bool TestAllTypeDscrs() const override;
};

// The description of a database type in the application data in use; nullptr when there is none.
const TDataBaseDscrObj* AppDataBaseDscr(std::uint16_t dbTid);

} // namespace ravlo
