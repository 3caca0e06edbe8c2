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
    QList<QAction*> topLevel;
    for (const TMainActionInfo& info : MainActions()) {
        if (info.Parent == info.Id) {
            topLevel << &menus.Action(info.Id);
        } else {
            EXPECT_TRUE(menus.Menu(info.Parent)->actions().contains(&menus.Action(info.Id))) << info.Name;
        }
        EXPECT_EQ(menus.Action(info.Id).shortcut().isEmpty(), info.Shortcut.empty())
            << info.Name << " has a readable shortcut";
    }
    EXPECT_EQ(window.menuBar()->actions(), topLevel);
    std::vector<QAction*> toolActions;
    for (const TMainAction id : MainToolButtons()) {
        toolActions.push_back(&menus.Action(id));
    }
    const QList<QAction*> bar = menus.ToolBar().actions();
    EXPECT_EQ(std::vector<QAction*>(bar.begin(), bar.end()), toolActions);
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
