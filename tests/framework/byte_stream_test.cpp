#include "framework/byte_stream.h"
#include "framework/stream_test_support.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using test::Bytes;

TEST(ByteStreamTest, MemoryStreamMovesExactCountsOrRaises) {
    MemoryStream memory;
    memory.WriteBuffer(Bytes({1, 2, 3}));
    memory.Seek(5);
    memory.WriteBuffer(Bytes({9}));
    EXPECT_EQ(memory.Data(), Bytes({1, 2, 3, 0, 0, 9}));

    memory.Seek(1);
    EXPECT_EQ(memory.Remaining(), 5u);
    std::vector<std::uint8_t> two(2);
    memory.ReadBuffer(two);
    EXPECT_EQ(two, Bytes({2, 3}));
    std::vector<std::uint8_t> five(5);
    EXPECT_THROW(memory.ReadBuffer(five), EStreamError);
    memory.Seek(10);
    EXPECT_EQ(memory.Remaining(), 0u);
    EXPECT_EQ(memory.Read(two), 0u);
}

TEST(ByteStreamTest, FileStreamRoundTripAndFailures) {
    test::TempDir dir;
    const auto path = dir.Path() / "bytes.bin";
    {
        FileStream file(path, FileStream::OpenMode::Create);
        file.WriteBuffer(Bytes({0x10, 0x20, 0x30, 0x40}));
        EXPECT_EQ(file.Size(), 4u);
        std::vector<std::uint8_t> one(1);
        EXPECT_THROW(file.ReadBuffer(one), EStreamError);
        file.Close();
        EXPECT_NO_THROW(file.Close());
    }
    FileStream file(path, FileStream::OpenMode::Read);
    EXPECT_EQ(file.Size(), 4u);
    file.Seek(1);
    std::vector<std::uint8_t> two(2);
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
