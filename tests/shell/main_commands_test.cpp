// The main form's project and board commands as the menus run them: their preconditions, boxes,
// events and step flags.
#include "framework/rtdw_ini.h"
#include "main_form_test_support.h"
#include "platform/file_time.h"
#include "project/map_reader.h"
#include "project/module_collection.h"
#include "shell/available_commands.h"
#include "shell/batch_limits.h"
#include "shell/find_err_text.h"
#include "shell/mem_view_model.h"
#include "shell/run_address.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ShellRig;
using A = TMainAction;

class MainCommandsTest : public ::testing::Test {
protected:
    MainCommandsTest() : paths_(rig.WriteDemo()) { rig.Create(); }

    std::string Exe() const { return paths_.exe.string(); }
    bool Showed(std::string_view text) const {
        for (const auto& box : rig.presenter.Boxes) {
            if (box.Text == text) {
                return true;
            }
        }
        return false;
    }

    ShellRig rig;
    fixtures::ProjectFilePaths paths_;
};

TEST_F(MainCommandsTest, OpeningAFullProjectRestoresItsDesignAndTellsTheEventLog) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    EXPECT_EQ(ProjectType, TProjectType::Full);
    EXPECT_EQ(ProjectName, "DEMO");
    EXPECT_TRUE(ExeFileOK);
    EXPECT_TRUE(MapFileOK);
    EXPECT_TRUE(MemFileOK);
    EXPECT_TRUE(ProjectModel().Unplaced->Empty()) << "the design placed every unit";
    EXPECT_FALSE(BinFilesOK) << "nothing generated yet";
    EXPECT_TRUE(rig.host.HasEvent("- Project \"" + Exe() + "\" has been opened"));
    EXPECT_EQ(rig.host.Events.back().Kind, 4);
}

TEST_F(MainCommandsTest, AProjectWithFreshBinFilesOpensReadyForTheImage) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    rig.core->Generate_MenuItemClick();
    rig.core->CloseProject(false);
    EXPECT_FALSE(BinFilesOK);
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    EXPECT_TRUE(BinFilesOK);
    // An older .BIN is no longer fresh.
    ASSERT_TRUE(WriteFileWriteTime(rig.Dir() / "ROM.BIN", FileTime{ExeFileTime.ns - 5'000'000'000}));
    rig.core->CloseProject(false);
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    EXPECT_FALSE(BinFilesOK);
}

TEST_F(MainCommandsTest, AMissingProjectFileIsToldInABoxOrQuietlyInTheEventLog) {
    const std::filesystem::path missing = rig.Dir() / "NONE.EXE";
    EXPECT_FALSE(rig.core->OpenFullProject(missing, false));
    EXPECT_TRUE(Showed("Can't open file \"" + missing.string() + "\"!"));
    EXPECT_EQ(ProjectType, TProjectType::None);
    rig.presenter.Boxes.clear();
    EXPECT_FALSE(rig.core->OpenFullProject(missing, true));
    EXPECT_TRUE(rig.presenter.Boxes.empty());
    EXPECT_TRUE(rig.host.HasEvent("- Can't open file \"" + missing.string() + "\"!"));
}

TEST_F(MainCommandsTest, AProjectThatFailsToLoadLeavesNoProjectBehind) {
    // A map that is no map.
    testing::ScratchDir bad;
    bad.Write("BAD.EXE", rig.FileText("DEMO.EXE"));
    bad.Write("BAD.MAP", "not a map\n");
    EXPECT_FALSE(rig.core->OpenFullProject(bad.Path() / "BAD.EXE", true));
    EXPECT_EQ(ProjectType, TProjectType::None);
    EXPECT_EQ(ProjectModel().Modules, nullptr);
    EXPECT_FALSE(
        rig.host.HasEvent("- Project \"" + (bad.Path() / "BAD.EXE").string() + "\" has been opened"));
}

TEST_F(MainCommandsTest, ClosingTellsTheEventLogAndClearsTheProject) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    rig.core->Execute(A::CloseProject);
    EXPECT_EQ(ProjectType, TProjectType::None);
    EXPECT_TRUE(ProjectDir.empty());
    EXPECT_FALSE(MemFileOK);
    EXPECT_EQ(rig.host.Events.back().Text, "- Project \"" + Exe() + "\" has been closed");
    EXPECT_FALSE(rig.host.Enabled(A::Generate));
    const std::size_t events = rig.host.Events.size();
    rig.core->CloseProject(false);
    EXPECT_EQ(rig.host.Events.size(), events) << "nothing to close, nothing told";
}

TEST_F(MainCommandsTest, OpenAndReopenGoThroughTheOpenDialog) {
    rig.host.ProjectFiles.push_back(std::nullopt);
    rig.core->Execute(A::OpenExe);
    EXPECT_EQ(ProjectType, TProjectType::None) << "cancelled";
    rig.host.ProjectFiles.push_back(paths_.exe);
    rig.core->Execute(A::OpenExe);
    EXPECT_EQ(ProjectType, TProjectType::Full);
    EXPECT_EQ(rig.host.ChosenTypes, (std::vector<TProjectType>{TProjectType::Full, TProjectType::Full}));
    rig.host.Events.clear();
    rig.core->Execute(A::ReOpen);
    EXPECT_EQ(rig.host.EventTexts(),
              (std::vector<std::string>{"- Project \"" + Exe() + "\" has been closed",
                                        "- Project \"" + Exe() + "\" has been opened"}));
}

TEST_F(MainCommandsTest, MemoryDesignNeedsAProjectAndItsWindowGoesForGood) {
    rig.core->MemDesign_MenuItemClick();
    EXPECT_TRUE(Showed("At first select the .EXE file."));
    rig.host.ProjectFiles.push_back(paths_.exe);
    rig.core->Execute(A::OpenExe);
    rig.core->Execute(A::MemDesign);
    rig.core->CloseProject(false);
    rig.core->FormDestroy();
    EXPECT_EQ(std::tie(rig.host.ProjectWindowShows, rig.host.ModuleListShows, rig.host.ModuleListCloses),
              std::make_tuple(1, 1, 1));
}

TEST_F(MainCommandsTest, ASmallProjectOpensFromItsDesignAndCannotBeGenerated) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    rig.core->Generate_MenuItemClick();
    rig.core->CloseProject(false);
    ASSERT_TRUE(rig.core->OpenSmallProject(rig.Dir() / "DEMO.MEM", false));
    EXPECT_EQ(ProjectType, TProjectType::Small);
    EXPECT_TRUE(BinFilesOK);
    rig.core->UpdateMenus();
    EXPECT_FALSE(rig.host.Enabled(A::Generate));
    EXPECT_FALSE(rig.host.Enabled(A::FindErr));
    EXPECT_TRUE(rig.host.Enabled(A::CrEpromImg));
    rig.presenter.Boxes.clear();
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 0);
    EXPECT_TRUE(Showed("At first select the .EXE file."));
}

TEST_F(MainCommandsTest, GenerateWithoutAProjectWarnsAndClearsItsFlag) {
    CmdLineFlags = CL_Generate | CL_Download;
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 0);
    EXPECT_TRUE(Showed("At first select the .EXE file."));
    EXPECT_EQ(CmdLineFlags, CL_Download) << "only the Generate bit goes";
}

TEST_F(MainCommandsTest, GenerateWithUnplacedUnitsRefusesWithAnEvent) {
    std::filesystem::remove(rig.Dir() / "DEMO.MEM");
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 0);
    EXPECT_TRUE(Showed("At first place all units, then generate."));
    EXPECT_EQ(rig.host.Events.back().Text, "- At first place all units, then generate.");
    EXPECT_EQ(rig.host.Events.back().Kind, 1);
}

TEST_F(MainCommandsTest, GenerateWritesTheRomImageAndTellsOfIt) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    ProjectModel().Modules->Changed = true;
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 1);
    EXPECT_TRUE(BinFilesOK);
    EXPECT_FALSE(ProjectModel().Modules->Changed);
    EXPECT_FALSE(rig.FileText("ROM.BIN").empty());
    EXPECT_NE(rig.FileText("DEMO.MEM").find(" Name                 \t Rel"), std::string::npos)
        << "saved at once";
    EXPECT_TRUE(Showed("Generation was succesfully completed.")) << "a menu generation says so";
    EXPECT_EQ(rig.host.Events.back().Text, "- Project succesfully generated");
    EXPECT_EQ(rig.host.Events.back().Kind, 4);
    EXPECT_TRUE(rig.host.Enabled(A::CrEpromImg));
}

TEST_F(MainCommandsTest, AChangedExecutableIsReloadedOnYesAndUsedAsLoadedOnNo) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    const FileTime loaded = ExeFileTime;
    const FileTime newer{ExeFileTime.ns + 3'000'000'000};
    ASSERT_TRUE(WriteFileWriteTime(paths_.exe, newer));
    ASSERT_TRUE(WriteFileWriteTime(paths_.map, newer));
    {
        // No: generated from the loaded project.
        ScriptedPresenter answers;
        const ScopedPresenter scoped(answers);
        answers.QueueAnswer(IDNO);
        answers.QueueAnswer(IDOK);
        rig.core->Generate_MenuItemClick();
        ASSERT_EQ(answers.Boxes().size(), 2u);
        EXPECT_EQ(answers.Boxes()[0].text, "File \"" + Exe() + "\" changed.\r\nReload from disk?");
        EXPECT_EQ(answers.Boxes()[1].text, "Generation was succesfully completed.");
        EXPECT_TRUE(answers.Faults().empty());
        EXPECT_EQ(rig.core->GenerateOk, 1);
        EXPECT_EQ(ExeFileTime, loaded);
    }
    {
        // Yes: read again, then generated.
        ScriptedPresenter answers;
        const ScopedPresenter scoped(answers);
        answers.QueueAnswer(IDYES);
        answers.QueueAnswer(IDOK);
        rig.core->Generate_MenuItemClick();
        EXPECT_TRUE(answers.Faults().empty());
        EXPECT_EQ(answers.Boxes().size(), 2u) << "asked once";
        EXPECT_EQ(rig.core->GenerateOk, 1);
        EXPECT_EQ(ExeFileTime, newer);
    }
}

TEST_F(MainCommandsTest, AFailedDesignCheckRefusesToGenerate) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    // A ROM module moved over the RAM module fails the check.
    ProjectModel().Modules->At(1)->Address = 0x0100;
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 0);
    EXPECT_TRUE(Showed("Can't generate, didn't pass check."));
    EXPECT_EQ(rig.host.Events.back().Text, "- Error, Can't generate, didn't pass check.");
}

TEST_F(MainCommandsTest, TheEpromImageNeedsAProjectAndFreshBinFiles) {
    rig.core->CrEpromImg_MenuItemClick();
    EXPECT_TRUE(Showed("At first open some project."));
    EXPECT_EQ(rig.core->EpromImageOk, 0);
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    rig.core->CrEpromImg_MenuItemClick();
    EXPECT_TRUE(Showed("At first generate application."));
    EXPECT_EQ(rig.host.EpromWindows, 0);
    rig.core->Generate_MenuItemClick();
    rig.core->CrEpromImg_MenuItemClick();
    EXPECT_EQ(rig.host.EpromWindows, 1) << "the window opens for the user";
    EXPECT_EQ(rig.core->EpromImageOk, 0) << "nothing created from the menu yet";
}

TEST_F(MainCommandsTest, FindErrWordsTheLookupOfTheTypedAddress) {
    rig.core->FindErr_MenuItemClick();
    EXPECT_TRUE(Showed("At first set .EXE file."));
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    // Generation places the units at their board segments.
    rig.core->Generate_MenuItemClick();
    const tModUnit* main = ProjectModel().Modules->UnitByName("MAIN_TEXT");
    ASSERT_NE(main, nullptr);
    ASSERT_NE(main->AbsSeg, 0);
    rig.host.Addresses = {MakeFarPtr(0x0004, main->AbsSeg), std::nullopt};
    rig.presenter.Boxes.clear();
    rig.core->FindErr_MenuItemClick();
    ASSERT_EQ(rig.presenter.Boxes.size(), 1u);
    EXPECT_EQ(rig.presenter.Boxes[0].Text, "Address found\r\nFile: MAIN.ASM\r\nLine: 12");
    EXPECT_EQ(rig.host.AddressCaptions.back(), "Type error address:");
    // Cancelled: no box; the dialog offers the last address.
    rig.core->FindErr_MenuItemClick();
    EXPECT_EQ(rig.presenter.Boxes.size(), 1u);
    EXPECT_EQ(rig.host.OfferedAddresses.back(), MakeFarPtr(0x0004, main->AbsSeg));
}

TEST_F(MainCommandsTest, ALookupWithoutADesignSaysSoOnceAndTheDesignFileStaysAsItWas) {
    // No design, then one that fails to read.
    for (const std::string mem : {"", "Memory: ROM                  Address: $C8Z0   Size: $10000\r\n"}) {
        std::filesystem::remove(rig.Dir() / "DEMO.MEM");
        if (!mem.empty()) {
            rig.ini_.Dir().Write("DEMO.MEM", mem);
        }
        ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
        rig.presenter.Boxes.clear();
        rig.core->FindErr_MenuItemClick();
        EXPECT_EQ(ProjectModel().Map->FindSrcLine(MakeFarPtr(0, 0xC800)).Code, 0);
        ASSERT_EQ(rig.presenter.Boxes.size(), 1u) << "the lookup itself shows nothing";
        EXPECT_EQ(rig.presenter.Boxes[0].Text, "Can't, the project has no memory design.");
        rig.core->CloseProject(false);
        EXPECT_EQ(rig.FileText("DEMO.MEM"), mem) << "nothing written";
    }
}

TEST_F(MainCommandsTest, ImagesAreNotRewrittenWhileTheProjectIsDownloaded) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    rig.core->Generate_MenuItemClick();
    ASSERT_TRUE(rig.core->DownloadApp_MenuItemClick()); // waits for the board
    rig.core->Generate_MenuItemClick();
    rig.core->CrEpromImg_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk + rig.host.EpromWindows, 0);
    EXPECT_EQ(rig.host.Events.back().Text, "- Can't, the project is being downloaded to the Vok.");
    rig.Board().PutIdentification();
    rig.core->Execute(A::CreateCom);
    ASSERT_TRUE(rig.AdvanceUntil([this] { return !rig.core->ProjectDownloadUnderWay(); }));
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 1) << "once the board has it all";
}

TEST_F(MainCommandsTest, FindErrNeedsTheMapFile) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    std::filesystem::remove(paths_.map);
    rig.core->FindErr_MenuItemClick();
    EXPECT_TRUE(Showed("Can't, .MAP file doesn't exist."));
    EXPECT_TRUE(rig.host.AddressCaptions.empty());
}

TEST_F(MainCommandsTest, TheComDefaultsComeFromRtdwIniOfTheProject) {
    testing::ScratchDir folder;
    std::filesystem::copy(paths_.exe, folder.Path() / "DEMO.EXE");
    std::filesystem::copy(paths_.map, folder.Path() / "DEMO.MAP");
    std::filesystem::copy(rig.Dir() / "DEMO.MEM", folder.Path() / "DEMO.MEM");
    folder.Write("RTDW.INI", "[COM]\r\nCOM=3\r\nBDLD=9600\r\nDefBd=19200\r\n");
    ASSERT_TRUE(rig.core->OpenFullProject(folder.Path() / "DEMO.EXE", false));
    TRavlo_MA_Process& ma = *rig.core->MAProc;
    EXPECT_EQ(ma.DefBd, 19200u);
    EXPECT_EQ(ma.BDLD, 9600u);
    EXPECT_EQ(ma.CurBaud, 9600u);
    EXPECT_EQ(ma.ComPort, 3);
    EXPECT_EQ(ComDefaultPort, 3);
    rig.Settle();
    const auto& requests = rig.Comm().Requests;
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().Code, RAVLOCOMM_MA_SetChnParam);
    EXPECT_EQ(requests.back().Data, (testing::Bytes{3, 0x80, 0x25, 0, 0})) << "port 3, 9600 baud";
}

TEST_F(MainCommandsTest, BadComDefaultsAreReplacedAndTold) {
    testing::ScratchDir folder;
    ProjectDir = folder.Path().string() + "/";
    folder.Write("RTDW.INI", "[COM]\r\nCOM=40\r\nBDLD=12\r\n");
    rig.core->LoadComDefaults();
    TRavlo_MA_Process& ma = *rig.core->MAProc;
    EXPECT_EQ(ma.ComPort, 1);
    EXPECT_EQ(ma.BDLD, 4800u);
    EXPECT_EQ(rig.writer.Errors().size(), 2u);
}

TEST_F(MainCommandsTest, WithoutRtdwIniTheComDefaultsStayAsTheyAre) {
    testing::ScratchDir folder;
    ProjectDir = folder.Path().string() + "/";
    rig.core->MAProc->BDLD = 38400;
    rig.core->LoadComDefaults();
    EXPECT_EQ(rig.core->MAProc->BDLD, 38400u);
}

TEST_F(MainCommandsTest, BoardCommandsCallTheMasterProcess) {
    rig.core->Execute(A::CreateCom);
    rig.Settle();
    EXPECT_TRUE(rig.Comm().Open);
    // Go and Run ask for an address, offering C800:0000 first.
    rig.host.Addresses = {MakeFarPtr(0x10, 0xD000), std::nullopt, MakeFarPtr(0, 0x8000)};
    rig.core->GoAddress_Click();
    rig.core->RunAddress_Click();
    rig.core->Execute(A::MemView);
    EXPECT_EQ(rig.host.AddressCaptions,
              (std::vector<std::string>{"Vok - Go - from address", "Vok - Run - from address",
                                        "Enter starting address"}));
    EXPECT_EQ(rig.host.OfferedAddresses[0], MakeFarPtr(0, 0xC800));
    EXPECT_EQ(MemViewAddr(), MakeFarPtr(0, 0x8000));
    EXPECT_EQ(rig.core->MAProc->QueueCount(), 2u) << "the Go and the page; the Run was cancelled";
    rig.core->Execute(A::CheckSum);
    EXPECT_TRUE(Showed("Project type FULL needed for CheckSumming."));
    rig.core->Execute(A::DestroyCom);
    rig.Settle();
    EXPECT_FALSE(rig.Comm().Open);
}

TEST_F(MainCommandsTest, DownloadAndRunNeedAProject) {
    EXPECT_FALSE(rig.core->DownloadApp_MenuItemClick());
    EXPECT_TRUE(Showed("Nothing to load, check project!"));
    // Without a project the run asks where to start.
    rig.host.Addresses = {MakeFarPtr(0, 0xE000)};
    EXPECT_TRUE(rig.core->RunApp_MenuItemClick());
    EXPECT_EQ(rig.host.AddressCaptions.back(), "Vok - Run - from address");
}

TEST(FindErrReport, EveryResultCodeHasItsBox) {
    EXPECT_EQ(FindErrReport({0, "", 0}).Text, "Address not found. Invalid segment.");
    EXPECT_EQ(FindErrReport({0, "", 0}).Kind, MessageBoxKind::Error);
    EXPECT_EQ(FindErrReport({1, "", 0}).Text, "Internal error of Ravlo - please contact author.");
    EXPECT_EQ(FindErrReport({2, "MAIN_TEXT", 2}).Text, "Address not found. Invalid offset.");
    EXPECT_EQ(FindErrReport({3, "_DATA", 5}).Text, "Address found outside of code segment.");
    EXPECT_EQ(FindErrReport({3, "_DATA", 5}).Kind, MessageBoxKind::Warning);
    EXPECT_EQ(FindErrReport({4, "IO_TEXT", 0x1A}).Text,
              "Address found\r\nModule: IO_TEXT\r\nTurbo segment: $001A");
    EXPECT_EQ(FindErrReport({4, "IO_TEXT", 0x1A}).Kind, MessageBoxKind::Information);
    EXPECT_EQ(FindErrReport({5, "IO.ASM", 13}).Text, "Address found\r\nFile: IO.ASM\r\nLine: 13");
    EXPECT_EQ(FindErrReport({9, "", 0}).Kind, MessageBoxKind::Error)
        << "an unknown code is an internal error";
}

TEST(RunAddress, TheLoadersModuleElseTheFirstCodeModule) {
    tModuleCollection modules;
    EXPECT_FALSE(FindRunAddress(modules));
    auto ram = std::make_unique<tModule>("RAM", 0x0100, 0x10000);
    ram->Insert(std::make_unique<tModUnit>(MUnitT::Data, "_DATA", 5, 0, 0x30));
    modules.Insert(std::move(ram));
    EXPECT_FALSE(FindRunAddress(modules)) << "no ROM module";
    auto code = std::make_unique<tModule>("ROM", 0xC800, 0x8000);
    code->Insert(std::make_unique<tModUnit>(MUnitT::Code, "MAIN_TEXT", 2, 0, 0x20));
    modules.Insert(std::move(code));
    EXPECT_EQ(FindRunAddress(modules), MakeFarPtr(0, 0xC800));
    auto loader = std::make_unique<tModule>("ROM_2", 0xE000, 0x8000);
    loader->Insert(
        std::make_unique<tModUnit>(MUnitT::Loader, "-- LOADER --", kLoaderRelSeg, 0, kLoaderLength));
    loader->Insert(std::make_unique<tModUnit>(MUnitT::Code, "START_TEXT", 0, 0, 0x20));
    modules.Insert(std::move(loader));
    EXPECT_EQ(FindRunAddress(modules), MakeFarPtr(0, 0xE000)) << "the loader starts the application";
}

TEST(BatchLimits, DefaultsAndTheSecondsOfTheIni) {
    testing::ScratchDir dir;
    EXPECT_EQ(ReadBatchLimits(dir.Path() / "none.ini"), TBatchLimits{});
    const auto ini = dir.Write("app.ini", "[COMMANDLINE]\r\nBoardWait=5\r\nStepWait= 120 \r\n");
    const TBatchLimits limits = ReadBatchLimits(ini);
    EXPECT_EQ(limits.BoardWaitMs, 5000u);
    EXPECT_EQ(limits.StepWaitMs, 120000u);
    EXPECT_EQ(limits.ExitWaitMs, TBatchLimits{}.ExitWaitMs);
}

TEST(BatchLimits, AValueThatIsNoSecondsKeepsTheDefaultAndIsTold) {
    testing::ScratchDir dir;
    testing::CapturedWriter writer;
    const auto ini =
        dir.Write("app.ini", "[COMMANDLINE]\r\nBoardWait=0\r\nStepWait=ten\r\nExitWait=999999\r\n");
    EXPECT_EQ(ReadBatchLimits(ini), TBatchLimits{});
    EXPECT_EQ(writer.Errors().size(), 3u);
}

TEST(AvailableCommands, CommandsStillToComeAreDisabledWhateverTheirRule) {
    TMenuInputs inputs;
    inputs.Connected = 2;
    inputs.Device = 3;
    inputs.ProjectType = TProjectType::Full;
    inputs.UserLevel = 2;
    TMenuStates states = ComputeMenuStates(inputs);
    ASSERT_TRUE(states[A::Read].Enabled);
    ApplyAvailableCommands(states);
    EXPECT_FALSE(states[A::Read].Enabled);
    EXPECT_TRUE(states[A::DownloadApp].Enabled);
    EXPECT_TRUE(states[A::Download].Enabled) << "menus keep their state";
    EXPECT_TRUE(states[A::GO].Enabled);
    EXPECT_TRUE(states[A::ErrHistory].Enabled);
}

} // namespace
} // namespace ravlo
