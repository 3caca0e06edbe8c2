// The records and the channel pair of the communication process.
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

} // namespace
} // namespace ravlo
