#pragma once

#include "framework/app_data.h"
#include "framework/byte_stream.h"
#include "framework/message_box.h"
#include "records/compound_fields.h"
#include "records/dscr_rec_obj.h"
#include "records/enum_field_dscrs.h"
#include "records/fce_semantics.h"
#include "records/ini_semantics.h"
#include "records/int_field_dscrs.h"
#include "records/real_field_dscrs.h"
#include "records/rec_iniciator_coll.h"
#include "records/record_classes.h"
#include "records/record_type_dscr.h"
#include "records/scan_semantics.h"
#include "records/stamp_semantics.h"
#include "records/string_field_dscrs.h"

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace ravlo::test {

// Sets the base fields of a descriptor to values that differ from their defaults.
template <class T>
std::unique_ptr<T> Field(std::uint16_t size, std::uint16_t flags = 0) {
    auto field = std::make_unique<T>();
    field->Name = std::string(T::kClassName.substr(1, 6));
    field->Caption = "Cap:";
    field->Size = size;
    field->Flags = flags;
    field->LineWidth = 6;
    field->WinWidth = 7;
    field->CSVWidth = 8;
    field->JoinWidth = 9;
    return field;
}

// One descriptor of every field class, each with values of its own fields set; the first carries
// semantic evaluators.
inline std::vector<std::unique_ptr<TRecFieldTypeDscr>> EveryFieldClass() {
    std::vector<std::unique_ptr<TRecFieldTypeDscr>> fields;
    auto base = Field<TRecFieldTypeDscr>(3, kFldHex);
    base->Semantics = std::make_unique<TSemEvalColl>();
    base->Semantics->Insert(std::make_unique<TSemanticEvaluator>(2));
    base->Semantics->Insert(std::make_unique<TSemanticEvaluator>(0x01020304));
    fields.push_back(std::move(base));
    auto byteLim = Field<TByteLimRecFieldDscr>(1);
    byteLim->Default = 7;
    byteLim->Min = 1;
    byteLim->Max = 9;
    fields.push_back(std::move(byteLim));
    auto specWordLim = Field<TSpecWordLimRecFieldDscr>(2);
    specWordLim->Default = 1234;
    specWordLim->Kind = 4;
    specWordLim->Decimals = 3;
    specWordLim->Min = 10;
    specWordLim->Max = 0xFFF0;
    fields.push_back(std::move(specWordLim));
    auto shortIntLim = Field<TShortIntLimRecFieldDscr>(1);
    shortIntLim->Default = -3;
    shortIntLim->Min = -100;
    fields.push_back(std::move(shortIntLim));
    auto specSmallIntLim = Field<TSpecSmallIntLimRecFieldDscr>(2, kFldPattern);
    specSmallIntLim->Kind = 2;
    specSmallIntLim->Min = -30000;
    fields.push_back(std::move(specSmallIntLim));
    fields.push_back(Field<TIntegerRecFieldDscr>(4));
    auto specLIntLim = Field<TSpecLIntLimRecFieldDscr>(4);
    specLIntLim->Kind = 1;
    specLIntLim->Max = 0x7FFFFFFF;
    fields.push_back(std::move(specLIntLim));
    auto dwordLim = Field<TSpecDWordLimRecFieldDscr>(4);
    dwordLim->Kind = 2;
    dwordLim->Max = 0xFFFFFFFF;
    dwordLim->Extra = 0x5A;
    fields.push_back(std::move(dwordLim));
    auto realLim = Field<TRealpLimRecFieldDscr>(6, kFldScientific);
    realLim->Default = *DoubleToReal48(1.5);
    realLim->Decimals = 2;
    realLim->Min = *DoubleToReal48(-10);
    realLim->Max = *DoubleToReal48(10);
    fields.push_back(std::move(realLim));
    auto enumField = Field<TEnumRecFieldDscr>(1, kFldCSVQuoted);
    enumField->Default = 1;
    enumField->EnumType = 0;
    fields.push_back(std::move(enumField));
    auto stringLim = Field<TStringLimFieldDscr>(6);
    stringLim->DefaultText = "abc";
    stringLim->DefaultTextId = -1;
    stringLim->Chars.fill(0xFF);
    fields.push_back(std::move(stringLim));
    auto label = Field<TLabelFieldDscr>(10);
    label->DefaultText = "Label";
    fields.push_back(std::move(label));
    auto enumSet = Field<TEnumSetFieldDscr>(4);
    enumSet->SetMode = 2;
    enumSet->SetRef = 0xA1B2C3D4;
    enumSet->DefaultSet[3] = 0x81;
    fields.push_back(std::move(enumSet));
    fields.push_back(Field<TByteRecFieldDscr>(1));
    fields.push_back(Field<TWordRecFieldDscr>(2));
    fields.push_back(Field<TWordLimRecFieldDscr>(2));
    fields.push_back(Field<TSpecWordRecFieldDscr>(2));
    fields.push_back(Field<TShortIntRecFieldDscr>(1));
    fields.push_back(Field<TSmallIntRecFieldDscr>(2));
    fields.push_back(Field<TSmallIntLimRecFieldDscr>(2));
    fields.push_back(Field<TSpecSmallIntRecFieldDscr>(2));
    fields.push_back(Field<TLIntRecFieldDscr>(4));
    fields.push_back(Field<TLIntLimRecFieldDscr>(4));
    fields.push_back(Field<TSpecLIntRecFieldDscr>(4));
    fields.push_back(Field<TDWordRecFieldDscr>(4));
    fields.push_back(Field<TRealpRecFieldDscr>(6));
    fields.push_back(Field<TDBStringFieldDscr>(8));
    return fields;
}

// A semantic manager holding one semantic of every class, with their stored values set.
inline std::unique_ptr<TSemManColl> EverySemanticClass() {
    auto manager = std::make_unique<TSemManColl>();
    auto fce = std::make_unique<TWordGetFceSem>();
    fce->FceCode = kFceSum;
    manager->Insert(std::move(fce));
    manager->Insert(std::make_unique<TByteGetFceSem>());
    manager->Insert(std::make_unique<TLIntGetFceSem>());
    manager->Insert(std::make_unique<TPStrGetFceSem>());
    auto scanIf = std::make_unique<TScanIfSem>();
    scanIf->ValKind = 5;
    scanIf->CmpOp = 3;
    manager->Insert(std::move(scanIf));
    manager->Insert(std::make_unique<TRefVUScanSem>());
    auto dwIni = std::make_unique<TDWAppINISetSem>();
    dwIni->Value = 0x12345678;
    dwIni->IniFileKey = "KEY";
    dwIni->Section = "SECTION";
    dwIni->KeyName = "NAME";
    manager->Insert(std::move(dwIni));
    manager->Insert(std::make_unique<TWoAppINISetSem>());
    manager->Insert(std::make_unique<TByAppINISetSem>());
    auto strIni = std::make_unique<TStrAppINISetSem>();
    strIni->MaxLen = 12;
    strIni->FmtKind = 2;
    strIni->CaptionId = -7;
    strIni->Value = "text";
    manager->Insert(std::move(strIni));
    manager->Insert(std::make_unique<TDevIxSetSem>());
    manager->Insert(std::make_unique<TByteSorterSem>());
    manager->Insert(std::make_unique<TWordSorterSem>());
    manager->Insert(std::make_unique<TLIntSorterSem>());
    manager->Insert(std::make_unique<TDWordSorterSem>());
    manager->Insert(std::make_unique<TStrSorterSem>());
    manager->Insert(std::make_unique<TAnsiStrSorterSem>());
    auto strTime = std::make_unique<TStrTimeSetSem>();
    strTime->MaxLen = 20;
    strTime->OnlyModified = 1;
    manager->Insert(std::move(strTime));
    manager->Insert(std::make_unique<TTTCTimeSetSem>());
    auto accept = std::make_unique<TAcceptDWFSem>();
    accept->AccKind = 2;
    accept->Low = 5;
    accept->High = 0x80000000;
    manager->Insert(std::move(accept));
    auto acceptDate = std::make_unique<TAcceptDateTimeSem>();
    acceptDate->Low = -0.5;
    acceptDate->High = 45000.25;
    manager->Insert(std::move(acceptDate));
    return manager;
}

// The internal error lines reported while it lives.
class AppErrorLog {
public:
    AppErrorLog() : previous_(SetAppErrorHook([this](std::string_view msg) { lines.emplace_back(msg); })) {}
    ~AppErrorLog() { SetAppErrorHook(previous_); }
    AppErrorLog(const AppErrorLog&) = delete;
    AppErrorLog& operator=(const AppErrorLog&) = delete;

    std::vector<std::string> lines;

private:
    AppErrorHookFn previous_;
};

// A record type of the fields given.
template <class... Fields>
std::unique_ptr<TRecordTypeDscr> RecordType(std::string name, std::unique_ptr<Fields>... fields) {
    auto type = std::make_unique<TRecordTypeDscr>();
    type->Name = std::move(name);
    (type->Insert(std::move(fields)), ...);
    return type;
}

// A field of class T that shows its value at width without caption.
template <class T>
std::unique_ptr<T> Bare(std::uint16_t size, std::uint8_t width = 2) {
    auto field = std::make_unique<T>();
    field->Size = size;
    field->LineWidth = field->WinWidth = field->CSVWidth = field->JoinWidth = width;
    return field;
}

template <class T>
std::unique_ptr<T> Nesting(std::string caption, std::int16_t typeIx) {
    auto field = std::make_unique<T>();
    field->Caption = std::move(caption);
    if constexpr (std::is_same_v<T, TCompoundTDscr>) {
        field->RecTypeIx = typeIx;
    } else {
        field->DefaultTypeIx = typeIx;
    }
    return field;
}

// A field of class T with its initial value and caption.
template <class T>
std::unique_ptr<T> Valued(std::uint16_t size, typename T::ValueType value, std::string caption = {}) {
    auto field = Bare<T>(size);
    field->Default = value;
    field->Caption = std::move(caption);
    return field;
}

// An enumeration of texts as the only one (type 0) of the application data, made when needed.
inline void InstallEnumeration(std::initializer_list<std::string_view> texts) {
    auto& appData = AppExtension().AppData;
    if (!appData) {
        appData = std::make_unique<TAppData>();
    }
    auto enumeration = std::make_unique<TEnumTypeDefinition>();
    for (const std::string_view text : texts) {
        enumeration->Strings.Add(std::string(text));
    }
    appData->EnumTypesColl = std::make_unique<TEnumTypesColl>();
    appData->EnumTypesColl->Insert(std::move(enumeration));
}

// The types, as the record types of fresh application data.
template <class... Types>
TRecTypesDscrColl& InstallRecordTypes(std::unique_ptr<Types>... types) {
    auto& appData = AppExtension().AppData;
    if (!appData) {
        appData = std::make_unique<TAppData>();
    }
    auto collection = std::make_unique<TRecTypesDscrColl>();
    (collection->Insert(std::move(types)), ...);
    TRecTypesDscrColl& installed = *collection;
    appData->RecTypesDscrColl = std::move(collection);
    return installed;
}

// Record types with compound and case fields of both table forms, a record object, and an
// initiator of every class.
inline std::unique_ptr<TrbCollection> EveryRecordClass() {
    auto inner = RecordType("Inner", Field<TByteLimRecFieldDscr>(1), Field<TWordRecFieldDscr>(2));
    inner->DialogName = "TDscrRecDlg";
    inner->Attr = 0x81;
    inner->NotifyEvaluators = std::make_unique<TSemEvalColl>();
    inner->NotifyEvaluators->Insert(std::make_unique<TSemanticEvaluator>(1));
    inner->RecEvaluators = std::make_unique<TSemEvalColl>();
    inner->RecEvaluators->Insert(std::make_unique<TSemanticEvaluator>(2));
    auto byteCase = Nesting<TByteCaseTypeDscr>("Case:", 0);
    byteCase->DefaultSelector = 2;
    auto byteTable = std::make_unique<TByteDscrAssTab>();
    byteTable->Table[1] = 0;
    byteTable->Table[2] = 2;
    byteCase->AssignTable = std::move(byteTable);
    auto wordCase = Nesting<TAbstractCaseTypeDscr>("Word:", 2);
    auto wordTable = std::make_unique<TWordDscrAssTab>();
    wordTable->PutTabItem(std::vector<std::uint8_t>{0x34, 0x12}, 0);
    wordCase->AssignTable = std::move(wordTable);
    auto outer =
        RecordType("Outer", std::move(byteCase), Nesting<TCompoundTDscr>("In:", 0), std::move(wordCase));
    outer->RecEvaluators = std::make_unique<TSemEvalColl>();
    auto alt = RecordType("Alt", Field<TByteRecFieldDscr>(1), Field<TSmallIntRecFieldDscr>(2));
    auto types = std::make_unique<TRecTypesDscrColl>();
    types->Insert(std::move(inner));
    types->Insert(std::move(outer));
    types->Insert(std::move(alt));

    auto record = std::make_unique<TDscrRecObj>();
    record->Name = "Outer";
    record->RecTypeIx = 1;
    record->DscrRecPtr = {2, 7, 0, 1, 2, 3, 0x34, 0x12, 5};

    auto inits = std::make_unique<TRecIniciatorColl>();
    inits->Add<TByteElIniciatorObj>("b")->Value = 0xA5;
    inits->Add<TWordElIniciatorObj>("w");
    inits->Add<TIntegerElIniciatorObj>("i");
    inits->Add<TDWordElIniciatorObj>("t")->Mode = 2;
    inits->Add<TRealpElIniciatorObj>("r");
    auto* text = inits->Add<TPStrElIniciatorObj>("s");
    text->Size = 6;
    text->Text = "ab_c";
    text->IntChar = '_';
    text->ExtChar = ' ';
    inits->Add<TDBPtrElIniciatorObj>("p");
    inits->Add<TSpecWordElIniciatorObj>("sw")->Decimals = 3;
    inits->Add<TSpecSmallIntElIniciatorObj>("ss")->Decimals = 1;
    inits->Add<TSpecLIntElIniciatorObj>("sl");
    inits->Add<THexBuffElIniciatorObj>("h")->Bytes = {0x10, 0, 0xFF, 0};

    auto all = std::make_unique<TrbCollection>();
    all->Insert(std::move(types));
    all->Insert(std::move(record));
    all->Insert(std::move(inits));
    all->Insert(std::make_unique<TDscrAssignTable>());
    return all;
}

// An object as a fresh object stream writes it, and read back from those bytes.
struct StoredObject {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> classNames;
};

inline StoredObject StoreObject(const TrbStreamable* obj) {
    MemoryStream memory;
    TrbObjStream writer(memory, ObjStreamMode::Writing);
    writer.Put(obj);
    return {memory.Data(), writer.ClassNames()};
}

inline std::unique_ptr<TrbStreamable> LoadObject(const StoredObject& stored) {
    MemoryStream memory(stored.bytes);
    TrbObjStream reader(memory, ObjStreamMode::Reading, stored.classNames);
    return reader.Get();
}

} // namespace ravlo::test
