#include "ma_fixture.h"
#include "protocol/ma_messages.h"

namespace ravlo {
namespace {

using testing::Bytes;
using testing::Frames;
using testing::Lines;
using Message = testing::NotifyWindow::Message;
using Messages = std::vector<Message>;

class MaOperationsTest : public testing::IdentifiedMaTest {
protected:
    testing::NotifyWindow window;
};

TEST_F(MaOperationsTest, IoReadsOfAByteAndAWordAndWritesDoneWhenTheyHaveGoneOut) {
    rig.Board().IoValues[0x300] = 0x1234;
    rig.ma->ReadIO(0x300, true, window.Handle());
    rig.ma->ReadIO(0x300, false, window.Handle());
    rig.ma->WriteIO(0x310, true, window.Handle(), 0xABCD);
    rig.ma->WriteIO(0x312, false, window.Handle(), 0xABCD);
    rig.Settle();
    const Frames frames = rig.comm->SentFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0], (Bytes{ft_cIORd, 0, 0, 0x00, 0x03, 1, 0}));
    EXPECT_EQ(frames[1], (Bytes{ft_cIORdW, 0, 0, 0x00, 0x03, 2, 0}));
    EXPECT_EQ(rig.Board().IoWrites[0x310], 0xCD);
    EXPECT_EQ(rig.Board().IoWrites[0x312], 0xABCD);
    EXPECT_EQ(
        window.Messages,
        (Messages{
            {wm_IORdDone, 0x34, 1}, {wm_IORdDone, 0x1234, 2}, {wm_IOWrDone, 0, 0}, {wm_IOWrDone, 0, 0}}));
    EXPECT_EQ(rig.mainForm.Events[0], "- Data were read from IO address $0300");
    EXPECT_EQ(rig.mainForm.Events.back(), "- Data were written to IO address $0312");
    EXPECT_FALSE(rig.ma->TimeOutArmed());
}

// A read answered with another port's value, a write whose frame is swallowed.
TEST_F(MaOperationsTest, IoReadOfAnotherPortAndAWriteThatNeverGoesOutEndWithoutHanging) {
    rig.Board().Scripted = {Frames{{ft_cIORd, 0, 0, 0x01, 0x03, 1, 0, 0x55}, {ft_MemE, 0, 0}}};
    rig.comm->Silent = true;
    rig.ma->ReadIO(0x300, true, window.Handle());
    EXPECT_TRUE(UntilIdle());
    rig.comm->Open = false;
    rig.ma->WriteIO(0x310, true, window.Handle(), 1);
    EXPECT_TRUE(UntilIdle());
    EXPECT_EQ(rig.errors->Values().back(), "IO Write failed by TimeOut");
    EXPECT_TRUE(window.Messages.empty()) << "the value of another port is not passed on";
}

TEST_F(MaOperationsTest, StopEndsAnOperationThatWaitsForNothingToArrive) {
    rig.comm->Open = false; // the frame is swallowed and never confirmed
    rig.ma->GoAddr(MakeFarPtr(0, 0xC800));
    rig.ma->RunApp(MakeFarPtr(0, 0xC800));
    rig.Settle();
    ASSERT_EQ(rig.ma->ConState, cs_WaitForGo);
    rig.ma->StopOperation();
    rig.Settle();
    EXPECT_EQ(rig.ma->ConState, cs_idle);
    EXPECT_EQ(rig.ma->QueueCount(), 0u) << "the run behind it was dropped";
    EXPECT_EQ(rig.errors->Values(), Lines{"Operation aborted"});
    rig.Advance(10000, 100);
    EXPECT_EQ(rig.errors->Values().size(), 1u) << "no time-out fires afterwards";
    EXPECT_EQ(rig.Board().Runs, 0);
}

TEST_F(MaOperationsTest, ClockReadFillsTheCallersBufferAndWriteSetsTheClock) {
    auto buffer = std::make_shared<TClockBuffer>();
    rig.ma->ReadRTC(window.Handle(), buffer);
    rig.ma->WriteRTC(window.Handle(), TVokClockRec{2030, 1, 2, 3, 4, 5});
    rig.Settle();
    EXPECT_EQ(rig.comm->SentFrames(),
              (Frames{{ft_GetRTC, 0, 0}, {ft_SetRTC, 0, 0, 0xEE, 0x07, 1, 2, 3, 4, 5}}));
    EXPECT_EQ(*buffer, (TClockBuffer{ft_SetRTC, 0, 0, 0x24, 0x20, 0x05, 0x17, 0x12, 0x30, 0x45, 0x80, 0x19,
                                     0x99, 0x20}));
    EXPECT_EQ(rig.Board().Clock, (TVokClockRec{2030, 1, 2, 3, 4, 5}));
    EXPECT_EQ(window.Messages, (Messages{{wm_RTCRdOk, 0, 0}, {wm_RTCWrOk, 0, 0}}));
    EXPECT_EQ(rig.mainForm.Events, (Lines{"- Real Time Clock were read", "- Real Time Clock were written"}));
}

TEST_F(MaOperationsTest, ClockFailuresTellTheWindowAndAShortAnswerIsNotOverRead) {
    auto buffer = std::make_shared<TClockBuffer>();
    rig.Board().ShortClock = 1;
    rig.ma->ReadRTC(window.Handle(), buffer);
    rig.Settle();
    EXPECT_EQ(*buffer, TClockBuffer{}) << "nothing was copied";
    const std::string readFailed = "Reading Time failed.\r\nProbably unsupported Vok function.";
    EXPECT_EQ(rig.errors->Values(), Lines{readFailed});
    rig.Board().ClockErr = 0x31; // refused by the board
    rig.ma->ReadRTC(window.Handle(), buffer);
    rig.ma->WriteRTC(window.Handle(), TVokClockRec{2030, 1, 2, 3, 4, 5});
    rig.Settle();
    rig.Board().ClockErr.reset();
    rig.errors->Texts.clear();
    rig.Board().Mute = 2; // no exchange at all
    rig.ma->ReadRTC(window.Handle(), buffer);
    rig.ma->WriteRTC(window.Handle(), TVokClockRec{});
    rig.Settle();
    EXPECT_EQ(window.Messages, (Messages{{wm_RTCErr, 1, 0},
                                         {wm_RTCErr, 0x31, 0},
                                         {wm_RTCErr, 0x31, 0},
                                         {wm_RTCErr, 1, 0},
                                         {wm_RTCErr, 2, 0}}));
    EXPECT_EQ(rig.errors->Values(),
              (Lines{readFailed, "Setting Time failed.\r\nProbably unsupported Vok function."}));
    EXPECT_EQ(rig.ma->ConState, cs_idle);
}

TEST_F(MaOperationsTest, ChecksumOverEveryRomModule) {
    rig.project.Modules = {{"ROM1", 0xC800, 1000}, {"ROM2", 0xD000, 0x8000}, {"ROM3", 0xE000, 16}};
    rig.ma->CheckSum();
    rig.Settle();
    const Frames frames = rig.comm->SentFrames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], (Bytes{ft_Chcksum, 0, 0, 0x00, 0x00, 0x00, 0xC8, 62, 0}));
    EXPECT_EQ(FrameU16(frames[1], 7), 0x800);
    EXPECT_EQ(rig.dialogs->Values(), Lines{"Checksum OK"});

    rig.dialogs->Texts.clear();
    rig.Board().Scripted = {Frames{{ft_CheckOk, 0, 0}}, Frames{{ft_CheckErr, 0, 0}},
                            Frames{{ft_CheckOk, 0, 0}}};
    rig.ma->CheckSum();
    rig.Settle();
    EXPECT_EQ(rig.dialogs->Values(), Lines{"Checksum Error"});
}

TEST_F(MaOperationsTest, ChecksumThatWouldSendNothingIsRefused) {
    rig.ma->CheckSum();
    rig.ma->ReadMemPage(LinToFarPtr(0), kNoWindow);
    rig.Settle();
    EXPECT_EQ(rig.dialogs->Values(), Lines{"Nothing to check: the project has no ROM module."});
    EXPECT_EQ(rig.views.Pages.size(), 1u) << "the queue went on";

    rig.dialogs->Texts.clear();
    rig.project.Modules = {{"ROM1", 0xC800, 1000}, {"ROM2", 0xD000, 0}};
    rig.ma->CheckSum();
    rig.Settle();
    EXPECT_EQ(rig.dialogs->Values(), Lines{"Error, Generate first, then run CheckSum again."});
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u) << "only the page";
}

TEST_F(MaOperationsTest, GoAndRun) {
    rig.form.RunOkFlag = false;
    rig.ma->GoAddr(MakeFarPtr(0x0010, 0xC800));
    rig.ma->RunApp(MakeFarPtr(0, 0xE000));
    rig.Settle();
    EXPECT_EQ(rig.comm->SentFrames(),
              (Frames{{ft_Go, 0, 0, 0x10, 0, 0x00, 0xC8}, {ft_Run, 0, 0, 0, 0, 0x00, 0xE0}}));
    EXPECT_EQ(rig.Board().Gos, 1);
    EXPECT_EQ(rig.Board().Runs, 1);
    EXPECT_TRUE(rig.form.RunOkFlag);
    EXPECT_EQ(rig.mainForm.Events, (Lines{"- Application was started", "- Application was started"}));
    EXPECT_EQ(rig.form.Exits, 0);
    EXPECT_FALSE(rig.ma->TimeOutArmed());
}

TEST_F(MaOperationsTest, BatchRunEndsTheProgramAfterTheLastStep) {
    rig.form.Flags = TMaMainForm::CL_Exit;
    rig.form.RunOkFlag = false;
    rig.ma->WriteMemBlock(MakeFarPtr(0, 0xC800), Bytes(256, 1), "ROM1.BIN");
    rig.Settle();
    EXPECT_EQ(rig.form.Exits, 0) << "the run is still to come";
    rig.ma->RunApp(MakeFarPtr(0, 0xC800));
    rig.Settle();
    EXPECT_EQ(rig.form.Exits, 1);
}

TEST_F(MaOperationsTest, DownloadOfSeveralModulesReportsOnceAtTheEnd) {
    rig.ma->WriteMemBlock(MakeFarPtr(0, 0xC800), Bytes(300, 1), "ROM1.BIN");
    rig.ma->WriteMemBlock(MakeFarPtr(0, 0xD000), Bytes(256, 2), "ROM2.BIN");
    rig.Settle();
    EXPECT_EQ(rig.mainForm.Events, Lines{"- File \"ROM2.BIN\" has been loaded"});
    EXPECT_EQ(rig.Board().Read(0xC8000, 300), Bytes(300, 1));
    EXPECT_EQ(rig.Board().Read(0xD0000, 256), Bytes(256, 2));
}

TEST_F(MaOperationsTest, WriteThatLosesTheBoardEmptiesTheQueue) {
    rig.Board().Mute = 100;
    rig.ma->WriteMemBlock(MakeFarPtr(0, 0xC800), Bytes(512, 1), "ROM1.BIN");
    rig.ma->WriteMemBlock(MakeFarPtr(0, 0xD000), Bytes(256, 2), "ROM2.BIN");
    rig.Settle();
    EXPECT_EQ(rig.errors->Values(), Lines{"Writing block of memory failed by Error"});
    EXPECT_EQ(rig.ma->QueueCount(), 0u);
    EXPECT_EQ(rig.ma->SavedCount(), 0u);
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u);
    EXPECT_EQ(rig.ma->Connected, kNotConnected);
}

TEST_F(MaOperationsTest, UnexpectedFrameEndsTheOperationThroughItsTimeOut) {
    rig.project.Modules = {{"ROM1", 0xC800, 1000}};
    rig.comm->Silent = true;
    rig.Board().Scripted = {Frames{{ft_MemE, 0, 0}}};
    rig.ma->CheckSum();
    rig.Settle();
    EXPECT_TRUE(rig.ma->TimeOutArmed());
    EXPECT_TRUE(UntilIdle());
    EXPECT_EQ(rig.errors->Values(), Lines{"Checksumming failed by TimeOut"});
}

} // namespace
} // namespace ravlo
