#include "framework/app_data.h"
#include "shell/main_enum_types.h"

#include <gtest/gtest.h>
#include <vector>

namespace ravlo {
namespace {

TEST(MainEnumTypes, NineTypesInIndexOrder) {
    TAppData data;
    EXPECT_EQ(CreateMainEnumTypes(data), 0u);
    ASSERT_TRUE(data.EnumTypesColl);
    ASSERT_EQ(data.EnumTypesColl->Count(), 9);
    const std::vector<std::string> names{"ZacPamKodu", "BankHIGH", "BankLOW", "freq",    "MemType",
                                         "BankLOW",    "BankLOW",  "WSIOBUS", "EATIOBUS"};
    const std::vector<int> counts{5, 4, 4, 8, 4, 8, 32, 16, 4};
    for (int i = 0; i < 9; ++i) {
        const TEnumTypeDefinition* type = data.EnumTypesColl->ItemAt(i);
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->TypeName, names[i]) << i;
        EXPECT_EQ(type->Strings.GetCount(), counts[i]) << i;
    }
    const TEnumTypesColl& coll = *data.EnumTypesColl;
    EXPECT_EQ(coll.GetStrings(0)->Get(4), "$8000:0000");
    EXPECT_EQ(coll.GetStrings(2)->Get(1), "64 kB");
    EXPECT_EQ(coll.GetStrings(3)->Get(7), "212/276 nS");
    EXPECT_EQ(coll.GetStrings(5)->Get(7), "1024 kB");
    EXPECT_EQ(coll.GetStrings(6)->Get(0), "$00000");
    EXPECT_EQ(coll.GetStrings(6)->Get(1), "$08000");
    EXPECT_EQ(coll.GetStrings(6)->Get(31), "$F8000");
    EXPECT_EQ(coll.GetStrings(7)->Get(1), "2");
    EXPECT_EQ(coll.GetStrings(7)->Get(15), "30");
    EXPECT_EQ(coll.GetStrings(8)->Get(3), "3");
}

TEST(MainEnumTypes, AppendedAfterTypesThatAreThereAndFoundThroughTheExtension) {
    ResetAppExtension();
    AppExtension().AppData = std::make_unique<TAppData>();
    TAppData& data = *AppExtension().AppData;
    data.EnumTypesColl = std::make_unique<TEnumTypesColl>();
    data.EnumTypesColl->Insert(std::make_unique<TEnumTypeDefinition>());
    EXPECT_EQ(CreateMainEnumTypes(data), 1u);
    EXPECT_EQ(data.EnumTypesColl->Count(), 10);
    ASSERT_NE(AppExtension().GetEnumStrings(7), nullptr);
    EXPECT_EQ(AppExtension().GetEnumStrings(7)->Get(31), "$F8000");
    ResetAppExtension();
}

} // namespace
} // namespace ravlo
