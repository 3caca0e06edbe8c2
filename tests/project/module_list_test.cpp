#include "platform/file_time.h"
#include "platform/message_box_flags.h"
#include "project/module_collection.h"
#include "project/module_editor.h"
#include "project/module_list.h"
#include "project/project_globals.h"
#include "project/project_info.h"
#include "project/project_test_support.h"
#include "support/app_fixtures.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Names = std::vector<std::string>;
enum class Close { Cancel, Ok, Next, Prev };

class ModuleListTest : public testing::ProjectTest {
protected:
    ModuleListTest() {
        ProjectType = TProjectType::Full;
        ExeFileTime = FileTime{1'700'000'000'000'000'000};
        model_.Unplaced = std::make_unique<tModule>();
        model_.Modules = std::make_unique<tModuleCollection>();
        for (const char* name : {"A_TEXT", "B_TEXT", "C_TEXT"}) {
            model_.Unplaced->Insert(
                std::make_unique<tModUnit>(MUnitT::Code, name, model_.Unplaced->Count(), 0, 0x100));
        }
        model_.Unplaced->Insert(std::make_unique<tModUnit>(MUnitT::Data, "Data", 0x40, 0, 0x400));
    }
    void AddModule(const std::string& name, std::uint16_t address, std::uint32_t length,
                   const Names& units = {}) {
        auto module = std::make_unique<tModule>(name, address, length);
        for (const std::string& unit : units) {
            MoveUnit(*model_.Unplaced, model_.Unplaced->UnitByName(unit), *module);
        }
        model_.Modules->Insert(std::move(module));
    }
    void WriteBin(const std::string& name, std::size_t size, std::int64_t timeShift) {
        const auto file = dir_.Write(name + ".BIN", std::string(size, '\xFF'));
        ASSERT_TRUE(WriteFileWriteTime(file, FileTime{ExeFileTime.ns + timeShift}));
    }
    Names Column(std::string TModuleListRow::*field) const {
        Names texts;
        for (const TModuleListRow& row : list_.Rows()) {
            texts.push_back(row.*field);
        }
        return texts;
    }

    tProjectModel& model_ = ProjectModel();
    // The editor as the dialog runs it: each step works on the editor and says how it closes.
    std::deque<std::function<Close(TModuleEditor&)>> steps_;
    // Each module the editor was opened on, with "+next" and "+prev" when those were offered.
    Names offered_;
    TModuleListModel list_{[this](tModule& module, tModule& unplaced, bool& next, bool& prev) {
        offered_.push_back(module.Name + (next ? "+next" : "") + (prev ? "+prev" : ""));
        TModuleEditor editor(module, unplaced, model_.Modules.get());
        const Close close = steps_.at(0)(editor);
        steps_.pop_front();
        if (close == Close::Cancel || !editor.Ok().Accepted) {
            editor.Cancel();
            return false;
        }
        next = close == Close::Next;
        prev = close == Close::Prev;
        return true;
    }};
};

TEST_F(ModuleListTest, RowsShowTheModulesAndTheStateOfTheirBinFiles) {
    AddModule("RAM", 0x0100, 0x10000, {"Data"});
    AddModule("MISSING", 0xC000, 0x800, {"A_TEXT"});
    AddModule("OLDER", 0xC800, 0x8000, {"B_TEXT"});
    AddModule("SAME", 0xD000, 0x123456, {"C_TEXT"});
    AddModule("EMPTY", 0xE000, 0);
    WriteBin("OLDER", 0x200, -1);
    WriteBin("SAME", 0x400, 0);
    list_.RefreshModuleList();
    EXPECT_EQ(Column(&TModuleListRow::Start), (Names{"$01000", "$C0000", "$C8000", "$D0000", "$E0000"}));
    EXPECT_EQ(Column(&TModuleListRow::End), (Names{"$10FFF", "$C07FF", "$CFFFF", "$1F3455", "$E0000"}));
    EXPECT_EQ(Column(&TModuleListRow::Size), (Names{"$10000 (64 KB)", "$00800 (2 KB)", "$08000 (32 KB)",
                                                    "$123456 (1165 KB)", "$00000 (0 KB)"}));
    EXPECT_EQ(Column(&TModuleListRow::Type), (Names{"RAM", "ROM", "ROM", "ROM", "NIL"}));
    EXPECT_EQ(Column(&TModuleListRow::Status), (Names{"OK", "Err: File not found", "OLD file", "OK", "OK"}));
    EXPECT_EQ(Column(&TModuleListRow::BinSize),
              (Names{"no file needed", "", "$00200 (0 KB)", "$00400 (1 KB)", "no file needed"}));
    WriteBin("SAME", 0x400, 1);
    list_.RefreshModuleList();
    EXPECT_EQ(list_.Rows()[3].Status, "NEW");
    EXPECT_EQ(list_.Selected(), 4) << "nothing selected before: the last row";
    ASSERT_EQ(list_.Bars().size(), 5U);
    EXPECT_EQ(std::tie(list_.Bars()[0].Ram, list_.Bars()[2].Ram, list_.Bars()[2].Start, list_.Bars()[2].Hint),
              std::make_tuple(true, false, 0xC8000U, "Module OLDER"));
}

TEST_F(ModuleListTest, MapPlacesBarsInProportionAndSnapsTheWidth) {
    using Case = std::tuple<std::uint32_t, std::uint32_t, int, int>;
    for (const auto& [start, length, left, width] :
         {Case{0, 0x100000, 0, 800}, Case{0xC8000, 0x8000, 625, 25}, Case{0xFD000, 0x3000, 790, 10},
          Case{0x1000, 0x10, 3, 1}, Case{0xF0000, 0x123456, 750, 50}}) {
        const TMapSpan span = MapSpan(start, length, 800);
        EXPECT_EQ(std::tie(span.Left, span.Width), std::tie(left, width)) << std::hex << start;
    }
    EXPECT_EQ((std::vector<int>{SnapMapWindowWidth(500, 720), SnapMapWindowWidth(727, 720),
                                SnapMapWindowWidth(737, 720)}),
              (std::vector<int>{720, 720, 736}));
    for (int i = 0; i < 22; ++i) {
        AddModule("M", static_cast<std::uint16_t>(0x4000 + i * 0x100), 0x1000);
    }
    list_.RefreshModuleList();
    EXPECT_EQ(std::make_pair(list_.Rows().size(), list_.Bars().size()),
              std::make_pair(std::size_t{22}, kMapBarsMax));
}

TEST_F(ModuleListTest, InsertEditNextAndPreviousKeepTheAddressOrder) {
    AddModule("RAM", 0x0100, 0x10000, {"Data"});
    AddModule("ROM", 0xC800, 0x8000, {"A_TEXT"});
    BinFilesOK = true;
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
    EXPECT_TRUE(list_.Insert());
    EXPECT_EQ(offered_, (Names{"", "ROM+prev", "MID+next+prev"}));
    EXPECT_EQ(Column(&TModuleListRow::Name), (Names{"RAM", "MID", "ROM"}));
    EXPECT_EQ(
        std::make_tuple(model_.Modules->At(1)->Length, list_.Selected(), BinFilesOK, model_.Modules->Changed),
        std::make_tuple(0x18000U, 2, false, true));

    // A module moved past another one goes where the order wants it, selected.
    list_.Select(1);
    steps_.push_back([](TModuleEditor& editor) {
        editor.SetAddressText("$E0000");
        return Close::Ok;
    });
    EXPECT_TRUE(list_.Edit());
    EXPECT_EQ(Column(&TModuleListRow::Name), (Names{"RAM", "ROM", "MID"}));
    EXPECT_EQ(list_.Selected(), 2);
}

TEST_F(ModuleListTest, ANewModuleThatIsNotKeptGivesItsUnitsBack) {
    steps_.push_back([](TModuleEditor& editor) {
        editor.SetAddressText("$C8000");
        editor.LeaveAddress();
        editor.InsertAll();
        EXPECT_EQ(editor.UsedUnits().size(), 3U);
        return Close::Cancel;
    });
    EXPECT_FALSE(list_.Edit()) << "an empty design always inserts";
    EXPECT_TRUE(model_.Modules->Empty());
    EXPECT_EQ(model_.Unplaced->Count(), 4);
    // Even an editor that ends by an exception leaves no unit behind.
    TModuleListModel failing([](tModule& module, tModule& unplaced, bool&, bool&) -> bool {
        MoveUnit(unplaced, unplaced.First(), module);
        throw std::runtime_error("dialog failed");
    });
    EXPECT_THROW(failing.Insert(), std::runtime_error);
    EXPECT_EQ(model_.Unplaced->Count(), 4);
}

TEST_F(ModuleListTest, DeleteAsksAndReturnsTheUnits) {
    AddModule("RAM", 0x0100, 0x10000, {"Data"});
    AddModule("ROM", 0xC800, 0x8000, {"A_TEXT", "B_TEXT"});
    list_.RefreshModuleList();
    presenter_.Answer(IDNO);
    presenter_.Answer(IDYES);
    EXPECT_FALSE(list_.Delete());
    EXPECT_TRUE(list_.Delete());
    EXPECT_EQ(presenter_.Texts(), Names(2, "Delete module: \"ROM\" ?"));
    EXPECT_EQ(Column(&TModuleListRow::Name), Names{"RAM"});
    EXPECT_EQ(std::make_tuple(list_.Selected(), model_.Unplaced->Count(), model_.Modules->Changed),
              std::make_tuple(0, 3, true));
    list_.Select(-1);
    EXPECT_FALSE(list_.Delete() || list_.Edit());
    EXPECT_EQ(presenter_.Texts().back(), "Select module before editate.");
}

TEST_F(ModuleListTest, ASmallProjectIsNeitherEditedNorWrittenBack) {
    AddModule("ROM", 0xC800, 0x8000, {"A_TEXT"});
    ProjectName = "DEMO";
    const auto mem = dir_.Write("DEMO.MEM", "as the SMALL project has it");
    ProjectType = TProjectType::Small;
    model_.Unplaced.reset();
    EXPECT_FALSE(list_.EditingEnabled());
    EXPECT_FALSE(list_.Edit() || list_.Insert() || list_.Delete() || list_.SaveMemFile());
    EXPECT_EQ(testing::ReadFileText(mem), "as the SMALL project has it");
    EXPECT_TRUE(presenter_.Boxes().empty());

    const TProjectInfo small = ShowProjectInfo();
    EXPECT_EQ(std::tie(small.Type, small.Name, small.Dir),
              std::make_tuple("SMALL (Mem+Bin)", "DEMO", ProjectDir));
}

} // namespace
} // namespace ravlo
