#include "framework/app_data.h"
#include "framework/enum_types.h"
#include "framework/framework_classes.h"
#include "framework/obj_stream_file.h"
#include "framework/stream_test_support.h"
#include "framework/string_table.h"

#include <array>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bytes;
using test::TCountingObj;

// Stands in for the record description collection, which is known here only by its class name.
class TParRecTypesColl : public TrbCollection {
public:
    static constexpr std::string_view kClassName = "TParRecTypesColl";
    std::string_view ClassName() const override { return kClassName; }
};

std::unique_ptr<TAppData> SampleAppData() {
    auto data = std::make_unique<TAppData>();
    data->EnumTypesColl = std::make_unique<TEnumTypesColl>();
    for (const char* name : {"Mode", "Speed"}) {
        auto definition = std::make_unique<TEnumTypeDefinition>();
        definition->SetTypeName(name);
        definition->Strings.Add(std::string(name) + " 0");
        definition->Strings.Add(std::string(name) + " 1");
        data->EnumTypesColl->Insert(std::move(definition));
    }
    auto parRecTypes = std::make_unique<TParRecTypesColl>();
    parRecTypes->Insert(std::make_unique<TEnumTypeElObj>("record"));
    data->ParRecTypesColl = std::move(parRecTypes);
    return data;
}

class AppDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFrameworkClasses();
        RegisterStreamClass<TParRecTypesColl>();
        ResetAppExtension();
    }
    void TearDown() override { ResetAppExtension(); }
};

void Load(TAppData& data, std::vector<std::uint8_t> bytes) {
    MemoryStream memory(std::move(bytes));
    LoadObjectStream(memory, [&](TrbObjStream& s) { data.LoadFromStream(s); });
}

std::vector<std::uint8_t> Stored(const std::function<void(TrbObjStream&)>& write) {
    MemoryStream memory;
    SaveObjectStream(memory, write);
    return memory.Data();
}

TEST_F(AppDataTest, EmptyDataIsFiveNilReferencesAndFullDataRoundTripsThroughAFile) {
    TAppData empty;
    EXPECT_EQ(test::WriteObjects([&](TrbObjStream& s) { empty.SaveToStream(s); }).bytes,
              std::vector<std::uint8_t>(10, 0xFF));
    test::TempDir dir;
    SampleAppData()->SaveToFile(dir / "app.dat");
    EXPECT_EQ(dir.Text("app.dat").substr(0, 4), "RBOS");
    TAppData loaded;
    loaded.LoadFromFile(dir / "app.dat");
    ASSERT_NE(loaded.EnumTypesColl, nullptr);
    EXPECT_EQ(loaded.EnumTypesColl->ItemAt(1)->TypeName, "Speed");
    EXPECT_TRUE(!loaded.RecTypesDscrColl && !loaded.DataBaseDscrColl && !loaded.SemManColl);
    EXPECT_EQ(loaded.ParRecTypesColl->ClassName(), "TParRecTypesColl");
}

TEST_F(AppDataTest, AWrongClassOrATruncationRaisesAndKeepsTheData) {
    TAppData loaded;
    loaded.EnumTypesColl = std::make_unique<TEnumTypesColl>();
    const TEnumTypesColl* before = loaded.EnumTypesColl.get();
    // A plain collection where the record types belong, and the right class in the wrong place.
    TrbCollection wrong;
    EXPECT_THROW(Load(loaded, Stored([&](TrbObjStream& s) {
                          for (const TrbStreamable* object : std::array<const TrbStreamable*, 5>{
                                   nullptr, &wrong, nullptr, nullptr, nullptr}) {
                              s.Put(object);
                          }
                      })),
                 EInvalidCast);
    TParRecTypesColl misplaced;
    EXPECT_THROW(Load(loaded, Stored([&](TrbObjStream& s) { s.Put(&misplaced); })), EInvalidCast);
    EXPECT_EQ(loaded.EnumTypesColl.get(), before);
    const std::unique_ptr<TAppData> data = SampleAppData();
    const auto full = Stored([&](TrbObjStream& s) { data->SaveToStream(s); });
    EXPECT_THROW(Load(loaded, {full.begin(), full.end() - 3}), ErbObjStream); // every cut: ObjStreamFileTest
    EXPECT_EQ(loaded.EnumTypesColl.get(), before);
}

TEST_F(AppDataTest, ExtensionAccessorsAnswerNilForMissingLinks) {
    TAppExtension& extension = AppExtension();
    EXPECT_EQ(extension.GetEnumStrings(0), nullptr);
    EXPECT_EQ(extension.GetRecTypesDscrColl(), nullptr);
    EXPECT_EQ(extension.GetParRecType(0), nullptr);
    extension.AppData = std::make_unique<TAppData>();
    EXPECT_EQ(extension.GetEnumStrings(0), nullptr);
    EXPECT_EQ(extension.GetParRecType(0), nullptr);
    extension.AppData = SampleAppData();
    extension.AppData->EnumTypesColl->Insert(nullptr);
    EXPECT_EQ(extension.GetEnumStrings(1)->Get(0), "Speed 0");
    for (const int index : {2, 3, -1}) {
        EXPECT_EQ(extension.GetEnumStrings(index), nullptr) << index;
    }
    EXPECT_EQ(extension.GetParRecType(0)->ClassName(), "TEnumTypeElObj");
    EXPECT_EQ(extension.GetParRecType(1), nullptr);
    EXPECT_EQ(extension.GetDataBaseDscrObj(0), nullptr);
    ResetAppExtension();
    EXPECT_EQ(AppExtension().AppData, nullptr);
}

class EnumTypesTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFrameworkClasses(); }
    void TearDown() override { EXPECT_EQ(TCountingObj::Live, 0); }
};

TEST_F(EnumTypesTest, ValueToTextFallsBackToHexAndATransferMapTranslatesValuesAndIndexes) {
    TEnumTypeDefStrings strings;
    for (const char* text : {"ten", "", "unmapped"}) {
        strings.Add(text);
    }
    EXPECT_EQ(strings.ValueToText(0), "ten");
    EXPECT_EQ(strings.ValueToText(1), "$01"); // an empty entry shows the value
    EXPECT_EQ(strings.ValueToText(200), "$C8");
    EXPECT_EQ(strings.Get(3), "");
    EXPECT_EQ(strings.ItemOfValue(2), 2);
    strings.Transfer = std::make_unique<TEnumTransferObj>();
    strings.Transfer->Map.fill(0xFF);
    strings.Transfer->Map[10] = 0;
    strings.Transfer->Map[20] = 1;
    strings.Transfer->Map[21] = 1;
    EXPECT_EQ(strings.ItemOfValue(20), 1);
    EXPECT_EQ(strings.ValueOfItem(1), 20); // the first value that maps to the item
    EXPECT_EQ(strings.ValueOfItem(2), 0);
    EXPECT_EQ(strings.ValueToText(10), "ten");
    EXPECT_EQ(strings.ValueToText(30), "$1E");
    EXPECT_EQ(strings.ItemOfValue(256), -1);
    EXPECT_EQ(strings.ValueToText(256), "$100");
}

TEST_F(EnumTypesTest, StringListOperationsOwnEntriesAndObjects) {
    TEnumTypeDefStrings strings;
    strings.Add("a");
    strings.Add("c");
    strings.Insert(1, "b");
    strings.Put(2, "C");
    EXPECT_EQ(strings.Get(1) + strings.Get(2), "bC");
    strings.PutObject(0, std::make_unique<TCountingObj>(1));
    strings.PutObject(0, std::make_unique<TCountingObj>(2)); // frees the one it replaces
    EXPECT_EQ(TCountingObj::Live, 1);
    EXPECT_EQ(static_cast<TCountingObj*>(strings.GetObject(0))->Value, 2);
    EXPECT_EQ(strings.GetObject(9), nullptr);
    strings.Delete(0);
    EXPECT_EQ(TCountingObj::Live, 0);
    EXPECT_EQ(strings.Get(0), "b");
    EXPECT_THROW(strings.Put(5, "x"), ERangeError);
    EXPECT_THROW(strings.PutObject(-1, nullptr), ERangeError);
    EXPECT_THROW(strings.Insert(4, "x"), ERangeError);
    EXPECT_THROW(strings.Delete(2), ERangeError);
    strings.PutObject(1, std::make_unique<TCountingObj>(3));
    strings.Clear();
    EXPECT_EQ(strings.GetCount(), 0);
}

TEST_F(EnumTypesTest, ShownTextPrefersTheStringTable) {
    EXPECT_EQ(TEnumTypeElObj("own", 132).ShownText(), AppLoadStr(132));
    EXPECT_EQ(TEnumTypeElObj("own", 30999).ShownText(), "own"); // an id without a text
    EXPECT_EQ(TEnumTypeElObj("own", -1).ShownText(), "own");
}

TEST_F(EnumTypesTest, DefinitionStreamsNameElementsAndTransfer) {
    TEnumTypeDefinition definition;
    definition.SetTypeName("On");
    definition.Strings.Add("x");
    const auto plain = test::WriteObjects([&](TrbObjStream& s) { s.Put(&definition); });
    EXPECT_EQ(plain.bytes, Bytes({0x00, 0x00, 0x02, 'O', 'n',         // definition, its name
                                  0x01, 0x00, 0x01, 0x00, 0x00, 0x00, // TrbCollection, count 1
                                  0x02, 0x00, 0x01, 'x', 0xFF, 0xFF,  // element "x", no id
                                  0xFF, 0xFF}));                      // no Transfer
    definition.Strings.Transfer = std::make_unique<TEnumTransferObj>();
    definition.Strings.Transfer->Map[255] = 0x42;
    const auto mapped = test::WriteObjects([&](TrbObjStream& s) { s.Put(&definition); });
    EXPECT_EQ(mapped.bytes.size(), plain.bytes.size() + 256);
    const auto loaded = test::ReadObject<TEnumTypeDefinition>(mapped);
    EXPECT_EQ(loaded->TypeName + loaded->Strings.Get(0), "Onx");
    ASSERT_NE(loaded->Strings.Transfer, nullptr);
    EXPECT_EQ(loaded->Strings.ItemOfValue(255), 0x42);
}

TEST_F(EnumTypesTest, DefinitionRefusesElementsOfAnotherClass) {
    RegisterStreamClass<TCountingObj>();
    TrbCollection wrongElements;
    wrongElements.Insert(std::make_unique<TCountingObj>(1));
    const auto written = test::WriteObjects([&](TrbObjStream& s) {
        s.WriteI16(s.TypeNo(TEnumTypeDefinition()));
        s.WriteStr("T");
        s.Put(&wrongElements);
        s.Put(nullptr);
    });
    EXPECT_THROW(test::ReadObject<TrbStreamable>(written), EInvalidCast);
}

} // namespace
} // namespace ravlo
