#include "records/semantics.h"

#include "framework/app_data.h"
#include "records/field_bytes.h"

#include <algorithm>

namespace ravlo {

void TSemantics::Reset() {
    ClearFound();
    Cell = nullptr;
    ScanList = nullptr;
}

void TSemantics::ClearFound() {
    Found = false;
    HitContext = nullptr;
    HitRec = nullptr;
}

void TSemantics::Hit() {
    Found = true;
    HitContext = Context;
    HitRec = CurRec;
}

void TSemantics::MarkRecord() {
    if (CurRec != nullptr) {
        CurRec->MarkModified();
    }
}

void TSemantics::WriteField(std::span<std::uint8_t> field, std::span<const std::uint8_t> value) {
    const std::size_t count = std::min(field.size(), value.size());
    if (!std::equal(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(count), field.begin())) {
        PutBytes(field, value.first(count));
        MarkRecord();
    }
}

void TSemantics::WriteFieldText(std::span<std::uint8_t> field, std::string_view text) {
    if (field.empty()) {
        return;
    }
    const std::string_view fitted =
        text.substr(0, std::min({text.size(), field.size() - 1, std::size_t{255}}));
    if (GetShortString(field) != fitted || field[0] != fitted.size()) {
        PutShortString(field, fitted);
        MarkRecord();
    }
}

void TSemantics::AddScanItem(std::uint16_t w, std::uint32_t l, std::optional<std::string> text) {
    if (ScanList != nullptr) {
        ScanList->Insert(std::make_unique<TScanObject>(w, l, CurRec, Context, std::move(text)));
    }
}

TSemantics* TSemManColl::GetSem(std::uint32_t no) const {
    return no < static_cast<std::uint32_t>(Count()) ? ItemAt(static_cast<std::int32_t>(no)) : nullptr;
}

void TSemManColl::SetSemRec(SemanticRecord* rec, std::uint32_t no) {
    if (TSemantics* sem = GetSem(no)) {
        sem->CurRec = rec;
    }
}

void TSemManColl::EvaluateSem(std::uint32_t no, std::uint8_t event, std::span<std::uint8_t> data,
                              std::uint8_t sub) {
    if (TSemantics* sem = GetSem(no)) {
        sem->Evaluate(event, sub, data);
    }
}

TSemManColl* AppSemManColl() {
    const TAppExtension& extension = AppExtension();
    return extension.AppData ? dynamic_cast<TSemManColl*>(extension.AppData->SemManColl.get()) : nullptr;
}

void TSemanticEvaluator::Store(TrbObjStream& stream) const {
    stream.WriteU32(SemNo);
}

void TSemanticEvaluator::Load(TrbObjStream& stream) {
    SemNo = stream.ReadU32();
}

void TSemanticEvaluator::RunEval(std::uint32_t no, std::uint8_t event, std::span<std::uint8_t> data,
                                 std::uint8_t sub) const {
    if (no != SemNo) {
        return;
    }
    if (TSemManColl* manager = AppSemManColl()) {
        manager->EvaluateSem(no, event, data, sub);
    }
}

void TSemEvalColl::RunAllEvaluators(std::uint32_t no, std::uint8_t event, std::span<std::uint8_t> data,
                                    std::uint8_t sub) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TSemanticEvaluator* evaluator = ItemAt(i)) {
            evaluator->RunEval(no, event, data, sub);
        }
    }
}

} // namespace ravlo
