#include "records/par_rec_data.h"

#include "framework/app_data.h"
#include "framework/dialog_registry.h"
#include "framework/message_box.h"
#include "framework/number_text.h"
#include "records/record_type_dscr.h"

namespace ravlo {
namespace {

void ShowAt(std::string_view text, std::uint16_t de, std::uint16_t la) {
    BeepShowMessage(std::string(text) + " at DE=" + std::to_string(de) + " LA=" + std::to_string(la));
}

constexpr std::string_view kNoRecordText = "Error ParRecObj=nil";
constexpr std::string_view kNoDataText = "Error ParRecObj.DscrRecPtr=nil";
constexpr std::string_view kOtherText = "Error ?";

} // namespace

void TParRecData::SetupParRecData() {
    for (std::int32_t de = 0; de < Count(); ++de) {
        const TParRecColl* coll = ItemAt(de);
        for (std::int32_t la = 0; coll != nullptr && la < coll->Count(); ++la) {
            if (TParRecordObj* record = coll->ItemAt(la)) {
                record->SetupRec();
            }
        }
    }
}

std::int32_t TParRecData::GetMaxLA(std::uint16_t de) const {
    const TParRecColl* coll = GetParRecColl(de);
    return coll != nullptr ? coll->GetMaxLA() : 0;
}

std::unique_ptr<TParRecColl> TParRecData::InitParams(std::int32_t n) {
    auto coll = std::make_unique<TParRecColl>();
    coll->SetCount(n + 1);
    return coll;
}

TParRecordObj* TParRecData::GetParRecObjPtr(std::uint16_t de, std::uint16_t la) const {
    const TParRecColl* coll = GetParRecColl(de);
    return coll != nullptr ? coll->ItemAt(la) : nullptr;
}

TParRecordObj* TParRecData::FindParRecObjByName(std::uint16_t de, std::string_view name) const {
    const TParRecColl* coll = GetParRecColl(de);
    return coll != nullptr ? coll->FindByName(name) : nullptr;
}

std::span<std::uint8_t> TParRecData::GetParamRecPtr(std::uint16_t de, std::uint16_t la) const {
    TParRecordObj* record = GetParRecObjPtr(de, la);
    return record != nullptr ? record->Data() : std::span<std::uint8_t>();
}

std::uint16_t TParRecData::GetParamRecSize(std::uint16_t de, std::uint16_t la) const {
    const TParRecordObj* record = GetParRecObjPtr(de, la);
    return record != nullptr ? record->DscrRecSize() : 0;
}

std::int32_t TParRecData::GetParDTMRecSize(std::uint16_t de, std::uint16_t la) const {
    const TParRecordObj* record = GetParRecObjPtr(de, la);
    return record != nullptr ? record->DTMRecSize : 0;
}

void TParRecData::ShowResult(int result, std::string_view bufferText, std::uint16_t de, std::uint16_t la) {
    switch (result) {
    case kParDone:
        return;
    case kParNoRecord:
        ShowAt(kNoRecordText, de, la);
        return;
    case kParNoData:
        ShowAt(kNoDataText, de, la);
        return;
    case kParNoBuffer:
        if (!bufferText.empty()) {
            ShowAt(bufferText, de, la);
            return;
        }
        break;
    default:
        break;
    }
    ShowAt(kOtherText, de, la);
}

int TParRecData::ReInitParamRec(std::uint16_t de, std::uint16_t la) {
    TParRecordObj* record = GetParRecObjPtr(de, la);
    const int result = record != nullptr ? record->ReInit() : kParNoRecord;
    ShowResult(result, {}, de, la);
    return result;
}

int TParRecData::ReDBInitParamRec(std::uint16_t de, std::uint16_t la) {
    TParRecordObj* record = GetParRecObjPtr(de, la);
    const int result = record != nullptr ? record->ReDBInit() : kParNoRecord;
    ShowResult(result, {}, de, la);
    return result;
}

int TParRecData::UpDateParamRec(std::uint16_t de, std::uint16_t la) {
    const TParRecordObj* record = GetParRecObjPtr(de, la);
    if (record == nullptr) {
        ShowAt(kNoRecordText, de, la);
        return kParNoRecord;
    }
    record->Broadcast();
    return kParDone;
}

int TParRecData::WrParamRec(std::uint16_t de, std::uint16_t la, std::span<const std::uint8_t> src) {
    TParRecordObj* record = GetParRecObjPtr(de, la);
    const int result = record != nullptr ? record->WrParam(src) : kParNoRecord;
    if (result == kParBadLength) {
        ShowAt("Err DscrRecSize=$" + HexW(record->DscrRecSize()) + " & DTMRecSize=$" +
                   HexW(static_cast<std::uint16_t>(record->DTMRecSize)) + "<>" +
                   HexW(static_cast<std::uint16_t>(src.size())),
               de, la);
    } else if (result == kParNoBuffer) {
        ShowAt("Error ParRecObj^.DscrRecPtr=nil", de, la);
    } else {
        ShowResult(result, {}, de, la);
    }
    return result;
}

int TParRecData::RdParamRec(std::uint16_t de, std::uint16_t la, std::span<std::uint8_t> dest) {
    TParRecordObj* record = GetParRecObjPtr(de, la);
    const int result = record != nullptr ? record->RdParam(dest) : kParNoRecord;
    ShowResult(result, "Error RdBuffPtr=nil", de, la);
    return result;
}

void TParRecData::ParRecObjCmdMsg(const TParRecCmdMsg& msg) {
    TParRecordObj* record = GetParRecObjPtr(msg.DE, msg.LA);
    if (record == nullptr) {
        ShowAt("ParRecObj=nil", msg.DE, msg.LA);
        return;
    }
    switch (msg.Cmd) {
    case 0:
        record->NotifyRecObj(kRecObjCommand);
        break;
    case 1:
        record->Sent();
        break;
    case 2:
        record->Changed();
        break;
    default:
        break;
    }
}

int TParRecData::PokeParRecObj(std::uint16_t de, std::uint16_t la, char cmd) {
    TParRecColl* coll = GetParRecColl(de);
    const int result = coll == nullptr ? kPokeNoColl : coll->PutCmd(la, cmd) ? kPokeNoRecord : 0;
    if (result != 0) {
        ShowAt("Err" + std::to_string(result), de, la);
    }
    return result;
}

void TParRecData::WrRecipeLineObj(std::uint16_t de, std::uint16_t la, TLexWriter& writer) const {
    if (const TParRecColl* coll = GetParRecColl(de)) {
        coll->WrRecipeLine(la, writer);
    }
}

void TParRecData::ClearParRecTxDFiFo(std::uint16_t de) {
    if (TParRecColl* coll = GetParRecColl(de)) {
        coll->TxFiFo.Clear();
    }
}

bool TParRecData::IsParRecTxDFiFoEmpty(std::uint16_t de) const {
    const TParRecColl* coll = GetParRecColl(de);
    return coll == nullptr || coll->TxFiFo.Empty();
}

const TWCmdParRecMem* TParRecData::RefParRecTxDFiFoFirst(std::uint16_t de) const {
    const TParRecColl* coll = GetParRecColl(de);
    return coll != nullptr ? coll->TxFiFo.RefFirst() : nullptr;
}

std::unique_ptr<TWCmdParRecMem> TParRecData::GetParRecTxDFiFoFirst(std::uint16_t de) {
    TParRecColl* coll = GetParRecColl(de);
    return coll != nullptr ? coll->TxFiFo.GetFirst() : nullptr;
}

bool TParRecData::TestRecord(TParRecordObj& record) const {
    if (record.GetRecTypeIx() < 0) {
        ReportAppError("# DscrLng<0");
        return false;
    }
    if (record.ParRecTypeIx < 0) {
        ReportAppError("# RecTypeIx<0");
        return false;
    }
    if (AppRecTypesDscrColl() == nullptr) {
        ReportAppError("# RecTypesDscrColl=nil");
        return false;
    }
    const TParRecTypesColl* parTypes = AppParRecTypesColl();
    if (parTypes == nullptr) {
        ReportAppError("# ParRecTypesColl=nil");
        return false;
    }
    const TRecordTypeDscr* type = record.RecTypeDscr();
    const std::uint32_t size = type != nullptr ? type->GetRecSize() : 0;
    const std::uint32_t parSize = parTypes->GetParRecTypeSize(record.ParRecTypeIx);
    if (size != parSize) {
        ReportAppError("DscrLng=" + std::to_string(size) + "<>" + std::to_string(parSize) + "=ParRecTypeLng");
        return false;
    }
    return true;
}

bool TParRecData::TestDscrAndParTypes() const {
    bool ok = true;
    for (std::int32_t de = 0; de < Count(); ++de) {
        const TParRecColl* coll = ItemAt(de);
        for (std::int32_t la = 0; coll != nullptr && la < coll->Count(); ++la) {
            TParRecordObj* record = coll->ItemAt(la);
            if (record != nullptr && !TestRecord(*record)) {
                ReportAppError("# Dscr&Type Err DE=" + std::to_string(de) + " LA=" + std::to_string(la));
                ok = false;
            }
        }
    }
    return ok;
}

int TParRecData::EditParam(std::uint16_t de, std::uint16_t la, bool send, TPlatformWindow* owner) {
    TParRecordObj* record = GetParRecObjPtr(de, la);
    if (record == nullptr) {
        return mrNone;
    }
    const int result = record->EditInDialog(owner);
    if (result == mrOk) {
        if (send) {
            GetParRecColl(de)->PutCmd(la, TParRecColl::kCmdWithData);
        }
        record->Broadcast();
    }
    return result;
}

TParRecData* AppParRecData() {
    return dynamic_cast<TParRecData*>(AppExtension().ParRecData.get());
}

} // namespace ravlo
