#include "platform/exception.h"
#include "protocol/comm_frame_rec.h"
#include "protocol/frame_builders.h"
#include "protocol/protocol_data.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ToBytes;

// Writes go unanswered; the new rate and the jumps go out three more times as well.
TEST(CommFrameRecTest, WrapsAFrameWithTheFlagsOfItsType) {
    for (const std::uint8_t type : {ft_Rqst, ft_cIOWr, ft_cIOWrW, ft_BdRate, ft_Go, ft_Run, ft_Mem, ft_cIORd,
                                    ft_cIORdW, ft_Chcksum, ft_Load, ft_SetRTC, ft_GetRTC, ft_GetID}) {
        const TRavloCommFrameRec rec = TRavloCommFrameRec::ForFrame(BuildBareFrame(type));
        const bool write = type == ft_cIOWr || type == ft_cIOWrW;
        const bool repeated = type == ft_BdRate || type == ft_Go || type == ft_Run;
        EXPECT_EQ(rec.NoAnswer, write || repeated ? 1 : 0) << VokFrameName(type);
        EXPECT_EQ(rec.TxFlags, repeated ? 3 : write ? 1 : 0) << VokFrameName(type);
    }
}

TEST(CommFrameRecTest, EncodeToAppendsBehindWhatIsThereAndDecodeReadsItBack) {
    Bytes run{0x06};
    const auto rec = TRavloCommFrameRec::ForFrame(BuildGoFrame(MakeFarPtr(0, 0x1000)));
    rec.EncodeTo(run);
    EXPECT_EQ(run, (Bytes{0x06, 0x01, 0x03, 0x07, 0x00, 0xDF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10}));
    EXPECT_EQ(TRavloCommFrameRec::Decode(std::span(run).subspan(1)).Value(), rec);
}

TEST(CommFrameRecTest, DecodeTrustsNoLengthWord) {
    // A MemE answer as the communication process passes it up.
    const auto good = TRavloCommFrameRec::Decode(Bytes{0x00, 0x00, 0x03, 0x00, 0xD6, 0x00, 0x00});
    ASSERT_TRUE(good.Ok());
    EXPECT_EQ(good->Frame.Type(), ft_MemE);
    // No whole header, a length word that claims more than is there, a frame too short to be one.
    for (const Bytes& cut :
         {Bytes{}, Bytes{0x00, 0x00, 0x03}, Bytes{0x00, 0x00, 0x04, 0x00, 0xD6, 0x00, 0x00},
          Bytes{0x00, 0x00, 0xFF, 0xFF, 0xD6, 0x00, 0x00}, Bytes{0x00, 0x00, 0x02, 0x00, 0xD6, 0x00}}) {
        EXPECT_EQ(TRavloCommFrameRec::Decode(cut).Fault(), TFrameFault::Short) << cut.size();
    }
    EXPECT_EQ(TRavloCommFrameRec::Decode(Bytes{0x00, 0x00, 0x03, 0x00, 0xD6, 0x00, 0x00, 0x99}).Fault(),
              TFrameFault::Oversized)
        << "bytes behind the frame";
}

TEST(CommFrameRecTest, TextNamesTheCarriedFrameAndCopesWithoutOne) {
    EXPECT_EQ(CommFrameRecText(Bytes{0x00, 0x00, 0x00, 0x00}), "NoRecData");
    EXPECT_EQ(CommFrameRecText(Bytes{0x00, 0x00, 0x03, 0x00, 0xD1, 0x00, 0x00}), "MemD");
    EXPECT_EQ(CommFrameRecText(Bytes{0x00, 0x00, 0x03, 0x00, 0xE7, 0x00, 0x00}), "???_$E7");
}

TEST(ProtocolDataTest, HoldsOneRecordOfTheSizeAskedFor) {
    TProtocolData data;
    EXPECT_EQ(data.Length(), 0);
    EXPECT_TRUE(data.FrameData().empty());
    EXPECT_FALSE(data.SetFrameData(Bytes{0xD6, 0, 0}));

    data.SetFrameSize(3);
    EXPECT_EQ(data.GetSize(), 7);
    EXPECT_TRUE(data.SetFrameData(Bytes{0xD6, 0, 0}));
    EXPECT_EQ(ToBytes(data.GetSpan()), (Bytes{0x00, 0x00, 0x03, 0x00, 0xD6, 0x00, 0x00}));
    EXPECT_EQ(data.Length(), 3);
    EXPECT_EQ(ToBytes(data.FrameData()), (Bytes{0xD6, 0, 0}));

    // A shorter frame fits and sets the length word; a longer one changes nothing.
    EXPECT_TRUE(data.SetFrameData(Bytes{0xD8}));
    EXPECT_EQ(ToBytes(data.FrameData()), (Bytes{0xD8}));
    EXPECT_FALSE(data.SetFrameData(Bytes{0xD1, 0, 0, 1}));
    EXPECT_EQ(ToBytes(data.GetSpan()), (Bytes{0x00, 0x00, 0x01, 0x00, 0xD8, 0x00, 0x00}));
}

TEST(ProtocolDataTest, SizeIsLimitedToTheLargestFrameAndNothingIsReadPastTheBlock) {
    TProtocolData data;
    data.SetFrameSize(65531);
    EXPECT_EQ(data.GetSize(), 65535);
    data.SetFrameSize(0);
    EXPECT_EQ(data.Length(), 0); // fewer than 5 bytes
    EXPECT_THROW(data.SetFrameSize(65532), ERangeError);
    EXPECT_EQ(data.GetSize(), 4); // the old block stays
    // A length word that claims more than the block holds yields no frame.
    data.SetFrameSize(2);
    const std::uint8_t bogus[] = {0x10, 0x00};
    ASSERT_TRUE(data.PutData(bogus, 2));
    EXPECT_EQ(data.Length(), 0x10);
    EXPECT_TRUE(data.FrameData().empty());
}

} // namespace
} // namespace ravlo
