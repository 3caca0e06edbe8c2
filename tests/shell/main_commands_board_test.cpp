// The main form's board commands against the fake board: Gen+Load+Run, Request, the BIOS setup
// command by board, and the words of the error-address lookup.
#include "fixtures/map_writer.h"
#include "framework/number_text.h"
#include "main_form_test_support.h"
#include "project/module_collection.h"
#include "protocol/vok_frame.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ShellRig;
using A = TMainAction;

// The rig with the board identified on an open link and nothing recorded yet.
void Connect(ShellRig& rig) {
    rig.Board().PutIdentification();
    rig.core->Execute(A::CreateCom);
    const TRavlo_MA_Process& ma = *rig.core->MAProc;
    ASSERT_TRUE(rig.AdvanceUntil([&] { return ma.Connected == kBoardConnected && ma.ConState == cs_idle; }));
    ASSERT_EQ(ma.Device, rig.Board().Kind);
    rig.Comm().Requests.clear();
    rig.presenter.Boxes.clear();
    rig.host.Events.clear();
}

std::vector<std::string> BoxTexts(const ShellRig& rig) {
    std::vector<std::string> texts;
    for (const auto& box : rig.presenter.Boxes) {
        texts.push_back(box.Text);
    }
    return texts;
}

// Gen+Load+Run: a FULL project is generated, then its ROM images go to the board and it is started
// at the module that holds the loader; a SMALL project is only loaded and started; a project whose
// generation fails, or none, sends the board nothing.
TEST(GenLoadRunCommand, GeneratesLoadsAndStartsWhatTheProjectAllows) {
    const struct {
        const char* what;
        TProjectType type;
        bool placed; // the design file places every unit
        bool sent;
        std::vector<std::string> boxes;
    } cases[] = {
        {"no project", TProjectType::None, true, false, {"Nothing to load, check project!"}},
        {"FULL", TProjectType::Full, true, true, {}},
        {"FULL, units not placed",
         TProjectType::Full,
         false,
         false,
         {"At first place all units, then generate."}},
        {"SMALL", TProjectType::Small, true, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShellRig rig;
        const auto paths = rig.WriteDemo();
        rig.Create();
        const std::filesystem::path rom = rig.Dir() / "ROM.BIN";
        if (c.type == TProjectType::Small) {
            // The images of a SMALL project come from an earlier generation.
            ASSERT_TRUE(rig.core->OpenFullProject(paths.exe, false));
            rig.core->Generate_MenuItemClick();
            rig.core->CloseProject(false);
            ASSERT_TRUE(rig.core->OpenSmallProject(paths.mem, false));
        } else if (c.type == TProjectType::Full) {
            if (!c.placed) {
                std::filesystem::remove(paths.mem);
            }
            ASSERT_TRUE(rig.core->OpenFullProject(paths.exe, false));
            ASSERT_FALSE(std::filesystem::exists(rom));
        }
        ASSERT_NO_FATAL_FAILURE(Connect(rig));

        rig.core->Execute(A::GenLoadRun);
        const TRavlo_MA_Process& ma = *rig.core->MAProc;
        ASSERT_TRUE(rig.AdvanceUntil([&] { return ma.QueueCount() == 0 && ma.ConState == cs_idle; }));

        EXPECT_EQ(BoxTexts(rig), c.boxes) << "a FULL project is generated without the box of a menu Generate";
        EXPECT_EQ(CmdLineFlags, 0);
        EXPECT_EQ(rig.host.HasEvent("- Project succesfully generated"),
                  c.type == TProjectType::Full && c.placed);
        const testing::Frames frames = rig.Comm().SentFrames();
        const auto loads = std::count_if(frames.begin(), frames.end(),
                                         [](const Bytes& frame) { return frame[0] == ft_Load; });
        EXPECT_EQ(loads > 0, c.sent);
        EXPECT_EQ(rig.Board().Runs, c.sent ? 1 : 0);
        if (!c.sent) {
            continue;
        }
        // Started last, behind every write, at the module of the loader.
        ASSERT_EQ(frames.back()[0], ft_Run);
        const auto loader =
            std::find_if(rig.design.modules.begin(), rig.design.modules.end(), [](const auto& m) {
                return std::find(m.units.begin(), m.units.end(), "-- LOADER --") != m.units.end();
            });
        ASSERT_NE(loader, rig.design.modules.end());
        EXPECT_EQ(FrameFarPtr(frames.back(), 3), MakeFarPtr(0, loader->address));
        const std::string image = testing::ReadFileText(rom);
        const Bytes onBoard = rig.Board().Read(loader->address * 16U, image.size());
        EXPECT_EQ(std::string(onBoard.begin(), onBoard.end()), image);
    }
}

// Request asks the board on the line who it is: another board put there meanwhile is recognised
// at once, without waiting for the keep-alive.
TEST(RequestCommand, IdentifiesTheBoardOnTheLineAgain) {
    ShellRig rig;
    rig.Create();
    ASSERT_NO_FATAL_FAILURE(Connect(rig));
    const TRavlo_MA_Process& ma = *rig.core->MAProc;
    ASSERT_EQ(ma.Device, DEV_Vok188);
    rig.Board().Kind = DEV_Vok386;
    rig.Board().IdText = "VOK386 BIOS 23<VOK>";
    rig.Board().PutIdentification();

    rig.core->Execute(A::Request);
    rig.Settle(); // no time passes
    const testing::Frames frames = rig.Comm().SentFrames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0][0], ft_Rqst);
    EXPECT_EQ(ma.Device, DEV_Vok386);
    EXPECT_TRUE(rig.presenter.Boxes.empty());
}

// Go and Run start the board at the address typed into their dialog, which each offers again next
// time; a cancelled dialog starts nothing.
TEST(GoAndRunCommands, StartTheBoardAtTheTypedAddressAndOfferItAgain) {
    const struct {
        A action;
        const char* caption;
        std::uint8_t frame;
    } cases[] = {{A::GO, "Vok - Go - from address", ft_Go}, {A::RUN, "Vok - Run - from address", ft_Run}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        ShellRig rig;
        rig.Create();
        ASSERT_NO_FATAL_FAILURE(Connect(rig));
        const TSegOfsPtr typed = MakeFarPtr(0x0010, 0xD000);
        rig.host.Addresses = {typed, std::nullopt};
        rig.core->Execute(c.action);
        rig.Settle();
        rig.core->Execute(c.action);
        rig.Settle();
        EXPECT_EQ(rig.host.AddressCaptions, (std::vector<std::string>{c.caption, c.caption}));
        EXPECT_EQ(rig.host.OfferedAddresses, (std::vector<TSegOfsPtr>{MakeFarPtr(0, 0xC800), typed}));
        const testing::Frames frames = rig.Comm().SentFrames();
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0][0], c.frame);
        EXPECT_EQ(FrameFarPtr(frames[0], 3), typed);
        EXPECT_EQ(std::make_pair(rig.Board().Gos, rig.Board().Runs),
                  c.frame == ft_Go ? std::make_pair(1, 0) : std::make_pair(0, 1));
    }
}

// The BIOS setup command by what is connected: boards without a setup say so and nothing is read
// from them; without a connection a cancelled file choice opens nothing.
TEST(SetupCommand, BoardsWithoutASetupSaySoAndReadNothing) {
    testing::ScratchDir dir;
    const std::filesystem::path offline = dir.Write("a.c38", std::string(13, '\x11'));
    const struct {
        const char* what;
        bool connect;
        DEV_VokType board;
        const char* idText;
        bool forgetDevice; // the link stays, the board's kind is no longer known
        std::optional<std::filesystem::path> file;
        std::vector<std::string> boxes;
    } cases[] = {
        {"VokV40", true, DEV_VokV40, "V40 Bios monitor", false, offline, {"VokV40 has no Setup"}},
        {"ZQX09", true, DEV_Vok188, "VOK188 ZQX09 BIOS", false, offline, {"ZQX09 has no Setup"}},
        {"unknown board", true, DEV_Vok188, "VOK188 BIOS", true, offline, {"Unknown Vok Type!"}},
        {"no board, no file chosen", false, DEV_Vok188, "", false, std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShellRig rig;
        rig.Create();
        if (c.connect) {
            rig.Board().Kind = c.board;
            rig.Board().IdText = c.idText;
            ASSERT_NO_FATAL_FAILURE(Connect(rig));
        }
        if (c.forgetDevice) {
            rig.core->MAProc->Device = DEV_Unknown;
        }
        rig.host.SetupFile = c.file; // taken only when no board is connected
        rig.core->Execute(A::VokSetup);
        rig.Settle();
        EXPECT_EQ(BoxTexts(rig), c.boxes);
        EXPECT_TRUE(rig.host.SetupEdits.empty());
        EXPECT_TRUE(rig.Comm().SentFrames().empty()) << "no setup read";
    }
}

// The error-address lookup as the user reads it: the box's text and kind for every answer the
// lookup can give on the demo project.
TEST(FindErrCommand, EveryLookupAnswerHasItsBox) {
    struct Case {
        const char* what;
        // Prepares the project and answers the address to type.
        std::function<TSegOfsPtr(ShellRig&)> prepare;
        std::string text;
        const char* caption;
    };
    const auto unit = [](const char* name) {
        return ProjectModel().Modules->UnitByName(name);
    };
    const Case cases[] = {
        {"in no unit", [](ShellRig&) { return MakeFarPtr(0, 0x9000); }, "Address not found. Invalid segment.",
         "Error"},
        {"in a unit that lies outside its module",
         [&](ShellRig&) {
             tModule& rom = *ProjectModel().Modules->Last();
             rom.Length = (unit("IO_TEXT")->AbsSeg - rom.Address) * 16U;
             return MakeFarPtr(0, unit("IO_TEXT")->AbsSeg);
         },
         "Internal error of Ravlo - please contact author.", "Error"},
        {"past the end of a code unit",
         [&](ShellRig&) {
             const tModUnit& main = *unit("MAIN_TEXT");
             return MakeFarPtr(static_cast<std::uint16_t>(main.Offset + main.Length + 1), main.AbsSeg);
         },
         "Address not found. Invalid offset.", "Error"},
        {"in data", [&](ShellRig&) { return MakeFarPtr(4, unit("Data")->AbsSeg); },
         "Address found outside of code segment.", "Warning"},
        {"in code, but the map has no line numbers",
         [&](ShellRig& rig) {
             rig.ini_.Dir().Write("DEMO.MAP",
                                  fixtures::BuildMapText(rig.layout, {fixtures::LineEnd::CrLf, true, false}));
             return MakeFarPtr(4, unit("MAIN_TEXT")->AbsSeg);
         },
         "", "Information"},
        {"on a line", [&](ShellRig&) { return MakeFarPtr(4, unit("MAIN_TEXT")->AbsSeg); },
         "Address found\r\nFile: MAIN.ASM\r\nLine: 12", "Information"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShellRig rig;
        const auto paths = rig.WriteDemo();
        rig.Create();
        ASSERT_TRUE(rig.core->OpenFullProject(paths.exe, false));
        rig.core->Generate_MenuItemClick(); // gives every unit its board segment
        ASSERT_EQ(rig.core->GenerateOk, 1);
        rig.host.Addresses = {c.prepare(rig)};
        std::string text = c.text;
        if (text.empty()) {
            // The unit and the segment the executable gives it.
            text = "Address found\r\nModule: MAIN_TEXT\r\nTurbo segment: $" + HexW(unit("MAIN_TEXT")->RelSeg);
        }
        rig.presenter.Boxes.clear();
        rig.core->Execute(A::FindErr);
        ASSERT_EQ(rig.presenter.Boxes.size(), 1u);
        EXPECT_EQ(rig.presenter.Boxes[0].Text, text);
        EXPECT_EQ(rig.presenter.Boxes[0].Caption, c.caption);
    }
}

} // namespace
} // namespace ravlo
