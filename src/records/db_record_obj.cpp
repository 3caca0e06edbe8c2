#include "records/db_record_obj.h"

#include "framework/message_box.h"
#include "records/data_base.h"
#include "records/record_type_dscr.h"

#include <algorithm>

namespace ravlo {
namespace {

// The flags a pointer field marks when its sub-database has another type.
constexpr std::uint8_t kRefFlagsAsk = 0x80;

} // namespace

void TDBRecordObj::InitObj() {
    TDscrRecObj::InitObj();
    RecKey = kNoRecKey;
}

void TDBRecordObj::Store(TrbObjStream& stream) const {
    TDscrRecObj::Store(stream);
    stream.WriteU8(HandOver);
    stream.WriteU16(RecKey);
    stream.Put(SubDBShared ? nullptr : SubDBs.get());
}

void TDBRecordObj::StoreData(TrbObjStream& stream) const {
    std::vector<std::uint8_t> bytes = DscrRecPtr;
    std::int16_t ix = RecTypeIx;
    const std::string_view name = std::string_view(Name).substr(0, std::min(Name.size(), kNameLookupMax));
    if (const TRecordTypeDscr* type = AppGetRecordTypeDscr(name, ix)) {
        // Without a database list every pointer field becomes "none".
        std::uint8_t flags = 0;
        type->GetRefDBInstAdr(bytes, nullptr, flags);
    }
    stream.WriteU16(static_cast<std::uint16_t>(bytes.size()));
    stream.Write(bytes);
}

void TDBRecordObj::Load(TrbObjStream& stream) {
    TDscrRecObj::Load(stream);
    HandOver = stream.ReadU8();
    RecKey = stream.ReadU16();
    SubDBs = GetStreamObject<TDBColl>(stream);
    SubDBShared = false;
    TakeRefDBInstAdrs();
}

void TDBRecordObj::TakeRefDBInstAdrs() {
    const TRecordTypeDscr* type = RecTypeDscr();
    if (type == nullptr) {
        return;
    }
    std::uint8_t flags = Modified | kRefFlagsAsk;
    type->GetRefDBInstAdr(DscrRecPtr, SubDBs.get(), flags);
    if ((flags & 1) != 0) {
        Modified = 1;
    }
}

void TDBRecordObj::AddRefDBItems(TDataBase& database) {
    if (const TRecordTypeDscr* type = RecTypeDscr()) {
        type->AddRefDBItems(DscrRecPtr, &database, this);
    }
}

void TDBRecordObj::FindRefDBItems(TDataBase& database) {
    if (const TRecordTypeDscr* type = RecTypeDscr()) {
        type->FindRefDBItems(DscrRecPtr, &database, this);
    }
}

TDBColl& TDBRecordObj::OwnSubDBs() {
    if (!SubDBs) {
        SubDBs = std::make_shared<TDBColl>();
        SubDBShared = false;
    }
    return *SubDBs;
}

bool TDBRecordObj::TakesClass(const TDscrRecObj& source) const {
    return dynamic_cast<const TDBRecordObj*>(&source) != nullptr;
}

void TDBRecordObj::AssignTo(TDscrRecObj& dest) const {
    auto* target = dynamic_cast<TDBRecordObj*>(&dest);
    TDscrRecObj::AssignTo(dest);
    if (target == nullptr || target == this) {
        return;
    }
    target->RecKey = RecKey;
    if (target->SubDBs && target->SubDBs != SubDBs) {
        ReportAppError("# TDBRecordObj.AssignTo: Error");
        return;
    }
    const bool sameList = target->SubDBs == SubDBs;
    const bool handsOver = HandOver == 1 || HandOver == 2;
    target->SubDBs = SubDBs;
    if (handsOver) {
        HandOver = 1;
    }
    if (!SubDBs) {
        target->SubDBShared = false;
    } else if (handsOver && !SubDBShared) {
        // The owner hands the list over: dest owns and stores it from now on.
        SubDBShared = true;
        target->SubDBShared = false;
    } else if (!sameList) {
        target->SubDBShared = true;
    }
}

bool TDBRecordObj::IsModified() const {
    return TDscrRecObj::IsModified() || (SubDBs && SubDBs->TestDBsModified());
}

void TDBRecordObj::ClearModified() {
    TDscrRecObj::ClearModified();
    if (SubDBs) {
        SubDBs->Clear_DBColl_ModifFlg();
    }
}

} // namespace ravlo
