#include "framework/app_data.h"
#include "framework/framework_classes.h"
#include "framework/obj_stream_file.h"
#include "framework/stream_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

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

TEST_F(AppDataTest, EmptyDataIsFiveNilReferencesAndFullDataRoundTripsThroughAFile) {
    TAppData empty;
    const auto written = test::WriteObjects([&](TrbObjStream& s) { empty.SaveToStream(s); });
    EXPECT_EQ(written.bytes, std::vector<std::uint8_t>(10, 0xFF));

    test::TempDir dir;
    const auto path = dir.Path() / "app.dat";
    SampleAppData()->SaveToFile(path);

    EXPECT_EQ(dir.Text("app.dat").substr(0, 4), "RBOS");

    TAppData loaded;
    loaded.LoadFromFile(path);
    ASSERT_NE(loaded.EnumTypesColl, nullptr);
    EXPECT_EQ(loaded.EnumTypesColl->ItemAt(1)->TypeName, "Speed");
    EXPECT_EQ(loaded.EnumTypesColl->GetStrings(1)->Get(1), "Speed 1");
    EXPECT_EQ(loaded.RecTypesDscrColl, nullptr);
    EXPECT_EQ(loaded.DataBaseDscrColl, nullptr);
    EXPECT_EQ(loaded.SemManColl, nullptr);
    ASSERT_NE(loaded.ParRecTypesColl, nullptr);
    EXPECT_EQ(loaded.ParRecTypesColl->ClassName(), "TParRecTypesColl");
}

TEST_F(AppDataTest, ObjectOfAnotherClassRaisesInvalidCastAndKeepsTheData) {
    TAppData loaded;
    loaded.EnumTypesColl = std::make_unique<TEnumTypesColl>();
    const TEnumTypesColl* before = loaded.EnumTypesColl.get();

    // A plain collection where the record types belong.
    TrbCollection wrong;
    MemoryStream memory;
    SaveObjectStream(memory, [&](TrbObjStream& s) {
        s.Put(nullptr);
        s.Put(&wrong);
        s.Put(nullptr);
        s.Put(nullptr);
        s.Put(nullptr);
    });
    memory.Seek(0);
    EXPECT_THROW(LoadObjectStream(memory, [&](TrbObjStream& s) { loaded.LoadFromStream(s); }), EInvalidCast);
    EXPECT_EQ(loaded.EnumTypesColl.get(), before);

    // A class of the right name in the wrong place is refused as well.
    TParRecTypesColl misplaced;
    MemoryStream second;
    SaveObjectStream(second, [&](TrbObjStream& s) { s.Put(&misplaced); });
    second.Seek(0);
    EXPECT_THROW(LoadObjectStream(second, [&](TrbObjStream& s) { loaded.LoadFromStream(s); }), EInvalidCast);
}

TEST_F(AppDataTest, EveryTruncationOfAStoredAppDataRaisesErbObjStream) {
    const std::unique_ptr<TAppData> data = SampleAppData();
    MemoryStream full;
    SaveObjectStream(full, [&](TrbObjStream& s) { data->SaveToStream(s); });
    for (std::size_t length = 0; length < full.Data().size(); ++length) {
        SCOPED_TRACE(length);
        MemoryStream cut(std::vector<std::uint8_t>(
            full.Data().begin(), full.Data().begin() + static_cast<std::ptrdiff_t>(length)));
        TAppData loaded;
        EXPECT_THROW(LoadObjectStream(cut, [&](TrbObjStream& s) { loaded.LoadFromStream(s); }), ErbObjStream);
        EXPECT_EQ(loaded.EnumTypesColl, nullptr);
    }
}

TEST_F(AppDataTest, ExtensionAccessorsAnswerNilForMissingLinks) {
    TAppExtension& extension = AppExtension();
    EXPECT_EQ(extension.ResLib, 0);
    EXPECT_EQ(extension.GetEnumStrings(0), nullptr);
    EXPECT_EQ(extension.GetRecTypesDscrColl(), nullptr);
    EXPECT_EQ(extension.GetDataBaseDscrObj(0), nullptr);
    EXPECT_EQ(extension.GetParRecTypesColl(), nullptr);
    EXPECT_EQ(extension.GetParRecType(0), nullptr);

    extension.AppData = std::make_unique<TAppData>();
    EXPECT_EQ(extension.GetEnumStrings(0), nullptr);
    EXPECT_EQ(extension.GetParRecType(0), nullptr);

    extension.AppData = SampleAppData();
    ASSERT_NE(extension.GetEnumStrings(1), nullptr);
    EXPECT_EQ(extension.GetEnumStrings(1)->Get(0), "Speed 0");
    EXPECT_EQ(extension.GetEnumStrings(2), nullptr);
    EXPECT_EQ(extension.GetEnumStrings(-1), nullptr);
    ASSERT_NE(extension.GetParRecType(0), nullptr);
    EXPECT_EQ(extension.GetParRecType(0)->ClassName(), "TEnumTypeElObj");
    EXPECT_EQ(extension.GetParRecType(1), nullptr);
    EXPECT_EQ(extension.GetDataBaseDscrObj(0), nullptr);

    ResetAppExtension();
    EXPECT_EQ(AppExtension().AppData, nullptr);
    EXPECT_EQ(&AppExtension(), &extension);
}

} // namespace
} // namespace ravlo
