#pragma once

#include "framework/byte_stream.h"
#include "records/enum_field_dscrs.h"
#include "records/fce_semantics.h"
#include "records/ini_semantics.h"
#include "records/int_field_dscrs.h"
#include "records/real_field_dscrs.h"
#include "records/record_classes.h"
#include "records/scan_semantics.h"
#include "records/stamp_semantics.h"
#include "records/string_field_dscrs.h"

#include <memory>
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
