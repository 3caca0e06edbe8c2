#include "platform/file_time.h"
#include "platform/message_box_flags.h"
#include "project/module_collection.h"
#include "project/module_editor.h"
#include "project/module_list.h"
#include "project/project_globals.h"
#include "project/project_info.h"
#include "project/project_test_support.h"
#include "support/app_fixtures.h"
#include "support/scratch_dir.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ProjectTest;

enum class Close { Cancel, Ok, Next, Prev };

class ModuleListTest : public ProjectTest {
protected:
    ModuleListTest() {
        ProjectType = TProjectType::Full;
        ExeFileTime = FileTime{1'700'000'000'000'000'000};
        tProjectModel& model = ProjectModel();
        model.Unplaced = std::make_unique<tModule>();
        model.Modules = std::make_unique<tModuleCollection>();
        for (const char* name : {"A_TEXT", "B_TEXT", "C_TEXT"}) {
            model.Unplaced->Insert(
                std::make_unique<tModUnit>(MUnitT::Code, name, model.Unplaced->Count(), 0, 0x100));
        }
        model.Unplaced->Insert(std::make_unique<tModUnit>(MUnitT::Data, "Data", 0x40, 0, 0x400));
    }
    tModule& AddModule(const std::string& name, std::uint16_t address, std::uint32_t length,
                       const std::vector<std::string>& units = {}) {
        auto module = std::make_unique<tModule>(name, address, length);
        for (const std::string& unit : units) {
            MoveUnit(*ProjectModel().Unplaced, ProjectModel().Unplaced->UnitByName(unit), *module);
        }
        tModule& added = *module;
        ProjectModel().Modules->Insert(std::move(module));
        return added;
    }
    void WriteBin(const std::string& name, std::size_t size, std::int64_t timeShift) {
        const auto file = dir_.Write(name + ".BIN", std::string(size, '\xFF'));
        ASSERT_TRUE(WriteFileWriteTime(file, FileTime{ExeFileTime.ns + timeShift}));
    }
    // The editor as the dialog runs it: each step works on the editor and says how it closes.
    TModuleListModel List() {
        return TModuleListModel([this](tModule& module, tModule& unplaced, bool& next, bool& prev) {
            offered_.push_back({module.Name, next, prev});
            TModuleEditor editor(module, unplaced, ProjectModel().Modules.get());
            const Close close = steps_.empty() ? Close::Cancel : steps_.front()(editor);
            if (!steps_.empty()) {
                steps_.pop_front();
            }
            if (close == Close::Cancel || !editor.Ok().Accepted) {
                editor.Cancel();
                return false;
            }
            next = close == Close::Next;
            prev = close == Close::Prev;
            return true;
        });
    }
    std::vector<std::string> Column(const TModuleListModel& list, std::string TModuleListRow::*field) const {
        std::vector<std::string> texts;
        for (const TModuleListRow& row : list.Rows()) {
            texts.push_back(row.*field);
        }
        return texts;
    }

    struct Offer {
        std::string name;
        bool next, prev;
        bool operator==(const Offer&) const = default;
    };
    std::deque<std::function<Close(TModuleEditor&)>> steps_;
    std::vector<Offer> offered_;
};

TEST_F(ModuleListTest, RowsShowTheModulesAndTheStateOfTheirBinFiles) {
    AddModule("RAM", 0x0100, 0x10000, {"Data"});
    AddModule("MISSING", 0xC000, 0x800, {"A_TEXT"});
    AddModule("OLDER", 0xC800, 0x8000, {"B_TEXT"});
    AddModule("SAME", 0xD000, 0x123456, {"C_TEXT"});
    AddModule("EMPTY", 0xE000, 0);
    WriteBin("OLDER", 0x200, -1);
    WriteBin("SAME", 0x400, 0);
    TModuleListModel list = List();
    list.RefreshModuleList();
    EXPECT_EQ(Column(list, &TModuleListRow::Start),
              (std::vector<std::string>{"$01000", "$C0000", "$C8000", "$D0000", "$E0000"}));
    EXPECT_EQ(Column(list, &TModuleListRow::End),
              (std::vector<std::string>{"$10FFF", "$C07FF", "$CFFFF", "$1F3455", "$E0000"}));
    EXPECT_EQ(Column(list, &TModuleListRow::Size),
              (std::vector<std::string>{"$10000 (64 KB)", "$00800 (2 KB)", "$08000 (32 KB)",
                                        "$123456 (1165 KB)", "$00000 (0 KB)"}));
    EXPECT_EQ(Column(list, &TModuleListRow::Type),
              (std::vector<std::string>{"RAM", "ROM", "ROM", "ROM", "NIL"}));
    EXPECT_EQ(Column(list, &TModuleListRow::Status),
              (std::vector<std::string>{"OK", "Err: File not found", "OLD file", "OK", "OK"}));
    EXPECT_EQ(
        Column(list, &TModuleListRow::BinSize),
        (std::vector<std::string>{"no file needed", "", "$00200 (0 KB)", "$00400 (1 KB)", "no file needed"}));
    WriteBin("SAME", 0x400, 1);
    list.RefreshModuleList();
    EXPECT_EQ(list.Rows()[3].Status, "NEW");
    EXPECT_EQ(list.Selected(), 4) << "nothing selected before: the last row";
    ASSERT_EQ(list.Bars().size(), 5U);
    EXPECT_TRUE(list.Bars()[0].Ram);
    EXPECT_FALSE(list.Bars()[1].Ram);
    EXPECT_EQ(list.Bars()[1].Hint, "Module MISSING");
    EXPECT_EQ(list.Bars()[2].Start, 0xC8000U);
}

TEST_F(ModuleListTest, MapPlacesBarsInProportionAndSnapsTheWidth) {
    struct Case {
        std::uint32_t start, length;
        int width, left, barWidth;
    };
    for (const Case& c : {Case{0, 0x100000, 800, 0, 800}, Case{0xC8000, 0x8000, 800, 625, 25},
                          Case{0xFD000, 0x3000, 800, 790, 10}, Case{0x1000, 0x10, 800, 3, 1},
                          Case{0xF0000, 0x123456, 800, 750, 50}}) {
        const TMapSpan span = MapSpan(c.start, c.length, c.width);
        EXPECT_EQ(span.Left, c.left) << std::hex << c.start;
        EXPECT_EQ(span.Width, c.barWidth) << std::hex << c.start;
    }
    EXPECT_EQ(SnapMapWindowWidth(500, 720), 720);
    EXPECT_EQ(SnapMapWindowWidth(727, 720), 720);
    EXPECT_EQ(SnapMapWindowWidth(737, 720), 736);
    for (int i = 0; i < 22; ++i) {
        AddModule("M" + std::to_string(i), static_cast<std::uint16_t>(0x4000 + i * 0x100), 0x1000);
    }
    TModuleListModel list = List();
    list.RefreshModuleList();
    EXPECT_EQ(list.Rows().size(), 22U);
    EXPECT_EQ(list.Bars().size(), kMapBarsMax);
}

TEST_F(ModuleListTest, InsertEditNextAndPreviousKeepTheAddressOrder) {
    AddModule("RAM", 0x0100, 0x10000, {"Data"});
    AddModule("ROM", 0xC800, 0x8000, {"A_TEXT"});
    BinFilesOK = true;
    TModuleListModel list = List();
    list.RefreshModuleList();
    // A new module between the two, closed with Next: the editor goes on to the module after it.
    steps_.push_back([](TModuleEditor& editor) {
        editor.SetNameText("MID");
        editor.SetAddressText("$80000");
        editor.LeaveAddress();
        editor.InsertUnits(std::vector<int>{0}, 0);
        return Close::Next;
    });
    steps_.push_back([](TModuleEditor&) { return Close::Prev; });
    steps_.push_back([](TModuleEditor&) { return Close::Cancel; });
    EXPECT_TRUE(list.Insert());
    EXPECT_EQ(offered_, (std::vector<Offer>{{"", false, false}, {"ROM", false, true}, {"MID", true, true}}));
    EXPECT_EQ(Column(list, &TModuleListRow::Name), (std::vector<std::string>{"RAM", "MID", "ROM"}));
    EXPECT_EQ(ProjectModel().Modules->At(1)->Length, 0x18000U);
    EXPECT_EQ(list.Selected(), 2);
    EXPECT_FALSE(BinFilesOK);
    EXPECT_TRUE(ProjectModel().Modules->Changed);

    // Moving a module past another one reorders the list and selects it where it went.
    list.Select(0);
    steps_.push_back([](TModuleEditor& editor) {
        editor.SetAddressText("$38000");
        return Close::Ok;
    });
    EXPECT_TRUE(list.Edit());
    EXPECT_EQ(Column(list, &TModuleListRow::Name), (std::vector<std::string>{"RAM", "MID", "ROM"}));
    list.Select(1);
    steps_.push_back([](TModuleEditor& editor) {
        editor.SetAddressText("$E0000");
        return Close::Ok;
    });
    EXPECT_TRUE(list.Edit());
    EXPECT_EQ(Column(list, &TModuleListRow::Name), (std::vector<std::string>{"RAM", "ROM", "MID"}));
    EXPECT_EQ(list.Selected(), 2);
}

TEST_F(ModuleListTest, CancelOfANewModuleGivesItsUnitsBack) {
    TModuleListModel list = List();
    list.RefreshModuleList();
    steps_.push_back([](TModuleEditor& editor) {
        editor.SetAddressText("$C8000");
        editor.LeaveAddress();
        editor.InsertAll();
        EXPECT_EQ(editor.UsedUnits().size(), 3U);
        return Close::Cancel;
    });
    EXPECT_FALSE(list.Insert()) << "an empty design always inserts";
    EXPECT_TRUE(ProjectModel().Modules->Empty());
    EXPECT_EQ(ProjectModel().Unplaced->Count(), 4);
    // Even a runner that ends by an exception leaves no unit behind.
    TModuleListModel failing([](tModule& module, tModule& unplaced, bool&, bool&) -> bool {
        MoveUnit(unplaced, unplaced.First(), module);
        throw std::runtime_error("dialog failed");
    });
    EXPECT_THROW(failing.Insert(), std::runtime_error);
    EXPECT_EQ(ProjectModel().Unplaced->Count(), 4);
}

TEST_F(ModuleListTest, DeleteAsksAndReturnsTheUnits) {
    AddModule("RAM", 0x0100, 0x10000, {"Data"});
    AddModule("ROM", 0xC800, 0x8000, {"A_TEXT", "B_TEXT"});
    TModuleListModel list = List();
    list.RefreshModuleList();
    list.Select(1);
    presenter_.Answer(IDNO);
    EXPECT_FALSE(list.Delete());
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Delete module: \"ROM\" ?"});
    EXPECT_EQ(list.Rows().size(), 2U);
    presenter_.Answer(IDYES);
    EXPECT_TRUE(list.Delete());
    EXPECT_EQ(Column(list, &TModuleListRow::Name), std::vector<std::string>{"RAM"});
    EXPECT_EQ(list.Selected(), 0);
    EXPECT_EQ(ProjectModel().Unplaced->Count(), 3);
    EXPECT_NE(ProjectModel().Unplaced->UnitByName("B_TEXT"), nullptr);
    EXPECT_TRUE(ProjectModel().Modules->Changed);
    list.Select(-1);
    EXPECT_FALSE(list.Delete());
    presenter_.Clear();
    EXPECT_FALSE(list.Edit());
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Select module before editate."});
}

TEST_F(ModuleListTest, ASmallProjectIsNotEdited) {
    AddModule("ROM", 0xC800, 0x8000, {"A_TEXT"});
    ProjectName = "DEMO";
    const auto mem = dir_.Write("DEMO.MEM", "as the SMALL project has it");
    ProjectType = TProjectType::Small;
    ProjectModel().Unplaced.reset();
    TModuleListModel list = List();
    list.RefreshModuleList();
    EXPECT_FALSE(list.EditingEnabled());
    EXPECT_FALSE(list.Edit());
    EXPECT_FALSE(list.Insert());
    EXPECT_FALSE(list.Delete());
    EXPECT_FALSE(list.SaveMemFile());
    EXPECT_EQ(testing::ReadFileText(mem), "as the SMALL project has it");
    EXPECT_TRUE(offered_.empty());
    EXPECT_TRUE(presenter_.Boxes().empty());
    EXPECT_EQ(ProjectModel().Modules->Count(), 1);
}

TEST_F(ModuleListTest, ProjectInfoFollowsTheProjectType) {
    ProjectName = "DEMO";
    MapFileOK = true;
    const TProjectInfo full = ShowProjectInfo();
    EXPECT_EQ(full.Type, "FULL (Exe+Map+Mem+Bin)");
    EXPECT_EQ(full.Name, "DEMO");
    EXPECT_EQ(full.Dir, ProjectDir);
    EXPECT_TRUE(full.MapOk);
    EXPECT_FALSE(full.ExeOk || full.MemOk || full.BinOk);
    ProjectType = TProjectType::Small;
    EXPECT_EQ(ShowProjectInfo().Type, "SMALL (Mem+Bin)");
    ProjectType = TProjectType::None;
    const TProjectInfo none = ShowProjectInfo();
    EXPECT_EQ(none.Type, "NONE");
    EXPECT_TRUE(none.Name.empty() && none.Dir.empty());
}

} // namespace
} // namespace ravlo
