// The records, the frame record and the channel pair of the communication process.
#include "platform/exception.h"
#include "protocol/comm_channels.h"
#include "protocol/comm_frame_rec.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_stat.h"
#include "protocol/comm_state.h"
#include "protocol/frame_builders.h"
#include "protocol/protocol_data.h"
#include "protocol_test_support.h"
#include "support/channel_stack.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ToBytes;

// The two processes exchange these records in the tests of each; here what a record cut short does.
TEST(CommRecordsTest, ShortRecordsAreRefusedAndBytesBehindOnesAreNotRead) {
    Bytes param = ToBytes(TRavloChnParamRec{7, 115200}.Encode());
    param.push_back(0xEE);
    EXPECT_EQ(TRavloChnParamRec::Decode(param), (TRavloChnParamRec{7, 115200}));
    EXPECT_FALSE(TRavloChnParamRec::Decode(std::span(param).first(param.size() - 2)));
    const Bytes state = ToBytes(TRavloCommStateRec{CommErr_NoAnswer, 1, 4800}.Encode());
    EXPECT_FALSE(TRavloCommStateRec::Decode(std::span(state).first(state.size() - 1)));
    const TChnStat stat{2, -1, 11, 9, 3, 1, 0x0101};
    const Bytes counters = ToBytes(stat.Encode());
    EXPECT_EQ(TChnStat::Decode(counters), stat);
    EXPECT_FALSE(TChnStat::Decode(std::span(counters).first(TChnStat::kSize - 1)));
    EXPECT_EQ(stat.ToStr(), "[OK-1,S11,R9,r3,e1,L$0101]");
}

TEST(CommRecordsTest, ResultWordsAreNamedByTheLink) {
    EXPECT_EQ(CommResultText(0x1FF, nullptr), ":MA\\TimeOut\\C$FF");
    // A channel code without a link falls back to kind and detail.
    EXPECT_EQ(CommResultText(0x2202, nullptr), ":MA\\T$2\\C$02");
    testing::ChannelRegistry registry;
    TCommChannels channels;
    ASSERT_EQ(channels.Build(1, 4800, 255, 254), TCommChannels::BuildResult::Ok);
    EXPECT_EQ(CommResultText(0x2202, channels.Link()), ":MA:->PRTPROTX:->COMPORTX:COM\\OpOpen\\Bd");
    channels.Link()->Name = std::string(60, 'L');
    const std::string cut = CommResultText(0x2202, channels.Link());
    EXPECT_EQ(cut.size(), 80u);
    EXPECT_EQ(cut.substr(0, 8), ":MA:->LL");
}

TEST(CommRecordsTest, NothingIsBuiltOnAForeignComportxOrWithoutChannelTypes) {
    {
        testing::ChannelRegistry registry;
        const testing::ChannelStack foreign = testing::BuildChannelStack(5, 4800);
        TCommChannels channels;
        EXPECT_EQ(channels.Build(3, 4800, 255, 254), TCommChannels::BuildResult::LinkParamsFailed);
        EXPECT_FALSE(channels.Exists());
        EXPECT_EQ(channels.Com(), nullptr);
    }
    FreeChnCollection();
    TCommChannels channels;
    EXPECT_EQ(channels.Build(1, 4800, 255, 254), TCommChannels::BuildResult::ComParamsFailed);
    EXPECT_FALSE(channels.Exists());
}

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

TEST(ProtocolDataTest, HoldsOneRecordOfTheSizeAskedForAndReadsNothingPastIt) {
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

    // The size is limited to the largest frame, and nothing is read past the block.
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
