// The main form's project, board, setup and status commands as the menus run them.
#include "fixtures/mem_design.h"
#include "framework/rtdw_ini.h"
#include "kernel/kernel_debug.h"
#include "main_form_test_support.h"
#include "platform/file_time.h"
#include "platform/ini_file.h"
#include "project/map_reader.h"
#include "project/module_collection.h"
#include "shell/batch_limits.h"
#include "shell/debug_mask_rec.h"
#include "shell/mem_view_model.h"
#include "shell/run_address.h"
#include "support/box_recorder.h"
#include "support/scratch_dir.h"

#include <fstream>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ShellIni;
using testing::ShellRig;
using A = TMainAction;

class MainCommandsTest : public ::testing::Test {
protected:
    MainCommandsTest() : paths_(rig.WriteDemo()) { rig.Create(); }

    std::string Exe() const { return paths_.exe.string(); }
    bool Showed(std::string_view text) const {
        return std::any_of(rig.presenter.Boxes.begin(), rig.presenter.Boxes.end(),
                           [text](const auto& box) { return box.Text == text; });
    }

    ShellRig rig;
    fixtures::ProjectFilePaths paths_;
};

TEST_F(MainCommandsTest, OpenReopenAndCloseGoThroughTheDialogAndTellTheEventLog) {
    rig.host.Events.clear();
    rig.host.ProjectFiles = {std::nullopt, paths_.exe};
    rig.core->Execute(A::OpenExe);
    EXPECT_EQ(ProjectType, TProjectType::None) << "cancelled";
    rig.core->Execute(A::OpenExe);
    EXPECT_EQ(rig.host.ChosenTypes, (std::vector<TProjectType>{TProjectType::Full, TProjectType::Full}));
    EXPECT_EQ(ProjectName, "DEMO");
    EXPECT_TRUE(ExeFileOK && MapFileOK && MemFileOK);
    EXPECT_EQ(rig.host.Events.back().Kind, 4);
    rig.core->Execute(A::ReOpen);
    rig.core->Execute(A::CloseProject);
    EXPECT_EQ(ProjectType, TProjectType::None);
    EXPECT_TRUE(ProjectDir.empty());
    EXPECT_FALSE(MemFileOK);
    EXPECT_FALSE(rig.host.Enabled(A::Generate));
    rig.core->CloseProject(false); // nothing to close, nothing told
    const std::string project = "- Project \"" + Exe() + "\" has been ";
    EXPECT_EQ(rig.host.EventTexts(), (std::vector<std::string>{project + "opened", project + "closed",
                                                               project + "opened", project + "closed"}));
}

TEST_F(MainCommandsTest, AProjectThatIsMissingOrFailsToLoadLeavesNoProjectBehind) {
    const std::filesystem::path missing = rig.Dir() / "NONE.EXE";
    EXPECT_FALSE(rig.core->OpenFullProject(missing, false));
    EXPECT_TRUE(Showed("Can't open file \"" + missing.string() + "\"!"));
    rig.presenter.Boxes.clear();
    EXPECT_FALSE(rig.core->OpenFullProject(missing, true));
    EXPECT_TRUE(rig.presenter.Boxes.empty()) << "quietly: the event log tells";
    EXPECT_TRUE(rig.host.HasEvent("- Can't open file \"" + missing.string() + "\"!"));
    testing::ScratchDir bad;
    bad.Write("BAD.EXE", rig.FileText("DEMO.EXE"));
    bad.Write("BAD.MAP", "not a map\n");
    EXPECT_FALSE(rig.core->OpenFullProject(bad.Path() / "BAD.EXE", true));
    EXPECT_EQ(ProjectType, TProjectType::None);
    EXPECT_EQ(ProjectModel().Modules, nullptr);
}

TEST_F(MainCommandsTest, CommandsThatNeedAProjectSaySo) {
    const std::pair<A, const char*> cases[] = {{A::MemDesign, "At first select the .EXE file."},
                                               {A::CrEpromImg, "At first open some project."},
                                               {A::FindErr, "At first set .EXE file."},
                                               {A::DownloadApp, "Nothing to load, check project!"}};
    for (const auto& [action, box] : cases) {
        rig.presenter.Boxes.clear();
        rig.core->Execute(action);
        EXPECT_TRUE(Showed(box)) << box;
    }
    EXPECT_EQ(rig.core->EpromImageOk, 0);
    EXPECT_FALSE(rig.core->DownloadApp_MenuItemClick());
    CmdLineFlags = CL_Generate | CL_Download;
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 0);
    EXPECT_TRUE(Showed("At first select the .EXE file."));
    EXPECT_EQ(CmdLineFlags, CL_Download) << "only the Generate bit goes";
    // Without a project the run asks where to start.
    rig.host.Addresses = {MakeFarPtr(0, 0xE000)};
    EXPECT_TRUE(rig.core->RunApp_MenuItemClick());
    EXPECT_EQ(rig.host.AddressCaptions.back(), "Vok - Run - from address");
}

TEST_F(MainCommandsTest, TheMemoryDesignWindowGoesForGood) {
    rig.host.ProjectFiles.push_back(paths_.exe);
    rig.core->Execute(A::OpenExe);
    rig.core->Execute(A::MemDesign);
    rig.core->CloseProject(false);
    rig.core->FormDestroy();
    EXPECT_EQ(std::tie(rig.host.ProjectWindowShows, rig.host.ModuleListShows, rig.host.ModuleListCloses),
              std::make_tuple(1, 1, 1));
}

TEST_F(MainCommandsTest, AnEditedDesignIsOfferedForSavingBeforeTheProjectCloses) {
    const std::string before = rig.FileText("DEMO.MEM");
    testing::BoxRecorder boxes;
    boxes.answers = {IDNO, IDCANCEL, IDYES};
    for (const bool saved : {false, false, true}) {
        if (ProjectType == TProjectType::None) {
            ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
        }
        ProjectModel().Modules->At(0)->Length = 0x100; // as the module editor's OK leaves it
        ProjectModel().Modules->MarkChanged();
        rig.core->Execute(A::CloseProject);
        EXPECT_EQ(ProjectType == TProjectType::None, boxes.answers.size() != 1) << "Cancel keeps it open";
        EXPECT_EQ(rig.FileText("DEMO.MEM") != before, saved);
    }
}

TEST_F(MainCommandsTest, ReopeningOrQuittingAsksTheSameAndCancelKeepsTheEdits) {
    const std::string before = rig.FileText("DEMO.MEM");
    const struct {
        A action;
        int answer;
        bool showsEdit; // a project is open whose design has the edit
        bool saved;
        bool quit;
    } cases[] = {
        {A::ReOpen, IDCANCEL, true, false, false}, {A::ReOpen, IDNO, false, false, false},
        {A::ReOpen, IDYES, true, true, false},     {A::Exit, IDCANCEL, true, false, false},
        {A::Exit, IDYES, false, true, true},
    };
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    const std::uint32_t length = ProjectModel().Modules->At(0)->Length; // as the file has it
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << MainActionInfo(c.action).Name << " " << c.answer);
        std::ofstream(rig.Dir() / "DEMO.MEM", std::ios::binary) << before;
        if (ProjectType == TProjectType::None) {
            ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
        }
        ProjectModel().Modules->At(0)->Length = length + 0x100;
        ProjectModel().Modules->MarkChanged();
        const int quits = rig.host.CloseRequests;
        testing::BoxRecorder boxes;
        boxes.answers = {c.answer};
        rig.core->Execute(c.action);
        EXPECT_EQ(boxes.texts.size(), 1u);
        const bool edited =
            ProjectType != TProjectType::None && ProjectModel().Modules->At(0)->Length != length;
        EXPECT_EQ(edited, c.showsEdit);
        EXPECT_EQ(rig.FileText("DEMO.MEM") != before, c.saved);
        EXPECT_EQ(rig.host.CloseRequests - quits, c.quit ? 1 : 0);
    }
}

TEST_F(MainCommandsTest, GenerateRefusesUnplacedUnitsAndAFailedDesignCheckWithAnEvent) {
    std::filesystem::remove(rig.Dir() / "DEMO.MEM");
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 0);
    EXPECT_TRUE(Showed("At first place all units, then generate."));
    EXPECT_EQ(rig.host.Events.back().Text, "- At first place all units, then generate.");
    EXPECT_EQ(rig.host.Events.back().Kind, 1);

    rig.ini_.Dir().Write("DEMO.MEM", fixtures::BuildMemText(rig.design));
    rig.core->CloseProject(false);
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    // A ROM module moved over the RAM module fails the check.
    ProjectModel().Modules->At(1)->Address = 0x0100;
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 0);
    EXPECT_TRUE(Showed("Can't generate, didn't pass check."));
    EXPECT_EQ(rig.host.Events.back().Text, "- Error, Can't generate, didn't pass check.");
}

// Generated images make the EPROM image ready, also for the small project, while they are fresh.
TEST_F(MainCommandsTest, GenerateWritesTheImagesThatTheEpromImageNeeds) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    rig.core->CrEpromImg_MenuItemClick();
    EXPECT_TRUE(Showed("At first generate application."));
    ProjectModel().Modules->Changed = true;
    rig.core->Generate_MenuItemClick();
    EXPECT_EQ(rig.core->GenerateOk, 1);
    EXPECT_TRUE(BinFilesOK);
    EXPECT_FALSE(ProjectModel().Modules->Changed);
    EXPECT_NE(rig.FileText("DEMO.MEM").find(" Name                 \t Rel"), std::string::npos)
        << "saved at once";
    EXPECT_TRUE(Showed("Generation was succesfully completed.")) << "a menu generation says so";
    EXPECT_EQ(rig.host.Events.back().Text, "- Project succesfully generated");
    EXPECT_EQ(rig.host.Events.back().Kind, 4);
    EXPECT_EQ(rig.host.EpromWindows, 0);
    rig.core->CrEpromImg_MenuItemClick();
    EXPECT_EQ(rig.host.EpromWindows, 1) << "the window opens for the user";
    EXPECT_EQ(rig.core->EpromImageOk, 0) << "nothing created from the menu yet";

    rig.core->CloseProject(false);
    ASSERT_TRUE(rig.core->OpenSmallProject(rig.Dir() / "DEMO.MEM", false));
    EXPECT_TRUE(BinFilesOK);
    for (const bool fresh : {true, false}) {
        rig.core->CloseProject(false);
        ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
        EXPECT_EQ(BinFilesOK, fresh);
        // An older .BIN is no longer fresh.
        ASSERT_TRUE(WriteFileWriteTime(rig.Dir() / "ROM.BIN", FileTime{ExeFileTime.ns - 5'000'000'000}));
    }
}

TEST_F(MainCommandsTest, AChangedExecutableIsReloadedOnYesAndUsedAsLoadedOnNo) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    const FileTime loaded = ExeFileTime;
    const FileTime newer{ExeFileTime.ns + 3'000'000'000};
    ASSERT_TRUE(WriteFileWriteTime(paths_.exe, newer));
    ASSERT_TRUE(WriteFileWriteTime(paths_.map, newer));
    for (const int answer : {IDNO, IDYES}) {
        ScriptedPresenter answers;
        const ScopedPresenter scoped(answers);
        answers.QueueAnswer(answer);
        answers.QueueAnswer(IDOK);
        rig.core->Generate_MenuItemClick();
        ASSERT_EQ(answers.Boxes().size(), 2u) << "asked once";
        EXPECT_EQ(answers.Boxes()[0].text, "File \"" + Exe() + "\" changed.\r\nReload from disk?");
        EXPECT_TRUE(answers.Faults().empty());
        EXPECT_EQ(rig.core->GenerateOk, 1);
        EXPECT_EQ(ExeFileTime, answer == IDYES ? newer : loaded);
    }
}

TEST_F(MainCommandsTest, FindErrWordsTheLookupOfTheTypedAddressAndNeedsTheMapFile) {
    ASSERT_TRUE(rig.core->OpenFullProject(paths_.exe, false));
    rig.core->Generate_MenuItemClick(); // places the units at their board segments
    const tModUnit* main = ProjectModel().Modules->UnitByName("MAIN_TEXT");
    ASSERT_TRUE(main != nullptr && main->AbsSeg != 0);
    rig.host.Addresses = {MakeFarPtr(0x0004, main->AbsSeg), std::nullopt};
    rig.presenter.Boxes.clear();
    rig.core->FindErr_MenuItemClick();
    ASSERT_EQ(rig.presenter.Boxes.size(), 1u);
    EXPECT_EQ(rig.presenter.Boxes[0].Text, "Address found\r\nFile: MAIN.ASM\r\nLine: 12");
    EXPECT_EQ(rig.host.AddressCaptions.back(), "Type error address:");
    rig.core->FindErr_MenuItemClick(); // cancelled
    EXPECT_EQ(rig.presenter.Boxes.size(), 1u);
    EXPECT_EQ(rig.host.OfferedAddresses.back(), MakeFarPtr(0x0004, main->AbsSeg));

    std::filesystem::remove(paths_.map);
    rig.core->FindErr_MenuItemClick();
    EXPECT_TRUE(Showed("Can't, .MAP file doesn't exist."));
    EXPECT_EQ(rig.host.AddressCaptions.size(), 2u);
}

TEST_F(MainCommandsTest, ALookupWithoutADesignSaysSoOnceAndTheDesignFileStaysAsItWas) {
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

TEST_F(MainCommandsTest, TheComDefaultsComeFromRtdwIniOfTheProject) {
    testing::ScratchDir folder;
    for (const char* file : {"DEMO.EXE", "DEMO.MAP", "DEMO.MEM"}) {
        std::filesystem::copy(rig.Dir() / file, folder.Path() / file);
    }
    folder.Write("RTDW.INI", "[COM]\r\nCOM=3\r\nBDLD=9600\r\nDefBd=19200\r\n");
    ASSERT_TRUE(rig.core->OpenFullProject(folder.Path() / "DEMO.EXE", false));
    TRavlo_MA_Process& ma = *rig.core->MAProc;
    EXPECT_EQ(std::tie(ma.DefBd, ma.BDLD, ma.CurBaud), std::make_tuple(19200u, 9600u, 9600u));
    EXPECT_EQ(ComDefaultPort, 3);
    rig.Settle();
    const auto& requests = rig.Comm().Requests;
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().Code, RAVLOCOMM_MA_SetChnParam);
    EXPECT_EQ(requests.back().Data, (testing::Bytes{3, 0x80, 0x25, 0, 0})) << "port 3, 9600 baud";

    // Bad values are replaced and told; without the file they stay as they are.
    folder.Write("RTDW.INI", "[COM]\r\nCOM=40\r\nBDLD=12\r\n");
    rig.core->LoadComDefaults();
    EXPECT_EQ(ma.ComPort, 1);
    EXPECT_EQ(ma.BDLD, 4800u);
    EXPECT_EQ(rig.writer.Errors().size(), 2u);
    std::filesystem::remove(folder.Path() / "RTDW.INI");
    ma.BDLD = 38400;
    rig.core->LoadComDefaults();
    EXPECT_EQ(ma.BDLD, 38400u);
}

TEST_F(MainCommandsTest, BoardCommandsCallTheMasterProcess) {
    rig.core->Execute(A::CreateCom);
    rig.Settle();
    EXPECT_TRUE(rig.Comm().Open);
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

TEST(BatchLimits, TheSecondsOfTheIniAndTheDefaultForAValueThatIsNone) {
    testing::ScratchDir dir;
    testing::CapturedWriter writer;
    EXPECT_EQ(ReadBatchLimits(dir.Path() / "none.ini"), TBatchLimits{});
    const TBatchLimits limits = ReadBatchLimits(
        dir.Write("app.ini", "[COMMANDLINE]\r\nBoardWait=5\r\nStepWait= 120 \r\nExitWait=0\r\n"));
    EXPECT_EQ(limits.BoardWaitMs, 5000u);
    EXPECT_EQ(limits.StepWaitMs, 120000u);
    EXPECT_EQ(limits.ExitWaitMs, TBatchLimits{}.ExitWaitMs);
    EXPECT_EQ(writer.Errors().size(), 1u) << "ExitWait=0 is no wait";
    const auto bad =
        dir.Write("bad.ini", "[COMMANDLINE]\r\nBoardWait=0\r\nStepWait=ten\r\nExitWait=999999\r\n");
    EXPECT_EQ(ReadBatchLimits(bad), TBatchLimits{});
    EXPECT_EQ(writer.Errors().size(), 4u);
}

TEST(SetupCommand, ALinkThatFallsWhileTheDialogIsOpenHarmsNothingAndTheEditIsWrittenBack) {
    ShellRig rig;
    rig.Create();
    rig.Board().Kind = DEV_Vok386;
    rig.Board().IdText = "VOK386 BIOS 23<VOK>";
    rig.Board().PutIdentification();
    rig.core->Execute(TMainAction::CreateCom);
    const Bytes block = rig.Board().Read(0xFFF00, 256);
    const TRavlo_MA_Process& ma = *rig.core->MAProc;
    ASSERT_TRUE(rig.AdvanceUntil([&] { return ma.Device == DEV_Vok386 && ma.ConState == cs_idle; }));
    bool lost = false;
    rig.host.OnEditSetup = [&](std::span<std::uint8_t> record) {
        EXPECT_TRUE(std::equal(record.begin(), record.end(), block.begin()) && record.size() == 13);
        // The read has ended and the dialog has the block; no handler of the master runs below us.
        EXPECT_EQ(ma.ConState, cs_idle);
        EXPECT_TRUE(ma.Active().Buffer.empty());
        rig.Board().Mute = 1'000'000;
        rig.Advance(3000);
        lost = ma.Connected != kBoardConnected && !rig.host.Menus->SetupConnected;
        rig.Board().Mute = 0;
        EXPECT_TRUE(rig.AdvanceUntil([&] { return ma.Device == DEV_Vok386 && ma.ConState == cs_idle; }));
        EXPECT_TRUE(rig.host.Menus->SetupConnected) << "the open dialog is told the board is back";
        record[0] = 0xB6;
        return true;
    };
    rig.core->Execute(TMainAction::VokSetup);
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.host.HasEvent("- Setup was written"); }));
    EXPECT_TRUE(lost);
    Bytes expected = block;
    expected[0] = 0xB6;
    EXPECT_EQ(rig.Board().Read(0xFFF00, 256), expected);
}

TEST(SetupCommand, OfflineTheFileSizeChoosesTheDialog) {
    testing::ScratchDir dir;
    const struct {
        const char* name;
        int size; // -1: no such file
        const char* box;
    } cases[] = {
        {"a.c38", 13, ""},
        {"a.bin", 13, ""},
        {"a.c18", 32, ""},
        {"c.c38", 14, "File \"%\" doesn't contain valid BIOS setup!"},
        {"none.c18", -1, "Can't open file \"%\"!"},
    };
    for (const auto& c : cases) {
        ShellRig rig;
        rig.Create();
        rig.host.SetupFile = dir.Path() / c.name;
        if (c.size >= 0) {
            dir.Write(c.name, std::string(static_cast<std::size_t>(c.size), '\x11'));
        }
        rig.core->Execute(TMainAction::VokSetup);
        std::string box = c.box;
        if (const auto at = box.find('%'); at != std::string::npos) {
            box.replace(at, 1, rig.host.SetupFile->string());
        }
        ASSERT_EQ(rig.presenter.Boxes.size(), box.empty() ? 0u : 1u) << c.name;
        EXPECT_EQ(box.empty() ? "" : rig.presenter.Boxes[0].Text, box);
        ASSERT_EQ(rig.host.SetupEdits.size(), box.empty() ? 1u : 0u) << c.name;
        if (box.empty()) {
            EXPECT_EQ(rig.host.SetupEdits[0].Board, c.size == 32 ? TSetupBoard::Vok188 : TSetupBoard::Vok386);
            EXPECT_EQ(rig.host.SetupEdits[0].Record, Bytes(static_cast<std::size_t>(c.size), 0x11));
            EXPECT_FALSE(rig.host.SetupEdits[0].CanSave) << "no board to save to";
        }
    }
}

TEST(MainFormStatus, RecentProjectsFollowWhatIsOpenedAndOpenAgain) {
    ShellRig rig(ShellIni("[LASTPROJECTS]\r\nP1=/nowhere/A.BIN\r\nP2=/nowhere/GONE.EXE\r\n"));
    const auto demo = rig.WriteDemo();
    rig.Create();
    rig.core->OpenLastProject(1);
    rig.core->OpenLastProject(2);
    ASSERT_EQ(rig.presenter.Boxes.size(), 2u);
    EXPECT_EQ(rig.presenter.Boxes[0].Text, "Incorrect file extension !");
    EXPECT_EQ(rig.presenter.Boxes[1].Text, "Project \"/nowhere/GONE.EXE\" does not exist!");
    EXPECT_EQ(ProjectType, TProjectType::None);

    ASSERT_TRUE(rig.core->OpenFullProject(demo.exe, false));
    const std::vector<std::string> after{demo.exe.string(), "/nowhere/A.BIN", "/nowhere/GONE.EXE", "", ""};
    EXPECT_EQ(rig.host.LastProjects, after);
    rig.core->CloseProject(false);
    rig.core->OpenLastProject(1);
    EXPECT_EQ(ProjectType, TProjectType::Full);
    EXPECT_EQ(rig.host.LastProjects, after) << "already first";
}

// The debug-messages dialog as a user answers it: DM_ProcMess alone and no runtime log.
class ProcMessOnly final : public TModalDialog {
public:
    void BindRecord(std::span<std::uint8_t> data) override { data_ = data; }
    int ShowModal() override {
        EXPECT_EQ(TDebugDMRec::Decode(data_), (TDebugDMRec{DM_DelayMess, 1}));
        const auto edited = TDebugDMRec{DM_ProcMess, 0}.Encode();
        std::copy(edited.begin(), edited.end(), data_.begin());
        return mrOk;
    }

private:
    std::span<std::uint8_t> data_;
};

TEST(MainFormStatus, TheDebugMessagesDialogSetsTheMaskAndTheLogAndWritesApp) {
    std::string ini = ShellIni();
    ini.replace(ini.find("APP="), 4, "APP=UPD=1 ");
    ShellRig rig(ini);
    rig.Create();
    SetDebugMask(DM_DelayMess);
    rig.host.CanAnswerDialogs = false;
    rig.core->Execute(TMainAction::DebugMode);
    EXPECT_EQ(GetDebugMask(), DM_DelayMess) << "nobody answered";
    EXPECT_EQ(IniFile(AppIniName()).ReadString(WrSection(), "APP"), "");

    RegisterDialog("TDebugDM_Dlg", [](TPlatformWindow*) { return std::make_unique<ProcMessOnly>(); });
    rig.host.CanAnswerDialogs = true;
    rig.core->Execute(TMainAction::DebugMode);
    EXPECT_EQ(GetDebugMask(), DM_ProcMess);
    EXPECT_FALSE(TxsOn());
    const std::string written = IniFile(AppIniName()).ReadString(WrSection(), "APP");
    EXPECT_NE(written.find("DM=$00000002 TXS=0"), std::string::npos) << written;
}

TEST(MainFormStatus, ARuntimeLogOffAtStartStaysOff) {
    ShellRig rig(ShellIni().replace(ShellIni().find("TXS=1"), 5, "TXS=0"));
    rig.Create();
    EXPECT_FALSE(TxsOn()) << "the log deleted at start is not written again";
}

} // namespace
} // namespace ravlo
