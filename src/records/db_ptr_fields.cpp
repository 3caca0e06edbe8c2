#include "records/db_ptr_fields.h"

#include "framework/message_box.h"
#include "records/data_base.h"
#include "records/field_bytes.h"
#include "records/record_type_dscr.h"

namespace ravlo {
namespace {

// String-table ids of the type fault's box, and its flags (exclamation icon, OK).
constexpr int kErrorTitleId = 100;
constexpr int kSubDBTypeTextId = 141;
constexpr unsigned kSubDBTypeFlags = 48;
constexpr std::uint8_t kRefsAsk = 127;
constexpr std::uint8_t kRefsFaulty = '~';

} // namespace

void TDynDBPtrRecFieldDscr::Store(TrbObjStream& stream) const {
    TRecFieldTypeDscr::Store(stream);
    stream.WriteU16(DefInstAdr);
    stream.WriteU16(RefDBTid);
}

void TDynDBPtrRecFieldDscr::Load(TrbObjStream& stream) {
    TRecFieldTypeDscr::Load(stream);
    DefInstAdr = stream.ReadU16();
    RefDBTid = stream.ReadU16();
}

void TDynDBPtrRecFieldDscr::InitFieldValue(std::span<std::uint8_t> data) const {
    TRecFieldTypeDscr::InitFieldValue(data);
    PutLE(FieldBytes(data), 0, DefInstAdr);
}

std::uint16_t TDynDBPtrRecFieldDscr::GetTrBuffSize() const {
    return Transfers() ? kTrSize : 0;
}

void TDynDBPtrRecFieldDscr::PutDataToTrBuff(std::span<const std::uint8_t> data,
                                            std::span<std::uint8_t> trBuf) const {
    if (Transfers()) {
        PutLE(trBuf, 0, GetLE<std::uint16_t>(FieldBytes(data)));
        PutLE(trBuf, 2, RefDBTid);
    }
}

void TDynDBPtrRecFieldDscr::GetDataFromTrBuff(std::span<std::uint8_t> data,
                                              std::span<const std::uint8_t> trBuf,
                                              std::uint8_t& modified) const {
    if (Transfers()) {
        CopyChanged(FieldBytes(data), trBuf, 2, modified);
    }
}

void TDynDBPtrRecFieldDscr::GetRefDBInstAdr(std::span<std::uint8_t> data, TDBColl* dbColl,
                                            std::uint8_t& flags) const {
    std::uint16_t adr = GetLE<std::uint16_t>(FieldBytes(data));
    const TDataBase* database = dbColl != nullptr ? dbColl->GetDBTidDataBase(RefDBTid) : nullptr;
    if (database != nullptr) {
        adr = database->InstAdr;
    } else {
        if (dbColl != nullptr && adr < TDBInstMan::kNoAdr && flags > kRefsAsk) {
            TrMessageBoxRes(kErrorTitleId, kSubDBTypeTextId, kSubDBTypeFlags);
            flags = kRefsFaulty;
        }
        adr = TDBInstMan::kNoAdr;
    }
    PutLE(FieldBytes(data), 0, adr);
}

void TDynDBPtrRecFieldDscr::AddRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                                          TDBRecordObj* record) const {
    RefStep(data, database, record, true);
}

void TDynDBPtrRecFieldDscr::FindRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                                           TDBRecordObj* record) const {
    RefStep(data, database, record, false);
}

void TDynDBPtrRecFieldDscr::RefStep(std::span<std::uint8_t> data, TDataBase* database, TDBRecordObj* record,
                                    bool makeRecords) const {
    const std::span<std::uint8_t> field = FieldBytes(data);
    std::uint16_t adr = GetLE<std::uint16_t>(field);
    if (database == nullptr || record == nullptr || (!makeRecords && adr == TDBInstMan::kNoAdr)) {
        return;
    }
    TDBColl& subDBs = record->OwnSubDBs();
    TDataBase* sub =
        subDBs.Find([&](const TDataBase& db) { return db.DB_TypeID == RefDBTid && db.InstAdr == adr; });
    if (sub == nullptr) {
        auto made = std::make_unique<TDataBase>(database, RefDBTid, database->DevIx, database->NetNode);
        if (adr != TDBInstMan::kNoAdr) {
            made->InstAdr = adr;
        } else {
            adr = made->InstAdr;
            PutLE(field, 0, adr);
        }
        sub = made.get();
        subDBs.Insert(std::move(made));
    }
    if (!makeRecords || !sub->HasDBFlag(kDBFlagSubDBs)) {
        return;
    }
    const TDataBaseDscrObj& dscr = *sub->DB_DscrCachePtr();
    std::int16_t ix = dscr.GetRecDscrIx(SelectionKey());
    const TRecordTypeDscr* type = ix >= 0 ? AppGetRecordTypeDscr("", ix) : nullptr;
    if (type == nullptr || !type->HasAttr(0)) {
        return;
    }
    const TDBFilterValidator* filter = dscr.GetFilterValidator(FilterIndex());
    for (std::int32_t i = 0; i < sub->Count(); ++i) {
        TDBRecordObj* existing = sub->ItemAt(i);
        if (existing != nullptr && existing->GetRecTypeIx() == ix &&
            (filter == nullptr || filter->AcceptRec(*sub, *existing))) {
            return;
        }
    }
    auto made = std::make_unique<TDBRecordObj>();
    made->RunCreate(type->Name, ix);
    sub->Insert(std::move(made));
}

void THiddenDynDBPtrRecFieldDscr::Store(TrbObjStream& stream) const {
    TDynDBPtrRecFieldDscr::Store(stream);
    stream.WriteU16(FilterIx);
    stream.WriteU16(SelKey);
}

void THiddenDynDBPtrRecFieldDscr::Load(TrbObjStream& stream) {
    TDynDBPtrRecFieldDscr::Load(stream);
    FilterIx = stream.ReadU16();
    SelKey = stream.ReadU16();
}

std::uint16_t THiddenDynDBPtrRecFieldDscr::GetTrBuffSize() const {
    return Transfers() ? kHiddenTrSize : 0;
}

void THiddenDynDBPtrRecFieldDscr::PutDataToTrBuff(std::span<const std::uint8_t> data,
                                                  std::span<std::uint8_t> trBuf) const {
    if (Transfers()) {
        TDynDBPtrRecFieldDscr::PutDataToTrBuff(data, trBuf);
        PutLE(trBuf, 4, FilterIx);
        PutLE(trBuf, 6, SelKey);
    }
}

} // namespace ravlo
