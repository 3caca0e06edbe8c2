// The communication process on the real channel stack over a fake serial port, with a fake clock; then
// with a link channel whose answers a test scripts (operations that fail or never finish, a frame that
// never leaves), and with a line lost under an exchange.
#include "channels/chn_collection.h"
#include "channels/chn_com.h"
#include "channels/chn_marbex_l0.h"
#include "channels/line_time.h"
#include "kernel/exception_log.h"
#include "protocol_test_support.h"
#include "support/comm_rig.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::CommRig;
using testing::Contains;
using testing::CountContaining;
using testing::Empt386Frame;
using testing::RqstRecord;
using testing::RxDRecord;
using States = std::vector<std::uint32_t>;
using Codes = std::vector<std::uint16_t>;

// Milliseconds a board frame needs on the line at baud, in its link frame from the host.
std::uint32_t LineMs(std::span<const std::uint8_t> frame, std::uint32_t baud = 4800) {
    return LineTimeMs(LinkFrameWireSize(254, 255, frame), baud);
}

// The process with its line open and connected.
class ConnectedCommTest : public ::testing::Test {
protected:
    void SetUp() override { rig.Connect(); }
    CommRig rig;
};

TEST(CommProcessTest, CrOpCoOpensAndConnectsDiClDeDisconnectsClosesAndFrees) {
    CommRig rig;
    rig.Post(RAVLOCOMM_MA_CrOpCo);
    EXPECT_EQ(rig.States(), (States{MAS_Closed, MAS_Open, MAS_OpenRdy, MAS_Opened, MAS_Connect,
                                    MAS_ConnectRdy, MAS_Connected, MAS_Begin, MAS_Connected}));
    ASSERT_EQ(rig.master->StateCodes(), (Codes{MAS_Connected}));
    EXPECT_EQ(rig.master->Reports[0].StateRec(), (TRavloCommStateRec{MAS_Connected, 1, 4800}));
    EXPECT_EQ(rig.master->Reports[0].Src, rig.comm->ADR);
    // 8 data bits, odd parity, one stop bit at the process's rate, on the default port.
    EXPECT_TRUE(rig.port->IsOpen);
    EXPECT_EQ(rig.port->Settings, (PortSettings{4800, 8, kParityOdd, 0}));
    EXPECT_EQ(ComOpenPort, 1);
    EXPECT_EQ(rig.watcher.ValuesAt(&ComBaud), (States{4800}));
    EXPECT_EQ(ChnCollection()->GetRefChannel("COM", "COMPORTX"), rig.comm->Channels().Com());
    EXPECT_EQ(ChnCollection()->GetRefChannel("MARBEXL0", "PRTPROTX"), nullptr)
        << "the link is not registered";

    rig.watcher.Changes.clear();
    rig.Post(RAVLOCOMM_MA_DiClDe);
    EXPECT_EQ(rig.States(), (States{MAS_Begin, MAS_SendBeg, MAS_DisConnect, MAS_DisConnectRdy, MAS_Opened,
                                    MAS_Close, MAS_CloseRdy, MAS_Closed, MAS_0}));
    EXPECT_EQ(rig.master->StateCodes(), (Codes{MAS_Connected, MAS_0}));
    EXPECT_FALSE(rig.port->IsOpen);
    EXPECT_FALSE(rig.comm->Channels().Exists());
    EXPECT_EQ(ComOpenPort, 0);
    EXPECT_EQ(ComBaud, 0u);
    EXPECT_EQ(ChnCollection()->GetRefChannel("COM", "COMPORTX"), nullptr) << "the registration goes with it";
}

TEST(CommProcessTest, SetChnParamStoresWhileIdleAndReopensWhileConnected) {
    CommRig rig;
    rig.PostChnParam(3, 9600);
    ASSERT_EQ(rig.master->Reports.size(), 1u);
    EXPECT_EQ(rig.master->Reports[0].StateRec(), (TRavloCommStateRec{MAS_0, 3, 9600}));
    EXPECT_EQ(rig.port->OpenCount, 0);
    EXPECT_EQ(rig.watcher.ValuesAt(&rig.comm->ComPort), (States{3}));

    // While connected the port reopens, with no State 0 between: the next report says it is back.
    rig.Connect();
    rig.PostChnParam(2, 9600);
    EXPECT_EQ(rig.master->StateCodes(), (Codes{MAS_0, MAS_Connected, MAS_Connected}));
    EXPECT_EQ(rig.master->Reports.back().StateRec(), (TRavloCommStateRec{MAS_Connected, 2, 9600}));
    EXPECT_EQ(rig.port->OpenCount, 2);
    EXPECT_EQ(rig.port->Settings.Baud, 9600u);
    EXPECT_EQ(ComOpenPort, 2);
}

TEST(CommProcessTest, AnUnsupportedBaudRateFailsTheOpenAndFreesTheChannels) {
    CommRig rig;
    rig.PostChnParam(1, 14400);
    rig.Post(RAVLOCOMM_MA_CrOpCo);
    EXPECT_EQ(rig.master->ErrorCodes(), (Codes{CommErr_Open}));
    EXPECT_EQ(rig.master->StateCodes(), (Codes{MAS_0, MAS_0}));
    EXPECT_FALSE(rig.comm->Channels().Exists());
    EXPECT_EQ(ComOpenPort, 0);
    EXPECT_TRUE(Contains(rig.writer.Errors(), "COMPORTX:COM\\OpOpen\\Bd"));
    // The error record names the port it failed on.
    EXPECT_EQ(rig.master->Reports[1].StateRec(), (TRavloCommStateRec{CommErr_Open, 1, 14400}));
}

TEST(CommProcessTest, RequestsForTheStateAlreadyHeldAreAnsweredAtOnceAndOthersIgnored) {
    CommRig rig;
    rig.Post(RAVLOCOMM_MA_DiClDe);
    EXPECT_EQ(rig.master->StateCodes(), (Codes{MAS_0}));
    rig.PostTxD(RqstRecord());
    EXPECT_EQ(rig.master->Reports.size(), 1u);
    EXPECT_TRUE(rig.port->Output.empty());
    EXPECT_TRUE(
        Contains(rig.writer.Lines(), "Ravlo_CommMA.Step - unknown/undesired msg in MAS_0 - ignored."));
    EXPECT_EQ(rig.comm->PendingCount(), 0u);
    EXPECT_EQ(rig.port->OpenCount, 0);

    rig.Connect();
    rig.Post(RAVLOCOMM_MA_CrOpCo);
    EXPECT_EQ(rig.master->StateCodes(), (Codes{MAS_0, MAS_Connected, MAS_Connected}));
    EXPECT_EQ(rig.port->OpenCount, 1) << "the open line is kept";
}

TEST_F(ConnectedCommTest, ProcessCanCloseOnlyOnceTheStepsHaveClosedEverything) {
    EXPECT_FALSE(rig.comm->ProcessCanClose());
    rig.Tick();
    EXPECT_EQ(rig.comm->State, MAS_Done);
    EXPECT_FALSE(rig.port->IsOpen);
    EXPECT_TRUE(rig.comm->ProcessCanClose());
    EXPECT_EQ(rig.master->StateCodes(), (Codes{MAS_Connected, MAS_0}));
}

TEST_F(ConnectedCommTest, AFrameGoesOutAndItsAnswerIsAwaitedFromWhenItHasLeftTheLine) {
    const TVokFrame load = BuildLoadFrame(MakeFarPtr(0, 0xC800), Bytes(512, 0x10)); // DLEs go twice
    rig.PostTxD(TRavloCommFrameRec::ForFrame(load), 7);
    const Bytes frame(load.Bytes().begin(), load.Bytes().end());
    ASSERT_EQ(rig.LineFrames(), (std::vector<Bytes>{frame}));
    // Destination 254, source 255 on the line.
    EXPECT_EQ((Bytes(rig.port->Output.begin(), rig.port->Output.begin() + 4)), (Bytes{0x10, 0x01, 254, 255}));

    // The port took the whole frame at once (as a pseudo-terminal does), yet it is on the line.
    rig.Tick(LineMs(frame) - 1);
    EXPECT_EQ(rig.comm->State, MAS_Send);
    rig.Tick(1);
    EXPECT_EQ(rig.comm->State, MAS_Rec);
    // The answer's whole window counts from there.
    rig.Tick(static_cast<std::uint32_t>(rig.comm->AnswerTimeoutMs()) - 1);
    rig.BoardSends(Empt386Frame());
    rig.Tick(1);
    const std::vector<testing::Report> received = rig.master->Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].Data, RxDRecord(Empt386Frame()));
    EXPECT_EQ(received[0].Par2, 7) << "the Par1 of the frame it answers";
    EXPECT_EQ(rig.comm->Stat, (TChnStat{0, 1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(rig.comm->State, MAS_Connected);
}

// The scheduler's worker steps the process only when it says a step is due (a frame's bytes wake it
// by themselves): a frame the board never answers must then end as with a step every millisecond,
// with its repeats and its error at the same times, in a few steps.
TEST(CommProcessTest, StepsOnlyWhenDueEndAnUnansweredFrameAsStepsEveryMillisecondDo) {
    struct Run {
        Codes errors;
        std::uint64_t endMs = 0;
        int steps = 0;
    };
    const auto run = [](bool onlyWhenDue) {
        CommRig rig;
        rig.Connect();
        EXPECT_EQ(rig.comm->NextTickDue(TickMs()), std::nullopt) << "connected and idle";
        rig.PostTxD(RqstRecord());
        Run result;
        while (rig.master->ErrorCodes().empty() && result.steps < 100000) {
            const std::optional<std::uint64_t> due = rig.comm->NextTickDue(TickMs());
            if (onlyWhenDue && !due) {
                break;
            }
            rig.Tick(onlyWhenDue
                         ? static_cast<std::uint32_t>(std::max<std::uint64_t>(*due, TickMs() + 1) - TickMs())
                         : 1);
            ++result.steps;
        }
        result.errors = rig.master->ErrorCodes();
        result.endMs = TickMs();
        return result;
    };
    const Run everyMs = run(false);
    const Run whenDue = run(true);
    ASSERT_EQ(everyMs.errors.size(), 1u);
    EXPECT_EQ(whenDue.errors, everyMs.errors);
    EXPECT_EQ(whenDue.endMs, everyMs.endMs);
    EXPECT_LT(whenDue.steps * 20, everyMs.steps);
}

TEST_F(ConnectedCommTest, ALinkFrameTooShortForABoardFrameOrForAnotherNodeIsNoAnswer) {
    rig.PostTxD(RqstRecord());
    rig.BoardSends(Bytes{});
    rig.BoardSends(Bytes{ft_Empt386});
    rig.BoardSends(Empt386Frame(), 254, 17);
    ASSERT_TRUE(rig.TickUntil([this] { return rig.LineFrames().size() == 2; }));
    EXPECT_TRUE(rig.master->Received().empty()) << "without an answer the frame went out again";
}

TEST_F(ConnectedCommTest, AFrameArrivingWhileIdleIsPassedUpWithTheLastPar1) {
    rig.PostTxD(RqstRecord(), 9);
    rig.BoardSends(Empt386Frame());
    ASSERT_TRUE(rig.TickUntil([this] { return rig.master->Received().size() == 1; }));

    const Bytes memE = {ft_MemE, 0, 0};
    rig.BoardSends(memE);
    rig.Tick();
    const std::vector<testing::Report> received = rig.master->Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1].Data, RxDRecord(memE));
    EXPECT_EQ(received[1].Par2, 9);
    EXPECT_EQ(rig.comm->Stat.R, 2);
    EXPECT_EQ(rig.comm->Stat.OK, 1) << "an unasked frame completes no exchange";
}

TEST_F(ConnectedCommTest, ANoAnswerFrameGoesOutTxFlagsPlusOneTimes) {
    rig.PostTxD(TRavloCommFrameRec::ForFrame(BuildBdRateFrame(115200)), 4); // NoAnswer 1, TxFlags 3
    ASSERT_TRUE(rig.TickUntil([this] { return !rig.master->Received().empty(); }));

    const Bytes frame = {ft_BdRate, 0, 0, 0x0F};
    EXPECT_EQ(rig.LineFrames(), (std::vector<Bytes>{frame, frame, frame, frame}));
    // Each copy goes out once the one before has crossed the line.
    EXPECT_EQ(rig.port->WriteTicks.back() - rig.port->WriteTicks.front(), 3 * LineMs(frame));
    EXPECT_EQ(rig.comm->Stat.OK, 4);
    EXPECT_EQ(rig.comm->Stat.S, 4);
    EXPECT_EQ(rig.comm->Stat.R, 0);
    const std::vector<testing::Report> received = rig.master->Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(received[0].Data.empty()) << "the last transmission is reported without data";
    EXPECT_EQ(received[0].Par2, 4);

    // Without TxFlags it goes out once.
    rig.PostTxD(TRavloCommFrameRec::ForFrame(BuildIOWrFrame(0x80, 0x55))); // NoAnswer 1, TxFlags 1
    rig.PostTxD(TRavloCommFrameRec{1, 0, BuildIOWrFrame(0x81, 0x66)});
    ASSERT_TRUE(rig.TickUntil([this] { return rig.master->Received().size() == 3; }));
    EXPECT_EQ(rig.LineFrames().size(), 4u + 3u);
}

// A disconnect behind frames still pending takes effect once all of them have been sent, each
// answered in turn.
TEST(CommProcessTest, ADisconnectBehindPendingFramesWaitsUntilAllAreSent) {
    for (const std::size_t frames : {2u, 3u}) {
        SCOPED_TRACE(std::to_string(frames) + " frames");
        CommRig rig;
        rig.Connect();
        for (std::size_t tag = 1; tag <= frames; ++tag) {
            rig.Queue(RAVLOCOMM_MA_TxD, RqstRecord().Encode(), static_cast<std::uint8_t>(tag));
        }
        rig.Queue(RAVLOCOMM_MA_DiClDe);
        rig.Pump();
        EXPECT_EQ(rig.LineFrames().size(), 1u);
        EXPECT_EQ(rig.comm->PendingCount(), frames) << "the other frames and the disconnect";
        EXPECT_TRUE(Contains(rig.writer.Lines(), "!!--Vic nez 1,ADD: %%<"));

        for (std::size_t sent = 1; sent < frames; ++sent) {
            rig.BoardSends(Empt386Frame());
            ASSERT_TRUE(rig.TickUntil([&] { return rig.LineFrames().size() == sent + 1; }));
            EXPECT_TRUE(rig.port->IsOpen);
        }
        rig.BoardSends(Empt386Frame());
        ASSERT_TRUE(rig.TickUntil([&] { return !rig.port->IsOpen; }));
        const std::vector<testing::Report> received = rig.master->Received();
        ASSERT_EQ(received.size(), frames);
        for (std::size_t i = 0; i < frames; ++i) {
            EXPECT_EQ(received[i].Par2, i + 1) << "the answer of each frame in turn";
        }
        EXPECT_EQ(rig.master->Reports.back().StateRec().Code, MAS_0) << "reported after every answer";
    }
}

TEST_F(ConnectedCommTest, AMalformedFrameRecordIsDroppedAndTheNextOneStillGoesOut) {
    const Bytes claimsTenBytes = {0, 0, 10, 0, ft_Rqst, 0, 0};
    rig.Post(RAVLOCOMM_MA_TxD, claimsTenBytes);
    EXPECT_TRUE(rig.port->Output.empty());
    EXPECT_TRUE(Contains(rig.writer.Errors(), "RAVLOCOMM_MA_TxD without a whole frame record dropped"));

    rig.PostTxD(RqstRecord());
    EXPECT_EQ(rig.LineFrames().size(), 1u);
    EXPECT_EQ(rig.comm->State, MAS_Send);
}

class CommTimeoutTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(CommTimeoutTest, AnUnansweredFrameIsSentRepPlusOneTimesEachWaitScaledByTheBaudRate) {
    const std::uint32_t baud = GetParam();
    CommRig rig;
    rig.PostChnParam(1, baud);
    rig.Connect();
    const double timeout = 4800.0 * 1000.0 / baud;
    EXPECT_DOUBLE_EQ(rig.comm->AnswerTimeoutMs(), timeout);

    rig.PostTxD(RqstRecord());
    ASSERT_TRUE(rig.TickUntil([&rig] { return !rig.master->ErrorCodes().empty(); }));

    EXPECT_EQ(rig.master->ErrorCodes(), (Codes{CommErr_NoAnswer}));
    EXPECT_EQ(rig.LineFrames().size(), 3u);
    // Each repetition follows the frame's line time, the time-out (noticed 1 ms after it) and EW =
    // 20 ms (again + 1 ms).
    const auto& writes = rig.port->WriteTicks;
    ASSERT_EQ(writes.size(), 3u);
    const auto gap =
        LineMs(BuildBareFrame(ft_Rqst).Bytes(), baud) + static_cast<std::uint64_t>(timeout) + 1 + 20 + 1;
    EXPECT_EQ(writes[1] - writes[0], gap);
    EXPECT_EQ(writes[2] - writes[1], gap);
    EXPECT_EQ(rig.comm->Stat.r, 2);
    EXPECT_EQ(rig.comm->Stat.e, 1);
    EXPECT_EQ(CountContaining(rig.writer.Errors(), ":MA\\TimeOut\\RecRdy"), 3u);
    EXPECT_TRUE(Contains(rig.writer.Errors(), "COMM^02:Err,Rep=2,{Rec},:MA\\TimeOut\\RecRdy"));
    // Each wait after a failure is logged once, however many steps it lasts.
    EXPECT_EQ(CountContaining(rig.writer.Lines(), "MAS_ErrWait entry"), 3u);
    EXPECT_EQ(CountContaining(rig.writer.Lines(), "MAS_ErrWait exit"), 2u);

    // The link is still connected: after the wait the process is idle and connected again.
    EXPECT_TRUE(rig.TickUntil([&rig] { return rig.comm->State == MAS_Connected; }, 100));
    EXPECT_EQ(rig.master->StateCodes(), (Codes{MAS_0, MAS_Connected})) << "no new state report";
}

INSTANTIATE_TEST_SUITE_P(BaudRates, CommTimeoutTest, ::testing::Values(4800u, 9600u, 19200u));

TEST(CommProcessTest, AfterARepeatedFrameTheNextWaitsUntilTheLastCopysWindowHasPassed) {
    CommRig rig("DWN=0 REP=1 EW=5");
    rig.Connect();
    rig.PostTxD(RqstRecord(), 1);
    ASSERT_TRUE(rig.TickUntil([&rig] { return rig.LineFrames().size() == 2; }));
    const std::uint64_t secondCopy = rig.port->WriteTicks.back();
    rig.BoardSends(Empt386Frame());
    ASSERT_TRUE(rig.TickUntil([&rig] { return rig.master->Received().size() == 1; }));
    EXPECT_TRUE(rig.master->ErrorCodes().empty());
    EXPECT_EQ(rig.comm->Stat, (TChnStat{1, 1, 2, 1, 1, 0, kCommResRecTimeout}));

    // The answer may have been the first copy's: the second's may still come, and must not pass
    // for the next frame's. It is passed up with the tag of the frame it answers.
    rig.PostTxD(RqstRecord(), 2);
    rig.BoardSends(Empt386Frame());
    ASSERT_TRUE(rig.TickUntil([&rig] { return rig.LineFrames().size() == 3; }));
    const std::uint64_t window = LineMs(BuildBareFrame(ft_Rqst).Bytes()) + 1000;
    EXPECT_GE(rig.port->WriteTicks.back() - secondCopy, window);
    EXPECT_LE(rig.port->WriteTicks.back() - secondCopy, window + 2);
    ASSERT_EQ(rig.master->Received().size(), 2u);
    EXPECT_EQ(rig.master->Received()[1].Par2, 1);
}

TEST(CommProcessTest, SettingsComeFromTheIniAndOnlyDifferingOnesAreWrittenBack) {
    CommRig rig("DWN=0 LRB=100 TOP=500 TIC=600 TID=700 TCL=800 RTF=9600 REP=5 NOD=1 DNO=2 EW=7");
    EXPECT_EQ(rig.comm->EW, 7);
    const std::string text = rig.comm->ParamsToText();
    EXPECT_NE(text.find(" LRB=100 TOP=500 TIC=600 TID=700 TCL=800 RTF=9600 REP=5 NOD=1 DNO=2"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("EW="), std::string::npos) << "EW is never written back";

    CommRig fresh;
    TRavloComm_Process& comm = *fresh.comm;
    const std::string defaults = comm.ParamsToText();
    for (const char* key : {"LRB", "TOP", "TIC", "TID", "TCL", "RTF", "REP", "NOD", "DNO"}) {
        EXPECT_EQ(defaults.find(key), std::string::npos) << key << " in " << defaults;
    }
    // Values out of range change nothing.
    for (const char* bad : {"REP=256", "NOD=-1", "TOP=-5", "LRB=65536", "EW=x"}) {
        EXPECT_TRUE(comm.ParseParams(bad)) << bad;
    }
    EXPECT_EQ(comm.ParamsToText(), defaults);
    EXPECT_EQ(comm.EW, 20);
    EXPECT_FALSE(comm.ParseParams("LRB=0 REP=0"));
    EXPECT_EQ(comm.LRB(), 0);
}

TEST_F(ConnectedCommTest, ANewReceiveBufferWhileConnectedIsTheOneFramesArriveIn) {
    ASSERT_FALSE(rig.comm->ParseParams("LRB=64"));
    rig.PostTxD(RqstRecord());
    Bytes memD = {ft_MemD, 0, 0, 0, 0, 0, 0x10, 4, 0, 1, 2, 3, 4};
    rig.BoardSends(memD);
    ASSERT_TRUE(rig.TickUntil([this] { return rig.master->Received().size() == 1; }));
    EXPECT_EQ(rig.master->Received()[0].Data, RxDRecord(memD));

    // A frame longer than the buffer is not taken.
    rig.PostTxD(RqstRecord());
    rig.BoardSends(Bytes(65, 0x44));
    rig.Tick(500);
    EXPECT_EQ(rig.master->Received().size(), 1u);
}

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
    rig_.Tick(LineMs(BuildBareFrame(ft_Rqst).Bytes()) + 1000);
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

// The adapter is pulled while the line is open, and plugged back later.
TEST_F(ConnectedCommTest, ADeviceThatGoesIsLookedForQuietlyAndOpenedAgainWhenItIsBack) {
    rig.port->Vanished = true;
    rig.PostTxD(RqstRecord(), 1);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.master->ErrorCodes().size() == 1; }, 100))
        << "given up at once, without repeats";
    rig.PostTxD(RqstRecord(), 2);
    ASSERT_TRUE(rig.TickUntil([&] { return rig.master->ErrorCodes().size() == 2; }, 100));
    EXPECT_EQ(rig.master->ErrorCodes(), (Codes{CommErr_NoAnswer, CommErr_NoAnswer}));
    EXPECT_EQ(CountContaining(rig.writer.Errors(), "the device has gone"), 1u);
    EXPECT_EQ(CountContaining(rig.writer.Errors(), ":Err,Rep="), 1u) << "one line while it stays away";
    EXPECT_EQ(rig.port->OpenCount, 1) << "not opened while it is away";
    EXPECT_TRUE(rig.LineFrames().empty());

    // Another rate for the same port while the device is away: the port counts as open.
    rig.PostChnParam(1, 9600);
    EXPECT_EQ(rig.master->StateCodes().back(), MAS_Connected);
    EXPECT_EQ(ComBaud, 9600u);

    rig.port->Vanished = false;
    rig.PostTxD(RqstRecord(), 3);
    ASSERT_EQ(rig.LineFrames().size(), 1u) << "the send found the device back";
    EXPECT_EQ(rig.port->OpenCount, 2);
    EXPECT_EQ(rig.port->Settings.Baud, 9600u);
    rig.BoardSends(Empt386Frame());
    ASSERT_TRUE(rig.TickUntil([&] { return !rig.master->Received().empty(); }));
    EXPECT_EQ(rig.master->Received()[0].Par2, 3);

    rig.port->Vanished = true;
    rig.Tick();
    rig.Post(RAVLOCOMM_MA_DiClDe);
    EXPECT_EQ(rig.master->StateCodes().back(), MAS_0) << "a device that has gone closes without error";
    EXPECT_EQ(rig.master->ErrorCodes().size(), 2u);
}

} // namespace
} // namespace ravlo
