#include "framework/mem_block.h"
#include "platform/exception.h"

#include <gmock/gmock.h>
#include <numeric>
#include <vector>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sequence(std::size_t count, std::uint8_t first = 0) {
    Bytes data(count);
    std::iota(data.begin(), data.end(), first);
    return data;
}

Bytes Contents(const TMem& block) {
    const auto span = block.GetSpan();
    return {span.begin(), span.end()};
}

TEST(MemBlockTest, EmptyBlocksCopiesAttachAndMove) {
    for (const TMem& block : {TMem::Create(), TMem::CreateSize(0), TMem::CreateFromBuf({}),
                              TMem::CreateAttach(nullptr, 10), TMem::CreateCopy(TMem())}) {
        EXPECT_FALSE(block.HasData());
        EXPECT_EQ(block.GetSize(), 0);
    }
    EXPECT_EQ(TMem().ToText(), "0000(\?\?\?\?)");
    // Attached data of size 0 still counts as data, but its copy is empty.
    const TMem attached = TMem::CreateAttach(std::make_unique<std::uint8_t[]>(4), 0);
    EXPECT_TRUE(attached.HasData());
    EXPECT_FALSE(TMem::CreateCopy(attached).HasData());
    TMem original = TMem::CreateFromBuf(Sequence(3, 0x0A));
    const TMem copy = TMem::CreateCopy(original);
    original.GetData()[0] = 0xFF;
    EXPECT_EQ(copy.ToText(), "0003(0A0B0C)");
    auto buffer = std::make_unique<std::uint8_t[]>(4);
    std::uint8_t* raw = buffer.get();
    TMem block = TMem::CreateAttach(std::move(buffer), 4);
    TMem moved = std::move(block);
    EXPECT_EQ(moved.GetData(), raw);
    EXPECT_EQ(block.GetSize(), 0); // NOLINT(bugprone-use-after-move): moved-from state is defined
    EXPECT_EQ(moved.ReleaseData().get(), raw);
    EXPECT_EQ(moved.GetSize(), 0);
}

TEST(MemBlockTest, SetDataAndPutDataAlsoFromTheirOwnBufferAndOnlyInsideTheBlock) {
    TMem block = TMem::CreateFromBuf(Sequence(8));
    block.SetData(block.GetSpan().subspan(2, 3));
    EXPECT_EQ(Contents(block), (Bytes{2, 3, 4}));
    block.SetData({});
    EXPECT_FALSE(block.HasData());
    block = TMem::CreateSize(8);
    const auto three = Sequence(3, 0xA0);
    EXPECT_TRUE(block.PutData(three, 5));
    EXPECT_EQ(Contents(block), (Bytes{0, 0, 0, 0, 0, 0xA0, 0xA1, 0xA2}));
    const auto before = Contents(block);
    EXPECT_FALSE(block.PutData(three, 6)); // one past the end
    EXPECT_FALSE(block.PutData(Sequence(9), 0));
    EXPECT_FALSE(block.PutData(three, SIZE_MAX)); // offset + count wraps in size_t
    EXPECT_EQ(Contents(block), before);
    EXPECT_TRUE(block.PutData({}, 8));
    EXPECT_FALSE(TMem().PutData(three, 0));
    TMem overlapping = TMem::CreateFromBuf(Sequence(6));
    EXPECT_TRUE(overlapping.PutData(overlapping.GetSpan().first(4), 2));
    EXPECT_EQ(Contents(overlapping), (Bytes{0, 1, 0, 1, 2, 3}));
}

TEST(MemBlockTest, DumpShowsAtMostFiftyBytes) {
    EXPECT_EQ(TMem::CreateFromBuf(Sequence(50)).DataToText().find("..."), std::string::npos);
    const std::string text = TMem::CreateFromBuf(Sequence(51, 0xF0)).DataToText();
    EXPECT_EQ(text.size(), 1 + 100 + 3 + 1U);
    EXPECT_EQ(text.substr(0, 7), "(F0F1F2");
    EXPECT_EQ(text.substr(text.size() - 6), "21...)"); // byte 49 is 0xF0 + 49 = 0x121 -> 0x21
}

TEST(MemBlockTest, SizesAbove65535AreRefusedAndTheLengthPrefixedBlockHoldsItsSize) {
    const Bytes big(65536);
    EXPECT_THROW(TMemL::Create(70000), ERangeError);
    EXPECT_THROW(TMem::CreateAttach(std::make_unique<std::uint8_t[]>(1), 65536), ERangeError);
    EXPECT_THROW(TMem::CreateFromBuf(big), ERangeError);
    TMem block = TMem::CreateFromBuf(Sequence(2));
    EXPECT_THROW(block.SetData(big), ERangeError);
    EXPECT_EQ(Contents(block), Sequence(2)); // unchanged
    EXPECT_THAT([] { TMem::CreateSize(100000); },
                ::testing::ThrowsMessage<ERangeError>(::testing::HasSubstr("100000")));
    EXPECT_EQ(TMem::CreateSize(65535).ToText().substr(0, 4), "FFFF");
    EXPECT_FALSE(TMemL::Create(1).HasData());
    EXPECT_EQ(TMemL::Create(6).ToText(), "0006(060000000000)");
    EXPECT_EQ(TMemL::Create(0x1234).GetData()[1], 0x12);
}

} // namespace
} // namespace ravlo
