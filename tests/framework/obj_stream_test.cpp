#include "framework/byte_stream.h"
#include "framework/enum_types.h"
#include "framework/framework_classes.h"
#include "framework/obj_stream.h"
#include "framework/scan_collection.h"
#include "framework/stream_test_support.h"
#include "platform/exception.h"

#include <gmock/gmock.h>

namespace ravlo {
namespace {

using test::Bytes;
using test::WriteObjects;
using Names = std::vector<std::string>;

class ObjStreamTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterFrameworkClasses(); }
};

TEST_F(ObjStreamTest, CollectionBytesCarryCountTypeNumbersAndNilSlots) {
    TrbCollection collection;
    collection.Insert(std::make_unique<TEnumTypeElObj>("A", 5));
    collection.Insert(nullptr);
    collection.Insert(std::make_unique<TEnumTypeElObj>("BC"));
    const auto written = WriteObjects([&](TrbObjStream& s) { s.Put(&collection); });
    EXPECT_EQ(written.bytes, Bytes({0x00, 0x00, 0x03, 0x00, 0x00, 0x00,          // TrbCollection, count 3
                                    0x01, 0x00, 0x01, 'A',  0x05, 0x00,          // element "A", id 5
                                    0xFF, 0xFF,                                  // nil slot
                                    0x01, 0x00, 0x02, 'B',  'C',  0xFF, 0xFF})); // element "BC", no id
    EXPECT_EQ(written.classNames, (Names{"TrbCollection", "TEnumTypeElObj"}));
    const auto loaded = test::ReadObject<TrbCollection>(written);
    ASSERT_EQ(loaded->Count(), 3);
    EXPECT_EQ(loaded->At(1), nullptr);
    EXPECT_EQ(dynamic_cast<TEnumTypeElObj&>(*loaded->At(2)).Text, "BC");
    // Type numbers count per class, from 0 in every stream, in the order the classes come.
    TScanObject a;
    TScanObject b;
    const auto numbers = WriteObjects([&](TrbObjStream& s) {
        EXPECT_EQ(s.TypeNo(a), 0);
        EXPECT_EQ(s.TypeNo(b), 0);
        EXPECT_EQ(s.TypeNo(collection), 1);
    });
    EXPECT_EQ(numbers.classNames, (Names{"TScanObject", "TrbCollection"}));
    EXPECT_EQ(WriteObjects([&](TrbObjStream& s) { s.Put(nullptr); }).bytes, Bytes({0xFF, 0xFF}));
    EXPECT_EQ(test::ReadObject<TrbStreamable>(Bytes({0xFF, 0xFF}), {}), nullptr);
}

TEST_F(ObjStreamTest, TextsAndIntegersHaveTheirFixedLayout) {
    const auto written = WriteObjects([&](TrbObjStream& s) {
        s.WriteU32(0x12345678);
        s.WriteI16(-2);
        s.WriteStr("ab");
        s.StrWrite(std::string_view("cd\0ef", 5));
        s.StrWrite("");
        s.WriteStr(std::string(300, 'x'));
    });
    const auto expectedHead = Bytes({0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0x02, 'a',  'b',  0x02,
                                     0x00, 0x00, 0x00, 'c',  'd',  0x00, 0x00, 0x00, 0x00, 0xFF});
    ASSERT_EQ(written.bytes.size(), expectedHead.size() + 255);
    EXPECT_TRUE(std::equal(expectedHead.begin(), expectedHead.end(), written.bytes.begin()));
    MemoryStream memory(written.bytes);
    TrbObjStream reader(memory, ObjStreamMode::Reading);
    EXPECT_EQ(reader.ReadU32(), 0x12345678u);
    EXPECT_EQ(reader.ReadI16(), -2);
    EXPECT_EQ(reader.ReadStr(), "ab");
    EXPECT_EQ(reader.StrReadOpt(), "cd");
    EXPECT_EQ(reader.StrReadOpt(), std::nullopt);
    EXPECT_EQ(reader.ReadStr(), std::string(255, 'x'));
}

TEST_F(ObjStreamTest, WrongModeRaisesAndMovesNothing) {
    MemoryStream memory(Bytes({0x00, 0x00}));
    TrbObjStream reader(memory, ObjStreamMode::Reading, Names{"TScanObject"});
    TScanObject obj;
    EXPECT_THAT([&] { reader.Put(&obj); },
                ::testing::ThrowsMessage<ErbObjStreamWrongMode>("RBStream Mode Err"));
    EXPECT_EQ(memory.Data(), Bytes({0x00, 0x00}));
    MemoryStream empty;
    TrbObjStream writer(empty, ObjStreamMode::Writing);
    EXPECT_THROW(writer.Get(), ErbObjStreamWrongMode);
    EXPECT_THROW(writer.ReadU8(), ErbObjStreamWrongMode);
    EXPECT_EQ(empty.Size(), 0u);
}

TEST_F(ObjStreamTest, GetIntoExistingAssignsAndKeepsTheTargetANilLeavesItUntouched) {
    TScanObject source(3, 0xFFFFFFFF, nullptr, nullptr, "src");
    const auto written = WriteObjects([&](TrbObjStream& s) {
        s.Put(&source);
        s.Put(nullptr);
        s.Put(&source);
    });
    MemoryStream memory(written.bytes);
    TrbObjStream reader(memory, ObjStreamMode::Reading, written.classNames);
    int marker = 0;
    TScanObject target(0, 0, &marker, nullptr, std::nullopt);
    EXPECT_EQ(reader.Get(target), &target);
    EXPECT_EQ(std::tuple(target.W, target.L, target.Text), std::tuple(3, 0xFFFFFFFFu, "src"));
    EXPECT_EQ(target.Ref1, nullptr); // the assigned object was loaded, which clears references
    EXPECT_EQ(reader.Get(target), nullptr);
    EXPECT_EQ(target.Text, "src");
    TEnumTransferObj other; // a class that cannot take the loaded one refuses it
    EXPECT_THROW(reader.Get(other), EConvertError);
}

TEST_F(ObjStreamTest, RegistryIsIdempotentAndRefusesASecondClassUnderOneName) {
    EXPECT_NO_THROW(RegisterFrameworkClasses());
    EXPECT_EQ(FindStreamClass("TNoSuchClass"), nullptr);
    const StreamFactory other = []() -> std::unique_ptr<TrbStreamable> {
        return std::make_unique<TScanObject>();
    };
    EXPECT_THROW(RegisterStreamClass("TrbCollection", other), Exception);
    EXPECT_EQ(FindStreamClass("TrbCollection")()->ClassName(), "TrbCollection");
}

TEST(ByteStreamTest, MemoryAndFileStreamsMoveExactCountsOrRaise) {
    MemoryStream memory;
    memory.WriteBuffer(Bytes({1, 2, 3}));
    memory.Seek(5);
    memory.WriteBuffer(Bytes({9}));
    EXPECT_EQ(memory.Data(), Bytes({1, 2, 3, 0, 0, 9}));
    memory.Seek(1);
    std::vector<std::uint8_t> two(2);
    memory.ReadBuffer(two);
    EXPECT_EQ(two, Bytes({2, 3}));
    std::vector<std::uint8_t> five(5);
    EXPECT_THROW(memory.ReadBuffer(five), EStreamError);
    memory.Seek(10);
    EXPECT_EQ(memory.Read(two), 0u);
    test::TempDir dir;
    const auto path = dir.Path() / "bytes.bin";
    {
        FileStream file(path, FileStream::OpenMode::Create);
        file.WriteBuffer(Bytes({0x10, 0x20, 0x30, 0x40}));
        EXPECT_THROW(file.ReadBuffer(two), EStreamError);
        file.Close();
        EXPECT_NO_THROW(file.Close());
    }
    FileStream file(path, FileStream::OpenMode::Read);
    EXPECT_EQ(file.Size(), 4u);
    file.Seek(1);
    file.ReadBuffer(two);
    EXPECT_EQ(two, Bytes({0x20, 0x30}));
    EXPECT_EQ(file.Remaining(), 1u);
    EXPECT_THROW(file.ReadBuffer(two), EStreamError);
    EXPECT_THROW(file.WriteBuffer(two), EStreamError);
    EXPECT_THROW(FileStream(dir.Path() / "absent.bin", FileStream::OpenMode::Read), EStreamError);
    EXPECT_THROW(FileStream(dir.Path(), FileStream::OpenMode::Read), EStreamError);
}

} // namespace
} // namespace ravlo
