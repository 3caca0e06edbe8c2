// The command line carried out by the main form's core against the fake board: the whole road
// from project to running board, and every way an unattended run ends early.
#include "main_form_test_support.h"
#include "platform/file_time.h"
#include "project/eprom_layout.h"
#include "shell/exit_codes.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ShellRig;

constexpr std::uint32_t kRomLin = 0xC8000;

std::string Told(const ShellRig& rig) {
    return ::testing::PrintToString(rig.host.EventTexts());
}

void Prepare(ShellRig& rig) {
    rig.WriteDemo();
    rig.Create();
    rig.Board().PutIdentification();
}

class CmdLineRunTest : public ::testing::Test {
protected:
    CmdLineRunTest() { Prepare(rig); }

    std::string Exe() const { return (rig.Dir() / "DEMO.EXE").string(); }
    Bytes Rom() const {
        const std::string text = rig.FileText("ROM.BIN");
        return Bytes(text.begin(), text.end());
    }
    bool BoardHoldsTheRom() { return !Rom().empty() && rig.Board().Read(kRomLin, Rom().size()) == Rom(); }
    void Start(std::uint8_t flags) {
        CmdLineFlags = flags;
        CmdLineProject = Exe();
        rig.core->FormShow();
    }

    ShellRig rig;
};

TEST_F(CmdLineRunTest, GenerateDownloadRunAndExit) {
    Start(CL_Generate | CL_Download | CL_Run | CL_Exit);
    ASSERT_TRUE(rig.RunToClose()) << Told(rig);

    EXPECT_EQ(rig.core->ExitCode(), kExitOk);
    EXPECT_TRUE(BoardHoldsTheRom());
    EXPECT_EQ(rig.Board().Runs, 1);
    const TVokFrame run = BuildRunFrame(MakeFarPtr(0, 0xC800));
    EXPECT_EQ(rig.Comm().SentFrames().back(), Bytes(run.Bytes().begin(), run.Bytes().end()))
        << "the run starts the loader's module";
    EXPECT_EQ(rig.core->MAProc->QueueCount(), 0u);
    const std::vector<std::string> expected = {"- Project \"" + Exe() + "\" has been opened",
                                               "- Project succesfully generated",
                                               "- Vok was connected",
                                               "- File \"ROM.BIN\" has been loaded",
                                               "- Application was started",
                                               "- Project \"" + Exe() + "\" has been closed"};
    EXPECT_EQ(rig.host.EventTexts(), expected);
    for (const auto& box : rig.presenter.Boxes) {
        EXPECT_NE(box.Text, "Generation was succesfully completed.") << "no success box for /G";
    }
}

// Every way an unattended run ends early without a board step done: the exit code, what is told
// (an event or a box), and the bound within which it ends.
TEST(CmdLineRunEnds, EachFailureEndsWithItsCodeAndTellsWhy) {
    const auto noDesign = [](ShellRig& rig) {
        std::filesystem::remove(rig.Dir() / "DEMO.MEM");
    };
    const auto mute = [](ShellRig& rig) {
        rig.Board().Mute = 1'000'000;
    };
    const auto unknown = [](ShellRig& rig) {
        rig.Board().EmptHal = 1'000'000;
    };
    const auto stale = [](ShellRig& rig) {
        ASSERT_TRUE(rig.core->OpenFullProject(rig.Dir() / "DEMO.EXE", true));
        rig.core->Generate_MenuItemClick();
        ASSERT_TRUE(WriteFileWriteTime(rig.Dir() / "ROM.BIN", FileTime{ExeFileTime.ns + 5'000'000'000}));
        rig.core->CloseProject(false);
    };
    const struct {
        std::uint8_t flags;
        const char* project;
        std::function<void(ShellRig&)> prepare;
        int code;
        const char* told;
        std::uint32_t atLeastMs, limitMs; // the bounds of its end
    } cases[] = {
        {CL_Generate | CL_Download | CL_Run | CL_Exit, "DEMO.EXE", mute, kExitDownloadFailed,
         "- Error, the Vok didn't answer within 3 s", 3000, 3000 + 2000 + 100},
        {CL_Download | CL_Exit, "DEMO.EXE", stale, kExitDownloadFailed, "- Error, the download was refused",
         0, 60000},
        {CL_Run | CL_Exit, "DEMO.EXE", mute, kExitRunFailed, "- Error, the Vok didn't answer within 3 s", 0,
         60000},
        // No waiting for a board that will never do.
        {CL_Generate | CL_Download | CL_Run | CL_Exit, "DEMO.EXE", unknown, kExitDownloadFailed,
         "- Error, unknown Vok answered", 0, 2999},
        {CL_Generate | CL_Download | CL_Run | CL_Exit, "DEMO.EXE", noDesign, kExitGenerateFailed,
         "- At first place all units, then generate.", 0, 60000},
        {CL_EpromImage | CL_Exit, "DEMO.EXE", nullptr, kExitEpromImageFailed,
         "At first generate application.", 0, 60000},
        {CL_Generate | CL_Exit, "NONE.EXE", nullptr, kExitProjectFailed, "", 0, 60000},
        {CL_Exit, "DEMO.TXT", nullptr, kExitProjectFailed, "Only .EXE or .MEM file accepted.", 0, 60000},
        {CL_Exit, nullptr, nullptr, kExitOk, "", 0, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.flags) + " " + (c.project ? c.project : "") + " " + c.told);
        ShellRig rig;
        Prepare(rig);
        if (c.prepare) {
            c.prepare(rig);
        }
        CmdLineFlags = c.flags;
        CmdLineProject = c.project ? (rig.Dir() / c.project).string() : "";
        const std::uint64_t start = TickMs();
        rig.core->FormShow();
        ASSERT_TRUE(rig.RunToClose(c.limitMs));
        EXPECT_GE(TickMs() - start, c.atLeastMs) << "the board had its time";
        EXPECT_EQ(rig.core->ExitCode(), c.code);
        const std::string told = c.told;
        const bool inBox =
            !told.empty() && std::any_of(rig.presenter.Boxes.begin(), rig.presenter.Boxes.end(),
                                         [&](const auto& box) { return box.Text.ends_with(told); });
        EXPECT_TRUE(told.empty() || rig.host.HasEvent(told) || inBox) << Told(rig);
        EXPECT_TRUE(!told.empty() || rig.presenter.Boxes.empty()) << "a project opens quietly";
        EXPECT_EQ(rig.Board().Loads + rig.Board().Runs + rig.host.EpromWindows, 0);
    }
}

TEST_F(CmdLineRunTest, ALinkLostDuringTheDownloadEndsTheRunWithoutRunning) {
    Start(CL_Generate | CL_Download | CL_Run | CL_Exit);
    // The board goes silent once the download has started writing.
    ASSERT_TRUE(rig.PumpUntil([this] { return rig.core->MAProc->ConState == cs_WaitForLd; }));
    rig.Board().Mute = 1'000'000;
    rig.Comm().Silent = true;
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitDownloadFailed);
    EXPECT_TRUE(rig.host.HasEvent("- Error, the link to the Vok was lost")) << Told(rig);
    EXPECT_EQ(rig.Board().Runs, 0);
}

TEST_F(CmdLineRunTest, ATimeOutThatARepeatRecoversDoesNotFailTheRun) {
    Start(CL_Generate | CL_Download | CL_Exit);
    // The identification, read while the download waits behind it, goes unanswered once: the master
    // times out, says the board is not connected, and reads again.
    ASSERT_TRUE(rig.PumpUntil([this] {
        return rig.core->MAProc->ConState == cs_WaitForBiosId &&
               rig.core->Plan()->Running() == TCmdLineStep::Download;
    }));
    rig.Board().Mute = 1;
    rig.Comm().Silent = true;
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitOk) << Told(rig);
    EXPECT_TRUE(BoardHoldsTheRom());
}

TEST_F(CmdLineRunTest, ARunWhoseReportNeverComesEndsAtTheStepWait) {
    Start(CL_Run | CL_Exit);
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

TEST_F(CmdLineRunTest, TheEpromImageIsWrittenUnattended) {
    Start(CL_Generate | CL_EpromImage | CL_Exit);
    ASSERT_TRUE(rig.RunToClose());
    EXPECT_EQ(rig.core->ExitCode(), kExitOk);
    EXPECT_EQ(rig.core->EpromImageOk, 1);
    const std::string image = rig.FileText("EPROM_HI.BIN");
    const std::optional<TEpromPlace> place = EpromPlace(TEpromChips{}, kRomLin);
    ASSERT_TRUE(place && image.size() >= place->Offset + Rom().size());
    EXPECT_EQ(Bytes(image.begin() + place->Offset, image.begin() + place->Offset + Rom().size()), Rom());
    EXPECT_EQ(rig.Board().Loads, 0) << "no board step was asked";
}

// The master sees the board steps only while they wait for the board; its reports from inside a
// handler act only after it.
TEST_F(CmdLineRunTest, WaitingForTheBoard) {
    rig.Board().Mute = 1'000'000;
    CmdLineFlags = CL_Download | CL_Run;
    EXPECT_EQ(rig.core->FlagsForMaster(), 0) << "no command line run yet";
    Start(CL_Download | CL_Run | CL_Exit);
    ASSERT_TRUE(rig.core->Plan()->WaitingForBoard());
    EXPECT_EQ(rig.core->FlagsForMaster(), CL_Download | CL_Run);
    EXPECT_EQ(rig.core->DownloadOk + rig.core->RunOk, 0);
    // As the master does after an unknown board answered.
    rig.core->MAProc->Connected = kBoardConnected;
    rig.core->MAProc->Device = DEV_Unknown;
    const std::size_t boxes = rig.presenter.Boxes.size();
    rig.core->BoardAnswered();
    EXPECT_TRUE(rig.core->Plan()->WaitingForBoard());
    EXPECT_EQ(rig.presenter.Boxes.size(), boxes);
    EXPECT_FALSE(rig.host.HasEvent("- Error, unknown Vok answered"));
    AppMessageQueue().PumpAll();
    EXPECT_FALSE(rig.core->Plan()->WaitingForBoard());
    EXPECT_TRUE(rig.host.HasEvent("- Error, unknown Vok answered"));
}

} // namespace
} // namespace ravlo
