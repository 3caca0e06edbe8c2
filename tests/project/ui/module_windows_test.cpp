// The module list window, the module editor dialog and the project window on the offscreen platform.
#include "framework/ui/qt_test_app.h"
#include "platform/presenter.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/ui/edit_module_dlg.h"
#include "project/ui/memory_map_widget.h"
#include "project/ui/module_list_form.h"
#include "project/ui/project_form.h"
#include "support/scratch_dir.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace ravlo {
namespace {

class ModuleWindowsTest : public ::testing::Test {
protected:
    ModuleWindowsTest() {
        ResetProjectGlobals();
        ProjectDir = dir_.Path().string() + "/";
        ProjectType = TProjectType::Full;
        tProjectModel& model = ProjectModel();
        model.Unplaced = std::make_unique<tModule>();
        model.Modules = std::make_unique<tModuleCollection>();
        model.Unplaced->Insert(std::make_unique<tModUnit>(MUnitT::Data, "Data", 0x40, 0, 0x400));
        model.Unplaced->Insert(std::make_unique<tModUnit>(MUnitT::Code, "MAIN_TEXT", 0, 0, 0x100));
        auto ram = std::make_unique<tModule>("RAM", 0x0100, 0x10000);
        MoveUnit(*model.Unplaced, model.Unplaced->UnitByName("Data"), *ram);
        model.Modules->Insert(std::move(ram));
    }
    ~ModuleWindowsTest() override {
        ResetProjectGlobals();
        EXPECT_TRUE(presenter_.Faults().empty());
    }
    template <class Widget>
    static Widget& Child(QWidget& parent, const char* name) {
        auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }

    testing::ScratchDir dir_;
    ScriptedPresenter presenter_;
    ScopedPresenter scoped_{presenter_};
};

TEST_F(ModuleWindowsTest, ModuleListShowsEveryColumnAndTheMap) {
    int designChanges = 0;
    TModuleList_MDIChildForm form({{}, [&designChanges] {
                                       ++designChanges;
                                   }});
    form.resize(900, 400);
    form.show();
    auto& list = Child<QTreeWidget>(form, "MemList_ListView");
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Memory list - list of App modules in address space"));
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(list.headerItem()->text(6), QStringLiteral(".BIN file size"));
    EXPECT_EQ(list.topLevelItem(0)->text(2), QStringLiteral("$10FFF"));
    EXPECT_EQ(form.Map().Bars().size(), 1U);
    const QRect strip = form.Map().StripRect();
    EXPECT_EQ(strip.width() % 8, 0);
    const TMapSpan ram = MapSpan(0x1000, 0x10000, strip.width());
    EXPECT_EQ(form.Map().HintAt(strip.topLeft() + QPoint(ram.Left + 1, 2)), QStringLiteral("Module RAM"));
    EXPECT_TRUE(form.Map().HintAt(strip.topLeft() + QPoint(ram.Left + ram.Width + 1, 2)).isEmpty());
    EXPECT_EQ(form.Map().HintAt(QPoint(strip.right() - 1, strip.top() + 2)), QStringLiteral("Bios"));
    EXPECT_TRUE(Child<QPushButton>(form, "btInsert").isEnabled());

    // A new module from the editor: the list and the main form follow.
    form.SetEditRunner([](tModule& module, tModule& unplaced, bool&, bool&) {
        module.SetName("ROM");
        module.Address = 0xC800;
        module.Length = 0x8000;
        return MoveUnit(unplaced, unplaced.First(), module);
    });
    Child<QPushButton>(form, "btInsert").click();
    EXPECT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.currentItem()->text(0), QStringLiteral("ROM"));
    EXPECT_EQ(designChanges, 1);

    ProjectType = TProjectType::Small;
    form.RefreshModuleList();
    for (const char* button : {"btEdit", "btInsert", "btDelete", "btGenerate", "btSaveMEM"}) {
        EXPECT_FALSE(Child<QPushButton>(form, button).isEnabled()) << button;
    }
    EXPECT_TRUE(Child<QPushButton>(form, "btClose").isEnabled());
}

TEST_F(ModuleWindowsTest, EditorDialogMovesUnitsChecksAndCancels) {
    tModule module;
    tModule& unplaced = *ProjectModel().Unplaced;
    TfEditModuleDlg dialog(module, unplaced, ProjectModel().Modules.get(), true, false);
    dialog.show();
    EXPECT_TRUE(Child<QPushButton>(dialog, "btNextModule").isEnabled());
    EXPECT_FALSE(Child<QPushButton>(dialog, "btPrevModule").isEnabled());
    auto& address = Child<QComboBox>(dialog, "cbStartAddr");
    address.setCurrentIndex(1);
    emit address.activated(1);
    EXPECT_EQ(Child<QLineEdit>(dialog, "edSize").text(), QStringLiteral("$18000"));

    auto& unused = Child<QListWidget>(dialog, "lbUnusedUnits");
    ASSERT_EQ(unused.count(), 1);
    unused.setCurrentRow(0);
    EXPECT_EQ(Child<QLabel>(dialog, "lbUnitSize").text(), QStringLiteral("Unit size: $00100"));
    Child<QPushButton>(dialog, "btInsert").click();
    EXPECT_EQ(Child<QListWidget>(dialog, "lbUsedUnits").count(), 1);
    EXPECT_EQ(Child<QLabel>(dialog, "lbRestSize").text(), QStringLiteral("Unused size: $17F00 (95 KB)"));

    presenter_.QueueAnswer(IDOK);
    Child<QPushButton>(dialog, "btNextModule").click();
    EXPECT_TRUE(dialog.isVisible()) << "no name";
    EXPECT_EQ(presenter_.Boxes().back().text, "Module name can't be empty!");

    Child<QPushButton>(dialog, "btCancel").click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(module.Empty());
    EXPECT_EQ(module.Length, 0U);
    EXPECT_EQ(unplaced.Count(), 1);
}

TEST_F(ModuleWindowsTest, ProjectWindowShowsEachFileState) {
    ProjectName = "DEMO";
    ExeFileOK = true;
    MemFileOK = true;
    TfProject form;
    EXPECT_EQ(Child<QLineEdit>(form, "edProjType").text(), QStringLiteral("FULL (Exe+Map+Mem+Bin)"));
    EXPECT_EQ(Child<QLineEdit>(form, "edName").text(), QStringLiteral("DEMO"));
    std::vector<bool> states;
    for (const QLabel* image : form.StatusImages()) {
        states.push_back(image->property("ok").toBool());
    }
    EXPECT_EQ(states, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(form.StatusImages()[0]->pixmap().toImage(), Child<QLabel>(form, "imgOk").pixmap().toImage());
    EXPECT_EQ(form.StatusImages()[1]->pixmap().toImage(), Child<QLabel>(form, "imgErr").pixmap().toImage());
}

} // namespace
} // namespace ravlo
