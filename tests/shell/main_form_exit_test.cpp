// Ending the program while the board is busy: the user is asked first, and a Yes stops the
// operation as the progress window's Stop does; an unattended run ends as it always did.
#include "main_form_test_support.h"
#include "shell/cmd_line.h"
#include "support/box_recorder.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ShellRig;

constexpr std::size_t kBlocks = 157; // of 256 bytes, the last one short
constexpr std::size_t kFileSize = kBlocks * 256 - 192;
constexpr std::size_t kBlocksBeforeExit = 70;

// A 40-KB file on its way to the board, 70 of its 157 blocks written when the exit comes.
class BoardWriteUnderWay {
public:
    explicit BoardWriteUnderWay(std::uint8_t flags) {
        rig.Run(flags);
        rig.Board().PutIdentification();
        rig.core->Execute(TMainAction::CreateCom);
        EXPECT_TRUE(rig.AdvanceUntil(
            [this] { return Master().Device != DEV_Unknown && Master().ConState == cs_idle; }));
        EXPECT_TRUE(Master().WriteMemBlock(MakeFarPtr(0, 0x8000), std::vector<std::uint8_t>(kFileSize, 0xA5),
                                           "APP.BIN"));
        EXPECT_TRUE(
            rig.PumpUntil([this] { return rig.Board().Loads >= static_cast<int>(kBlocksBeforeExit); }));
        rig.host.Events.clear();
    }
    TRavlo_MA_Process& Master() const { return *rig.core->MAProc; }
    bool Stopped() const {
        return std::any_of(rig.host.Events.begin(), rig.host.Events.end(),
                           [](const auto& event) { return event.Text.find("stopped") != std::string::npos; });
    }
    // The form's closing as the window does it: asked again until the processes let it go.
    bool Closes() {
        return rig.AdvanceUntil([this] { return rig.core->CanCloseNow(); });
    }

    ShellRig rig;
};

TEST(MainFormExit, DuringABoardWriteExitAsksAndNoKeepsTheWriteAndTheProgram) {
    for (const bool byWindow : {false, true}) {
        SCOPED_TRACE(byWindow ? "the window closed" : "Exit");
        BoardWriteUnderWay write(0);
        const int closeRequests = write.rig.host.CloseRequests;
        testing::BoxRecorder boxes; // nobody answers: the box's default
        if (byWindow) {
            EXPECT_FALSE(write.rig.core->BoardOperationMayStop());
        } else {
            write.rig.core->Execute(TMainAction::Exit);
        }
        ASSERT_EQ(boxes.texts, std::vector<std::string>{"A Vok operation is under way: Writing Data to Vok "
                                                        "\"APP.BIN\".\r\nStop it and exit?"});
        EXPECT_EQ(write.rig.host.CloseRequests, closeRequests) << "the program stays open";
        EXPECT_FALSE(write.Stopped());
        write.rig.Settle();
        EXPECT_EQ(write.rig.Board().Loads, static_cast<int>(kBlocks)) << "the write goes on to its end";
        EXPECT_TRUE(write.rig.host.HasEvent("- File \"APP.BIN\" has been loaded"));
    }
}

TEST(MainFormExit, YesStopsTheWriteAsStopDoesTellsTheEventLogAndQuits) {
    for (const bool byWindow : {false, true}) {
        SCOPED_TRACE(byWindow ? "the window closed" : "Exit");
        BoardWriteUnderWay write(0);
        const int closeRequests = write.rig.host.CloseRequests;
        testing::BoxRecorder boxes;
        boxes.answers = {IDYES};
        if (byWindow) {
            EXPECT_TRUE(write.rig.core->BoardOperationMayStop());
            EXPECT_TRUE(write.rig.core->BoardOperationMayStop()) << "asked once";
        } else {
            write.rig.core->Execute(TMainAction::Exit);
            EXPECT_EQ(write.rig.host.CloseRequests, closeRequests + 1);
        }
        EXPECT_EQ(boxes.texts.size(), 1u);
        ASSERT_EQ(write.rig.host.Events.size(), 1u);
        // 69 blocks confirmed of the 157 (the 70th is on its way back).
        EXPECT_EQ(write.rig.host.Events[0].Text,
                  "- Writing Data to Vok \"APP.BIN\" stopped at exit, 44 % done");
        EXPECT_EQ(write.rig.host.Events[0].Kind, 1);
        ASSERT_TRUE(write.Closes());
        EXPECT_EQ(write.Master().ConState, cs_idle) << "stopped before the program ends";
        EXPECT_EQ(write.Master().QueueCount(), 0u);
        write.rig.Settle();
        EXPECT_LT(write.rig.Board().Loads, static_cast<int>(kBlocks)) << "no block after the stop";
        EXPECT_FALSE(write.rig.host.HasEvent("- File \"APP.BIN\" has been loaded"));
    }
}

TEST(MainFormExit, AnUnattendedRunIsNotAskedAndEndsAsBefore) {
    BoardWriteUnderWay write(CL_Exit);
    const int closeRequests = write.rig.host.CloseRequests;
    testing::BoxRecorder boxes;
    EXPECT_TRUE(write.rig.core->BoardOperationMayStop());
    write.rig.core->Execute(TMainAction::Exit);
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_EQ(write.rig.host.CloseRequests, closeRequests + 1);
    EXPECT_FALSE(write.Stopped());
    EXPECT_NE(write.Master().ConState, cs_idle) << "the exit does not stop it";
}

} // namespace
} // namespace ravlo
