#include "shell/ui/main_menus.h"

#include "shell/menu_state.h"
#include "shell/ui/main_icons.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace ravlo {
namespace {

QString Text(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// What a tool button says when the mouse rests on it: its command as the menu words it, with the
// shortcut ("Create EPROM image (Ctrl+E)").
QString ToolTipText(const TMainActionInfo& info) {
    QString text = Text(info.Caption).remove(QLatin1Char('&'));
    if (text.endsWith(QStringLiteral("..."))) {
        text.chop(3);
    }
    if (!info.Shortcut.empty()) {
        text += QStringLiteral(" (") + Text(info.Shortcut) + QLatin1Char(')');
    }
    return text;
}

} // namespace

TMainMenus::TMainMenus(QMainWindow& window)
    : QObject(&window), window_(window), toolBar_(window.addToolBar(QStringLiteral("Tools"))) {
    toolBar_->setObjectName(QStringLiteral("MainToolBar"));
    // The table lists a menu before its items.
    for (const TMainActionInfo& info : MainActions()) {
        const std::size_t index = ActionIndex(info.Id);
        if (info.IsMenu) {
            QMenu* menu = info.Parent == info.Id
                              ? window.menuBar()->addMenu(Text(info.Caption))
                              : menus_[ActionIndex(info.Parent)]->addMenu(Text(info.Caption));
            menu->setObjectName(Text(info.Name));
            menus_[index] = menu;
            actions_[index] = menu->menuAction();
            continue;
        }
        QAction* action = menus_[ActionIndex(info.Parent)]->addAction(Text(info.Caption));
        action->setObjectName(Text(info.Name));
        action->setStatusTip(Text(info.Hint));
        action->setToolTip(ToolTipText(info));
        if (!info.Shortcut.empty()) {
            action->setShortcut(QKeySequence(Text(info.Shortcut)));
        }
        action->setCheckable(IsCheckableAction(info.Id));
        const TMainAction id = info.Id;
        connect(action, &QAction::triggered, this, [this, id] { emit Triggered(id); });
        actions_[index] = action;
    }
    // Icons only: the texts of every button would not fit beside each other.
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const TMainAction id : MainToolButtons()) {
        actions_[ActionIndex(id)]->setIcon(ToolButtonIcon(id, *window.style()));
        toolBar_->addAction(actions_[ActionIndex(id)]);
        toolBar_->widgetForAction(actions_[ActionIndex(id)])
            ->setObjectName(Text(MainActionInfo(id).ToolName));
    }
    for (const TMainAction id :
         {TMainAction::MAView, TMainAction::CommView, TMainAction::ErrHistory, TMainAction::SysWriter}) {
        actions_[ActionIndex(id)]->setCheckable(true);
    }
    QCoreApplication::instance()->installEventFilter(this);
}

bool TMainMenus::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != &window_) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QAction* action : actions_) {
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) {
            // Left unaccepted, the key goes to the command's shortcut instead of the control.
            return true;
        }
    }
    return false;
}

void TMainMenus::Apply(const TMenuStates& states) {
    for (std::size_t i = 0; i < kMainActionCount; ++i) {
        const TActionState& state = states.Actions[i];
        actions_[i]->setEnabled(state.Enabled);
        actions_[i]->setVisible(state.Visible);
        if (actions_[i]->isCheckable()) {
            actions_[i]->setChecked(state.Checked);
        }
    }
}

} // namespace ravlo
