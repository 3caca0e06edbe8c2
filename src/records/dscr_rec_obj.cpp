#include "records/dscr_rec_obj.h"

#include "framework/dialog_registry.h"
#include "framework/message_box.h"
#include "framework/number_text.h"
#include "records/field_bytes.h"
#include "records/record_edit.h"
#include "records/record_type_dscr.h"

#include <algorithm>

namespace ravlo {

void TDscrRecObj::InitObj() {
    RecTypeIx = -1;
    Modified = 1;
}

void TDscrRecObj::Store(TrbObjStream& stream) const {
    stream.WriteStr(Name);
    stream.WriteI16(RecTypeIx);
    StoreData(stream);
    Modified = 0;
}

void TDscrRecObj::StoreData(TrbObjStream& stream) const {
    stream.WriteU16(DscrRecSize());
    stream.Write(DscrRecPtr);
}

void TDscrRecObj::Load(TrbObjStream& stream) {
    Name = stream.ReadStr();
    RecTypeIx = stream.ReadI16();
    // The stored bytes are read whatever comes of them, so that the stream stays in step.
    std::vector<std::uint8_t> stored(stream.ReadU16());
    stream.Read(stored);
    recTypeDscr_ = nullptr;
    Modified = 0;
    const TRecordTypeDscr* type = RecTypeDscr();
    if (type == nullptr) {
        ReportAppError("# TDscrRecObj.Load: RecTypeDscr=nil");
        DscrRecPtr = std::move(stored);
        return;
    }
    const std::uint16_t typeSize = type->GetRecSize();
    if (!stored.empty() && stored.size() != typeSize) {
        ReportAppError("# TDscrRecObj.Load: " + Name + " DscrRecSize=$" +
                       HexW(static_cast<std::uint16_t>(stored.size())) + "<>$" + HexW(typeSize));
    }
    if (stored.size() < typeSize && type->RecSizeAgrees()) {
        // A record stored before its type grew: the new tail takes its initial values. A damaged
        // type's size is no reason to grow a record.
        DscrRecPtr.assign(typeSize, 0);
        type->InitRecValues(DscrRecPtr);
        PutBytes(DscrRecPtr, stored);
    } else {
        DscrRecPtr = std::move(stored);
    }
    NotifyRecObj(kRecObjCreated);
}

void TDscrRecObj::Assign(const TrbStreamable& source) {
    AssignSource<TDscrRecObj>(*this, source).AssignTo(*this);
}

bool TDscrRecObj::TakesClass(const TDscrRecObj&) const {
    return true;
}

void TDscrRecObj::AssignTo(TDscrRecObj& dest) const {
    if (&dest == this) {
        return;
    }
    if (!dest.TakesClass(*this)) {
        ThrowAssignError(dest, *this);
    }
    if (DscrRecPtr.empty()) {
        ReportAppError("TDscrRecObj.AssignTo DscrRecPtr=nil Err");
        return;
    }
    if (dest.RecTypeIx != RecTypeIx) {
        dest.RecTypeIx = RecTypeIx;
        dest.recTypeDscr_ = recTypeDscr_;
        if (dest.Name != Name) {
            dest.Name = Name;
        }
        if (dest.DscrRecPtr != DscrRecPtr) {
            dest.DscrRecPtr = DscrRecPtr;
            dest.Modified = 1;
        }
        return;
    }
    if (dest.DscrRecPtr.size() != DscrRecPtr.size()) {
        ReportAppError("TDscrRecObj.AssignTo DscrRecSize<> Err");
        return;
    }
    if (dest.DscrRecPtr != DscrRecPtr) {
        dest.DscrRecPtr = DscrRecPtr;
        dest.Modified = 1;
    }
}

void TDscrRecObj::RunCreate(std::string_view name, std::int16_t ix) {
    InitObj();
    Name = std::string(name);
    RecTypeIx = ix;
    recTypeDscr_ = nullptr;
    DscrRecPtr.clear();
    if (const TRecordTypeDscr* type = RecTypeDscr()) {
        if (const std::uint16_t size = type->GetRecSize(); size != 0) {
            DscrRecPtr.assign(size, 0);
            type->InitRecValues(DscrRecPtr);
            NotifyRecObj(kRecObjCreated);
        }
    } else {
        ReportAppError("# TDscrRecObj.RunCreate: RecTypeDscr=nil");
    }
    Modified = 1;
}

const TRecordTypeDscr* TDscrRecObj::RecTypeDscr() {
    const TRecTypesDscrColl* types = AppRecTypesDscrColl();
    if (types == nullptr) {
        recTypeDscr_ = nullptr;
        return nullptr;
    }
    // The cached type holds only while the collection still has it at the hint; new application
    // data has other types.
    if (recTypeDscr_ != nullptr && RecTypeIx >= 0 && RecTypeIx < types->Count() &&
        types->At(RecTypeIx) == recTypeDscr_) {
        return recTypeDscr_;
    }
    std::int16_t ix = RecTypeIx;
    const std::string_view name = std::string_view(Name).substr(0, std::min(Name.size(), kNameLookupMax));
    recTypeDscr_ = types->GetRecordTypeDscr(name, ix);
    if (recTypeDscr_ != nullptr) {
        RecTypeIx = ix;
    }
    return recTypeDscr_;
}

std::int16_t TDscrRecObj::GetRecTypeIx() {
    if (RecTypeIx < 0) {
        RecTypeDscr();
    }
    return RecTypeIx;
}

bool TDscrRecObj::TestAttr(std::uint8_t bit) {
    const TRecordTypeDscr* type = RecTypeDscr();
    return type != nullptr && type->HasAttr(bit);
}

void TDscrRecObj::NotifyRecObj(std::uint8_t event) {
    if (const TRecordTypeDscr* type = RecTypeDscr()) {
        type->NotifyRecObj(this, event);
    }
}

void TDscrRecObj::ResetValues() {
    if (const TRecordTypeDscr* type = RecTypeDscr()) {
        type->InitRecValues(DscrRecPtr);
        NotifyRecObj(kRecObjCreated);
    }
}

void TDscrRecObj::RunSemantics(std::uint32_t no, std::uint8_t sub) {
    const TRecordTypeDscr* type = RecTypeDscr();
    if (type != nullptr && !DscrRecPtr.empty()) {
        type->RunRecSemantics(this, sub, no, DscrRecPtr);
    }
}

std::uint16_t TDscrRecObj::TrBuffSize() {
    const TRecordTypeDscr* type = RecTypeDscr();
    return type != nullptr ? type->GetRecTrBuffSize() : 0;
}

void TDscrRecObj::PutToTrBuff(std::span<std::uint8_t> trBuf) {
    const TRecordTypeDscr* type = RecTypeDscr();
    if (type != nullptr && !DscrRecPtr.empty()) {
        type->PutRecToTrBuff(DscrRecPtr, trBuf);
    }
}

void TDscrRecObj::GetFromTrBuff(std::span<const std::uint8_t> trBuf) {
    const TRecordTypeDscr* type = RecTypeDscr();
    if (type != nullptr && !DscrRecPtr.empty()) {
        std::uint8_t changed = 0;
        type->GetRecFromTrBuff(DscrRecPtr, trBuf, changed);
        if (changed != 0) {
            Modified = 1;
        }
    }
}

void TDscrRecObj::FreeTrBuff(std::span<std::uint8_t> trBuf) {
    if (const TRecordTypeDscr* type = RecTypeDscr()) {
        type->FreeRecTrBuff(trBuf);
    }
}

int TDscrRecObj::EditInDialog(TPlatformWindow* owner) {
    const TRecordTypeDscr* type = RecTypeDscr();
    if (type == nullptr) {
        return mrNone;
    }
    std::vector<std::uint8_t> transfer(type->GetRecTrBuffSize());
    PutToTrBuff(transfer);
    // What the transfer record holds is freed whatever the dialog does.
    struct FreeTransfer {
        TDscrRecObj& record;
        std::vector<std::uint8_t>& transfer;
        ~FreeTransfer() { record.FreeTrBuff(transfer); }
    } freeTransfer{*this, transfer};
    int result = mrNone;
    {
        const ScopedRecordEdit edit({type, DscrRecPtr});
        result = ExecuteDialog(owner, type->DialogName, transfer);
    }
    if (result == mrOk) {
        GetFromTrBuff(transfer);
    }
    return result;
}

} // namespace ravlo
