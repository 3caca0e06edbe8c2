// The board master among answers that come late, out of step with the frames they answer, and
// among commands that change the port while it is in use.
#include "ma_fixture.h"
#include "protocol/ma_messages.h"
#include "protocol/ma_timeouts.h"
#include "support/scratch_dir.h"

#include <random>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::Lines;
using testing::MaRig;
using MaLateAnswerTest = testing::IdentifiedMaTest;

// Block reads whose answers arrive in random bursts and pauses (a busy host, a slow board): pieces
// time out while their data are still coming, and late answers carry the tag of a later frame, as
// the communication process tags whatever arrives after it took that frame. Every read ends: with
// exactly the board's bytes in its file, or reported as failed with the file as it was; and no
// operation ever waits with no time-out armed.
TEST(MaLateAnswerSeededTest, BlockReadsEndWithTheBoardsBytesOrAReportedFailure) {
    for (int seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        MaRig rig;
        rig.ConnectAndIdentify(DEV_Vok188);
        std::mt19937 random(static_cast<std::uint32_t>(seed));
        const std::uint32_t length = 256 * (2 + random() % 5) + (random() % 2 == 0 ? 88 : 0);
        Bytes bytes(length);
        std::generate(bytes.begin(), bytes.end(), [&random] { return static_cast<std::uint8_t>(random()); });
        rig.Board().Put(0x10000, bytes);
        testing::ScratchDir dir;
        const auto file = dir.Write("read.bin", "before");
        rig.comm->Hold = true;
        ASSERT_TRUE(rig.ma->ReadMemBlock(LinToFarPtr(0x10000), length, file, TReadFileMode::Replace));
        rig.Settle();
        for (int step = 0; step < 400 && rig.ma->ConState != cs_idle; ++step) {
            const std::uint32_t pick = random() % 10;
            if (pick < 6) {
                rig.comm->ReleaseHeld(1 + random() % 3, true);
                rig.Settle();
            } else {
                rig.Advance(pick < 8 ? 50 + random() % 300 : DataTimeOutMs(1000, 4800) + 50);
            }
            ASSERT_TRUE(rig.ma->ConState == cs_idle || rig.ma->TimeOutArmed()) << "step " << step;
        }
        rig.comm->Hold = false;
        for (int round = 0; round < 100 && rig.ma->ConState != cs_idle; ++round) {
            rig.comm->ReleaseHeld(SIZE_MAX, true);
            rig.Advance(200);
        }
        ASSERT_EQ(rig.ma->ConState, cs_idle);
        if (rig.errors->Texts.empty()) {
            EXPECT_EQ(dir.Text("read.bin"), std::string(bytes.begin(), bytes.end()));
        } else {
            EXPECT_EQ(dir.Text("read.bin"), "before");
        }
    }
}

TEST_F(MaLateAnswerTest, AnAnswerThatCannotAnswerTheFrameAwaitedIsDroppedWithoutABeep) {
    // The board's second answer to a ping the communication process had to repeat.
    rig.comm->Hold = true;
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    rig.Settle();
    rig.comm->Hold = false;
    rig.comm->Arrives(Bytes{ft_Empt188, 0, 0});
    rig.comm->Arrives(Bytes{ft_MemE, 0, 0}); // no data before it: the end of an earlier answer
    rig.Settle();
    EXPECT_EQ(rig.ma->ConState, cs_WaitForMemView);
    rig.comm->ReleaseHeld();
    rig.Settle();
    ASSERT_EQ(rig.views.Pages.size(), 1u);
    EXPECT_EQ(rig.views.Pages[0].Data, rig.Board().Read(0x400, 256));
    EXPECT_EQ(rig.presenter.Beeps, 0);
    EXPECT_TRUE(rig.errors->Texts.empty());
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u);
}

TEST_F(MaLateAnswerTest, BetweenTwoLoadsNothingIsAwaitedAndALateAcknowledgementIsDropped) {
    // A late acknowledgement taken for the next Load would let two of them go out at once, and the
    // write would end before its last one.
    rig.comm->Hold = true;
    ASSERT_TRUE(rig.ma->WriteMemBlock(LinToFarPtr(0x20000), Bytes(1024, 0x5A), "block"));
    rig.Settle();
    rig.comm->ReleaseHeld();
    rig.comm->Hold = false;
    rig.comm->Arrives(Bytes{ft_Empt188, 0, 0});
    ASSERT_TRUE(UntilIdle());
    EXPECT_EQ(rig.comm->SentFrames().size(), 4u);
    EXPECT_EQ(rig.Board().Read(0x20000, 1024), Bytes(1024, 0x5A));
    EXPECT_TRUE(rig.form.DownloadOk);
}

TEST_F(MaLateAnswerTest, ADisconnectAskedForDuringAnOperationThatFailsIsStillCarriedOut) {
    rig.comm->Hold = true;
    ASSERT_TRUE(rig.ma->WriteMemBlock(LinToFarPtr(0x20000), Bytes(512, 1), "block"));
    rig.Settle();
    rig.ma->CloseComm();
    rig.Settle();
    rig.comm->Hold = false;
    rig.comm->Report(RAVLOCOMM_MA_Error, CommErr_NoAnswer);
    rig.Settle();
    EXPECT_EQ(rig.ma->LinkState, ravlost_Inactive);
    EXPECT_EQ(rig.comm->Codes().back(), RAVLOCOMM_MA_DiClDe);
}

TEST_F(MaLateAnswerTest, FailuresBesideACommandThatActsOnThePortLeaveItsWaitAsItWas) {
    // A close that failed on a device that has gone, and an exchange given up before the command
    // was taken.
    rig.comm->Hold = true;
    rig.ma->CloseComm();
    rig.Settle();
    ASSERT_EQ(rig.ma->LinkState, ravlost_WaFDiClDe);
    rig.comm->Hold = false;
    rig.comm->Report(RAVLOCOMM_MA_Error, CommErr_Close);
    rig.comm->Report(RAVLOCOMM_MA_Error, CommErr_NoAnswer);
    rig.Settle();
    EXPECT_EQ(rig.ma->LinkState, ravlost_WaFDiClDe);
    EXPECT_TRUE(rig.ma->TimeOutArmed());
    rig.comm->ReleaseHeld();
    rig.Settle();
    EXPECT_EQ(rig.ma->LinkState, ravlost_Inactive);
    EXPECT_TRUE(rig.errors->Texts.empty());
}

TEST(MaPortChangeTest, ANewPortIsSearchedWithoutTellingTheBoardOnTheOldOne) {
    MaRig rig("DWN=0 PER=1000");
    rig.ConnectAndIdentify();
    rig.ma->DefBd = 4800;
    rig.ma->BDLD = rig.ma->CurBaud = 115200;
    rig.ma->SetChnParam(2, 115200);
    rig.Advance(5000);
    EXPECT_EQ(rig.comm->Codes()[0], RAVLOCOMM_MA_SetChnParam) << "no rate command for the board on COM1";
    // The board on COM2 was found at the rate it runs, identified and switched to the new rate.
    EXPECT_EQ(rig.ma->Connected, kBoardConnected);
    EXPECT_EQ(rig.Board().Baud, 115200u);
    EXPECT_EQ(ComOpenPort, 2);
    EXPECT_TRUE(rig.errors->Texts.empty()) << "no loss is reported while the new port is searched";
}

} // namespace
} // namespace ravlo
