// The command line carried out by the main form's core against the fake board: the whole road
// from project to running board, and every way an unattended run ends early.
#include "fixtures/project_files.h"
#include "main_form_test_support.h"
#include "platform/file_time.h"
#include "project/eprom_layout.h"
#include "project/module_collection.h"
#include "shell/exit_codes.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ShellRig;

constexpr std::uint32_t kRomLin = 0xC8000;

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

class CmdLineRunTest : public ::testing::Test {
protected:
    CmdLineRunTest() { rig.WriteDemo(); }

    std::string Exe() const { return (rig.Dir() / "DEMO.EXE").string(); }
    Bytes Rom() const {
        const std::string text = rig.FileText("ROM.BIN");
        return Bytes(text.begin(), text.end());
    }
    Bytes BoardBytes(std::uint32_t lin, std::size_t count) { return rig.Board().Read(lin, count); }
    void PrepareBoard() {
        // The fake communication process stands behind the master from the start.
        rig.Create();
        rig.Board().PutIdentification();
    }
    void Start(std::uint8_t flags, const std::string& project) {
        CmdLineFlags = flags;
        CmdLineProject = project;
        rig.core->FormShow();
    }

    ShellRig rig;
};

TEST_F(CmdLineRunTest, GenerateDownloadRunAndExit) {
    PrepareBoard();
    Start(CL_Generate | CL_Download | CL_Run | CL_Exit, Exe());
    ASSERT_TRUE(rig.RunToClose()) << Joined(rig.host.EventTexts());

    EXPECT_EQ(rig.core->ExitCode(), kExitOk);
    EXPECT_EQ(rig.host.CloseRequests, 1);
    const Bytes rom = Rom();
    ASSERT_FALSE(rom.empty());
    EXPECT_EQ(BoardBytes(kRomLin, rom.size()), rom) << "the board holds the ROM image";
    EXPECT_EQ(rig.Board().Runs, 1);
    const testing::Frames frames = rig.Comm().SentFrames();
    ASSERT_FALSE(frames.empty());
    const TVokFrame run = BuildRunFrame(MakeFarPtr(0, 0xC800));
    EXPECT_EQ(frames.back(), Bytes(run.Bytes().begin(), run.Bytes().end()))
        << "the run starts the loader's module";
    EXPECT_EQ(CmdLineFlags & (CL_Generate | CL_Download | CL_Run), 0);
    EXPECT_EQ(rig.core->DownloadOk, 1);
    EXPECT_EQ(rig.core->RunOk, 1);
    EXPECT_EQ(rig.core->MAProc->QueueCount(), 0u);
    const std::vector<std::string> events = rig.host.EventTexts();
    const std::vector<std::string> expected = {
        "- Project \"" + Exe() + "\" has been opened", "- Project succesfully generated",
        "- Vok was connected", "- File \"ROM.BIN\" has been loaded", "- Application was started",
        "- Project \"" + Exe() + "\" has been closed"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(ProjectType, TProjectType::None) << "Exit closed the project";
    for (const auto& box : rig.presenter.Boxes) {
        EXPECT_NE(box.Text, "Generation was succesfully completed.") << "no success box for /G";
        EXPECT_TRUE(box.Text != "Writing successfully completed" || box.Caption == "Information");
    }
}

TEST_F(CmdLineRunTest, AMuteBoardEndsTheRunWithTheDownloadCodeAfterTheBoardWait) {
    PrepareBoard();
    rig.Board().Mute = 1'000'000;
    const std::uint64_t start = TickMs();
    Start(CL_Generate | CL_Download | CL_Run | CL_Exit, Exe());
    ASSERT_TRUE(rig.RunToClose(60000));

    EXPECT_EQ(rig.core->ExitCode(), kExitDownloadFailed);
    const std::uint64_t took = TickMs() - start;
    EXPECT_GE(took, 3000u) << "the board had its time";
    EXPECT_LE(took, 3000u + 2000u + 100u) << "and the end came within the exit wait";
    EXPECT_TRUE(rig.host.HasEvent("- Error, the Vok didn't answer within 3 s"));
    EXPECT_EQ(rig.Board().Loads, 0);
    EXPECT_EQ(rig.Board().Runs, 0);
}

TEST_F(CmdLineRunTest, AStaleImageIsNotSentUnattended) {
    PrepareBoard();
    ASSERT_TRUE(rig.core->OpenFullProject(Exe(), true));
    rig.core->Generate_MenuItemClick();
    ASSERT_TRUE(WriteFileWriteTime(rig.Dir() / "ROM.BIN", FileTime{ExeFileTime.ns + 5'000'000'000}));
    rig.core->CloseProject(false);
    Start(CL_Download | CL_Exit, Exe());
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitDownloadFailed);
    EXPECT_TRUE(rig.host.HasEvent("- Error, the download was refused"));
    EXPECT_EQ(rig.Board().Loads, 0);
}

TEST_F(CmdLineRunTest, RunAloneWithAMuteBoardEndsWithTheRunCode) {
    PrepareBoard();
    rig.Board().Mute = 1'000'000;
    Start(CL_Run | CL_Exit, Exe());
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitRunFailed);
}

TEST_F(CmdLineRunTest, AnUnknownBoardEndsTheRunAtOnce) {
    PrepareBoard();
    rig.Board().EmptHal = 1'000'000;
    const std::uint64_t start = TickMs();
    Start(CL_Generate | CL_Download | CL_Run | CL_Exit, Exe());
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitDownloadFailed);
    EXPECT_LT(TickMs() - start, 3000u) << "no waiting for a board that will never do";
    EXPECT_TRUE(rig.host.HasEvent("- Error, unknown Vok answered"));
    EXPECT_EQ(rig.Board().Loads, 0);
}

TEST_F(CmdLineRunTest, ALinkLostDuringTheDownloadEndsTheRunWithoutRunning) {
    PrepareBoard();
    CmdLineFlags = CL_Generate | CL_Download | CL_Run | CL_Exit;
    CmdLineProject = Exe();
    rig.core->FormShow();
    // The board goes silent once the download has started writing.
    ASSERT_TRUE(rig.PumpUntil([this] { return rig.core->MAProc->ConState == cs_WaitForLd; }));
    rig.Board().Mute = 1'000'000;
    rig.Comm().Silent = true;
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitDownloadFailed);
    EXPECT_TRUE(rig.host.HasEvent("- Error, the link to the Vok was lost")) << Joined(rig.host.EventTexts());
    EXPECT_EQ(rig.Board().Runs, 0);
}

TEST_F(CmdLineRunTest, ATimeOutThatARepeatRecoversDoesNotFailTheRun) {
    PrepareBoard();
    Start(CL_Generate | CL_Download | CL_Exit, Exe());
    // The identification, read while the download waits behind it, goes unanswered once: the master
    // times out, says the board is not connected, and reads again.
    ASSERT_TRUE(rig.PumpUntil([this] {
        return rig.core->MAProc->ConState == cs_WaitForBiosId &&
               rig.core->Plan()->Running() == TCmdLineStep::Download;
    }));
    rig.Board().Mute = 1;
    rig.Comm().Silent = true;
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitOk) << Joined(rig.host.EventTexts());
    EXPECT_EQ(BoardBytes(kRomLin, Rom().size()), Rom());
}

TEST_F(CmdLineRunTest, ARunWhoseReportNeverComesEndsAtTheStepWait) {
    PrepareBoard();
    CmdLineFlags = CL_Run | CL_Exit;
    CmdLineProject = Exe();
    rig.core->FormShow();
    ASSERT_TRUE(rig.PumpUntil([this] { return rig.core->MAProc->ConState == cs_WaitForRun; }));
    ASSERT_EQ(rig.core->Plan()->Running(), TCmdLineStep::Run);
    // The master's report is lost on its way: only the step's own limit can end the run.
    rig.core->MAProc->SetInterfaces({});
    const std::uint64_t start = TickMs();
    ASSERT_TRUE(rig.RunToClose(60000));
    EXPECT_EQ(rig.core->ExitCode(), kExitRunFailed);
    EXPECT_TRUE(rig.host.HasEvent("- Error, Run didn't finish within 20 s"));
    EXPECT_GE(TickMs() - start, 20000u);
    EXPECT_EQ(rig.Board().Runs, 1) << "the board did start it";
}

TEST_F(CmdLineRunTest, AFailedGenerationDropsTheBoardStepsAndEndsWithItsCode) {
    // Without its design nothing is placed: generation refuses.
    std::filesystem::remove(rig.Dir() / "DEMO.MEM");
    PrepareBoard();
    Start(CL_Generate | CL_Download | CL_Run | CL_Exit, Exe());
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitGenerateFailed);
    EXPECT_TRUE(rig.host.HasEvent("- At first place all units, then generate."));
    EXPECT_EQ(rig.Board().Loads, 0);
    EXPECT_EQ(rig.Board().Runs, 0);
}

TEST_F(CmdLineRunTest, WithoutExitAFailedGenerationLeavesTheProgramOpen) {
    std::filesystem::remove(rig.Dir() / "DEMO.MEM");
    PrepareBoard();
    Start(CL_Generate | CL_Download | CL_Run, Exe());
    rig.Advance(5000);
    EXPECT_EQ(rig.host.CloseRequests, 0);
    EXPECT_TRUE(rig.core->Plan()->Finished());
    EXPECT_EQ(rig.Board().Loads, 0);
}

TEST_F(CmdLineRunTest, WithoutExitTheBoardStepsRunAndTheProgramStaysOpen) {
    PrepareBoard();
    Start(CL_Generate | CL_Download | CL_Run, Exe());
    ASSERT_TRUE(rig.AdvanceUntil([this] { return rig.Board().Runs > 0; }));
    rig.Advance(1000);
    EXPECT_EQ(rig.host.CloseRequests, 0);
    EXPECT_TRUE(rig.core->Plan()->Finished());
    EXPECT_EQ(BoardBytes(kRomLin, Rom().size()), Rom());
}

TEST_F(CmdLineRunTest, TheEpromImageIsWrittenUnattended) {
    PrepareBoard();
    Start(CL_Generate | CL_EpromImage | CL_Exit, Exe());
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitOk);
    EXPECT_EQ(rig.core->EpromImageOk, 1);
    EXPECT_EQ(rig.host.EpromWindows, 1);
    const std::string image = rig.FileText("EPROM_HI.BIN");
    const std::optional<TEpromPlace> place = EpromPlace(TEpromChips{}, kRomLin);
    ASSERT_TRUE(place);
    const Bytes rom = Rom();
    ASSERT_GE(image.size(), place->Offset + rom.size());
    EXPECT_EQ(Bytes(image.begin() + place->Offset, image.begin() + place->Offset + rom.size()), rom);
    EXPECT_EQ(rig.Board().Loads, 0) << "no board step was asked";
}

TEST_F(CmdLineRunTest, AnEpromImageWithoutFreshBinFilesFailsTheRun) {
    PrepareBoard();
    Start(CL_EpromImage | CL_Exit, Exe());
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitEpromImageFailed);
    EXPECT_EQ(rig.host.EpromWindows, 0);
    ASSERT_FALSE(rig.presenter.Boxes.empty());
    EXPECT_EQ(rig.presenter.Boxes.back().Text, "At first generate application.");
}

TEST_F(CmdLineRunTest, AProjectThatDoesNotOpenEndsTheRunWithTheProjectCode) {
    PrepareBoard();
    Start(CL_Generate | CL_Exit, (rig.Dir() / "NONE.EXE").string());
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitProjectFailed);
    EXPECT_TRUE(rig.presenter.Boxes.empty()) << "opened quietly";
    EXPECT_FALSE(rig.host.Events.empty());
}

TEST_F(CmdLineRunTest, AWrongExtensionIsRefusedWithItsBox) {
    PrepareBoard();
    Start(CL_Exit, (rig.Dir() / "DEMO.TXT").string());
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitProjectFailed);
    ASSERT_EQ(rig.presenter.Boxes.size(), 1u);
    EXPECT_NE(rig.presenter.Boxes[0].Text.find("as project file parameter in command line!"),
              std::string::npos);
}

TEST_F(CmdLineRunTest, ExitAloneEndsRightAfterTheStart) {
    PrepareBoard();
    Start(CL_Exit, {});
    ASSERT_TRUE(rig.RunToClose(100));
    EXPECT_EQ(rig.core->ExitCode(), kExitOk);
}

TEST_F(CmdLineRunTest, TheMasterSeesTheBoardStepsOnlyWhileTheyWaitForTheBoard) {
    PrepareBoard();
    rig.Board().Mute = 1'000'000;
    CmdLineFlags = CL_Download | CL_Run;
    EXPECT_EQ(rig.core->FlagsForMaster(), 0) << "no command line run yet";
    Start(CL_Download | CL_Run, Exe());
    ASSERT_TRUE(rig.core->Plan()->WaitingForBoard());
    EXPECT_EQ(rig.core->FlagsForMaster(), CL_Download | CL_Run);
    EXPECT_EQ(rig.core->DownloadOk, 0);
    EXPECT_EQ(rig.core->RunOk, 0);
}

TEST_F(CmdLineRunTest, ReportsFromInsideAHandlerActOnlyAfterIt) {
    PrepareBoard();
    rig.Board().Mute = 1'000'000;
    Start(CL_Download | CL_Exit, Exe());
    ASSERT_TRUE(rig.core->Plan()->WaitingForBoard());
    // As the master does after an unknown board answered.
    rig.core->MAProc->Connected = kBoardConnected;
    rig.core->MAProc->Device = DEV_Unknown;
    const std::size_t boxes = rig.presenter.Boxes.size();
    rig.core->BoardAnswered();
    EXPECT_TRUE(rig.core->Plan()->WaitingForBoard());
    EXPECT_EQ(rig.presenter.Boxes.size(), boxes);
    EXPECT_TRUE(rig.host.Events.back().Text != "- Error, unknown Vok answered");
    AppMessageQueue().PumpAll();
    EXPECT_FALSE(rig.core->Plan()->WaitingForBoard());
    EXPECT_TRUE(rig.host.HasEvent("- Error, unknown Vok answered"));
}

} // namespace
} // namespace ravlo
