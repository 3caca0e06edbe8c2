#pragma once

#include "records/db_dscr.h"
#include "records/db_inst_man.h"
#include "records/db_links.h"
#include "records/db_record_obj.h"
#include "records/rec_el_iniciators.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// The records of one database type, described by the application's TDataBaseDscrObj of
// DB_TypeID. Every database has a run-time instance address; records may own sub-databases, so
// databases form a tree.
class TDataBase : public TRecordsCollection<TDBRecordObj>, public TInstAddressed {
public:
    static constexpr std::string_view kClassName = "TDataBase";
    // The address a stream keeps as it is; every other one is stored as "none".
    static constexpr std::uint16_t kStoredAdr = TDBInstMan::kFirstStartAdr;

    // For the stream only.
    TDataBase() = default;
    // A database of type dbTid with a new instance address; raises ExcValidators when the
    // application has no description of the type.
    TDataBase(TDataBase* parent, std::uint16_t dbTid, std::uint8_t devIx, std::uint8_t netNode);
    ~TDataBase() override;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    // A stored address other than kStoredAdr is replaced by a new one, so that no two databases
    // share one. A type without description raises ExcValidators.
    void Load(TrbObjStream& stream) override;

    // Links the record (unless NoLink) and refreshes the lists.
    TrbInsertResult AtInsert(std::int32_t index, std::unique_ptr<TrbStreamable> item) override;
    // Marks the database modified and drops the record's edit links.
    std::unique_ptr<TrbStreamable> AtDelete(std::int32_t index) override;
    std::vector<std::unique_ptr<TrbStreamable>> DeleteAll() override;

    std::uint16_t InstAddress() const override { return InstAdr; }

    // The description of DB_TypeID in the application data in use; nullptr when there is none.
    const TDataBaseDscrObj* DB_DscrCachePtr() const { return AppDataBaseDscr(DB_TypeID); }

    void BeginUpdate();
    void EndUpdate();
    // Every list shows the records again, unless updates are held back.
    void RefreshLooks() const;
    bool TestModified() const;
    void ClearModified();
    // Bit n of the description's DBFlags; false without description.
    bool HasDBFlag(std::uint8_t n) const;
    void SetNetNode(std::uint8_t netNode);
    // Also runs the description's semantics over the records (write mode) before passing down.
    void SetNetNodeDev(std::uint8_t netNode, std::uint8_t devIx);
    // Semantic semNo of the application over every record; nothing when there is no such one.
    void RunSemantic(std::uint32_t semNo, std::uint8_t mode);
    // This database and those below it whose type is dbTid.
    void AddRefDBs(std::vector<TDataBase*>& coll, std::uint16_t dbTid);

    TDBEditValidatorsColl EditLinks;
    TDBLookValidatorsColl LookLinks;
    std::uint8_t UpdateLock = 0;
    bool NoLink = false;
    std::string DBName;
    // The database that holds the record owning this one (run time; nullptr at the top).
    TDataBase* Parent = nullptr;
    std::uint8_t NetNode = 0;
    std::uint8_t DevIx = 0;
    std::uint16_t InstAdr = TDBInstMan::kNoAdr;
    std::uint16_t DB_TypeID = 0;
    bool Modified = false;

private:
    // The record's sub-databases learn their parent, and node and device as the flags say.
    void LinkRecord(TDBRecordObj& record);
    // fn for every sub-database of every record.
    void ForEachSubDB(const std::function<void(TDataBase&)>& fn) const;
    const TDataBaseDscrObj& RequireDscr() const;
};

// A list of databases with lookups by instance address, type, device index and network node.
// Lookups answer the first match in order, nullptr when there is none.
class TDBColl : public TRecordsCollection<TDataBase> {
public:
    static constexpr std::string_view kClassName = "TDBColl";
    using Match = std::function<bool(const TDataBase&)>;

    std::string_view ClassName() const override { return kClassName; }

    TDataBase* Find(const Match& match) const;
    // The plain lookup, then one level down: the sub-databases of the records that databases with
    // DBFlags bit 1 let through their filter validator filterIx (all records without one), and
    // whose type has Attr bit 0.
    TDataBase* FindSkipHidden(const Match& match, std::int32_t filterIx) const;

    TDataBase* GetInstAdrDataBase(std::uint16_t adr) const;
    TDataBase* GetDBTidDataBase(std::uint16_t dbTid) const;
    TDataBase* GetDevDBTidDataBase(std::uint16_t dbTid, std::uint8_t devIx) const;
    TDataBase* GetNetNodeDBTidDataBase(std::uint16_t dbTid, std::uint8_t netNode) const;
    TDataBase* GetSkipHiddenDBTidDataBase(std::uint16_t dbTid, std::int32_t filterIx) const;
    TDataBase* GetSkipHiddenDevDBTidDataBase(std::uint16_t dbTid, std::uint8_t devIx,
                                             std::int32_t filterIx) const;
    TDataBase* GetSkipHiddenNetNodeDBTidDataBase(std::uint16_t dbTid, std::uint8_t netNode,
                                                 std::int32_t filterIx) const;

    bool TestDBsModified() const;
    void Clear_DBColl_ModifFlg();
    void RunDBs_SemEvaluator(std::uint32_t semNo, std::uint8_t mode);
    // Every database of type dbTid, here and below; nothing without coll.
    void AddRefDBItemsToDBColl(std::vector<TDataBase*>* coll, std::uint16_t dbTid) const;
};

} // namespace ravlo
