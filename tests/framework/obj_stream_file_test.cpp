#include "framework/enum_types.h"
#include "framework/framework_classes.h"
#include "framework/obj_stream_file.h"
#include "framework/scan_collection.h"
#include "framework/sorted_collection.h"
#include "framework/stream_test_support.h"

#include <fstream>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bytes;
using test::Concat;
using test::TextBytes;

std::vector<std::uint8_t> Header(std::initializer_list<std::string_view> names) {
    std::vector<std::uint8_t> bytes = TextBytes("RBOS");
    const auto count = static_cast<std::uint32_t>(names.size());
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(count >> shift));
    }
    for (const std::string_view name : names) {
        bytes.push_back(static_cast<std::uint8_t>(name.size()));
        bytes.insert(bytes.end(), name.begin(), name.end());
    }
    return bytes;
}

void LoadOne(const std::vector<std::uint8_t>& bytes) {
    MemoryStream memory(bytes);
    LoadObjectStream(memory, [](TrbObjStream& stream) { stream.Get(); });
}

// A collection that uses every kind of field the framework streams.
std::unique_ptr<TrbCollection> SampleCollection() {
    auto collection = std::make_unique<TrbCollection>();
    collection->Insert(std::make_unique<TScanObject>(1, 2, nullptr, nullptr, "text"));
    auto definition = std::make_unique<TEnumTypeDefinition>();
    definition->SetTypeName("Mode");
    definition->Strings.Add("Off");
    definition->Strings.Transfer = std::make_unique<TEnumTransferObj>();
    collection->Insert(std::move(definition));
    auto sorted = std::make_unique<TrbSortedCollection>();
    sorted->Insert(std::make_unique<TScanObject>());
    collection->Insert(std::move(sorted));
    collection->Insert(nullptr);
    return collection;
}

std::vector<std::uint8_t> SavedSample() {
    const std::unique_ptr<TrbCollection> sample = SampleCollection();
    MemoryStream memory;
    SaveObjectStream(memory, [&](TrbObjStream& stream) { stream.Put(sample.get()); });
    return memory.Data();
}

class ObjStreamFileTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFrameworkClasses(); }
};

TEST_F(ObjStreamFileTest, StoredStreamBeginsWithItsClassTable) {
    const auto bytes = SavedSample();
    const auto header = Header({"TrbCollection", "TScanObject", "TEnumTypeDefinition", "TEnumTypeElObj",
                                "TEnumTransferObj", "TrbSortedCollection"});
    ASSERT_GT(bytes.size(), header.size());
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
    EXPECT_EQ(bytes[header.size()], 0x00); // the outer collection is type 0

    MemoryStream memory(bytes);
    std::unique_ptr<TrbCollection> loaded;
    LoadObjectStream(memory, [&](TrbObjStream& stream) { loaded = stream.GetAs<TrbCollection>(); });
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->Count(), 4);
    const auto* definition = dynamic_cast<TEnumTypeDefinition*>(loaded->At(1));
    ASSERT_NE(definition, nullptr);
    EXPECT_EQ(definition->TypeName, "Mode");
    EXPECT_EQ(definition->Strings.Get(0), "Off");
    EXPECT_NE(definition->Strings.Transfer, nullptr);
    EXPECT_EQ(loaded->At(3), nullptr);
}

TEST_F(ObjStreamFileTest, CorruptHeadersRaiseErbObjStream) {
    EXPECT_THROW(LoadOne(TextBytes("RB")), ErbObjStream);
    EXPECT_THROW(LoadOne(Concat({TextBytes("RBOX"), Bytes({0, 0, 0, 0, 0xFF, 0xFF})})), ErbObjStream);
    EXPECT_THROW(LoadOne(Concat({TextBytes("RBOS"), Bytes({0xFF, 0xFF, 0xFF, 0xFF})})), ErbObjStream);
    EXPECT_THROW(LoadOne(Concat({TextBytes("RBOS"), Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00})})),
                 ErbObjStream);
    // More classes than type numbers can address, each with an empty name.
    EXPECT_THROW(LoadOne(Concat({TextBytes("RBOS"), Bytes({0x00, 0x80, 0x00, 0x00}),
                                 std::vector<std::uint8_t>(0x8000, 0x00)})),
                 ErbObjStream);
    EXPECT_THROW(LoadOne(Concat({Header({"TNoSuchClass"}), Bytes({0x00, 0x00})})), ErbObjStream);
    // A class name longer than the stream.
    EXPECT_THROW(LoadOne(Concat({TextBytes("RBOS"), Bytes({0x01, 0x00, 0x00, 0x00, 0x20, 'T'})})),
                 ErbObjStream);
}

TEST_F(ObjStreamFileTest, CorruptObjectsRaiseErbObjStream) {
    const auto collection = Header({"TrbCollection"});
    EXPECT_THROW(LoadOne(Concat({collection, Bytes({0x01, 0x00})})), ErbObjStream); // no class 1
    EXPECT_THROW(LoadOne(Concat({collection, Bytes({0xFE, 0xFF})})), ErbObjStream); // type -2
    EXPECT_THROW(LoadOne(Concat({collection, Bytes({0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF})})), ErbObjStream);
    EXPECT_THROW(LoadOne(Concat({collection, Bytes({0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF})})),
                 ErbObjStream);
    // Three items announced, room for two nil references only.
    EXPECT_THROW(
        LoadOne(Concat({collection, Bytes({0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF})})),
        ErbObjStream);

    const auto scan = Header({"TScanObject"});
    const auto scanFields = Bytes({0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00});
    EXPECT_THROW(LoadOne(Concat({scan, scanFields, Bytes({0xFF, 0xFF, 0xFF, 0xFF})})), ErbObjStream);
    EXPECT_THROW(LoadOne(Concat({scan, scanFields, Bytes({0x10, 0x00, 0x00, 0x00, 'a'})})), ErbObjStream);
    EXPECT_NO_THROW(LoadOne(Concat({scan, scanFields, Bytes({0x01, 0x00, 0x00, 0x00, 'a'})})));
}

TEST_F(ObjStreamFileTest, EveryTruncationRaisesErbObjStream) {
    const auto bytes = SavedSample();
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_THROW(LoadOne({bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)}),
                     ErbObjStream);
    }
    EXPECT_NO_THROW(LoadOne(bytes));
}

TEST_F(ObjStreamFileTest, DeepNestingIsRefusedBeforeTheStackRunsOut) {
    std::vector<std::uint8_t> nested = Header({"TrbCollection"});
    for (int level = 0; level < 5000; ++level) {
        const auto oneLevel = Bytes({0x00, 0x00, 0x01, 0x00, 0x00, 0x00});
        nested.insert(nested.end(), oneLevel.begin(), oneLevel.end());
    }
    nested.push_back(0xFF);
    nested.push_back(0xFF);
    EXPECT_THROW(LoadOne(nested), ErbObjStream);

    std::vector<std::uint8_t> shallow = Header({"TrbCollection"});
    for (int level = 0; level < TrbObjStream::kMaxNesting; ++level) {
        const auto oneLevel = Bytes({0x00, 0x00, 0x01, 0x00, 0x00, 0x00});
        shallow.insert(shallow.end(), oneLevel.begin(), oneLevel.end());
    }
    shallow.push_back(0xFF);
    shallow.push_back(0xFF);
    EXPECT_NO_THROW(LoadOne(shallow));
}

TEST_F(ObjStreamFileTest, FileIsWrittenUnderATemporaryNameAndRenamed) {
    test::TempDir dir;
    const auto path = dir.Path() / "data.rbo";
    const std::unique_ptr<TrbCollection> sample = SampleCollection();
    SaveObjectFile(path, [&](TrbObjStream& stream) { stream.Put(sample.get()); });
    const auto saved = std::filesystem::file_size(path);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // A writer that fails leaves the earlier file as it was and no temporary file behind.
    EXPECT_THROW(SaveObjectFile(path,
                                [](TrbObjStream& stream) {
                                    stream.WriteU32(1);
                                    throw Exception("writer failed");
                                }),
                 Exception);
    EXPECT_EQ(std::filesystem::file_size(path), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    std::unique_ptr<TrbCollection> loaded;
    LoadObjectFile(path, [&](TrbObjStream& stream) { loaded = stream.GetAs<TrbCollection>(); });
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Count(), 4);

    EXPECT_THROW(LoadObjectFile(dir.Path() / "missing.rbo", [](TrbObjStream&) {}), EStreamError);
    EXPECT_THROW(SaveObjectFile(dir.Path() / "no" / "dir.rbo", [](TrbObjStream&) {}), EStreamError);
}

} // namespace
} // namespace ravlo
