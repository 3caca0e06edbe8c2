#include "records/compound_fields.h"

#include "framework/message_box.h"
#include "records/record_type_dscr.h"

#include <algorithm>

namespace ravlo {
namespace {

// Nested layouts entered on the stack: the last guard against one that contains itself.
thread_local int nestingDepth = 0;

// The caption a nesting field shows before its nested record, unless a flag of its form (or
// extraMask) hides it; a CSV form instead starts with CR LF when asked to.
void AppendLead(const TRecFieldTypeDscr& field, TextForm form, std::uint16_t extraMask, std::string& dest,
                int maxLen) {
    const std::size_t max = maxLen < 0 ? 0 : static_cast<std::size_t>(maxLen);
    std::uint16_t mask = extraMask;
    switch (form) {
    case TextForm::Line:
        mask |= kFldNoLineCaption;
        break;
    case TextForm::Win:
        mask |= kFldNoWinCaption;
        break;
    case TextForm::Join:
        mask |= kFldNoJoinCaption;
        break;
    case TextForm::CSV:
        if ((field.Flags & kFldCSVNewLine) != 0) {
            AppendCut(dest, "\r\n", max);
        }
        return;
    }
    if ((field.Flags & mask) == 0) {
        AppendCut(dest, field.CaptionText(), max);
    }
}

void AppendRecordForm(const TRecordTypeDscr& type, TextForm form, std::span<const std::uint8_t> data,
                      std::string& dest, int maxLen) {
    switch (form) {
    case TextForm::Line:
        type.GetRecLineAStr(data, dest, std::nullopt, maxLen);
        break;
    case TextForm::Win:
        type.GetRecCWinAStr(data, dest, maxLen);
        break;
    case TextForm::CSV:
        type.GetRecCSV_AStr(data, dest, maxLen);
        break;
    case TextForm::Join:
        type.GetRecJoinAStr(data, dest, std::nullopt, maxLen);
        break;
    }
}

} // namespace

TNestedLayout::Visit::Visit(const TNestedLayout& layout, const TRecFieldTypeDscr& owner, std::int16_t ix) {
    if (layout.cyclic_) {
        return;
    }
    if (nestingDepth >= kMaxNesting) {
        layout.MarkCyclic(owner, ix, "nested too deep");
        return;
    }
    std::int16_t hint = ix;
    const TRecordTypeDscr* type = AppGetRecordTypeDscr("", hint);
    if (type != nullptr && type->SizingNow()) {
        layout.MarkCyclic(owner, ix, "contains itself");
        return;
    }
    type_ = type;
    if (type_ != nullptr) {
        ++nestingDepth;
    }
}

TNestedLayout::Visit::~Visit() {
    if (type_ != nullptr) {
        --nestingDepth;
    }
}

void TNestedLayout::MarkCyclic(const TRecFieldTypeDscr& owner, std::int16_t ix, std::string_view why) const {
    cyclic_ = true;
    ReportAppError("# " + std::string(owner.ClassName()) + " " + owner.Name +
                   " RecTypeIx=" + std::to_string(ix) + ": layout " + std::string(why));
}

void TCompoundTDscr::Store(TrbObjStream& stream) const {
    TRecFieldTypeDscr::Store(stream);
    stream.WriteI16(RecTypeIx);
}

void TCompoundTDscr::Load(TrbObjStream& stream) {
    TRecFieldTypeDscr::Load(stream);
    RecTypeIx = stream.ReadI16();
}

std::uint16_t TCompoundTDscr::GetFieldSize() const {
    const TNestedLayout::Visit nested(nested_, *this, RecTypeIx);
    if (!nested) {
        if (!missingReported_ && !nested_.Cyclic()) {
            missingReported_ = true;
            ReportAppError("# TCompoundTDscr.GetFieldSize");
        }
        return 0;
    }
    return nested->GetRecSize();
}

void TCompoundTDscr::InitFieldValue(std::span<std::uint8_t> data) const {
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        nested->InitRecValues(FieldBytes(data));
    }
}

void TCompoundTDscr::AppendForm(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                                int maxLen) const {
    AppendLead(*this, form, kFldPattern, dest, maxLen);
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        AppendRecordForm(*nested, form, FieldBytes(data), dest, maxLen);
    }
}

std::uint16_t TCompoundTDscr::GetTrBuffSize() const {
    const TNestedLayout::Visit nested(nested_, *this, RecTypeIx);
    return nested ? nested->GetRecTrBuffSize() : 0;
}

void TCompoundTDscr::PutDataToTrBuff(std::span<const std::uint8_t> data,
                                     std::span<std::uint8_t> trBuf) const {
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        nested->PutRecToTrBuff(FieldBytes(data), trBuf);
    }
}

void TCompoundTDscr::GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                                       std::uint8_t& modified) const {
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        nested->GetRecFromTrBuff(FieldBytes(data), trBuf, modified);
    }
}

void TCompoundTDscr::FreeTrBuffRec(std::span<std::uint8_t> trBuf) const {
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        nested->FreeRecTrBuff(trBuf);
    }
}

void TCompoundTDscr::RunSemEvaluators(std::uint32_t no, std::uint8_t sub,
                                      std::span<std::uint8_t> data) const {
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        nested->RunFieldSemEvaluators(no, sub, FieldBytes(data));
    }
}

void TCompoundTDscr::NotifyRecObj(TDscrRecObj* recObj, std::uint8_t event) const {
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        nested->NotifyRecObj(recObj, event);
    }
}

void TCompoundTDscr::GetRefDBInstAdr(std::span<std::uint8_t> data, TDBColl* dbColl,
                                     std::uint8_t& flags) const {
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        nested->GetRefDBInstAdr(FieldBytes(data), dbColl, flags);
    }
}

void TCompoundTDscr::AddRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                                   TDBRecordObj* record) const {
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        nested->AddRefDBItems(FieldBytes(data), database, record);
    }
}

void TCompoundTDscr::FindRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                                    TDBRecordObj* record) const {
    if (const TNestedLayout::Visit nested{nested_, *this, RecTypeIx}) {
        nested->FindRefDBItems(FieldBytes(data), database, record);
    }
}

const TRecordTypeDscr* TCompoundTDscr::NestedType() const {
    const TNestedLayout::Visit nested(nested_, *this, RecTypeIx);
    return nested ? &*nested : nullptr;
}

void TAbstractCaseTypeDscr::Store(TrbObjStream& stream) const {
    TRecFieldTypeDscr::Store(stream);
    stream.WriteI16(DefaultTypeIx);
    stream.Put(AssignTable.get());
}

void TAbstractCaseTypeDscr::Load(TrbObjStream& stream) {
    TRecFieldTypeDscr::Load(stream);
    DefaultTypeIx = stream.ReadI16();
    AssignTable = GetStreamObject<TDscrAssignTable>(stream);
    LengthOK = 0;
    lengthTested_ = false;
}

std::uint16_t TAbstractCaseTypeDscr::GetFieldSize() const {
    const TNestedLayout::Visit defaultType(nested_, *this, DefaultTypeIx);
    if (!defaultType) {
        if (!missingReported_ && !nested_.Cyclic()) {
            missingReported_ = true;
            ReportAppError("# " + std::string(ClassName()) + ".GetFieldSize DefaultLen=0");
        }
        return 0;
    }
    const std::uint16_t size = defaultType->GetRecSize();
    // The length test reports every variant of another size; it runs once, when the record types
    // are there to test against.
    if (AssignTable && !lengthTested_ && AppRecTypesDscrColl() != nullptr) {
        lengthTested_ = true;
        LengthOK = AssignTable->TestDscrLength(size) ? 1 : 0;
    }
    return size;
}

template <class Byte, class Fn>
void TAbstractCaseTypeDscr::WithVariant(std::span<Byte> field, Fn&& fn) const {
    if (!AssignTable) {
        return;
    }
    const TNestedLayout::Visit defaultType(nested_, *this, DefaultTypeIx);
    if (!defaultType) {
        return;
    }
    const TNestedLayout::Visit variant(nested_, *this, AssignTable->GetDscrIx(field));
    if (variant && variant->GetRecSize() == defaultType->GetRecSize() &&
        variant->GetRecTrBuffSize() == defaultType->GetRecTrBuffSize()) {
        fn(*variant);
    }
}

const TRecordTypeDscr* TAbstractCaseTypeDscr::SelectedVariant(std::span<const std::uint8_t> data) const {
    const TRecordTypeDscr* selected = nullptr;
    WithVariant(FieldBytes(data), [&selected](const TRecordTypeDscr& variant) { selected = &variant; });
    return selected;
}

void TAbstractCaseTypeDscr::InitFieldValue(std::span<std::uint8_t> data) const {
    const std::span<std::uint8_t> field = FieldBytes(data);
    InitSelector(field);
    if (const TNestedLayout::Visit defaultType{nested_, *this, DefaultTypeIx}) {
        defaultType->InitRecValues(field);
    }
}

void TAbstractCaseTypeDscr::AppendForm(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                                       int maxLen) const {
    AppendLead(*this, form, 0, dest, maxLen);
    const std::span<const std::uint8_t> field = FieldBytes(data);
    WithVariant(
        field, [&](const TRecordTypeDscr& variant) { AppendRecordForm(variant, form, field, dest, maxLen); });
}

std::uint16_t TAbstractCaseTypeDscr::GetTrBuffSize() const {
    const TNestedLayout::Visit defaultType(nested_, *this, DefaultTypeIx);
    return defaultType ? defaultType->GetRecTrBuffSize() : 0;
}

void TAbstractCaseTypeDscr::PutDataToTrBuff(std::span<const std::uint8_t> data,
                                            std::span<std::uint8_t> trBuf) const {
    const std::span<const std::uint8_t> field = FieldBytes(data);
    WithVariant(field, [&](const TRecordTypeDscr& variant) { variant.PutRecToTrBuff(field, trBuf); });
}

void TAbstractCaseTypeDscr::GetDataFromTrBuff(std::span<std::uint8_t> data,
                                              std::span<const std::uint8_t> trBuf,
                                              std::uint8_t& modified) const {
    const std::span<std::uint8_t> field = FieldBytes(data);
    WithVariant(field,
                [&](const TRecordTypeDscr& variant) { variant.GetRecFromTrBuff(field, trBuf, modified); });
}

void TAbstractCaseTypeDscr::FreeTrBuffRec(std::span<std::uint8_t> trBuf) const {
    // The selector is in the record, not in the transfer record: the default type frees, which is
    // the same for every variant that is used at all.
    if (const TNestedLayout::Visit defaultType{nested_, *this, DefaultTypeIx}) {
        defaultType->FreeRecTrBuff(trBuf);
    }
}

void TAbstractCaseTypeDscr::RunSemEvaluators(std::uint32_t no, std::uint8_t sub,
                                             std::span<std::uint8_t> data) const {
    const std::span<std::uint8_t> field = FieldBytes(data);
    WithVariant(field,
                [&](const TRecordTypeDscr& variant) { variant.RunFieldSemEvaluators(no, sub, field); });
}

void TAbstractCaseTypeDscr::NotifyRecObj(TDscrRecObj* recObj, std::uint8_t event) const {
    if (const TNestedLayout::Visit defaultType{nested_, *this, DefaultTypeIx}) {
        defaultType->NotifyRecObj(recObj, event);
    }
}

void TByteCaseTypeDscr::Store(TrbObjStream& stream) const {
    TAbstractCaseTypeDscr::Store(stream);
    stream.WriteU8(DefaultSelector);
}

void TByteCaseTypeDscr::Load(TrbObjStream& stream) {
    TAbstractCaseTypeDscr::Load(stream);
    DefaultSelector = stream.ReadU8();
}

void TByteCaseTypeDscr::InitSelector(std::span<std::uint8_t> field) const {
    // A field of no bytes has no selector to write.
    if (!field.empty()) {
        field[0] = DefaultSelector;
    }
}

} // namespace ravlo
