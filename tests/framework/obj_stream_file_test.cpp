#include "framework/enum_types.h"
#include "framework/framework_classes.h"
#include "framework/obj_stream_file.h"
#include "framework/scan_collection.h"
#include "framework/sorted_collection.h"
#include "framework/stream_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bytes;
using test::Concat;
using test::TextBytes;

// The stored header: signature, class count and the class names.
std::vector<std::uint8_t> Header(std::initializer_list<std::string_view> names) {
    std::vector<std::uint8_t> bytes =
        Concat({TextBytes("RBOS"), Bytes({static_cast<int>(names.size()), 0, 0, 0})});
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

// Nested collections of one item each, level deep, around a nil reference.
std::vector<std::uint8_t> Nested(int levels) {
    std::vector<std::uint8_t> bytes = Header({"TrbCollection"});
    for (int level = 0; level < levels; ++level) {
        bytes = Concat({bytes, Bytes({0x00, 0x00, 0x01, 0x00, 0x00, 0x00})});
    }
    return Concat({bytes, Bytes({0xFF, 0xFF})});
}

class ObjStreamFileTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFrameworkClasses(); }
};

TEST_F(ObjStreamFileTest, StoredStreamBeginsWithItsClassTableAndEveryTruncationRaises) {
    const std::unique_ptr<TrbCollection> sample = SampleCollection();
    MemoryStream saved;
    SaveObjectStream(saved, [&](TrbObjStream& stream) { stream.Put(sample.get()); });
    const auto bytes = saved.Data();
    const auto header = Header({"TrbCollection", "TScanObject", "TEnumTypeDefinition", "TEnumTypeElObj",
                                "TEnumTransferObj", "TrbSortedCollection"});
    ASSERT_GT(bytes.size(), header.size());
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
    EXPECT_EQ(bytes[header.size()], 0x00); // the outer collection is type 0
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_THROW(LoadOne({bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)}),
                     ErbObjStream)
            << length;
    }
}

TEST_F(ObjStreamFileTest, CorruptHeadersAndObjectsRaiseErbObjStream) {
    const auto collection = Header({"TrbCollection"});
    const auto scan =
        Concat({Header({"TScanObject"}), Bytes({0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00})});
    const std::vector<std::uint8_t> corrupt[] = {
        TextBytes("RB"),
        Concat({TextBytes("RBOX"), Bytes({0, 0, 0, 0, 0xFF, 0xFF})}),
        Concat({TextBytes("RBOS"), Bytes({0xFF, 0xFF, 0xFF, 0xFF})}),
        Concat({TextBytes("RBOS"), Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00})}),
        // More classes than type numbers can address, each with an empty name.
        Concat({TextBytes("RBOS"), Bytes({0x00, 0x80, 0x00, 0x00}), std::vector<std::uint8_t>(0x8000, 0x00)}),
        Concat({Header({"TNoSuchClass"}), Bytes({0x00, 0x00})}),
        Concat(
            {TextBytes("RBOS"), Bytes({0x01, 0x00, 0x00, 0x00, 0x20, 'T'})}), // a name longer than the stream
        Concat({collection, Bytes({0x01, 0x00})}),                            // no class 1
        Concat({collection, Bytes({0xFE, 0xFF})}),                            // type -2
        Concat({collection, Bytes({0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF})}),
        Concat({collection, Bytes({0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF})}),
        // Three items announced, room for two nil references only.
        Concat({collection, Bytes({0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF})}),
        Concat({scan, Bytes({0xFF, 0xFF, 0xFF, 0xFF})}),
        Concat({scan, Bytes({0x10, 0x00, 0x00, 0x00, 'a'})}),
    };
    for (std::size_t i = 0; i < std::size(corrupt); ++i) {
        EXPECT_THROW(LoadOne(corrupt[i]), ErbObjStream) << "case " << i;
    }
    EXPECT_NO_THROW(LoadOne(Concat({scan, Bytes({0x01, 0x00, 0x00, 0x00, 'a'})})));
    // Deep nesting is refused before the stack runs out.
    EXPECT_THROW(LoadOne(Nested(5000)), ErbObjStream);
    EXPECT_NO_THROW(LoadOne(Nested(TrbObjStream::kMaxNesting)));
}

TEST_F(ObjStreamFileTest, FileIsWrittenUnderATemporaryNameAndRenamed) {
    test::TempDir dir;
    const auto path = dir.Path() / "data.rbo";
    const std::unique_ptr<TrbCollection> sample = SampleCollection();
    SaveObjectFile(path, [&](TrbObjStream& stream) { stream.Put(sample.get()); });
    const auto saved = std::filesystem::file_size(path);
    // A writer that fails leaves the earlier file as it was and no temporary file behind.
    EXPECT_THROW(SaveObjectFile(path,
                                [](TrbObjStream& stream) {
                                    stream.WriteU32(1);
                                    throw Exception("writer failed");
                                }),
                 Exception);
    EXPECT_EQ(std::filesystem::file_size(path), saved);
    EXPECT_EQ(dir.Listing(), "data.rbo");
    std::unique_ptr<TrbCollection> loaded;
    LoadObjectFile(path, [&](TrbObjStream& stream) { loaded = stream.GetAs<TrbCollection>(); });
    ASSERT_EQ(loaded->Count(), 4); // what each class loads: ObjStreamTest, EnumTypesTest
    EXPECT_EQ(dynamic_cast<TEnumTypeDefinition&>(*loaded->At(1)).Strings.Get(0), "Off");
    EXPECT_THROW(LoadObjectFile(dir.Path() / "missing.rbo", [](TrbObjStream&) {}), EStreamError);
    EXPECT_THROW(SaveObjectFile(dir.Path() / "no" / "dir.rbo", [](TrbObjStream&) {}), EStreamError);
}

} // namespace
} // namespace ravlo
