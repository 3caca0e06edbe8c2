// The records and the channel pair of the communication process.
#include "channels/chn_com.h"
#include "protocol/comm_channels.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_stat.h"
#include "protocol/comm_state.h"
#include "protocol_test_support.h"
#include "support/channel_stack.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ToBytes;

TEST(CommRecordsTest, ChannelParamRecordIsPortThenBaudLittleEndian) {
    EXPECT_EQ(ToBytes(TRavloChnParamRec{3, 9600}.Encode()), (Bytes{0x03, 0x80, 0x25, 0x00, 0x00}));
    EXPECT_EQ(TRavloChnParamRec::Decode(Bytes{0x07, 0x00, 0xC2, 0x01, 0x00, 0xEE}),
              (TRavloChnParamRec{7, 115200}))
        << "bytes behind the record are not read";
    EXPECT_FALSE(TRavloChnParamRec::Decode(Bytes{0x03, 0x80, 0x25, 0x00}));
}

TEST(CommRecordsTest, StateRecordIsCodePortBaud) {
    EXPECT_EQ(ToBytes(TRavloCommStateRec{MAS_Connected, 3, 9600}.Encode()),
              (Bytes{0x16, 0x00, 0x03, 0x80, 0x25, 0x00, 0x00}));
    EXPECT_EQ(TRavloCommStateRec::Decode(Bytes{0x14, 0x00, 0x01, 0xC0, 0x12, 0x00, 0x00}),
              (TRavloCommStateRec{CommErr_NoAnswer, 1, 4800}));
    EXPECT_FALSE(TRavloCommStateRec::Decode(Bytes{0x14, 0x00, 0x01, 0xC0, 0x12, 0x00}));
}

TEST(CommRecordsTest, CountersAre23BytesAndShowAsText) {
    const TChnStat stat{2, 10, 11, 9, 3, 1, 0x0101};
    EXPECT_EQ(ToBytes(stat.Encode()),
              (Bytes{0x02, 10, 0, 0, 0, 11, 0, 0, 0, 9, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 0x01, 0x01}));
    EXPECT_EQ(TChnStat::Decode(stat.Encode()), stat);
    EXPECT_EQ(stat.ToStr(), "[OK10,S11,R9,r3,e1,L$0101]");
    TChnStat cleared = stat;
    cleared.Clear();
    EXPECT_EQ(cleared.ToStr(), "[OK0,S0,R0,r0,e0,L$0000]");
    EXPECT_EQ(ToBytes(cleared.Encode()), Bytes(23, 0));
    EXPECT_FALSE(TChnStat::Decode(Bytes(22, 0)));
    const TChnStat negative{0, -1, 0, 0, 0, 0, 0};
    EXPECT_EQ(TChnStat::Decode(negative.Encode())->OK, -1);
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

TEST(CommRecordsTest, ChannelsAreBuiltRegisteredAndFreedTogether) {
    testing::ChannelRegistry registry;
    TCommChannels channels;
    ASSERT_EQ(channels.Build(3, 19200, 1, 2), TCommChannels::BuildResult::Ok);
    const auto& com = dynamic_cast<const TComChannel&>(*channels.Com());
    EXPECT_EQ(com.Port(), 3);
    EXPECT_EQ(com.Baud(), 19200u);
    EXPECT_EQ(channels.Link()->Lower(), channels.Com());
    EXPECT_EQ(channels.Link()->NOD(), 1);
    EXPECT_EQ(channels.Link()->DNO(), 2);
    EXPECT_EQ(ChnCollection()->GetRefChannel("COM", "COMPORTX"), channels.Com());
    EXPECT_EQ(ChnCollection()->GetRefChannel("MARBEXL0", "PRTPROTX"), nullptr)
        << "the link is not registered";

    channels.Free();
    EXPECT_FALSE(channels.Exists());
    EXPECT_EQ(ChnCollection()->GetRefChannel("COM", "COMPORTX"), nullptr);
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

} // namespace
} // namespace ravlo
