#include "records/data_base.h"

#include "framework/ctrl_validator.h"
#include "framework/number_text.h"
#include "records/stamp_semantics.h"

namespace ravlo {
namespace {

constexpr std::uint8_t kMaxUpdateLock = 255;

} // namespace

TDataBase::TDataBase(TDataBase* parent, std::uint16_t dbTid, std::uint8_t devIx, std::uint8_t netNode)
    : Parent(parent), NetNode(netNode), DevIx(devIx), DB_TypeID(dbTid) {
    RequireDscr();
    InstAdr = DBInstMan().NewInstAdr();
}

TDataBase::~TDataBase() {
    // Shared sub-database lists may outlive this database.
    ForEachSubDB([this](TDataBase& sub) {
        if (sub.Parent == this) {
            sub.Parent = nullptr;
        }
    });
}

const TDataBaseDscrObj& TDataBase::RequireDscr() const {
    const TDataBaseDscrObj* dscr = DB_DscrCachePtr();
    if (dscr == nullptr) {
        throw ExcValidators("TDataBase.DB_DscrCachePtr=nil DB_TypeID=$" + HexW(DB_TypeID));
    }
    return *dscr;
}

void TDataBase::Store(TrbObjStream& stream) const {
    stream.WriteU8(NetNode);
    stream.WriteU8(DevIx);
    stream.WriteU16(InstAdr == kStoredAdr ? kStoredAdr : TDBInstMan::kNoAdr);
    stream.WriteU16(DB_TypeID);
    stream.WriteStr(DBName);
    TrbCollection::Store(stream);
}

void TDataBase::Load(TrbObjStream& stream) {
    NetNode = stream.ReadU8();
    DevIx = stream.ReadU8();
    const std::uint16_t stored = stream.ReadU16();
    DB_TypeID = stream.ReadU16();
    DBName = stream.ReadStr();
    RequireDscr();
    InstAdr = stored == kStoredAdr ? kStoredAdr : DBInstMan().NewInstAdr();
    Parent = nullptr;
    TrbCollection::Load(stream);
    Modified = false;
}

TrbInsertResult TDataBase::AtInsert(std::int32_t index, std::unique_ptr<TrbStreamable> item) {
    TrbInsertResult result = TRecordsCollection::AtInsert(index, std::move(item));
    if (result.Inserted && !NoLink) {
        if (TDBRecordObj* record = ItemAt(result.Index)) {
            LinkRecord(*record);
        }
        RefreshLooks();
    }
    return result;
}

std::unique_ptr<TrbStreamable> TDataBase::AtDelete(std::int32_t index) {
    std::unique_ptr<TrbStreamable> item = TRecordsCollection::AtDelete(index);
    if (item) {
        Modified = true;
        const auto* record = dynamic_cast<const TDBRecordObj*>(item.get());
        EditLinks.FreeLinksOf(record);
        LookLinks.ForgetRecord(record);
        RefreshLooks();
    }
    return item;
}

std::vector<std::unique_ptr<TrbStreamable>> TDataBase::DeleteAll() {
    Modified = Count() > 0;
    std::vector<std::unique_ptr<TrbStreamable>> items = TRecordsCollection::DeleteAll();
    EditLinks.Clear();
    for (const auto& item : items) {
        LookLinks.ForgetRecord(dynamic_cast<const TDBRecordObj*>(item.get()));
    }
    return items;
}

void TDataBase::LinkRecord(TDBRecordObj& record) {
    if (!record.SubDBs) {
        return;
    }
    for (std::int32_t i = 0; i < record.SubDBs->Count(); ++i) {
        TDataBase* sub = record.SubDBs->ItemAt(i);
        if (sub == nullptr) {
            continue;
        }
        sub->Parent = this;
        if (HasDBFlag(kDBFlagNetNodeDev)) {
            sub->SetNetNodeDev(NetNode, DevIx);
        } else if (HasDBFlag(kDBFlagNetNode)) {
            sub->SetNetNode(NetNode);
        }
    }
}

void TDataBase::ForEachSubDB(const std::function<void(TDataBase&)>& fn) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TDBRecordObj* record = ItemAt(i);
        for (std::int32_t j = 0; record != nullptr && record->SubDBs && j < record->SubDBs->Count(); ++j) {
            if (TDataBase* sub = record->SubDBs->ItemAt(j)) {
                fn(*sub);
            }
        }
    }
}

void TDataBase::BeginUpdate() {
    if (UpdateLock < kMaxUpdateLock) {
        ++UpdateLock;
    }
}

void TDataBase::EndUpdate() {
    if (UpdateLock > 0) {
        --UpdateLock;
    }
    RefreshLooks();
}

void TDataBase::RefreshLooks() const {
    if (UpdateLock == 0) {
        LookLinks.UpDateLooks();
    }
}

bool TDataBase::TestModified() const {
    if (Modified) {
        return true;
    }
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TDBRecordObj* record = ItemAt(i);
        if (record != nullptr && record->IsModified()) {
            return true;
        }
    }
    return false;
}

void TDataBase::ClearModified() {
    Modified = false;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TDBRecordObj* record = ItemAt(i)) {
            record->ClearModified();
        }
    }
}

bool TDataBase::HasDBFlag(std::uint8_t n) const {
    const TDataBaseDscrObj* dscr = DB_DscrCachePtr();
    return dscr != nullptr && dscr->HasFlag(n);
}

void TDataBase::SetNetNode(std::uint8_t netNode) {
    NetNode = netNode;
    if (HasDBFlag(kDBFlagNetNodeDev) || HasDBFlag(kDBFlagNetNode)) {
        ForEachSubDB([netNode](TDataBase& sub) { sub.SetNetNode(netNode); });
    }
}

void TDataBase::SetNetNodeDev(std::uint8_t netNode, std::uint8_t devIx) {
    NetNode = netNode;
    DevIx = devIx;
    const TDataBaseDscrObj* dscr = DB_DscrCachePtr();
    for (std::int32_t i = 0; dscr != nullptr && dscr->SemEvalColl && i < dscr->SemEvalColl->Count(); ++i) {
        if (const TSemanticEvaluator* evaluator = dscr->SemEvalColl->ItemAt(i)) {
            RunSemantic(evaluator->SemNo, kSemWrite);
        }
    }
    if (HasDBFlag(kDBFlagNetNodeDev)) {
        ForEachSubDB([netNode, devIx](TDataBase& sub) { sub.SetNetNodeDev(netNode, devIx); });
    } else if (HasDBFlag(kDBFlagNetNode)) {
        ForEachSubDB([netNode](TDataBase& sub) { sub.SetNetNode(netNode); });
    }
}

void TDataBase::RunSemantic(std::uint32_t semNo, std::uint8_t mode) {
    TSemManColl* manager = AppSemManColl();
    TSemantics* sem = manager != nullptr ? manager->GetSem(semNo) : nullptr;
    if (sem == nullptr) {
        return;
    }
    if (mode == kSemWrite) {
        BeginUpdate();
    }
    if (auto* devIxSem = dynamic_cast<TDevIxSetSem*>(sem)) {
        devIxSem->DevIx = DevIx;
    }
    sem->SetContext(this);
    sem->Evaluate(kSemRunStart, mode, {});
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TDBRecordObj* record = ItemAt(i)) {
            record->RunSemantics(semNo, mode);
        }
    }
    sem->Evaluate(kSemRunEnd, mode, {});
    sem->SetContext(nullptr);
    if (mode == kSemWrite) {
        EndUpdate();
    }
}

void TDataBase::AddRefDBs(std::vector<TDataBase*>& coll, std::uint16_t dbTid) {
    if (DB_TypeID == dbTid) {
        coll.push_back(this);
    }
    ForEachSubDB([&](TDataBase& sub) { sub.AddRefDBs(coll, dbTid); });
}

TDataBase* TDBColl::Find(const Match& match) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        TDataBase* database = ItemAt(i);
        if (database != nullptr && match(*database)) {
            return database;
        }
    }
    return nullptr;
}

TDataBase* TDBColl::FindSkipHidden(const Match& match, std::int32_t filterIx) const {
    if (TDataBase* found = Find(match)) {
        return found;
    }
    for (std::int32_t i = 0; i < Count(); ++i) {
        TDataBase* database = ItemAt(i);
        if (database == nullptr || !database->HasDBFlag(kDBFlagSubDBs)) {
            continue;
        }
        const TDBFilterValidator* filter = database->DB_DscrCachePtr()->GetFilterValidator(filterIx);
        for (std::int32_t j = 0; j < database->Count(); ++j) {
            TDBRecordObj* record = database->ItemAt(j);
            if (record == nullptr || !record->SubDBs ||
                (filter != nullptr && !filter->AcceptRec(*database, *record)) || !record->TestAttr(0)) {
                continue;
            }
            if (TDataBase* found = record->SubDBs->Find(match)) {
                return found;
            }
        }
    }
    return nullptr;
}

TDataBase* TDBColl::GetInstAdrDataBase(std::uint16_t adr) const {
    return Find([adr](const TDataBase& db) { return db.InstAdr == adr; });
}

TDataBase* TDBColl::GetDBTidDataBase(std::uint16_t dbTid) const {
    return Find([dbTid](const TDataBase& db) { return db.DB_TypeID == dbTid; });
}

TDataBase* TDBColl::GetDevDBTidDataBase(std::uint16_t dbTid, std::uint8_t devIx) const {
    return Find([=](const TDataBase& db) { return db.DB_TypeID == dbTid && db.DevIx == devIx; });
}

TDataBase* TDBColl::GetNetNodeDBTidDataBase(std::uint16_t dbTid, std::uint8_t netNode) const {
    return Find([=](const TDataBase& db) { return db.DB_TypeID == dbTid && db.NetNode == netNode; });
}

TDataBase* TDBColl::GetSkipHiddenDBTidDataBase(std::uint16_t dbTid, std::int32_t filterIx) const {
    return FindSkipHidden([dbTid](const TDataBase& db) { return db.DB_TypeID == dbTid; }, filterIx);
}

TDataBase* TDBColl::GetSkipHiddenDevDBTidDataBase(std::uint16_t dbTid, std::uint8_t devIx,
                                                  std::int32_t filterIx) const {
    return FindSkipHidden([=](const TDataBase& db) { return db.DB_TypeID == dbTid && db.DevIx == devIx; },
                          filterIx);
}

TDataBase* TDBColl::GetSkipHiddenNetNodeDBTidDataBase(std::uint16_t dbTid, std::uint8_t netNode,
                                                      std::int32_t filterIx) const {
    return FindSkipHidden([=](const TDataBase& db) { return db.DB_TypeID == dbTid && db.NetNode == netNode; },
                          filterIx);
}

bool TDBColl::TestDBsModified() const {
    return Find([](const TDataBase& db) { return db.TestModified(); }) != nullptr;
}

void TDBColl::Clear_DBColl_ModifFlg() {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TDataBase* database = ItemAt(i)) {
            database->ClearModified();
        }
    }
}

void TDBColl::RunDBs_SemEvaluator(std::uint32_t semNo, std::uint8_t mode) {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TDataBase* database = ItemAt(i)) {
            database->RunSemantic(semNo, mode);
        }
    }
}

void TDBColl::AddRefDBItemsToDBColl(std::vector<TDataBase*>* coll, std::uint16_t dbTid) const {
    for (std::int32_t i = 0; coll != nullptr && i < Count(); ++i) {
        if (TDataBase* database = ItemAt(i)) {
            database->AddRefDBs(*coll, dbTid);
        }
    }
}

} // namespace ravlo
