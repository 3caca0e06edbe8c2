// The board master's operations: memory, IO, clock, checksums, Go and Run.
#include "kernel/exception_log.h"
#include "ma_fixture.h"
#include "protocol/ma_messages.h"

#include <filesystem>
#include <functional>
#include <numeric>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::FakeBoard;
using testing::Frames;
using testing::Lines;
using testing::LinOf;
using testing::Shape;
using testing::Shapes;
using Message = testing::NotifyWindow::Message;
using Messages = std::vector<Message>;

Bytes Pattern(std::size_t count, std::uint8_t seed) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return bytes;
}

class MaOperationsTest : public testing::IdentifiedMaTest {
protected:
    void SetUp() override {
        IdentifiedMaTest::SetUp();
        rig.Board().Put(0, Pattern(0x100000 - 0x10000, 0x11));
    }
    // Starts reading count bytes at lin into an empty r.bin.
    void ReadBlock(std::uint32_t lin, std::uint32_t count) {
        rig.ma->ReadMemBlock(LinToFarPtr(lin), count, rig.ini_.Dir().Write("r.bin", ""));
    }
    std::string FileText() const { return rig.ini_.Dir().Text("r.bin"); }
    std::string BoardText(std::uint32_t lin, std::size_t count) {
        const Bytes bytes = rig.Board().Read(lin, count);
        return {bytes.begin(), bytes.end()};
    }

    testing::NotifyWindow window;
};

TEST_F(MaOperationsTest, UnalignedWriteReadsTheBoardBytesAroundItFirst) {
    Bytes expected = rig.Board().Read(0xC8100, 256);
    const Bytes data = Pattern(10, 0xA0);
    std::copy(data.begin(), data.end(), expected.begin() + 5);
    ASSERT_TRUE(rig.ma->WriteMemBlock(MakeFarPtr(0x0105, 0xC800), data, "blk.bin"));
    rig.Settle();
    EXPECT_EQ(Shapes(rig.comm->SentFrames()),
              (std::vector<Shape>{{ft_Mem, 0xC8100, 5}, {ft_Mem, 0xC810F, 241}, {ft_Load, 0xC8100, 256}}));
    EXPECT_EQ(rig.Board().Read(0xC8100, 256), expected) << "only the caller's bytes changed";
    EXPECT_EQ(rig.mainForm.Events, Lines{"- File \"blk.bin\" has been loaded"});
    EXPECT_EQ(rig.dialogs->Values(), Lines{"Writing successfully completed"});
}

// A fault of the board during a ROM module's write, and whether the write ends confirmed.
class MaRomModuleTest : public MaOperationsTest,
                        public ::testing::WithParamInterface<std::pair<void (*)(FakeBoard&), bool>> {};

TEST_P(MaRomModuleTest, TheWriteEndsWithTheBoardsChecksumOfTheModule) {
    const bool confirmed = GetParam().second;
    Bytes image = Pattern(1024, 3);
    image.back() = static_cast<std::uint8_t>(image.back() - std::accumulate(image.begin(), image.end(), 0u));
    rig.Board().Put(0xC8000, Bytes(image.size(), 0));
    GetParam().first(rig.Board());
    ASSERT_TRUE(rig.ma->WriteRomModule(MakeFarPtr(0, 0xC800), image, "ROM1.BIN"));
    rig.ma->RunApp(MakeFarPtr(0, 0xC800));
    rig.Settle();
    const Frames frames = rig.comm->SentFrames();
    ASSERT_GE(frames.size(), 5u);
    EXPECT_EQ(frames[4], (Bytes{ft_Chcksum, 0, 0, 0, 0, 0x00, 0xC8, 64, 0})) << "C800:0000, 64 paragraphs";
    EXPECT_EQ(rig.form.DownloadOk, confirmed);
    EXPECT_EQ(rig.Board().Runs, confirmed ? 1 : 0) << "nothing queued behind a failed module runs";
    EXPECT_EQ(
        rig.errors->Values(),
        confirmed
            ? Lines{}
            : Lines{"Loading \"ROM1.BIN\" failed: the Vok's checksum of the module does not confirm it."});
}

INSTANTIATE_TEST_SUITE_P(Faults, MaRomModuleTest,
                         ::testing::Values(std::pair{+[](FakeBoard&) {}, true},
                                           // An acknowledgement that came for a Load the board never took in.
                                           std::pair{+[](FakeBoard& b) {
                                                         b.Scripted = {Frames{{ft_Empt188, 0, 0}}};
                                                     },
                                                     false},
                                           std::pair{+[](FakeBoard& b) { b.CheckErr = 1; }, false}));

TEST_F(MaOperationsTest, BlocksThatAreEmptyOrPassTheEndOfTheAddressSpaceAreRefused) {
    // A block past the end would wrap round to address 0: a read would save zeros as if read, a
    // write would overwrite the interrupt vectors.
    const auto file = rig.ini_.Dir().Write("r.bin", "");
    EXPECT_FALSE(rig.ma->WriteMemBlock(MakeFarPtr(0, 0xC800), {}, "empty"));
    EXPECT_FALSE(rig.ma->ReadMemBlock(MakeFarPtr(0, 0xC800), 0, file));
    EXPECT_FALSE(rig.ma->ReadMemBlock(LinToFarPtr(0xFFF00), 0x101, file));
    EXPECT_FALSE(rig.ma->ReadMemBlock(MakeFarPtr(0x0010, 0xFFFF), 1, file));
    EXPECT_FALSE(rig.ma->ReadMemBlock(LinToFarPtr(0x10), 0xFFFFFFF8u, file)) << "no overflow of the end";
    EXPECT_FALSE(rig.ma->WriteMemBlock(LinToFarPtr(0xFFF80), Pattern(0x81, 1), "wrap"));
    EXPECT_FALSE(rig.ma->ReadMemPage(LinToFarPtr(0xFFF01), kNoWindow));
    EXPECT_TRUE(rig.ma->ReadMemBlock(LinToFarPtr(0xFFF00), 0x100, file)) << "up to the last byte is fine";
    EXPECT_TRUE(rig.ma->ReadMemPage(MakeFarPtr(0x0000, 0xFFF0), kNoWindow));
    rig.Settle();
    EXPECT_EQ(rig.ma->QueueCount(), 0u);
    const Frames frames = rig.comm->SentFrames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(LinOf(frames[0]), 0xFFF00u);
    ASSERT_EQ(rig.views.Pages.size(), 1u) << "the last page is read";
    EXPECT_EQ(rig.views.Pages[0].Data, rig.Board().Read(0xFFF00, 256));
    const Lines dialogs = rig.dialogs->Values();
    ASSERT_EQ(dialogs.size(), 8u) << "seven refusals and the read's success";
    EXPECT_EQ(dialogs[2], "Nothing to read: the block passes the end of the address space ($FFFFF).");
    EXPECT_EQ(dialogs[5],
              "Nothing to write: the block \"wrap\" passes the end of the address space ($FFFFF).");
    EXPECT_EQ(dialogs[6],
              "Nothing to read: the page at $FFF01 passes the end of the address space ($FFFFF).");
}

TEST(MaOperationsUnidentifiedTest, WriteToAnUnidentifiedBoardEndsAndTheQueueGoesOn) {
    testing::MaRig rig;
    rig.Connect();
    rig.ma->WriteMemBlock(MakeFarPtr(0, 0xC800), Pattern(16, 1), "x");
    rig.ma->ReadMemPage(MakeFarPtr(0, 0x40), kNoWindow);
    rig.Settle();
    EXPECT_EQ(rig.errors->Values(), Lines{"Internal error: frq_load and unknown DEV_VokType: dev_$00"});
    EXPECT_EQ(rig.views.Pages.size(), 1u) << "the page read behind it ran";
    EXPECT_EQ(rig.ma->ConState, cs_idle);
}

TEST_F(MaOperationsTest, BlockReadAppendsToTheFile) {
    ASSERT_TRUE(rig.ma->ReadMemBlock(LinToFarPtr(0x20010), 600, rig.ini_.Dir().Write("r.bin", "HEAD")));
    rig.Settle();
    EXPECT_EQ(Shapes(rig.comm->SentFrames()),
              (std::vector<Shape>{{ft_Mem, 0x20010, 256}, {ft_Mem, 0x20110, 256}, {ft_Mem, 0x20210, 88}}));
    EXPECT_EQ(FileText(), "HEAD" + BoardText(0x20010, 600));
    EXPECT_EQ(rig.mainForm.Events, Lines{"- 600 bytes have been read from $20010"});
    EXPECT_EQ(rig.dialogs->Values(), Lines{"Memory block successfully read."});

    // Exactly two pieces: no third, empty one.
    rig.comm->Requests.clear();
    rig.ma->ReadMemBlock(LinToFarPtr(0x30000), 512, rig.ini_.Dir() / "r.bin");
    rig.Settle();
    EXPECT_EQ(rig.comm->SentFrames().size(), 2u);
    EXPECT_EQ(FileText().size(), 4u + 600u + 512u);
}

TEST_F(MaOperationsTest, ReadWhoseFileCannotBeWrittenSaysSoAndLeavesNoFile) {
    const auto file = rig.ini_.Dir() / "missing" / "r.bin";
    rig.ma->ReadMemBlock(LinToFarPtr(0x30000), 100, file);
    rig.Settle();
    EXPECT_FALSE(std::filesystem::exists(file));
    ASSERT_EQ(rig.errors->Texts.size(), 1u);
    EXPECT_NE(rig.errors->Texts[0].Value.find("can't be written"), std::string::npos);
    EXPECT_EQ(rig.errors->Texts[0].Kind, 1);
    EXPECT_TRUE(rig.dialogs->Values().empty()) << "no success message";
    EXPECT_EQ(rig.ma->ConState, cs_idle);
}

TEST_F(MaOperationsTest, UnansweredPieceIsRepeatedFromItsOwnPosition) {
    rig.comm->Silent = true;
    ReadBlock(0x30000, 700);
    rig.comm->Hold = true;
    rig.Settle();
    Release();
    rig.Board().Mute = 1; // the second piece goes unanswered once
    rig.Settle();
    EXPECT_EQ(rig.comm->SentFrames().size(), 2u);
    EXPECT_TRUE(rig.ma->TimeOutArmed());
    EXPECT_TRUE(UntilIdle());
    const Frames frames = rig.comm->SentFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(LinOf(frames[2]), 0x30100u) << "the repeat asks for the piece that was lost";
    EXPECT_EQ(LinOf(frames[3]), 0x30200u);
    EXPECT_EQ(FileText(), BoardText(0x30000, 700));
    EXPECT_TRUE(rig.errors->Texts.empty());
}

TEST_F(MaOperationsTest, ReadGivesUpAfterThreeRepeats) {
    rig.comm->Silent = true;
    rig.Board().Mute = 100;
    ReadBlock(0x30000, 700);
    rig.ma->ReadMemPage(LinToFarPtr(0), kNoWindow);
    EXPECT_TRUE(rig.AdvanceUntil([&] { return rig.ma->ConState == cs_idle && rig.ma->QueueCount() == 0; }));
    EXPECT_EQ(rig.comm->SentFrames().size(), 4u) << "the first frame and three repeats";
    EXPECT_EQ(rig.errors->Values(), Lines{"Reading block of memory failed by TimeOut"});
    EXPECT_EQ(rig.ma->Connected, kNotConnected);
    EXPECT_TRUE(rig.views.Pages.empty()) << "the queue was emptied";
    EXPECT_EQ(FileText(), "") << "nothing half-read was written";
}

// Failed exchanges, and a lost data piece with an early end: each piece is read again, whole.
TEST_F(MaOperationsTest, PiecesOfFailedExchangesOrCutAnswersAreReadAgain) {
    struct Case {
        void (*Fault)(FakeBoard&);
        std::uint32_t Count;
        std::size_t Frames;
    };
    for (const Case c : {Case{[](FakeBoard& b) { b.Mute = 2; }, 300, 4},
                         Case{[](FakeBoard& b) { b.DropMemD = b.EarlyMemE = 1; }, 512, 3}}) {
        SCOPED_TRACE(c.Frames);
        rig.comm->Requests.clear();
        c.Fault(rig.Board());
        ReadBlock(0x31000, c.Count);
        EXPECT_TRUE(UntilIdle());
        EXPECT_EQ(FileText(), BoardText(0x31000, c.Count));
        EXPECT_EQ(rig.comm->SentFrames().size(), c.Frames) << "the first piece was read again";
        EXPECT_TRUE(rig.errors->Texts.empty());
    }
}

TEST_F(MaOperationsTest, WrongAddressInAWriteHeadReadIsIgnoredThenRepeated) {
    Bytes expected = rig.Board().Read(0x40000, 256);
    const Bytes data = Pattern(20, 0x77);
    std::copy(data.begin(), data.end(), expected.begin() + 0x10);
    rig.Board().WrongAddress = 1;
    rig.ma->WriteMemBlock(LinToFarPtr(0x40010), data, "x");
    EXPECT_TRUE(UntilIdle());
    EXPECT_EQ(rig.Board().Read(0x40000, 256), expected);
    EXPECT_TRUE(rig.errors->Texts.empty());
}

TEST_F(MaOperationsTest, WrongAddressInAPageReadIsAProtocolFaultAndThePageIsReadAgain) {
    rig.Board().WrongAddress = 1;
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    rig.Settle();
    EXPECT_NE(testing::ReadFileText(ExceptionLogPath()).find("Neshodne adresy v MemView, recv.adr="),
              std::string::npos);
    EXPECT_EQ(rig.comm->SentFrames().size(), 2u) << "the page came short and was asked for again";
    ASSERT_EQ(rig.views.Pages.size(), 1u);
    EXPECT_EQ(rig.views.Pages[0].Data, rig.Board().Read(0x400, 256));
    EXPECT_TRUE(rig.errors->Texts.empty());
}

TEST_F(MaOperationsTest, UnansweredPageTimesOutAtItsDueTimeAcrossTheTickWrapWithoutRepeat) {
    rig.comm->Silent = true;
    rig.Board().Mute = 1;
    rig.clock.Set(0x1'0000'0000ull - 300);
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    rig.Settle();
    ASSERT_TRUE(rig.ma->TimeOutArmed());
    const std::uint64_t due = rig.ma->ArmedTimeOutDue();
    ASSERT_GT(due, 0x1'0000'0000ull) << "the answer is due past the wrap of the 32-bit tick count";

    rig.Advance(static_cast<std::uint32_t>(due - 1 - TickMs()));
    EXPECT_NE(rig.ma->ConState, cs_idle) << "the time-out came early";
    rig.Advance(1);
    EXPECT_EQ(rig.ma->ConState, cs_idle) << "the time-out did not come at its due time";
    EXPECT_EQ(rig.errors->Values(), Lines{"Reading 256 bytes of memory failed by TimeOut"});
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u) << "an unanswered page is not asked for again";
    EXPECT_TRUE(rig.views.Pages.empty());
}

TEST_F(MaOperationsTest, PageWhoseExchangeFailsIsRepeatedUpToThreeTimes) {
    rig.Board().Mute = 10;
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    EXPECT_TRUE(UntilIdle());
    EXPECT_EQ(rig.comm->SentFrames().size(), 4u);
    EXPECT_EQ(rig.errors->Values(), Lines{"Reading 256 byte of memory failed - no answer from Vok."});
}

TEST_F(MaOperationsTest, BoardCountsAreClampedToFrameBufferAndExpectedBytes) {
    const Bytes big = Pattern(300, 9);
    Bytes lying = FakeBoard::MemD(0x400, Pattern(64, 1));
    lying[7] = 0xFF; // claims 255 bytes, carries 64
    lying[8] = 0x00;
    rig.Board().Scripted = {Frames{lying, FakeBoard::Bare(ft_MemE)},
                            Frames{FakeBoard::MemD(0x400, big), FakeBoard::Bare(ft_MemE)}};
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    EXPECT_TRUE(UntilIdle());
    ASSERT_EQ(rig.views.Pages.size(), 1u);
    EXPECT_EQ(rig.views.Pages[0].Data, Bytes(big.begin(), big.begin() + 256))
        << "the short page was read again, and of 300 bytes only the page's 256 were taken";
}

TEST_F(MaOperationsTest, PageGoesToTheViewThatAskedForIt) {
    rig.ma->ReadMemPage(MakeFarPtr(0x0010, 0x0040), 77);
    rig.Settle();
    ASSERT_EQ(rig.views.Pages.size(), 1u);
    EXPECT_EQ(rig.views.Pages[0].Notify, 77u);
    EXPECT_EQ(FarPtrToLin(rig.views.Pages[0].Address), 0x410u);
    EXPECT_EQ(rig.views.Pages[0].Data, rig.Board().Read(0x410, 256));
    EXPECT_EQ(rig.mainForm.Events, Lines{"- 256 bytes have been read from $00410"});
    EXPECT_TRUE(rig.ma->Active().Buffer.empty()) << "the view owns the page now";
}

TEST_F(MaOperationsTest, SetupBlockIsHandedOverAndWrittenBackAsANewOperation) {
    rig.ma->ReadSetup188();
    rig.Settle();
    ASSERT_EQ(rig.views.Setups.size(), 1u);
    EXPECT_EQ(rig.views.Setups[0].Board, 188);
    EXPECT_EQ(rig.views.Setups[0].Block, rig.Board().Read(0xFFE00, 256));
    EXPECT_EQ(rig.ma->ConState, cs_idle) << "the read has ended before the dialog opens";
    EXPECT_TRUE(rig.ma->Active().Buffer.empty()) << "the block is the dialog's";
    // A keep-alive while the dialog is open touches nothing of it.
    rig.Advance(5000);
    std::vector<std::uint8_t> block = std::move(rig.views.Setups[0].Block);
    block[0] = 0x5A;
    ASSERT_TRUE(rig.ma->WriteSetup188(block));
    rig.Settle();
    EXPECT_EQ(rig.Board().Read(0xFFE00, 256), block);
    EXPECT_EQ(rig.mainForm.Events, (Lines{"- Bios Setup Vok188ER has been read", "- Setup was written"}));
    EXPECT_EQ(rig.dialogs->Values(),
              Lines{"Writing successfully completed\rChanges will be used after the Vok reset"});
}

TEST_F(MaOperationsTest, StopEndsAReadCleanlyAndWithNothingRunningOnlyBeeps) {
    const int beeps = rig.presenter.Beeps;
    rig.ma->StopOperation();
    rig.Settle();
    EXPECT_EQ(rig.presenter.Beeps, beeps + 1);
    EXPECT_TRUE(rig.errors->Texts.empty());

    rig.comm->Hold = true;
    ReadBlock(0x30000, 2000);
    rig.ma->ReadMemPage(LinToFarPtr(0), kNoWindow);
    rig.Settle();
    ASSERT_EQ(rig.ma->ConState, cs_WaitForMem);
    rig.ma->StopOperation();
    rig.Settle();
    EXPECT_EQ(rig.ma->ConState, cs_idle);
    EXPECT_EQ(rig.ma->QueueCount(), 0u);
    EXPECT_EQ(rig.ma->SavedCount(), 0u);
    EXPECT_FALSE(rig.ma->TimeOutArmed());
    EXPECT_EQ(rig.errors->Values(), Lines{"Operation aborted"});
    EXPECT_EQ(rig.dialogs->Values(), Lines{"Operation aborted."});
    // The answers still under way change nothing.
    Release();
    rig.Advance(5000);
    EXPECT_EQ(rig.errors->Values().size(), 1u);
    EXPECT_EQ(FileText(), "");
    EXPECT_EQ(rig.ma->Connected, kBoardConnected);
}

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

// The communication process gives up a frame that awaits no answer (its device has gone, its
// sending failed): the operation fails with its own text, no internal error, and the link is lost.
TEST_F(MaOperationsTest, IoWriteGoAndRunWhoseFrameCouldNotGoOutFailByError) {
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[this] { rig.ma->WriteIO(0x310, true, window.Handle(), 1); }, "IO Write failed by Error"},
        {[this] { rig.ma->GoAddr(MakeFarPtr(0, 0xC800)); }, "Starting application failed by Error"},
        {[this] { rig.ma->RunApp(MakeFarPtr(0, 0xC800)); }, "Starting application failed by Error"}};
    for (const auto& [start, text] : cases) {
        rig.ClearRecords();
        rig.comm->Hold = true;
        start();
        rig.Settle();
        ASSERT_NE(rig.ma->ConState, cs_idle);
        rig.comm->Hold = false;
        rig.comm->Report(RAVLOCOMM_MA_Error, CommErr_NoAnswer);
        rig.Settle();
        EXPECT_EQ(rig.ma->ConState, cs_idle) << text;
        EXPECT_EQ(rig.errors->Values(), Lines{text});
        EXPECT_EQ(rig.ma->Connected, kNotConnected) << text;
        rig.comm->ReleaseHeld();
        rig.Settle();
        EXPECT_EQ(rig.errors->Values(), Lines{text}) << "the report of the frame sent changes nothing";
        rig.ma->SendRqst();
        rig.Settle();
        EXPECT_EQ(rig.ma->Connected, kBoardConnected);
    }
}

// The value of an IO read lost on the line: the MemE behind it ends nothing, and the read fails by
// its time-out (a port is not read twice unasked) with no value and no success shown.
TEST_F(MaOperationsTest, IoReadWhoseValueIsLostFailsInsteadOfEndingWithoutIt) {
    rig.Board().Scripted = {Frames{{ft_MemE, 0, 0}}};
    rig.ma->ReadIO(0x300, true, window.Handle());
    EXPECT_TRUE(UntilIdle());
    EXPECT_EQ(rig.errors->Values(), Lines{"IO Read failed by TimeOut"});
    EXPECT_TRUE(window.Messages.empty());
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u);
    for (const std::string& event : rig.mainForm.Events) {
        EXPECT_EQ(event.find("Data were read"), std::string::npos) << event;
    }
}

TEST_F(MaOperationsTest, IoReadWhoseClosingMemEIsLostEndsAsReadWithTheValueShown) {
    rig.Board().Scripted = {Frames{{ft_cIORd, 0, 0, 0x00, 0x03, 1, 0, 0x5A}}};
    rig.ma->ReadIO(0x300, true, window.Handle());
    EXPECT_TRUE(UntilIdle());
    EXPECT_EQ(window.Messages, (Messages{{wm_IORdDone, 0x5A, 1}}));
    EXPECT_EQ(rig.errors->Values(), Lines{});
    EXPECT_EQ(rig.mainForm.Events, Lines{"- Data were read from IO address $0300"});
    EXPECT_EQ(rig.comm->SentFrames().size(), 1u) << "a port is never read twice";
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
    rig.Board().Put(0xC8000, Bytes(0x20000, 0)); // modules that add up to 0
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

TEST_F(MaOperationsTest, GoAndRunAndABatchRunEndsTheProgramAfterTheLastStep) {
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
    EXPECT_EQ(rig.form.Exits, 0) << "not a batch run";
    EXPECT_FALSE(rig.ma->TimeOutArmed());

    // A batch run ends the program after its last step.
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
