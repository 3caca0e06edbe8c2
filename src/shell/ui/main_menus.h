#pragma once

#include "shell/main_actions.h"

#include <QObject>
#include <array>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace ravlo {

struct TMenuStates;

// The main form's menu bar and tool bar built from MainActions: one QAction per command, shared by
// its menu item and its tool button, and one QMenu per menu.
class TMainMenus : public QObject {
    Q_OBJECT
public:
    // Builds into the window's menu bar and a new tool bar "MainToolBar".
    explicit TMainMenus(QMainWindow& window);

    // The command's action; for a menu its menu action.
    QAction& Action(TMainAction action) const { return *actions_[ActionIndex(action)]; }
    // The menu of a menu entry, nullptr for a command.
    QMenu* Menu(TMainAction action) const { return menus_[ActionIndex(action)]; }
    QToolBar& ToolBar() const { return *toolBar_; }

    // Enabled, visible and checked as computed.
    void Apply(const TMenuStates& states);

signals:
    // A command was chosen from a menu, a tool button or its shortcut.
    void Triggered(ravlo::TMainAction action);

protected:
    // The commands' shortcuts go before what a child window's control would do with the key (a
    // line edit takes Ctrl+E to the end of its line): they work whichever window has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow& window_;
    std::array<QAction*, kMainActionCount> actions_{};
    std::array<QMenu*, kMainActionCount> menus_{};
    QToolBar* toolBar_;
};

} // namespace ravlo
