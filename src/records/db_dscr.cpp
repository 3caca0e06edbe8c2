#include "records/db_dscr.h"

#include "framework/message_box.h"
#include "framework/number_text.h"
#include "records/record_type_dscr.h"

namespace ravlo {

TDataBaseDscrObj::TDataBaseDscrObj(TDataBaseDscrArgs args)
    : DBName(std::move(args.Name)), DscrIndex(args.DscrIndex), DBTid(args.DBTid), DBFlags(args.DBFlags),
      AuxWord1(args.AuxWord1), DscrLng(args.DscrLng), AuxByte1(args.AuxByte1),
      DefaultDscrIx(args.DefaultDscrIx), AuxWord2(args.AuxWord2), AuxLong1(args.AuxLong1),
      AuxLong2(args.AuxLong2), AuxLong3(args.AuxLong3), DscrIxAsTab(std::move(args.DscrIxAsTab)),
      IniciatorColl(std::move(args.IniciatorColl)), FilterValColl(std::move(args.FilterValColl)),
      CaptionObj(std::move(args.CaptionObj)) {
    OwnFilters();
    for (const std::int32_t no : args.SemNos) {
        if (no < 0) {
            continue;
        }
        if (!SemEvalColl) {
            SemEvalColl = std::make_unique<TSemEvalColl>();
        }
        SemEvalColl->Insert(std::make_unique<TSemanticEvaluator>(static_cast<std::uint32_t>(no)));
    }
}

void TDataBaseDscrObj::Store(TrbObjStream& stream) const {
    stream.WriteStr(DBName);
    stream.WriteI16(DscrIndex);
    stream.WriteU16(DBTid);
    stream.WriteU8(DBFlags);
    stream.WriteU16(AuxWord1);
    stream.WriteU16(DscrLng);
    stream.WriteU16(static_cast<std::uint16_t>(DefaultRec.size()));
    stream.Write(DefaultRec);
    stream.WriteU8(AuxByte1);
    stream.WriteI16(DefaultDscrIx);
    stream.WriteU16(AuxWord2);
    stream.WriteU32(AuxLong1);
    stream.WriteU32(AuxLong2);
    stream.WriteU32(AuxLong3);
    stream.Put(DscrIxAsTab.get());
    stream.Put(IniciatorColl.get());
    stream.Put(FilterValColl.get());
    stream.Put(SemEvalColl.get());
    stream.Put(CaptionObj.get());
}

void TDataBaseDscrObj::Load(TrbObjStream& stream) {
    DBName = stream.ReadStr();
    DscrIndex = stream.ReadI16();
    DBTid = stream.ReadU16();
    DBFlags = stream.ReadU8();
    AuxWord1 = stream.ReadU16();
    DscrLng = stream.ReadU16();
    // Kept as stored, whatever its length: no operation reads it.
    DefaultRec.assign(stream.ReadU16(), 0);
    stream.Read(DefaultRec);
    AuxByte1 = stream.ReadU8();
    DefaultDscrIx = stream.ReadI16();
    AuxWord2 = stream.ReadU16();
    AuxLong1 = stream.ReadU32();
    AuxLong2 = stream.ReadU32();
    AuxLong3 = stream.ReadU32();
    DscrIxAsTab = GetStreamObject<TDscrAssignTable>(stream);
    IniciatorColl = GetStreamObject<TRecIniciatorColl>(stream);
    FilterValColl = GetStreamObject<TDBFilterValColl>(stream);
    SemEvalColl = GetStreamObject<TSemEvalColl>(stream);
    CaptionObj = GetStreamObject<TDBCaptionObj>(stream);
    OwnFilters();
}

void TDataBaseDscrObj::OwnFilters() {
    for (std::int32_t i = 0; FilterValColl && i < FilterValColl->Count(); ++i) {
        if (TDBFilterValidator* filter = FilterValColl->ItemAt(i)) {
            filter->Owner = this;
        }
    }
}

std::int16_t TDataBaseDscrObj::GetRecDscrIx(std::uint16_t key) const {
    if (DscrIxAsTab) {
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(key >> 8)};
        if (const std::int16_t ix = DscrIxAsTab->GetDscrIx(bytes); ix >= 0) {
            return ix;
        }
    }
    return DefaultDscrIx;
}

const TDBFilterValidator* TDataBaseDscrObj::GetFilterValidator(std::int32_t i) const {
    return i >= 0 && FilterValColl ? FilterValColl->ItemAt(i) : nullptr;
}

bool TDataBaseDscrObj::TestTypeDscrs() const {
    const std::string head = "# Err TestTypeDscrs DBTid=$" + HexW(DBTid) + " ";
    const TRecTypesDscrColl* types = AppRecTypesDscrColl();
    if (types == nullptr) {
        ReportAppError(head + "RecTypeDscrColl=nil");
        return false;
    }
    if (DscrIxAsTab) {
        if (!DscrIxAsTab->TestDscrLength(DscrLng)) {
            ReportAppError(head + "DscrIxAsTab TestDscrLength <> " + std::to_string(DscrLng));
            return false;
        }
    } else if (const std::uint16_t size = types->GetDscrRecTypeSize("", DefaultDscrIx); size != DscrLng) {
        ReportAppError(head + "DefaultDscrIx DscrLng=" + std::to_string(size) + "<> " +
                       std::to_string(DscrLng));
        return false;
    }
    // A description without initiators has records of no bytes to default.
    const std::uint32_t initSize = IniciatorColl ? IniciatorColl->GetIniciatorRecSize() : 0;
    if (initSize != DscrLng) {
        ReportAppError(head + "IniciatorRecSize=" + std::to_string(initSize) + "<> " +
                       std::to_string(DscrLng));
        return false;
    }
    return true;
}

void TDataBaseDscrColl::Load(TrbObjStream& stream) {
    Duplicates = stream.ReadU8() != 0;
    const std::int32_t count = stream.ReadCount(2);
    for (std::int32_t i = 0; i < count; ++i) {
        TrbInsertResult result = Insert(LoadItem(stream));
        const auto* refused = dynamic_cast<const TDataBaseDscrObj*>(result.Refused.get());
        if (refused != nullptr) {
            ReportAppError("# TDataBaseDscrColl.Load: DBTid=$" + HexW(refused->DBTid) +
                           " twice, the later one dropped");
        }
    }
}

const void* TDataBaseDscrColl::KeyOf(const TrbStreamable* item) const {
    return &static_cast<const TDataBaseDscrObj*>(item)->DBTid;
}

int TDataBaseDscrColl::Compare(const void* key1, const void* key2) const {
    const std::uint16_t a = *static_cast<const std::uint16_t*>(key1);
    const std::uint16_t b = *static_cast<const std::uint16_t*>(key2);
    return a < b ? -1 : a > b ? 1 : 0;
}

std::int32_t TDataBaseDscrColl::InsertDscr(TDataBaseDscrArgs args) {
    return Insert(std::make_unique<TDataBaseDscrObj>(std::move(args))).Index;
}

TDataBaseDscrObj* TDataBaseDscrColl::GetDataBaseDscrObj(std::uint16_t dbTid) const {
    std::int32_t index = 0;
    return Search(&dbTid, index) ? ItemAt(index) : nullptr;
}

bool TDataBaseDscrColl::TestAllTypeDscrs() const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TDataBaseDscrObj* dscr = ItemAt(i);
        if (dscr != nullptr && !dscr->TestTypeDscrs()) {
            return false;
        }
    }
    return true;
}

const TDataBaseDscrObj* AppDataBaseDscr(std::uint16_t dbTid) {
    return dynamic_cast<const TDataBaseDscrObj*>(AppExtension().GetDataBaseDscrObj(dbTid));
}

} // namespace ravlo
