#include "records/record_type_dscr.h"

#include "framework/app_data.h"
#include "framework/message_box.h"
#include "framework/number_text.h"
#include "platform/text_case.h"
#include "records/dscr_rec_obj.h"
#include "records/field_bytes.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace ravlo {
namespace {

// The collection that checks its layouts just now: while it loads, the application data does not
// hold it yet, and nested layouts must be found in it.
thread_local const TRecTypesDscrColl* checkingTypes = nullptr;

class LookupScope {
public:
    explicit LookupScope(const TRecTypesDscrColl* types) : previous_(std::exchange(checkingTypes, types)) {}
    ~LookupScope() { checkingTypes = previous_; }
    LookupScope(const LookupScope&) = delete;
    LookupScope& operator=(const LookupScope&) = delete;

private:
    const TRecTypesDscrColl* previous_;
};

constexpr std::uint32_t kMaxRecSize = 0xFFFF;
// Type indexes are 16-bit hints, so a name scan finds no type beyond them.
constexpr std::int32_t kMaxTypeIx = std::numeric_limits<std::int16_t>::max();

} // namespace

void TRecordTypeDscr::Store(TrbObjStream& stream) const {
    TrbCollection::Store(stream);
    stream.WriteStr(Name);
    stream.WriteStr(DialogName);
    stream.WriteU8(Attr);
    stream.WriteU16(RecSize);
    stream.WriteU16(TrBuffSize);
    stream.Put(NotifyEvaluators.get());
    stream.Put(RecEvaluators.get());
}

void TRecordTypeDscr::Load(TrbObjStream& stream) {
    TrbCollection::Load(stream);
    Name = stream.ReadStr();
    DialogName = stream.ReadStr();
    Attr = stream.ReadU8();
    RecSize = stream.ReadU16();
    TrBuffSize = stream.ReadU16();
    recSizeAgrees_ = true;
    NotifyEvaluators = GetStreamObject<TSemEvalColl>(stream);
    RecEvaluators = GetStreamObject<TSemEvalColl>(stream);
    sizesKnown_ = false;
}

std::vector<std::unique_ptr<TrbStreamable>> TRecordTypeDscr::DeleteAll() {
    RecSize = 0;
    TrBuffSize = 0;
    sizesKnown_ = false;
    recSizeAgrees_ = true;
    return TrbCollection::DeleteAll();
}

void TRecordTypeDscr::ComputeSizes() const {
    if (sizing_) {
        return;
    }
    sizing_ = true;
    std::uint32_t recSize = 0;
    std::uint32_t trSize = 0;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TRecFieldTypeDscr* field = ItemAt(i)) {
            recSize += field->GetFieldSize();
            trSize += field->GetTrBuffSize();
        }
    }
    sizing_ = false;
    const auto checked = [this](std::string_view what, std::uint16_t stored, std::uint32_t computed) {
        const std::string head = "# TRecordTypeDscr " + Name + " " + std::string(what) + "=$";
        if (computed > kMaxRecSize) {
            ReportAppError(head + HexDW(computed) + ">$FFFF");
            return std::uint16_t{0};
        }
        if (stored != 0 && stored != computed) {
            ReportAppError(head + HexW(stored) + "<>$" + HexW(static_cast<std::uint16_t>(computed)));
        }
        return static_cast<std::uint16_t>(computed);
    };
    // Once found to disagree, the type stays damaged: the computed size replaces the stored one.
    recSizeAgrees_ = recSizeAgrees_ && recSize <= kMaxRecSize && (RecSize == 0 || RecSize == recSize);
    RecSize = checked("RecSize", RecSize, recSize);
    TrBuffSize = checked("TrBuffSize", TrBuffSize, trSize);
    sizesKnown_ = true;
}

void TRecordTypeDscr::KnowSizes() const {
    if (!sizesKnown_) {
        ComputeSizes();
    }
}

bool TRecordTypeDscr::RecSizeAgrees() const {
    KnowSizes();
    return recSizeAgrees_;
}

std::uint16_t TRecordTypeDscr::GetRecSize() const {
    KnowSizes();
    return RecSize;
}

std::uint16_t TRecordTypeDscr::GetRecTrBuffSize() const {
    KnowSizes();
    return TrBuffSize;
}

void TRecordTypeDscr::InitRecValues(std::span<std::uint8_t> data) const {
    ForEachField(data, [](std::int32_t, const TRecFieldTypeDscr& field, std::span<std::uint8_t> fieldData) {
        field.InitFieldValue(fieldData);
    });
}

int TRecordTypeDscr::GetRecSelAStr(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                                   std::optional<std::string_view> sel, int maxLen) const {
    if (!sel) {
        ForEachField(
            data, [&](std::int32_t, const TRecFieldTypeDscr& field, std::span<const std::uint8_t> fieldData) {
                field.AppendForm(form, fieldData, dest, maxLen);
            });
        return static_cast<int>(dest.size());
    }
    if (sel->empty() || sel->size() > kSelMax) {
        return static_cast<int>(dest.size());
    }
    std::vector<std::string> entries(sel->size());
    ForEachField(data, [&](std::int32_t index, const TRecFieldTypeDscr& field,
                           std::span<const std::uint8_t> fieldData) {
        // Field numbers are bytes of the selection: a field beyond 255 cannot be chosen.
        const std::int32_t number = index + 1;
        const std::size_t pos = number <= 255 ? sel->find(static_cast<char>(number)) : std::string_view::npos;
        if (pos != std::string_view::npos) {
            field.AppendForm(form, fieldData, entries[pos], static_cast<int>(kSelEntryMax));
        }
    });
    for (const std::string& entry : entries) {
        AppendCut(dest, entry, maxLen < 0 ? 0 : static_cast<std::size_t>(maxLen));
    }
    return static_cast<int>(dest.size());
}

int TRecordTypeDscr::GetRecLineAStr(std::span<const std::uint8_t> data, std::string& dest,
                                    std::optional<std::string_view> sel, int maxLen) const {
    return GetRecSelAStr(TextForm::Line, data, dest, sel, maxLen);
}

int TRecordTypeDscr::GetRecJoinAStr(std::span<const std::uint8_t> data, std::string& dest,
                                    std::optional<std::string_view> sel, int maxLen) const {
    return GetRecSelAStr(TextForm::Join, data, dest, sel, maxLen);
}

int TRecordTypeDscr::GetRecCWinAStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const {
    return GetRecSelAStr(TextForm::Win, data, dest, std::nullopt, maxLen);
}

int TRecordTypeDscr::GetRecCSV_AStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const {
    return GetRecSelAStr(TextForm::CSV, data, dest, std::nullopt, maxLen);
}

void TRecordTypeDscr::PutRecToTrBuff(std::span<const std::uint8_t> data,
                                     std::span<std::uint8_t> trBuf) const {
    ForEachTrField(data, trBuf,
                   [](const TRecFieldTypeDscr& field, std::span<const std::uint8_t> fieldData,
                      std::span<std::uint8_t> fieldTr) { field.PutDataToTrBuff(fieldData, fieldTr); });
}

void TRecordTypeDscr::GetRecFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                                       std::uint8_t& modified) const {
    ForEachTrField(data, trBuf,
                   [&modified](const TRecFieldTypeDscr& field, std::span<std::uint8_t> fieldData,
                               std::span<const std::uint8_t> fieldTr) {
                       field.GetDataFromTrBuff(fieldData, fieldTr, modified);
                   });
}

void TRecordTypeDscr::FreeRecTrBuff(std::span<std::uint8_t> trBuf) const {
    ForEachTrField(std::span<const std::uint8_t>(), trBuf,
                   [](const TRecFieldTypeDscr& field, std::span<const std::uint8_t>,
                      std::span<std::uint8_t> fieldTr) { field.FreeTrBuffRec(fieldTr); });
}

void TRecordTypeDscr::NotifyRecObj(TDscrRecObj* recObj, std::uint8_t sub) const {
    if (NotifyEvaluators && recObj != nullptr) {
        for (std::int32_t i = 0; i < NotifyEvaluators->Count(); ++i) {
            if (const TSemanticEvaluator* evaluator = NotifyEvaluators->ItemAt(i)) {
                recObj->RunSemantics(evaluator->SemNo, sub);
            }
        }
    }
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TRecFieldTypeDscr* field = ItemAt(i)) {
            field->NotifyRecObj(recObj, sub);
        }
    }
}

void TRecordTypeDscr::RunRecSemantics(TDscrRecObj* recObj, std::uint8_t sub, std::uint32_t no,
                                      std::span<std::uint8_t> data) const {
    TSemManColl* manager = AppSemManColl();
    if (manager == nullptr) {
        return;
    }
    manager->SetSemRec(recObj, no);
    if (RecEvaluators) {
        RecEvaluators->RunAllEvaluators(no, kSemRecordStart, {}, sub);
    }
    RunFieldSemEvaluators(no, sub, data);
    if (RecEvaluators) {
        RecEvaluators->RunAllEvaluators(no, kSemRecordEnd, {}, sub);
    }
    manager->SetSemRec(nullptr, no);
}

void TRecordTypeDscr::RunFieldSemEvaluators(std::uint32_t no, std::uint8_t sub,
                                            std::span<std::uint8_t> data) const {
    ForEachField(data, [&](std::int32_t, const TRecFieldTypeDscr& field, std::span<std::uint8_t> fieldData) {
        field.RunSemEvaluators(no, sub, fieldData);
    });
}

void TRecordTypeDscr::GetRefDBInstAdr(std::span<std::uint8_t> data, TDBColl* dbColl,
                                      std::uint8_t& flags) const {
    ForEachField(data, [&](std::int32_t, const TRecFieldTypeDscr& field, std::span<std::uint8_t> fieldData) {
        field.GetRefDBInstAdr(fieldData, dbColl, flags);
    });
}

void TRecordTypeDscr::AddRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                                    TDBRecordObj* record) const {
    ForEachField(data, [&](std::int32_t, const TRecFieldTypeDscr& field, std::span<std::uint8_t> fieldData) {
        field.AddRefDBItems(fieldData, database, record);
    });
}

void TRecordTypeDscr::FindRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                                     TDBRecordObj* record) const {
    ForEachField(data, [&](std::int32_t, const TRecFieldTypeDscr& field, std::span<std::uint8_t> fieldData) {
        field.FindRefDBItems(fieldData, database, record);
    });
}

void TRecTypesDscrColl::Load(TrbObjStream& stream) {
    TrbCollection::Load(stream);
    CheckLayouts();
}

void TRecTypesDscrColl::SaveToStream(TrbObjStream& stream) const {
    {
        const LookupScope scope(this);
        for (std::int32_t i = 0; i < Count(); ++i) {
            if (const TRecordTypeDscr* type = ItemAt(i)) {
                type->GetRecSize();
            }
        }
    }
    TrbCollection::Store(stream);
}

void TRecTypesDscrColl::CheckLayouts() const {
    const LookupScope scope(this);
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TRecordTypeDscr* type = ItemAt(i)) {
            type->ComputeSizes();
        }
    }
}

TRecordTypeDscr* TRecTypesDscrColl::GetRecordTypeDscr(std::string_view name, std::int16_t& ix) const {
    if (ix >= 0 && ix < Count()) {
        if (TRecordTypeDscr* type = ItemAt(ix)) {
            return type;
        }
    }
    const std::int32_t count = std::min(Count(), kMaxTypeIx + 1);
    for (std::int32_t i = 0; i < count; ++i) {
        TRecordTypeDscr* type = ItemAt(i);
        if (type != nullptr && SameTextNoCase(type->Name, name)) {
            ix = static_cast<std::int16_t>(i);
            return type;
        }
    }
    return nullptr;
}

const TRecordTypeDscr* TRecTypesDscrColl::Find(std::string_view name, std::int16_t ix) const {
    return GetRecordTypeDscr(name, ix);
}

bool TRecTypesDscrColl::GetDscrRecAttrSetOK(std::string_view name, std::int16_t ix,
                                            std::uint8_t& attr) const {
    const TRecordTypeDscr* type = Find(name, ix);
    attr = type != nullptr ? type->Attr : 0;
    return type != nullptr;
}

std::uint16_t TRecTypesDscrColl::GetDscrRecTypeSize(std::string_view name, std::int16_t ix) const {
    const TRecordTypeDscr* type = Find(name, ix);
    return type != nullptr ? type->GetRecSize() : 0;
}

void TRecTypesDscrColl::InitDscrRecordValues(std::string_view name, std::int16_t ix,
                                             std::span<std::uint8_t> data) const {
    if (const TRecordTypeDscr* type = Find(name, ix)) {
        type->InitRecValues(data);
    }
}

int TRecTypesDscrColl::GetDscrRecLineAStr(std::string_view name, std::int16_t ix,
                                          std::span<const std::uint8_t> data, std::string& dest, int maxLen,
                                          std::optional<std::string_view> sel) const {
    const TRecordTypeDscr* type = Find(name, ix);
    return type != nullptr ? type->GetRecLineAStr(data, dest, sel, maxLen) : 0;
}

int TRecTypesDscrColl::GetDscrRecJoinAStr(std::string_view name, std::int16_t ix,
                                          std::span<const std::uint8_t> data, std::string& dest, int maxLen,
                                          std::optional<std::string_view> sel) const {
    const TRecordTypeDscr* type = Find(name, ix);
    return type != nullptr ? type->GetRecJoinAStr(data, dest, sel, maxLen) : 0;
}

int TRecTypesDscrColl::GetDscrRecCWinAStr(std::string_view name, std::int16_t ix,
                                          std::span<const std::uint8_t> data, std::string& dest,
                                          int maxLen) const {
    const TRecordTypeDscr* type = Find(name, ix);
    return type != nullptr ? type->GetRecCWinAStr(data, dest, maxLen) : 0;
}

int TRecTypesDscrColl::GetDscrRecCSV_AStr(std::string_view name, std::int16_t ix,
                                          std::span<const std::uint8_t> data, std::string& dest,
                                          int maxLen) const {
    const TRecordTypeDscr* type = Find(name, ix);
    return type != nullptr ? type->GetRecCSV_AStr(data, dest, maxLen) : 0;
}

std::uint16_t TRecTypesDscrColl::GetDscrRecordTrBuffSize(std::string_view name, std::int16_t ix) const {
    const TRecordTypeDscr* type = Find(name, ix);
    return type != nullptr ? type->GetRecTrBuffSize() : 0;
}

void TRecTypesDscrColl::PutDscrDataToTrBuff(std::string_view name, std::int16_t ix,
                                            std::span<const std::uint8_t> data,
                                            std::span<std::uint8_t> trBuf) const {
    if (const TRecordTypeDscr* type = Find(name, ix)) {
        type->PutRecToTrBuff(data, trBuf);
    }
}

void TRecTypesDscrColl::GetDscrDataFromTrBuff(std::string_view name, std::int16_t ix,
                                              std::span<std::uint8_t> data,
                                              std::span<const std::uint8_t> trBuf,
                                              std::uint8_t& modified) const {
    if (const TRecordTypeDscr* type = Find(name, ix)) {
        type->GetRecFromTrBuff(data, trBuf, modified);
    }
}

void TRecTypesDscrColl::FreeDscrAllTrBuffRec(std::string_view name, std::int16_t ix,
                                             std::span<std::uint8_t> trBuf) const {
    if (const TRecordTypeDscr* type = Find(name, ix)) {
        type->FreeRecTrBuff(trBuf);
    }
}

const TRecTypesDscrColl* AppRecTypesDscrColl() {
    if (checkingTypes != nullptr) {
        return checkingTypes;
    }
    const TAppExtension& extension = AppExtension();
    return extension.AppData
               ? dynamic_cast<const TRecTypesDscrColl*>(extension.AppData->RecTypesDscrColl.get())
               : nullptr;
}

TRecordTypeDscr* AppGetRecordTypeDscr(std::string_view name, std::int16_t& ix) {
    const TRecTypesDscrColl* types = AppRecTypesDscrColl();
    return types != nullptr ? types->GetRecordTypeDscr(name, ix) : nullptr;
}

} // namespace ravlo
