// The communication process when the channel stack misbehaves: a link channel whose answers a test
// scripts (open, connect, disconnect and close that never finish, a connect that fails, a frame
// that never leaves), and a line lost under an exchange.
#include "channels/chn_collection.h"
#include "channels/chn_com.h"
#include "channels/chn_marbex_l0.h"
#include "channels/line_time.h"
#include "kernel/exception_log.h"
#include "protocol_test_support.h"
#include "support/comm_rig.h"

#include <gtest/gtest.h>
#include <optional>

namespace ravlo {
namespace {

using testing::CommRig;
using testing::CountContaining;
using testing::Empt386Frame;
using testing::RqstRecord;
using Codes = std::vector<std::uint16_t>;

// What the scripted link answers in place of the real stack.
struct LinkScript {
    std::optional<std::uint16_t> ReadyForOpen;    // CHReady's answer where the stack is open
    std::optional<std::uint16_t> ReadyForConnect; // ... connected
    std::optional<std::uint16_t> ReadyForClose;   // ... closed
    bool ConnectFails = false;
    bool SendStuck = false; // CHSendBusy keeps answering busy
};

LinkScript& Script() {
    static LinkScript script;
    return script;
}

class ScriptedLink final : public TChnMarbexL0 {
public:
    using TChnMarbexL0::TChnMarbexL0;

    std::uint16_t CHReady() override {
        const std::uint16_t real = TChnMarbexL0::CHReady();
        const LinkScript& script = Script();
        const std::optional<std::uint16_t>& instead = real == CHS_Open      ? script.ReadyForOpen
                                                      : real == CHS_Connect ? script.ReadyForConnect
                                                                            : script.ReadyForClose;
        return instead.value_or(real);
    }
    void CHConnect() override {
        if (Script().ConnectFails) {
            StoreOpErr(CodeBase() | kChNoOpen);
            return;
        }
        TChnMarbexL0::CHConnect();
    }
    std::uint16_t CHSendBusy() override {
        const std::uint16_t busy = TChnMarbexL0::CHSendBusy();
        return Script().SendStuck ? 1 : busy;
    }
};

template <class T>
std::unique_ptr<TChnVirt> Make(std::string_view name) {
    return MakeChannel<T>(name);
}

std::size_t ExceptionLogLines(std::string_view text) {
    const std::string log = testing::ReadFileText(ExceptionLogPath());
    std::size_t count = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
        ++count;
    }
    return count;
}

// The rig with the scripted link registered as the link type.
class CommLinkFaultTest : public ::testing::Test {
protected:
    explicit CommLinkFaultTest(std::string_view settings = "DWN=0") : rig_(settings) {
        Script() = {};
        FreeChnCollection();
        TChnCollection& registry = ChnCollectionMade();
        registry.RegisterChannelType(&Make<TChnVirt>, TChnVirt::kClassName, TChnVirt::kTypeName);
        registry.RegisterChannelType(&Make<TComChannel>, TComChannel::kClassName, TComChannel::kTypeName);
        registry.RegisterChannelType(&Make<ScriptedLink>, "ScriptedLink", TChnMarbexL0::kTypeName);
    }
    ~CommLinkFaultTest() override { Script() = {}; }

    CommRig rig_;
};

// A channel operation that never finishes: how the test makes it hang, what starts it, the state
// that waits, its limit (TOP, TIC, TID, TCL as set below), the error and the line that follow.
struct HangingOperation {
    const char* Name;
    void (*Hang)(LinkScript& script);
    bool FromConnected; // started by RAVLOCOMM_MA_DiClDe on a connected line, else by CrOpCo
    std::uint16_t Waiting;
    std::uint32_t LimitMs;
    std::uint16_t Error;
    const char* Line;
};

class CommHangingOperationTest : public CommLinkFaultTest,
                                 public ::testing::WithParamInterface<HangingOperation> {
protected:
    CommHangingOperationTest() : CommLinkFaultTest("DWN=0 TOP=300 TIC=400 TID=500 TCL=600") {}
};

TEST_P(CommHangingOperationTest, TimesOutAfterItsLimitAndStillClosesEverything) {
    const HangingOperation& hanging = GetParam();
    if (hanging.FromConnected) {
        rig_.Connect();
    }
    const std::size_t statesBefore = rig_.master->StateCodes().size();
    hanging.Hang(Script());
    rig_.Post(hanging.FromConnected ? RAVLOCOMM_MA_DiClDe : RAVLOCOMM_MA_CrOpCo);
    EXPECT_EQ(rig_.comm->State, hanging.Waiting);
    rig_.Tick(hanging.LimitMs);
    EXPECT_EQ(rig_.comm->State, hanging.Waiting) << "not before the limit";
    rig_.Tick(1);

    EXPECT_EQ(rig_.master->ErrorCodes(), (Codes{hanging.Error}));
    const Codes states = rig_.master->StateCodes();
    EXPECT_EQ(states.size(), statesBefore + 1);
    EXPECT_EQ(states.back(), MAS_0);
    EXPECT_EQ(CountContaining(rig_.writer.Errors(), std::string("COMM^02: ") + hanging.Line), 1u);
    EXPECT_EQ(rig_.comm->State, MAS_0);
    EXPECT_FALSE(rig_.comm->Channels().Exists());
    // Freeing the channels closed the port: nobody may go on believing it open.
    EXPECT_FALSE(rig_.port->IsOpen);
    EXPECT_EQ(ComOpenPort, 0);
    EXPECT_EQ(ComBaud, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, CommHangingOperationTest,
    ::testing::Values(HangingOperation{"Open", [](LinkScript& s) { s.ReadyForOpen = CHS_Close; }, false,
                                       MAS_OpenRdy, 300, CommErr_OpenTimeout, "CHOpen Timeout Err"},
                      // 7: a state the stack never reports.
                      HangingOperation{"Connect", [](LinkScript& s) { s.ReadyForConnect = 7; }, false,
                                       MAS_ConnectRdy, 400, CommErr_ConnectTimeout, "CHConnect Timeout Err"},
                      HangingOperation{"DisConnect", [](LinkScript& s) { s.ReadyForOpen = CHS_Connect; },
                                       true, MAS_DisConnectRdy, 500, CommErr_DisConnectTimeout,
                                       "CHDisConnect Timeout Err"},
                      HangingOperation{"Close", [](LinkScript& s) { s.ReadyForClose = CHS_Open; }, true,
                                       MAS_CloseRdy, 600, CommErr_CloseTimeout, "CHClose Timeout Err"}),
    [](const ::testing::TestParamInfo<HangingOperation>& info) { return std::string(info.param.Name); });

TEST_F(CommLinkFaultTest, AFailedConnectIsReportedAndTheLineClosed) {
    Script().ConnectFails = true;
    rig_.Post(RAVLOCOMM_MA_CrOpCo);

    EXPECT_EQ(rig_.master->ErrorCodes(), (Codes{CommErr_Connect}));
    EXPECT_EQ(rig_.master->StateCodes(), (Codes{MAS_0}));
    EXPECT_EQ(rig_.States(),
              (std::vector<std::uint32_t>{MAS_Closed, MAS_Open, MAS_OpenRdy, MAS_Opened, MAS_Connect,
                                          MAS_Opened, MAS_Close, MAS_CloseRdy, MAS_Closed, MAS_0}));
    EXPECT_EQ(CountContaining(rig_.writer.Errors(), "COMM^02:->PRTPROTX:MARBEXL0\\ChState\\NoOpen"), 1u);
    EXPECT_FALSE(rig_.port->IsOpen);
}

TEST_F(CommLinkFaultTest, AFrameThatDoesNotLeaveInTimeIsSentAgain) {
    rig_.Connect();
    Script().SendStuck = true;
    rig_.PostTxD(RqstRecord());
    EXPECT_EQ(rig_.comm->State, MAS_Send);
    // The frame's line time, then the answer's window.
    rig_.Tick(LineTimeMs(LinkFrameWireSize(254, 255, BuildBareFrame(ft_Rqst).Bytes()), 4800) + 1000);
    EXPECT_EQ(rig_.comm->State, MAS_Send) << "not before the time-out";
    rig_.Tick(1);
    EXPECT_EQ(CountContaining(rig_.writer.Errors(), "COMM^02:Err,Rep=0,{Send},:MA\\TimeOut\\SendRdy"), 1u);
    EXPECT_EQ(rig_.comm->Stat.S, 0);

    Script().SendStuck = false;
    ASSERT_TRUE(rig_.TickUntil([this] { return rig_.comm->State == MAS_Rec; }, 100));
    EXPECT_EQ(rig_.comm->Stat.S, 1);
    EXPECT_EQ(rig_.comm->Stat.r, 1);
    EXPECT_EQ(rig_.LineFrames().size(), 2u);
}

TEST_F(CommLinkFaultTest, ALinkThatNeverConnectsRaisesOnceAndGivesUp) {
    Script().ReadyForConnect = CHS_Open;
    rig_.Post(RAVLOCOMM_MA_CrOpCo);
    for (int i = 0; i < 50; ++i) {
        rig_.Tick(55);
    }
    EXPECT_EQ(ExceptionLogLines("MAS_ConnectRdy je vysledek kroku spodniho automatu CHS_Disconnect"), 1u);
    EXPECT_EQ(rig_.master->StateCodes(), (Codes{MAS_0}));
    EXPECT_EQ(rig_.comm->State, MAS_0);
    EXPECT_EQ(rig_.port->OpenCount, 1);
}

TEST(CommLostLineTest, AfterGivingUpOnALostLineItRestoresItOnceAndPendingFramesGoOut) {
    // The link disconnected, or the serial channel closed.
    for (const auto& [log, closePort] : {std::pair{"zadny rq ve stavu {Opened} - reconnecting", false},
                                         std::pair{"zadny rq ve stavu {Closed} - reopening", true}}) {
        SCOPED_TRACE(log);
        CommRig rig;
        rig.Connect();
        rig.PostTxD(RqstRecord(), 1);
        if (closePort) {
            rig.comm->Channels().Com()->CHClose();
        } else {
            rig.comm->Channels().Link()->CHDisConnect();
        }
        rig.PostTxD(RqstRecord(), 2);

        ASSERT_TRUE(rig.TickUntil([&rig] { return rig.master->StateCodes().size() == 2; }));
        EXPECT_EQ(rig.master->ErrorCodes(), (Codes{CommErr_NoAnswer}));
        EXPECT_EQ(rig.master->StateCodes().back(), MAS_Connected) << "the line is back";
        EXPECT_TRUE(rig.port->IsOpen);
        EXPECT_EQ(rig.port->OpenCount, closePort ? 2 : 1);

        // The frame that waited goes out and its answer comes back.
        rig.BoardSends(Empt386Frame());
        ASSERT_TRUE(rig.TickUntil([&rig] { return !rig.master->Received().empty(); }));
        EXPECT_EQ(rig.master->Received()[0].Par2, 2);
        // Nothing is raised, then or on later ticks.
        for (int i = 0; i < 20; ++i) {
            rig.Tick(55);
        }
        EXPECT_EQ(ExceptionLogLines("Exception"), 0u);
        EXPECT_EQ(CountContaining(rig.writer.Errors(), log), 1u);
        EXPECT_EQ(rig.comm->State, MAS_Connected);
    }
}

} // namespace
} // namespace ravlo
