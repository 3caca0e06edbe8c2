#include "ma_fixture.h"
#include "protocol/comm_process.h"
#include "protocol/ma_messages.h"
#include "support/channel_stack.h"
#include "support/fake_port_driver.h"

namespace ravlo {
namespace {

using testing::Bytes;
using testing::Lines;
using testing::MaRig;
using MaIdentifiedLinkTest = testing::IdentifiedMaTest;

TEST(MaLinkTest, CreationTakesTheSettingsInRangeAndStartsReady) {
    MaRig rig("DWN=0 PER=250 RET=700 AST=0");
    EXPECT_TRUE(rig.ma->ParamsToText().ends_with(" PER=250 RET=700 AST=$00"));
    EXPECT_EQ(rig.ma->State, ma_st_Ia);
    EXPECT_EQ(rig.ma->LinkState, ravlost_Inactive);
    EXPECT_TRUE(rig.ma->ParseParams("RET=-1")) << "a negative time-out base is a range error";
    EXPECT_FALSE(rig.ma->ParseParams("AST=300 PER=-5"));
    EXPECT_TRUE(rig.ma->ParamsToText().ends_with(" PER=-5 RET=700 AST=$00"))
        << "a value beyond a byte is ignored";
}

TEST(MaLinkTest, OpeningGoesThroughTheCommunicationProcess) {
    MaRig rig;
    rig.ma->SetChnParam(3, 9600);
    rig.Settle();
    EXPECT_EQ(rig.comm->Codes(), (std::vector<std::uint8_t>{RAVLOCOMM_MA_SetChnParam}));
    EXPECT_EQ(TRavloChnParamRec::Decode(rig.comm->Requests[0].Data), (TRavloChnParamRec{3, 9600}));
    EXPECT_EQ(rig.ma->LinkState, ravlost_Inactive) << "parameters while closed leave the link closed";
    EXPECT_FALSE(rig.ma->TimeOutArmed());

    rig.ma->OpenComm();
    rig.Settle();
    EXPECT_EQ(ComBaud, 9600u);
    EXPECT_FALSE(rig.ma->TimeOutArmed()) << "the answer removed the command's time-out";
    EXPECT_GT(rig.mainForm.CountOf(&rig.ma->LinkState, 1), 0u);

    rig.ma->CloseComm();
    rig.Settle();
    EXPECT_EQ(rig.comm->Codes().back(), RAVLOCOMM_MA_DiClDe);
    EXPECT_EQ(rig.ma->LinkState, ravlost_Inactive);
}

TEST(MaLinkTest, PortThatDoesNotOpenOrReopenIsReportedAndLeavesTheLinkClosed) {
    {
        MaRig rig;
        rig.comm->FailOpen = true;
        rig.ma->SetChnParam(3, 4800);
        rig.ma->OpenComm();
        rig.Settle();
        EXPECT_EQ(rig.ma->LinkState, ravlost_Inactive);
        ASSERT_EQ(rig.errors->Values(), Lines{"Can't open COM3"});
        EXPECT_EQ(rig.errors->Texts[0].Kind, 1) << "shown in a box as well";
        EXPECT_EQ(rig.form.PortFailures, 1) << "nothing waiting for the board need wait longer";
    }
    MaRig open;
    open.ConnectAndIdentify();
    open.comm->FailReopen = true;
    open.ma->SetChnParam(1, 9600);
    open.Settle();
    EXPECT_EQ(open.ma->LinkState, ravlost_Inactive);
    EXPECT_EQ(open.errors->Values(), Lines{"Error in connection, check existence of COM port"});
    EXPECT_EQ(open.form.PortFailures, 1);
}

TEST(MaLinkTest, CommandThatIsNeverAnsweredTimesOutAndLeavesThePortClosed) {
    MaRig rig;
    rig.comm->Hold = true;
    rig.ma->OpenComm();
    rig.Settle();
    EXPECT_EQ(rig.ma->LinkState, ravlost_WaFCrOpCo);
    EXPECT_EQ(rig.ma->State, ma_st_Wr);
    const std::uint32_t limit = CommandTimeOutMs(1000, {});
    EXPECT_EQ(rig.ma->ArmedTimeOutDue(), TickMs() + limit) << "RET, or the longest a reopen may take";
    rig.Advance(limit);
    EXPECT_EQ(rig.ma->LinkState, ravlost_Inactive);
    EXPECT_EQ(rig.ma->State, ma_st_Ia);
    ASSERT_EQ(rig.errors->Texts.size(), 1u);
    EXPECT_TRUE(rig.errors->Texts[0].Value.starts_with("Internal error - timeout, qq_state=_idle"));
}

TEST_F(MaIdentifiedLinkTest, FramesSentWhileWaitingGoOutInArrivalOrder) {
    rig.comm->Hold = true;
    rig.ma->ReadMemBlock(LinToFarPtr(0x10000), 600, rig.ini_.Dir().Path() / "r.bin");
    rig.Settle();
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u) << "one frame at a time";
    EXPECT_EQ(rig.ma->SavedCount(), 2u) << "the other pieces wait";
    Release();
    rig.Settle();
    EXPECT_EQ(
        testing::Shapes(rig.comm->SentFrames()),
        (std::vector<testing::Shape>{{ft_Mem, 0x10000, 256}, {ft_Mem, 0x10100, 256}, {ft_Mem, 0x10200, 88}}));
}

// What arrives in place of a write's acknowledgement and is none: empty, a one-byte Empt, and (true)
// an Empt that answers an earlier frame.
class MaNoAnswerTest : public testing::IdentifiedMaTest,
                       public ::testing::WithParamInterface<std::pair<Bytes, bool>> {};

TEST_P(MaNoAnswerTest, KeepsTheTimeOutArmedAndTheTimeOutEndsTheWrite) {
    rig.Board().Scripted = {testing::Frames{GetParam().first}};
    rig.comm->StaleTag = GetParam().second;
    ASSERT_TRUE(rig.ma->WriteMemBlock(MakeFarPtr(0, 0xC800), Bytes(256, 7), "x"));
    rig.Settle();
    EXPECT_EQ(rig.ma->LinkState, ravlost_WaFMsgRxD);
    EXPECT_TRUE(rig.ma->TimeOutArmed());
    ASSERT_TRUE(UntilIdle());
    EXPECT_EQ(rig.errors->Values(), Lines{"Writing block of memory failed by TimeOut"});
    EXPECT_FALSE(rig.form.DownloadOk) << "the main form learns that the write failed";
}

INSTANTIATE_TEST_SUITE_P(Answers, MaNoAnswerTest,
                         ::testing::Values(std::pair{Bytes{}, false}, std::pair{Bytes{ft_Empt188}, false},
                                           std::pair{Bytes{ft_Empt188, 0, 0}, true}));

TEST_F(MaIdentifiedLinkTest, NoFrameOfAStoppedOperationGoesOutAndItsLateAnswerLeavesTheMasterReady) {
    rig.project.Modules = {{"ROM1", 0xC800, 512}, {"ROM2", 0xD000, 512}};
    rig.comm->Hold = true;
    rig.ma->CheckSum();
    rig.coll->TickAll();
    ASSERT_TRUE(AppMessageQueue().PumpOne()) << "the first Chcksum goes out";
    rig.ma->StopOperation();
    rig.Settle();
    // The next request goes out; the stopped one's answer then arrives first and is no answer to it.
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    rig.Settle();
    Release();
    rig.Settle();
    EXPECT_EQ(rig.comm->SentFrames().size(), 2u) << "the second Chcksum stayed back";
    ASSERT_EQ(rig.views.Pages.size(), 1u);
    EXPECT_EQ(rig.views.Pages[0].Data, rig.Board().Read(0x400, 256));
    EXPECT_EQ(rig.ma->LinkState, ravlost_Connected);
    EXPECT_EQ(rig.errors->Values(), Lines{"Operation aborted"});
}

TEST(MaLinkTest, FrameWhileClosedIsDroppedAndEndsItsOperation) {
    MaRig rig;
    rig.ma->Device = DEV_Vok188;
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    rig.Settle();
    EXPECT_TRUE(rig.comm->SentFrames().empty());
    EXPECT_EQ(rig.ma->ConState, cs_idle) << "the page read does not wait for ever";
    EXPECT_EQ(rig.ma->Active().Done, 1);
    EXPECT_EQ(rig.errors->Values(), Lines{"Device not connected!"});
}

TEST_F(MaIdentifiedLinkTest, UnknownCodeIsAProtocolFaultThatLeavesTheProcessUsable) {
    TProcMess mess = TProcMess::Create(rig.ma->ADR, rig.ma->ADR, 0, 0, 0x44, Bytes{1});
    bool keep = false;
    EXPECT_THROW(rig.ma->WorkProcMess(mess, keep), EMaProtocolError);
    EXPECT_EQ(rig.ma->State, ma_st_Ia);
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    rig.Settle();
    EXPECT_EQ(rig.views.Pages.size(), 1u);
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
