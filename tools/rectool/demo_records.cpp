#include "rectool/demo_records.h"

#include "framework/app_data.h"
#include "records/compound_fields.h"
#include "records/db_ptr_fields.h"
#include "records/enum_field_dscrs.h"
#include "records/field_bytes.h"
#include "records/int_field_dscrs.h"
#include "records/par_rec_data.h"
#include "records/real_field_dscrs.h"
#include "records/record_edit.h"
#include "records/record_type_dscr.h"
#include "records/stamp_semantics.h"
#include "records/string_field_dscrs.h"
#include "records/ttc_time.h"
#include "shell/main_enum_types.h"

#include <string>

namespace ravlo::rectool {
namespace {

// Record type indexes.
enum : std::int16_t { kDevice, kChannel, kAlarm, kLimits, kAnalogIn, kDigitalIn, kParam, kScaled };
// Database types.
enum : std::uint16_t { kDevicesTid = 1, kChannelsTid = 2, kAlarmsTid = 3 };
// The semantic that writes a database's device index into its records.
constexpr std::uint32_t kDevIxSem = 0;
constexpr std::uint8_t kNetNode = 5;
// The enumeration of the Device's Mode, after the program's own.
constexpr std::int16_t kModeEnum = static_cast<std::int16_t>(kMainEnumTypeCount);

template <class T>
std::unique_ptr<T> Field(std::string name, std::uint16_t size, std::uint8_t width = 8,
                         std::uint16_t flags = 0) {
    auto field = std::make_unique<T>();
    field->Caption = name + ":";
    field->Name = std::move(name);
    field->Size = size;
    field->Flags = flags;
    field->LineWidth = field->WinWidth = field->CSVWidth = field->JoinWidth = width;
    return field;
}

template <class T>
std::unique_ptr<T> Valued(std::string name, std::uint16_t size, typename T::ValueType value) {
    auto field = Field<T>(std::move(name), size);
    field->Default = value;
    return field;
}

template <class T>
std::unique_ptr<T> Limited(std::string name, std::uint16_t size, typename T::ValueType min,
                           typename T::ValueType max) {
    auto field = Field<T>(std::move(name), size);
    field->Default = min;
    field->Min = min;
    field->Max = max;
    return field;
}

template <class T>
std::unique_ptr<T> Scaled(std::string name, std::uint16_t size, std::uint8_t kind, std::uint8_t decimals) {
    auto field = Field<T>(std::move(name), size);
    field->Kind = kind;
    field->Decimals = decimals;
    return field;
}

template <class... Fields>
std::unique_ptr<TRecordTypeDscr> Type(std::string name, std::uint8_t attr,
                                      std::unique_ptr<Fields>... fields) {
    auto type = std::make_unique<TRecordTypeDscr>();
    type->Name = std::move(name);
    type->DialogName = std::string(kDscrRecDlgName);
    type->Attr = attr;
    (type->Insert(std::move(fields)), ...);
    return type;
}

std::unique_ptr<TDBStringFieldDscr> Text(std::string name, std::uint16_t size, std::string value) {
    auto field = Field<TDBStringFieldDscr>(std::move(name), size, static_cast<std::uint8_t>(size));
    field->DefaultText = std::move(value);
    return field;
}

std::unique_ptr<TRecTypesDscrColl> RecordTypes() {
    auto mode = Valued<TEnumRecFieldDscr>("Mode", 1, 1);
    mode->EnumType = kModeEnum;
    auto channels = Field<TDynDBPtrRecFieldDscr>("Channels", 2, 6, kFldHex);
    channels->DefInstAdr = TDBInstMan::kNoAdr;
    channels->RefDBTid = kChannelsTid;
    auto alarms = Field<THiddenDynDBPtrRecFieldDscr>("Alarms", 2, 6, kFldHex);
    alarms->DefInstAdr = TDBInstMan::kNoAdr;
    alarms->RefDBTid = kAlarmsTid;
    alarms->SelKey = 1;
    auto stamp = Field<TDWordRecFieldDscr>("Stamp", 4, 20);
    stamp->Kind = 2;
    auto label = Field<TLabelFieldDscr>("Kind", 10, 6);
    label->DefaultText = "device";

    auto unit = Field<TStringLimFieldDscr>("Unit", 6, 5);
    unit->DefaultText = "mV";
    for (int c = ' '; c < 127; ++c) {
        unit->Chars[static_cast<std::size_t>(c) / 8] |= static_cast<std::uint8_t>(1u << (c % 8));
    }
    auto offset = Field<TRealpRecFieldDscr>("Offset", kReal48Size, 8);
    offset->Default = *DoubleToReal48(-1.25);
    offset->Decimals = 2;
    auto limits = Field<TCompoundTDscr>("Limits", 0);
    limits->RecTypeIx = kLimits;
    auto input = Field<TByteCaseTypeDscr>("Input", 0);
    input->DefaultTypeIx = kAnalogIn;
    input->DefaultSelector = 1;
    auto inputs = std::make_unique<TByteDscrAssTab>();
    inputs->Table[1] = kAnalogIn;
    inputs->Table[2] = kDigitalIn;
    input->AssignTable = std::move(inputs);
    auto devIx = Field<TByteRecFieldDscr>("DevIx", 1, 3);
    devIx->Semantics = std::make_unique<TSemEvalColl>();
    devIx->Semantics->Insert(std::make_unique<TSemanticEvaluator>(kDevIxSem));

    auto outputs = Field<TEnumSetFieldDscr>("Outputs", 4, 0, kFldHex);
    outputs->DefaultSet[0] = 0x05;
    auto window = Limited<TSpecDWordLimRecFieldDscr>("Window", 4, 10, 3600);
    window->Kind = 3;
    auto threshold = Field<TRealpLimRecFieldDscr>("Threshold", kReal48Size, 10);
    threshold->Default = *DoubleToReal48(2.5);
    threshold->Min = *DoubleToReal48(0);
    threshold->Max = *DoubleToReal48(100);
    threshold->Decimals = 1;
    auto hysteresis = Limited<TSpecWordLimRecFieldDscr>("Hyst", 2, 5, 500);
    hysteresis->Kind = 3;
    hysteresis->Decimals = 2;
    auto fine = Limited<TSpecSmallIntLimRecFieldDscr>("Fine", 2, -500, 500);
    fine->Kind = 2;
    fine->Decimals = 2;
    auto peak = Limited<TSpecLIntLimRecFieldDscr>("Peak", 4, 0, 1000000);
    peak->Kind = 3;
    peak->Decimals = 3;
    auto paramStamp = Field<TDWordRecFieldDscr>("Since", 4, 20);
    paramStamp->Kind = 2;
    auto ratio = Field<TRealpRecFieldDscr>("Ratio", kReal48Size, 10);
    ratio->Decimals = 3;

    auto types = std::make_unique<TRecTypesDscrColl>();
    types->Insert(Type("Device", 0, Valued<TByteRecFieldDscr>("Node", 1, 1), std::move(mode),
                       Text("Name", 12, "unnamed"), std::move(channels), std::move(alarms), std::move(stamp),
                       std::move(label)));
    types->Insert(Type("Channel", 0, Valued<TWordRecFieldDscr>("Number", 2, 0),
                       Scaled<TSpecWordRecFieldDscr>("Gain", 2, 4, 3), std::move(offset),
                       Limited<TSmallIntLimRecFieldDscr>("Trim", 2, -100, 100), std::move(unit),
                       std::move(limits), std::move(input), std::move(devIx)));
    types->Insert(Type("Alarm", 1, Limited<TByteLimRecFieldDscr>("Level", 1, 1, 9),
                       Limited<TLIntLimRecFieldDscr>("Delay", 4, 0, 60000), std::move(outputs),
                       std::move(window), Field<TRecFieldTypeDscr>("Reserved", 2, 0, kFldHex),
                       std::move(threshold), Limited<TWordLimRecFieldDscr>("Count", 2, 0, 1000),
                       std::move(hysteresis)));
    types->Insert(Type("Limits", 0, Valued<TShortIntRecFieldDscr>("Low", 1, -20),
                       Limited<TShortIntLimRecFieldDscr>("High", 1, 80, 120),
                       Valued<TSmallIntRecFieldDscr>("Span", 2, 100),
                       Scaled<TSpecSmallIntRecFieldDscr>("Scale", 2, 1, 1), std::move(fine),
                       Valued<TIntegerRecFieldDscr>("Total", 4, 0), Valued<TLIntRecFieldDscr>("Sum", 4, 0),
                       Scaled<TSpecLIntRecFieldDscr>("Mean", 4, 2, 2), std::move(peak)));
    types->Insert(Type("AnalogIn", 0, Valued<TByteRecFieldDscr>("Sel", 1, 1),
                       Valued<TWordRecFieldDscr>("Range", 2, 10)));
    types->Insert(Type("DigitalIn", 0, Valued<TByteRecFieldDscr>("Sel", 1, 2),
                       Valued<TByteRecFieldDscr>("Debounce", 1, 20),
                       Valued<TByteRecFieldDscr>("Invert", 1, 0)));
    types->Insert(Type("Param", 0, Valued<TByteRecFieldDscr>("Step", 1, 0),
                       Valued<TWordRecFieldDscr>("Rate", 2, 0), Valued<TLIntRecFieldDscr>("Target", 4, 0),
                       Text("Label", 8, ""), std::move(ratio), std::move(paramStamp)));
    types->Insert(Type("Scaled", 0, Scaled<TSpecWordRecFieldDscr>("Gain", 2, 4, 2),
                       Scaled<TSpecSmallIntRecFieldDscr>("Bias", 2, 1, 1),
                       Scaled<TSpecLIntRecFieldDscr>("Total", 4, 0, 0),
                       Field<TRecFieldTypeDscr>("Code", 4, 0, kFldHex)));
    return types;
}

std::unique_ptr<TParRecTypesColl> ParRecTypes() {
    auto param = std::make_unique<TRecIniciatorColl>();
    param->Add<TByteElIniciatorObj>("step")->Value = 3;
    param->Add<TWordElIniciatorObj>("rate")->Value = 1200;
    param->Add<TIntegerElIniciatorObj>("target")->Value = -4000;
    auto* label = param->Add<TPStrElIniciatorObj>("label");
    label->Size = 8;
    label->Text = "ramp_1";
    label->IntChar = '_';
    label->ExtChar = ' ';
    param->Add<TRealpElIniciatorObj>("ratio")->Value = *DoubleToReal48(0.125);
    auto* since = param->Add<TDWordElIniciatorObj>("since");
    since->Mode = 2;
    since->Value = *PackTTCTime(TDTRec{2024, 2, 29, 13, 30, 0});

    auto scaled = std::make_unique<TRecIniciatorColl>();
    auto* gain = scaled->Add<TSpecWordElIniciatorObj>("gain");
    gain->Decimals = 3;
    gain->Value = 1234;
    auto* bias = scaled->Add<TSpecSmallIntElIniciatorObj>("bias");
    bias->Decimals = 1;
    bias->Value = -15;
    scaled->Add<TSpecLIntElIniciatorObj>("total")->Value = 70000;
    scaled->Add<THexBuffElIniciatorObj>("code")->Bytes = {0xCA, 0xFE, 0, 0};

    auto types = std::make_unique<TParRecTypesColl>();
    types->Insert(std::move(param));
    types->Insert(std::move(scaled));
    return types;
}

// Database descriptions whose default records are one hex buffer of the record's size.
std::unique_ptr<TDataBaseDscrColl> DataBaseDscrs(const TRecTypesDscrColl& types) {
    auto describe = [&types](std::string name, std::uint16_t dbTid, std::uint8_t flags, std::int16_t typeIx) {
        TDataBaseDscrArgs args;
        args.Name = std::move(name);
        args.DBTid = dbTid;
        args.DBFlags = flags;
        args.DscrLng = types.GetDscrRecTypeSize("", typeIx);
        args.DefaultDscrIx = typeIx;
        args.IniciatorColl = std::make_unique<TRecIniciatorColl>();
        args.IniciatorColl->Add<THexBuffElIniciatorObj>("record")->Bytes.resize(args.DscrLng);
        return args;
    };
    auto dscrs = std::make_unique<TDataBaseDscrColl>();
    dscrs->InsertDscr(describe("Devices", kDevicesTid, 1 << kDBFlagSubDBs | 1 << kDBFlagNetNodeDev, kDevice));
    TDataBaseDscrArgs channels = describe("Channels", kChannelsTid, 0, kChannel);
    channels.SemNos = {kDevIxSem};
    dscrs->InsertDscr(std::move(channels));
    TDataBaseDscrArgs alarms = describe("Alarms", kAlarmsTid, 1 << kDBFlagSubDBs, kAlarm);
    auto selectors = std::make_unique<TWordDscrAssTab>();
    selectors->PutTabItem(std::vector<std::uint8_t>{1, 0}, kAlarm);
    alarms.DscrIxAsTab = std::move(selectors);
    alarms.FilterValColl = std::make_unique<TDBFilterValColl>();
    alarms.FilterValColl->Insert(std::make_unique<TDBFilterValidator>());
    alarms.CaptionObj = std::make_unique<TDBCaptionObj>();
    dscrs->InsertDscr(std::move(alarms));
    return dscrs;
}

void InstallAppData() {
    auto appData = std::make_unique<TAppData>();
    appData->EnumTypesColl = std::make_unique<TEnumTypesColl>();
    appData->EnumTypesColl->SetCount(kModeEnum);
    auto mode = std::make_unique<TEnumTypeDefinition>();
    mode->SetTypeName("Mode");
    for (const char* text : {"off", "on", "auto"}) {
        mode->Strings.Add(text);
    }
    appData->EnumTypesColl->Insert(std::move(mode));
    auto semantics = std::make_unique<TSemManColl>();
    semantics->Insert(std::make_unique<TDevIxSetSem>());
    appData->SemManColl = std::move(semantics);
    appData->ParRecTypesColl = ParRecTypes();
    auto types = RecordTypes();
    TRecTypesDscrColl& installed = *types;
    appData->RecTypesDscrColl = std::move(types);
    AppExtension().AppData = std::move(appData);
    AppExtension().AppData->DataBaseDscrColl = DataBaseDscrs(installed);
}

// Puts value into field ix of the record.
template <class T>
void SetField(TDscrRecObj& record, std::int32_t ix, T value) {
    record.RecTypeDscr()->ForEachField(
        record.Data(), [&](std::int32_t i, const TRecFieldTypeDscr&, std::span<std::uint8_t> bytes) {
            if (i == ix) {
                if constexpr (std::is_integral_v<T>) {
                    PutLE(bytes, 0, value);
                } else {
                    PutShortString(bytes, value);
                }
            }
        });
}

template <class Record>
std::unique_ptr<Record> MakeRecord(std::int16_t typeIx) {
    auto record = std::make_unique<Record>();
    record->RunCreate(AppRecTypesDscrColl()->ItemAt(typeIx)->Name, typeIx);
    return record;
}

std::unique_ptr<TDataBase> Devices(std::uint8_t devIx) {
    auto devices = std::make_unique<TDataBase>(nullptr, kDevicesTid, devIx, kNetNode);
    devices->DBName = "Devices";
    const char* names[] = {"Pump", "Valve"};
    for (std::uint8_t i = 0; i < 2; ++i) {
        auto device = MakeRecord<TDBRecordObj>(kDevice);
        SetField(*device, 0, static_cast<std::uint8_t>(10 * devIx + i));
        SetField(*device, 1, static_cast<std::uint8_t>(i + 1));
        SetField(*device, 2, std::string(names[i]) + " " + std::to_string(devIx));
        SetField(*device, 5, *PackTTCTime(TDTRec{2023, 11, static_cast<std::uint16_t>(1 + i), 8, 15, 0}));
        device->RecKey = i;
        TDBRecordObj* added = device.get();
        devices->Insert(std::move(device));
        added->AddRefDBItems(*devices);
        TDataBase* channels = added->SubDBs->GetDBTidDataBase(kChannelsTid);
        channels->DBName = "Channels";
        added->SubDBs->GetDBTidDataBase(kAlarmsTid)->DBName = "Alarms";
        for (std::uint16_t k = 0; k < 2; ++k) {
            auto channel = MakeRecord<TDBRecordObj>(kChannel);
            SetField(*channel, 0, static_cast<std::uint16_t>(k + 1));
            SetField(*channel, 1, static_cast<std::uint16_t>(1500 + 250 * k));
            SetField(*channel, 6, static_cast<std::uint8_t>(k + 1));
            channels->Insert(std::move(channel));
        }
    }
    // The channels learn their device index.
    devices->SetNetNodeDev(kNetNode, devIx);
    devices->ClearModified();
    return devices;
}

std::unique_ptr<TParRecordObj> Parameter(std::uint16_t de, std::uint16_t la, std::int16_t typeIx,
                                         std::int32_t parTypeIx, std::string name, std::int32_t transmitted) {
    auto record = MakeRecord<TParRecordObj>(typeIx);
    record->RecDE = de;
    record->RecLA = la;
    record->ParRecTypeIx = parTypeIx;
    record->ParName = std::move(name);
    record->DTMRecSize = transmitted;
    record->ReDBInit();
    return record;
}

std::unique_ptr<TParRecData> Parameters() {
    auto data = std::make_unique<TParRecData>();
    auto ramps = std::make_unique<TParRecColl>();
    ramps->Insert(Parameter(0, 0, kParam, 0, "Ramp up", 25));
    auto down = Parameter(0, 1, kParam, 0, "Ramp down", 7);
    SetField(*down, 1, std::uint16_t{800});
    SetField(*down, 2, std::int32_t{-1});
    ramps->Insert(std::move(down));
    auto gains = std::make_unique<TParRecColl>();
    gains->Insert(Parameter(1, 0, kScaled, 1, "Gains", 12));
    data->Insert(std::move(ramps));
    data->Insert(std::move(gains));
    return data;
}

} // namespace

std::unique_ptr<TDBColl> BuildDemoRecords() {
    InstallAppData();
    AppExtension().ParRecData = Parameters();
    auto dataBases = std::make_unique<TDBColl>();
    dataBases->Insert(Devices(0));
    dataBases->Insert(Devices(1));
    return dataBases;
}

} // namespace ravlo::rectool
