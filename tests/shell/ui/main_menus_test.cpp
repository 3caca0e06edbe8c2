#include "framework/ui/qt_test_app.h"
#include "shell/menu_state.h"
#include "shell/ui/main_menus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <vector>

namespace ravlo {
namespace {

using A = TMainAction;

TEST(MainMenus, BuildsEveryMenuItemAndToolButtonFromTheTable) {
    QMainWindow window;
    TMainMenus menus(window);
    QStringList topLevel;
    for (QAction* action : window.menuBar()->actions()) {
        topLevel << action->text();
    }
    EXPECT_EQ(topLevel, (QStringList{"&File", "&Project", "&Vok", "&Users", "De&bug", "&Window", "&Help"}));

    ASSERT_NE(menus.Menu(A::Download), nullptr);
    EXPECT_EQ(menus.Menu(A::Download)->actions().size(), 5);
    EXPECT_EQ(menus.Menu(A::Download)->actions().front(), &menus.Action(A::DownloadApp));
    EXPECT_EQ(menus.Menu(A::Generate), nullptr);
    EXPECT_EQ(menus.Action(A::Generate).shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(menus.Action(A::Exit).objectName(), "Exit_MenuItem");
    for (const TMainActionInfo& info : MainActions()) {
        if (!info.Shortcut.empty()) {
            EXPECT_FALSE(menus.Action(info.Id).shortcut().isEmpty())
                << info.Name << " has a readable shortcut";
        }
    }

    std::vector<QAction*> toolActions;
    for (QAction* action : menus.ToolBar().actions()) {
        toolActions.push_back(action);
    }
    ASSERT_EQ(toolActions.size(), MainToolButtons().size());
    EXPECT_EQ(toolActions.front(), &menus.Action(A::ReOpen));
    EXPECT_NE(menus.ToolBar().findChild<QToolButton*>("WriteToVok_ToolButton"), nullptr);
}

TEST(MainMenus, ApplyFollowsTheComputedStatesAndTriggerNamesTheCommand) {
    QMainWindow window;
    TMainMenus menus(window);
    TMenuInputs inputs;
    inputs.UserLevel = 254;
    inputs.UsersLoaded = true;
    inputs.ErrHistoryOpen = true;
    menus.Apply(ComputeMenuStates(inputs));
    EXPECT_FALSE(menus.Action(A::Generate).isEnabled());
    EXPECT_TRUE(menus.Action(A::ProgramDebug).isVisible());
    EXPECT_TRUE(menus.Action(A::ErrHistory).isChecked());

    inputs.UserLevel = 0;
    inputs.UsersLoaded = false;
    inputs.ErrHistoryOpen = false;
    menus.Apply(ComputeMenuStates(inputs));
    EXPECT_FALSE(menus.Action(A::ProgramDebug).isVisible());
    EXPECT_FALSE(menus.Action(A::UserLogin).isVisible()) << "the tool button goes with the Users menu";
    EXPECT_FALSE(menus.Action(A::ErrHistory).isChecked());

    std::vector<A> triggered;
    QObject::connect(&menus, &TMainMenus::Triggered, [&triggered](A action) { triggered.push_back(action); });
    menus.Action(A::About).trigger();
    menus.Action(A::Generate).trigger(); // disabled: nothing
    EXPECT_EQ(triggered, std::vector<A>{A::About});
}

} // namespace
} // namespace ravlo
