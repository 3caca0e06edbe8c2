#include "framework/ctrl_validator.h"
#include "records/data_base.h"
#include "records/par_rec_data.h"
#include "records/record_container.h"
#include "records_test_support.h"
#include "rectool/demo_records.h"
#include "shell/main_enum_types.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

class RecordContainerTest : public test::RecordsTest {
protected:
    void SetUp() override {
        SaveRecordContainer(demo_, rectool::BuildDemoRecords().get());
        // The program holds its own enumerations, as the main form makes them.
        AppExtension().AppData = std::make_unique<TAppData>();
        CreateMainEnumTypes(*AppExtension().AppData);
    }

    MemoryStream demo_;
    test::AppErrorLog errors_;
};

TEST_F(RecordContainerTest, LoadingKeepsTheProgramsEnumerationsInTheirPlaces) {
    const TEnumTypeDefinition* own = AppExtension().AppData->EnumTypesColl->ItemAt(0);
    const std::unique_ptr<TDBColl> dataBases = LoadRecordContainer(demo_.Data());
    ASSERT_NE(dataBases, nullptr);
    EXPECT_EQ(dataBases->Count(), 2);
    EXPECT_EQ(AppExtension().AppData->EnumTypesColl->ItemAt(0), own);
    EXPECT_EQ(AppExtension().GetEnumStrings(kMainEnumTypeCount)->Get(1), "on");
    EXPECT_NE(AppParRecData(), nullptr);
    EXPECT_TRUE(errors_.lines.empty());

    // Saved from here, the container holds enumerations in the places of those in use, which win.
    MemoryStream taken;
    SaveRecordContainer(taken, dataBases.get());
    LoadRecordContainer(taken.Data());
    EXPECT_EQ(AppExtension().AppData->EnumTypesColl->ItemAt(0), own);
    ASSERT_EQ(errors_.lines.size(), kMainEnumTypeCount + 1);
    EXPECT_EQ(errors_.lines[0], "# Record container: enumeration 0 taken by the program's, not loaded");
}

TEST_F(RecordContainerTest, AFailedLoadLeavesTheDataInUse) {
    // A database of a type the container does not describe, a byte too many, a cut stream.
    const std::unique_ptr<TDBColl> dataBases = LoadRecordContainer(demo_.Data());
    EXPECT_THROW(TDataBase(nullptr, 99, 0, 0), ExcValidators);
    dataBases->ItemAt(0)->DB_TypeID = 99;
    MemoryStream unknownType;
    SaveRecordContainer(unknownType, dataBases.get());
    const TAppData* inUse = AppExtension().AppData.get();
    const TrbStreamable* parameters = AppExtension().ParRecData.get();
    EXPECT_THROW(LoadRecordContainer(unknownType.Data()), ExcValidators);
    std::vector<std::uint8_t> bytes = demo_.Data();
    bytes.push_back(0);
    EXPECT_THROW(LoadRecordContainer(bytes), ErbObjStream);
    bytes.resize(bytes.size() / 2);
    EXPECT_THROW(LoadRecordContainer(bytes), ErbObjStream);
    EXPECT_EQ(AppExtension().AppData.get(), inUse);
    EXPECT_EQ(AppExtension().ParRecData.get(), parameters);
}

} // namespace
} // namespace ravlo
