#include "protocol/comm_process.h"
#include "protocol/frame_builders.h"
#include "protocol/ma_timeouts.h"
#include "support/channel_stack.h"
#include "support/fake_port_driver.h"
#include "support/ma_rig.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

constexpr std::uint32_t kRates[] = {4800, 9600, 19200, 38400, 57600, 115200};
// Bytes on the line of a Rqst and of a Load of 512 bytes (a link frame of 10 bytes around each).
constexpr std::size_t kRqstLen = 3 + 10;
constexpr std::size_t kLoad512Len = 9 + 512 + 10;

TEST(MaTimeOutsTest, NeverShorterThanTheCommunicationProcessRetries) {
    const TCommRetryParams comm;
    // The communication process may hold the frame back for 1000 ms at 4800 baud, then tries three
    // times for 1000 ms each.
    EXPECT_GT(CommRetryBudgetMs(4800, kRqstLen, comm), 4040u);
    for (const std::uint32_t baud : kRates) {
        for (const std::size_t len : {kRqstLen, kLoad512Len}) {
            EXPECT_GE(FrameTimeOutMs(1000, baud, len, comm), CommRetryBudgetMs(baud, len, comm)) << baud;
        }
    }
}

// The master over the real communication process on a fake port and a fake clock.
struct FakeLine {
    ManualTickSource clock{1'000'000};
    ScopedTickSource tickGuard{clock};
    std::shared_ptr<FakePort> port = std::make_shared<FakePort>();
    ScopedPortDriverFactory drivers{FakePortDriverFactory(port)};
    testing::ChannelRegistry channels;
};

struct RealCommRig : FakeLine, testing::MaRigBase {
    RealCommRig() : MaRigBase("DWN=0 PER=0 RET=1000 AST=1", TRavloComm_Process::CreateFromLabel) {
        port->Clock = &clock;
    }
    bool RunUntil(const std::function<bool()>& done, std::uint32_t limitMs) {
        for (std::uint32_t ms = 0; ms < limitMs && !done(); ++ms) {
            clock.Advance(1);
            timed.SendProcMessages(TickMs());
            Settle();
        }
        return done();
    }
};

TEST(MaTimeOutsTest, TheMasterWaitsForEveryRepeatTheCommunicationSettingsAskFor) {
    RealCommRig rig;
    ASSERT_FALSE(rig.coll->GetProcByIdent(PT_RavloComm)->ParseParams("REP=5"));
    rig.ma->SetChnParam(1, 4800);
    rig.ma->OpenComm();
    ASSERT_TRUE(rig.RunUntil([&rig] { return rig.ma->LinkState == ravlost_Connected; }, 100));
    rig.ma->SendRqst();
    ASSERT_TRUE(rig.RunUntil([&rig] { return !rig.errors->Texts.empty(); }, 30000));
    // The communication process gave up after its six tries and said so; the master had not given
    // up on its own among them.
    EXPECT_EQ(rig.errors->Values(), (std::vector<std::string>{"Communication lost!"}));
    EXPECT_EQ(rig.port->WriteTicks.size(), 6u);
}

} // namespace
} // namespace ravlo
