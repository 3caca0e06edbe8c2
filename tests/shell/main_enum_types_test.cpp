#include "framework/app_data.h"
#include "shell/main_enum_types.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

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
