#pragma once

#include "records/dscr_rec_obj.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace ravlo {

class TDBColl;
class TDataBase;

// A record of a database. It may own sub-databases (SubDBs), which its database-pointer fields
// name by their run-time instance addresses.
//
// Records may share one sub-database list (AssignTo hands it over); exactly one of them owns it
// (SubDBShared false) and stores it, the others keep it as shared and store nil. The list lives
// while any record holds it.
class TDBRecordObj : public TDscrRecObj {
public:
    static constexpr std::string_view kClassName = "TDBRecordObj";
    static constexpr std::uint16_t kNoRecKey = 0xFFFF;

    std::string_view ClassName() const override { return kClassName; }
    void InitObj() override;
    // The pointer fields are stored as "none": instance addresses live only at run time.
    void Store(TrbObjStream& stream) const override;
    // The pointer fields then take the addresses of their sub-databases.
    void Load(TrbObjStream& stream) override;
    // Onto another database record also the key and the sub-database list, which dest then
    // shares; a dest that owns another list takes the bytes only, and the fault is reported.
    void AssignTo(TDscrRecObj& dest) const override;
    bool IsModified() const override;
    void ClearModified() override;

    // The pointer fields take the instance addresses of their sub-databases; a field whose
    // database has another type is reported once.
    void TakeRefDBInstAdrs();
    // The sub-databases the pointer fields name are made where missing (AddRefDBItems also
    // makes their first records).
    void AddRefDBItems(TDataBase& database);
    void FindRefDBItems(TDataBase& database);
    // The sub-database list, made when there is none.
    TDBColl& OwnSubDBs();

    // The list belongs to another record: it is neither stored nor owned here. AssignTo moves
    // ownership between records, so it changes on a const source too.
    mutable bool SubDBShared = false;
    // 1 or 2: AssignTo hands the list over to the record assigned to.
    mutable std::uint8_t HandOver = 0;
    std::uint16_t RecKey = kNoRecKey;
    std::shared_ptr<TDBColl> SubDBs;

protected:
    bool TakesClass(const TDscrRecObj& source) const override;
    void StoreData(TrbObjStream& stream) const override;
};

} // namespace ravlo
