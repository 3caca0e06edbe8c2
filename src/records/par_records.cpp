#include "records/par_records.h"

#include "framework/app_data.h"
#include "framework/broadcast.h"
#include "framework/le_bytes.h"
#include "framework/padding.h"
#include "platform/text_case.h"
#include "platform/window_messages.h"
#include "records/lex_writer.h"
#include "records/record_type_dscr.h"

#include <algorithm>

namespace ravlo {

std::uint32_t TParRecTypesColl::GetParRecTypeSize(std::int32_t i) const {
    const TRecIniciatorColl* type = GetParRecType(i);
    return type != nullptr ? type->GetIniciatorRecSize() : 0;
}

bool TParRecTypesColl::WrParRecType(std::int32_t i, std::span<const std::uint8_t> data,
                                    TLexWriter& writer) const {
    TRecIniciatorColl* type = GetParRecType(i);
    if (type == nullptr) {
        return false;
    }
    type->ExportHeaderList(writer);
    return type->ExportRecordValue(data, writer);
}

TParRecTypesColl* AppParRecTypesColl() {
    return dynamic_cast<TParRecTypesColl*>(AppExtension().GetParRecTypesColl());
}

void TParRecordObj::Store(TrbObjStream& stream) const {
    TDscrRecObj::Store(stream);
    stream.WriteU16(RecDE);
    stream.WriteU16(RecLA);
    stream.WriteI32(ParRecTypeIx);
    stream.WriteStr(ParName);
    stream.WriteI32(DTMRecSize);
}

void TParRecordObj::Load(TrbObjStream& stream) {
    TDscrRecObj::Load(stream);
    RecDE = stream.ReadU16();
    RecLA = stream.ReadU16();
    ParRecTypeIx = stream.ReadI32();
    ParName = CutText(stream.ReadStr(), kParNameMax);
    DTMRecSize = stream.ReadI32();
    if (DTMRecSize < 0 || DTMRecSize > DscrRecSize()) {
        DTMRecSize = DscrRecSize();
    }
}

void TParRecordObj::Broadcast() const {
    MainFormBroadcast(wm_VarChanged, 0, reinterpret_cast<std::uintptr_t>(DscrRecPtr.data()));
}

int TParRecordObj::AfterChange() {
    const bool failed = Changed();
    Broadcast();
    return failed ? 1 : kParDone;
}

std::span<const std::uint8_t> TParRecordObj::TransmitData() const {
    const auto size = static_cast<std::size_t>(std::clamp<std::int32_t>(DTMRecSize, 0, DscrRecSize()));
    return Data().first(size);
}

int TParRecordObj::ReInit() {
    if (DscrRecPtr.empty()) {
        return kParNoData;
    }
    ResetValues();
    return AfterChange();
}

int TParRecordObj::ReDBInit() {
    const TParRecTypesColl* types = AppParRecTypesColl();
    const TRecIniciatorColl* type = types != nullptr ? types->GetParRecType(ParRecTypeIx) : nullptr;
    if (type == nullptr || DscrRecPtr.empty()) {
        return kParNoData;
    }
    if (!type->AssignRecValues(DscrRecPtr)) {
        return kParTypeMisfit;
    }
    return AfterChange();
}

int TParRecordObj::WrParam(std::span<const std::uint8_t> src) {
    if (DscrRecPtr.empty()) {
        return kParNoBuffer;
    }
    if (src.size() != DscrRecPtr.size() && src.size() != static_cast<std::size_t>(TransmitData().size())) {
        return kParBadLength;
    }
    std::copy(src.begin(), src.end(), DscrRecPtr.begin());
    return AfterChange();
}

int TParRecordObj::RdParam(std::span<std::uint8_t> dest) {
    if (DscrRecPtr.empty()) {
        return kParNoData;
    }
    if (dest.data() == nullptr) {
        return kParNoBuffer;
    }
    const std::size_t count = std::min(dest.size(), DscrRecPtr.size());
    std::fill(dest.begin(), dest.end(), std::uint8_t{0});
    std::copy_n(DscrRecPtr.begin(), count, dest.begin());
    return kParDone;
}

TWCmdParRecMem::TWCmdParRecMem(std::uint8_t cmd, std::uint16_t la, std::span<const std::uint8_t> data)
    : TMem(CreateSize(2 + data.size())), Cmd(cmd) {
    PutLE(GetSpan(), 0, la);
    PutData(data, 2);
}

std::uint16_t TWCmdParRecMem::LA() const {
    return GetLE<std::uint16_t>(GetSpan());
}

std::span<const std::uint8_t> TWCmdParRecMem::Data() const {
    return GetSpan().subspan(std::min<std::size_t>(2, GetSpan().size()));
}

std::unique_ptr<TWCmdParRecMem> TParRecTxDFiFo::GetFirst() {
    if (cmds_.empty()) {
        return nullptr;
    }
    std::unique_ptr<TWCmdParRecMem> first = std::move(cmds_.front());
    cmds_.pop_front();
    return first;
}

TParRecordObj* TParRecColl::FindByName(std::string_view name) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        TParRecordObj* record = ItemAt(i);
        if (record != nullptr && SameTextNoCase(record->ParName, name)) {
            return record;
        }
    }
    return nullptr;
}

bool TParRecColl::PutCmd(std::uint16_t la, char cmd) {
    const TParRecordObj* record = ItemAt(la);
    if (record == nullptr) {
        return true;
    }
    const std::span<const std::uint8_t> data =
        cmd == kCmdWithData ? record->TransmitData() : std::span<const std::uint8_t>();
    TxFiFo.Append(std::make_unique<TWCmdParRecMem>(static_cast<std::uint8_t>(cmd), la, data));
    return false;
}

void TParRecColl::WrRecipeLine(std::uint16_t la, TLexWriter& writer) const {
    const TParRecTypesColl* types = AppParRecTypesColl();
    const TParRecordObj* record = ItemAt(la);
    if (types == nullptr || record == nullptr) {
        return;
    }
    writer.WrChar('*');
    writer.WrPChar(" " + std::to_string(record->RecDE));
    writer.WrPChar(" " + std::to_string(record->RecLA));
    writer.WrPChar(" " + QuotedText(record->ParName, '\''));
    types->WrParRecType(record->ParRecTypeIx, record->Data(), writer);
}

} // namespace ravlo
