#pragma once

#include "framework/app_data.h"
#include "framework/byte_stream.h"
#include "framework/le_bytes.h"
#include "framework/message_box.h"
#include "records/compound_fields.h"
#include "records/data_base.h"
#include "records/dscr_rec_obj.h"
#include "records/enum_field_dscrs.h"
#include "records/fce_semantics.h"
#include "records/ini_semantics.h"
#include "records/int_field_dscrs.h"
#include "records/par_rec_data.h"
#include "records/real_field_dscrs.h"
#include "records/rec_iniciator_coll.h"
#include "records/record_classes.h"
#include "records/record_type_dscr.h"
#include "records/scan_semantics.h"
#include "records/stamp_semantics.h"
#include "records/string_field_dscrs.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace ravlo::test {

// A collection of class C holding the items, in their order.
template <class C, class... Items>
std::unique_ptr<C> Holding(std::unique_ptr<Items>... items) {
    auto collection = std::make_unique<C>();
    (collection->Insert(std::move(items)), ...);
    return collection;
}

// The application data, made when there is none.
inline TAppData& AppDataMade() {
    auto& appData = AppExtension().AppData;
    if (!appData) {
        appData = std::make_unique<TAppData>();
    }
    return *appData;
}

// Sets the base fields of a descriptor to values that differ from their defaults, then those of
// its own class by set.
template <class T, class Set = decltype([](T&) {})>
std::unique_ptr<T> Field(std::uint16_t size, std::uint16_t flags = 0, const Set& set = {}) {
    auto field = std::make_unique<T>();
    field->Name = std::string(T::kClassName.substr(1, 6));
    field->Caption = "Cap:";
    field->Size = size;
    field->Flags = flags;
    field->LineWidth = 6;
    field->WinWidth = 7;
    field->CSVWidth = 8;
    field->JoinWidth = 9;
    set(*field);
    return field;
}

// The little-endian bytes of a value.
template <class T>
std::vector<std::uint8_t> LeBytes(T value) {
    std::vector<std::uint8_t> bytes(sizeof(T));
    PutLE(std::span(bytes), 0, value);
    return bytes;
}

template <class... Ts>
std::vector<std::unique_ptr<TRecFieldTypeDscr>> Fields(std::unique_ptr<Ts>... fields) {
    std::vector<std::unique_ptr<TRecFieldTypeDscr>> all;
    (all.push_back(std::move(fields)), ...);
    return all;
}

// An object of class T with the values set sets.
template <class T, class Set>
std::unique_ptr<T> Made(const Set& set) {
    auto object = std::make_unique<T>();
    set(*object);
    return object;
}

// One descriptor of every field class, each with values of its own fields set; the first carries
// semantic evaluators.
inline std::vector<std::unique_ptr<TRecFieldTypeDscr>> EveryFieldClass() {
    auto base = Field<TRecFieldTypeDscr>(3, kFldHex);
    base->Semantics = Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(2),
                                            std::make_unique<TSemanticEvaluator>(0x01020304));
    return Fields(
        std::move(base),
        Field<TByteLimRecFieldDscr>(1, 0, [](auto& f) { f.Default = 7, f.Min = 1, f.Max = 9; }),
        Field<TSpecWordLimRecFieldDscr>(
            2, 0, [](auto& f) { f.Default = 1234, f.Kind = 4, f.Decimals = 3, f.Min = 10, f.Max = 0xFFF0; }),
        Field<TShortIntLimRecFieldDscr>(1, 0, [](auto& f) { f.Default = -3, f.Min = -100; }),
        Field<TSpecSmallIntLimRecFieldDscr>(2, kFldPattern, [](auto& f) { f.Kind = 2, f.Min = -30000; }),
        Field<TIntegerRecFieldDscr>(4),
        Field<TSpecLIntLimRecFieldDscr>(4, 0, [](auto& f) { f.Kind = 1, f.Max = 0x7FFFFFFF; }),
        Field<TSpecDWordLimRecFieldDscr>(4, 0,
                                         [](auto& f) { f.Kind = 2, f.Max = 0xFFFFFFFF, f.Extra = 0x5A; }),
        Field<TRealpLimRecFieldDscr>(6, kFldScientific,
                                     [](auto& f) {
                                         f.Default = *DoubleToReal48(1.5), f.Decimals = 2;
                                         f.Min = *DoubleToReal48(-10), f.Max = *DoubleToReal48(10);
                                     }),
        Field<TEnumRecFieldDscr>(1, kFldCSVQuoted, [](auto& f) { f.Default = 1, f.EnumType = 0; }),
        Field<TStringLimFieldDscr>(6, 0,
                                   [](auto& f) {
                                       f.DefaultText = "abc", f.DefaultTextId = -1;
                                       f.Chars.fill(0xFF);
                                   }),
        Field<TLabelFieldDscr>(10, 0, [](auto& f) { f.DefaultText = "Label"; }),
        Field<TEnumSetFieldDscr>(
            4, 0, [](auto& f) { f.SetMode = 2, f.SetRef = 0xA1B2C3D4, f.DefaultSet[3] = 0x81; }),
        Field<TByteRecFieldDscr>(1), Field<TWordRecFieldDscr>(2), Field<TWordLimRecFieldDscr>(2),
        Field<TSpecWordRecFieldDscr>(2), Field<TShortIntRecFieldDscr>(1), Field<TSmallIntRecFieldDscr>(2),
        Field<TSmallIntLimRecFieldDscr>(2), Field<TSpecSmallIntRecFieldDscr>(2), Field<TLIntRecFieldDscr>(4),
        Field<TLIntLimRecFieldDscr>(4), Field<TSpecLIntRecFieldDscr>(4), Field<TDWordRecFieldDscr>(4),
        Field<TRealpRecFieldDscr>(6), Field<TDBStringFieldDscr>(8));
}

// A semantic manager holding one semantic of every class, with their stored values set.
inline std::unique_ptr<TSemManColl> EverySemanticClass() {
    return Holding<TSemManColl>(
        Made<TWordGetFceSem>([](auto& s) { s.FceCode = kFceSum; }), std::make_unique<TByteGetFceSem>(),
        std::make_unique<TLIntGetFceSem>(), std::make_unique<TPStrGetFceSem>(),
        Made<TScanIfSem>([](auto& s) { s.ValKind = 5, s.CmpOp = 3; }), std::make_unique<TRefVUScanSem>(),
        Made<TDWAppINISetSem>([](auto& s) {
            s.Value = 0x12345678, s.IniFileKey = "KEY", s.Section = "SECTION", s.KeyName = "NAME";
        }),
        std::make_unique<TWoAppINISetSem>(), std::make_unique<TByAppINISetSem>(),
        Made<TStrAppINISetSem>(
            [](auto& s) { s.MaxLen = 12, s.FmtKind = 2, s.CaptionId = -7, s.Value = "text"; }),
        std::make_unique<TDevIxSetSem>(), std::make_unique<TByteSorterSem>(),
        std::make_unique<TWordSorterSem>(), std::make_unique<TLIntSorterSem>(),
        std::make_unique<TDWordSorterSem>(), std::make_unique<TStrSorterSem>(),
        std::make_unique<TAnsiStrSorterSem>(),
        Made<TStrTimeSetSem>([](auto& s) { s.MaxLen = 20, s.OnlyModified = 1; }),
        std::make_unique<TTTCTimeSetSem>(),
        Made<TAcceptDWFSem>([](auto& s) { s.AccKind = 2, s.Low = 5, s.High = 0x80000000; }),
        Made<TAcceptDateTimeSem>([](auto& s) { s.Low = -0.5, s.High = 45000.25; }));
}

// A test with the record classes registered and the application data put back afterwards.
class RecordsTest : public ::testing::Test {
protected:
    RecordsTest() { RegisterRecordClasses(); }
    ~RecordsTest() override { ResetAppExtension(); }
};

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
    auto type = Holding<TRecordTypeDscr>(std::move(fields)...);
    type->Name = std::move(name);
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
    auto enumeration = std::make_unique<TEnumTypeDefinition>();
    for (const std::string_view text : texts) {
        enumeration->Strings.Add(std::string(text));
    }
    AppDataMade().EnumTypesColl = Holding<TEnumTypesColl>(std::move(enumeration));
}

// The types, as the record types of fresh application data.
template <class... Types>
TRecTypesDscrColl& InstallRecordTypes(std::unique_ptr<Types>... types) {
    auto collection = Holding<TRecTypesDscrColl>(std::move(types)...);
    TRecTypesDscrColl& installed = *collection;
    AppDataMade().RecTypesDscrColl = std::move(collection);
    return installed;
}

// Record types with compound and case fields of both table forms, a record object, and an
// initiator of every class.
inline std::unique_ptr<TrbCollection> EveryRecordClass() {
    auto inner = RecordType("Inner", Field<TByteLimRecFieldDscr>(1), Field<TWordRecFieldDscr>(2));
    inner->DialogName = "TDscrRecDlg";
    inner->Attr = 0x81;
    inner->NotifyEvaluators = Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(1));
    inner->RecEvaluators = Holding<TSemEvalColl>(std::make_unique<TSemanticEvaluator>(2));
    auto byteCase = Nesting<TByteCaseTypeDscr>("Case:", 0);
    byteCase->DefaultSelector = 2;
    byteCase->AssignTable = Made<TByteDscrAssTab>([](auto& t) { t.Table[1] = 0, t.Table[2] = 2; });
    auto wordCase = Nesting<TAbstractCaseTypeDscr>("Word:", 2);
    wordCase->AssignTable = Made<TWordDscrAssTab>([](auto& t) {
        t.PutTabItem(std::vector<std::uint8_t>{0x34, 0x12}, 0);
    });
    auto outer =
        RecordType("Outer", std::move(byteCase), Nesting<TCompoundTDscr>("In:", 0), std::move(wordCase));
    outer->RecEvaluators = std::make_unique<TSemEvalColl>();
    auto alt = RecordType("Alt", Field<TByteRecFieldDscr>(1), Field<TSmallIntRecFieldDscr>(2));

    auto record = Made<TDscrRecObj>(
        [](auto& r) { r.Name = "Outer", r.RecTypeIx = 1, r.DscrRecPtr = {2, 7, 0, 1, 2, 3, 0x34, 0x12, 5}; });

    auto inits = std::make_unique<TRecIniciatorColl>();
    inits->Add<TByteElIniciatorObj>("b")->Value = 0xA5;
    inits->Add<TWordElIniciatorObj>("w");
    inits->Add<TIntegerElIniciatorObj>("i");
    inits->Add<TDWordElIniciatorObj>("t")->Mode = 2;
    inits->Add<TRealpElIniciatorObj>("r");
    auto* text = inits->Add<TPStrElIniciatorObj>("s");
    text->Size = 6, text->Text = "ab_c", text->IntChar = '_', text->ExtChar = ' ';
    inits->Add<TDBPtrElIniciatorObj>("p");
    inits->Add<TSpecWordElIniciatorObj>("sw")->Decimals = 3;
    inits->Add<TSpecSmallIntElIniciatorObj>("ss")->Decimals = 1;
    inits->Add<TSpecLIntElIniciatorObj>("sl");
    inits->Add<THexBuffElIniciatorObj>("h")->Bytes = {0x10, 0, 0xFF, 0};

    return Holding<TrbCollection>(
        Holding<TRecTypesDscrColl>(std::move(inner), std::move(outer), std::move(alt)), std::move(record),
        std::move(inits), std::make_unique<TDscrAssignTable>());
}

// The arguments of a database description named "DB" + dbTid whose records are of type typeIx and
// size bytes; its initiators are one hex buffer of that size.
inline TDataBaseDscrArgs DataBaseArgs(std::uint16_t dbTid, std::uint8_t flags, std::int16_t typeIx,
                                      std::uint16_t size) {
    TDataBaseDscrArgs args;
    args.Name = "DB" + std::to_string(dbTid);
    args.DBTid = dbTid;
    args.DBFlags = flags;
    args.DefaultDscrIx = typeIx;
    args.DscrLng = size;
    args.IniciatorColl = std::make_unique<TRecIniciatorColl>();
    args.IniciatorColl->Add<THexBuffElIniciatorObj>("r")->Bytes.resize(size);
    return args;
}

// Inserts item into collection and answers it.
template <class C, class T>
T* InsertInto(C& collection, std::unique_ptr<T> item) {
    T* inserted = item.get();
    collection.Insert(std::move(item));
    return inserted;
}

// A record of type, created with its initial values.
template <class T = TDBRecordObj>
std::unique_ptr<T> CreatedRecord(std::string_view type, std::int16_t ix = -1) {
    auto record = std::make_unique<T>();
    record->RunCreate(type, ix);
    return record;
}

// A parameter record at la of the record type "P" (index 0) and parameter record type 0 that
// transmits the given number of bytes.
template <class T = TParRecordObj>
std::unique_ptr<T> ParameterRecord(std::uint16_t la, std::string name, std::int32_t transmitted) {
    auto record = CreatedRecord<T>("P", 0);
    record->RecLA = la;
    record->ParRecTypeIx = 0;
    record->ParName = std::move(name);
    record->DTMRecSize = transmitted;
    return record;
}

// A stream holding the text.
inline MemoryStream TextStream(std::string_view text) {
    return MemoryStream(std::vector<std::uint8_t>(text.begin(), text.end()));
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
