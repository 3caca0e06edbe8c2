#include "protocol/comm_process.h"
#include "protocol/frame_builders.h"
#include "protocol/ma_timeouts.h"
#include "support/channel_stack.h"
#include "support/fake_port_driver.h"
#include "support/ma_rig.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

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
