#include "framework/enum_types.h"
#include "framework/framework_classes.h"
#include "framework/stream_test_support.h"
#include "framework/string_table.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bytes;
using test::TCountingObj;

class EnumTypesTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFrameworkClasses(); }
    void TearDown() override { EXPECT_EQ(TCountingObj::Live, 0); }
};

TEST_F(EnumTypesTest, ValueToTextFallsBackToHexAndATransferMapTranslatesValuesAndIndexes) {
    TEnumTypeDefStrings strings;
    strings.Add("ten");
    strings.Add("");
    strings.Add("unmapped");
    EXPECT_EQ(strings.ValueToText(0), "ten");
    EXPECT_EQ(strings.ValueToText(1), "$01");
    EXPECT_EQ(strings.ValueToText(200), "$C8");
    EXPECT_EQ(strings.Get(3), "");
    EXPECT_EQ(strings.Get(-1), "");
    strings.Put(1, "twenty");
    EXPECT_EQ(strings.ItemOfValue(2), 2);
    EXPECT_EQ(strings.ValueOfItem(2), 2);

    strings.Transfer = std::make_unique<TEnumTransferObj>();
    strings.Transfer->Map.fill(0xFF);
    strings.Transfer->Map[10] = 0;
    strings.Transfer->Map[20] = 1;
    strings.Transfer->Map[21] = 1;
    EXPECT_EQ(strings.ItemOfValue(20), 1);
    EXPECT_EQ(strings.ValueOfItem(1), 20);
    EXPECT_EQ(strings.ValueOfItem(0), 10);
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
    EXPECT_EQ(strings.GetCount(), 3);
    EXPECT_EQ(strings.Get(1), "b");
    strings.Put(2, "C");
    EXPECT_EQ(strings.Get(2), "C");

    strings.PutObject(0, std::make_unique<TCountingObj>(1));
    EXPECT_EQ(TCountingObj::Live, 1);
    strings.PutObject(0, std::make_unique<TCountingObj>(2));
    EXPECT_EQ(TCountingObj::Live, 1);
    EXPECT_EQ(static_cast<TCountingObj*>(strings.GetObject(0))->Value, 2);
    EXPECT_EQ(strings.GetObject(1), nullptr);
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
    EXPECT_EQ(TCountingObj::Live, 0);
}

TEST_F(EnumTypesTest, ShownTextPrefersTheStringTable) {
    TEnumTypeElObj element("own", 132);
    EXPECT_EQ(element.ShownText(), AppLoadStr(132));
    EXPECT_NE(element.ShownText(), "own");
    element.TextId = 30999;
    ASSERT_EQ(AppLoadStr(30999), kMissingStringText);
    EXPECT_EQ(element.ShownText(), "own");
    element.TextId = -1;
    EXPECT_EQ(element.ShownText(), "own");
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
    definition.Strings.Transfer->Map[3] = 0;
    definition.Strings.Transfer->Map[255] = 0x42;
    const auto mapped = test::WriteObjects([&](TrbObjStream& s) { s.Put(&definition); });
    ASSERT_EQ(mapped.bytes.size(), plain.bytes.size() + 256);
    EXPECT_EQ(mapped.bytes.back(), 0x42);

    const auto loaded = test::ReadObject<TEnumTypeDefinition>(mapped);
    EXPECT_EQ(loaded->TypeName, "On");
    EXPECT_EQ(loaded->Strings.Get(0), "x");
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

TEST_F(EnumTypesTest, TypesCollectionGivesStringsByIndex) {
    TEnumTypesColl types;
    auto definition = std::make_unique<TEnumTypeDefinition>();
    definition->Strings.Add("first");
    types.Insert(std::move(definition));
    types.Insert(nullptr);
    ASSERT_NE(types.GetStrings(0), nullptr);
    EXPECT_EQ(types.GetStrings(0)->Get(0), "first");
    EXPECT_EQ(types.GetStrings(1), nullptr);
    EXPECT_EQ(types.GetStrings(2), nullptr);
}

} // namespace
} // namespace ravlo
