// The keys of the main form's menus while child windows are open: a key is one command's, whatever
// window has the focus, and a child window still closes from its own menu.
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "shell/ui/main_menus.h"
#include "shell/ui/ravlo_main_form.h"
#include "support/app_fixtures.h"
#include "support/default_app_ini.h"
#include "support/ma_rig.h"
#include "support/shell_test_globals.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <map>
#include <memory>
#include <vector>

namespace ravlo {
namespace {

using A = TMainAction;

// Every action under a list of actions, those of the menus below included.
void CollectActions(const QList<QAction*>& actions, std::vector<QAction*>& into) {
    for (QAction* action : actions) {
        into.push_back(action);
        if (action->menu() != nullptr) {
            CollectActions(action->menu()->actions(), into);
        }
    }
}

class MainFormShortcutTest : public ::testing::Test {
protected:
    MainFormShortcutTest() {
        TRavloMainFormOptions options;
        options.GuiDialogs = false;
        form_ = std::make_unique<TRavloMainForm>(options);
        form_->SetAddressAsker([](std::string_view, TSegOfsPtr&) { return false; });
        form_->resize(1000, 750);
        form_->show();
        EXPECT_TRUE(testing::ProcessEventsUntil([this] { return form_->Core().Plan().has_value(); }));
        // The windows a user opens beside the project window and the event log.
        for (const A window : {A::SysWriter, A::ErrHistory, A::MAView, A::CommView}) {
            form_->Menus().Action(window).trigger();
        }
        testing::ProcessPendingEvents();
    }
    ~MainFormShortcutTest() override {
        form_.reset();
        testing::ProcessPendingEvents();
    }

    // The keys of the menus, with the item that has each.
    std::map<QKeySequence, QString> MenuKeys() const {
        std::vector<QAction*> actions;
        CollectActions(form_->menuBar()->actions(), actions);
        std::map<QKeySequence, QString> keys;
        for (const QAction* action : actions) {
            for (const QKeySequence& key : action->shortcuts()) {
                keys.emplace(key, action->text());
            }
        }
        return keys;
    }

    testing::ShellTestGlobals globals_;
    testing::AppIniFixture ini_{std::string(testing::kDefaultAppIni)};
    testing::RecordingPresenter presenter_;
    ScopedPresenter presenterGuard_{presenter_};
    QtMessagePump pump_;
    std::unique_ptr<TRavloMainForm> form_;
};

// A child window's own menu takes no key of the main form's menus (the two would cancel each
// other, and neither would act), and the window still closes from that menu.
TEST_F(MainFormShortcutTest, NoChildWindowsMenuTakesAKeyOfTheMenus) {
    const std::map<QKeySequence, QString> menuKeys = MenuKeys();
    ASSERT_TRUE(menuKeys.contains(QKeySequence(QStringLiteral("Ctrl+W"))));
    const QList<QMdiSubWindow*> windows = form_->MdiArea().subWindowList();
    ASSERT_EQ(windows.size(), 6);
    for (QMdiSubWindow* window : windows) {
        SCOPED_TRACE(window->windowTitle().toStdString());
        ASSERT_NE(window->systemMenu(), nullptr);
        std::vector<QAction*> actions;
        CollectActions(window->systemMenu()->actions(), actions);
        for (const QAction* action : actions) {
            for (const QKeySequence& key : action->shortcuts()) {
                const auto taken = menuKeys.find(key);
                EXPECT_TRUE(taken == menuKeys.end())
                    << action->text().toStdString() << " takes " << key.toString().toStdString() << " of "
                    << (taken != menuKeys.end() ? taken->second.toStdString() : std::string());
            }
        }
    }
    QMdiSubWindow* history = windows.at(3);
    std::vector<QAction*> actions;
    CollectActions(history->systemMenu()->actions(), actions);
    const auto close = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
        return action->text() == QStringLiteral("&Close");
    });
    ASSERT_NE(close, actions.end());
    (*close)->trigger();
    ASSERT_TRUE(testing::ProcessEventsUntil([this] { return form_->MdiArea().subWindowList().size() == 5; }));
    testing::ProcessPendingEvents(); // the closed window goes
}

// Ctrl+W is "Memory view..." whichever child window has the focus.
TEST_F(MainFormShortcutTest, CtrlWOpensTheMemoryViewWhateverChildWindowHasTheFocus) {
    std::vector<A> triggered;
    QObject::connect(&form_->Menus(), &TMainMenus::Triggered,
                     [&triggered](A action) { triggered.push_back(action); });
    form_->activateWindow();
    ASSERT_TRUE(testing::ProcessEventsUntil([this] { return QApplication::activeWindow() == form_.get(); }));
    for (QMdiSubWindow* window : form_->MdiArea().subWindowList()) {
        SCOPED_TRACE(window->windowTitle().toStdString());
        form_->MdiArea().setActiveSubWindow(window);
        form_->Menus().Action(A::MemView).setEnabled(true); // as with a board connected
        QWidget* focus =
            window->widget()->focusWidget() != nullptr ? window->widget()->focusWidget() : window->widget();
        focus->setFocus();
        ASSERT_TRUE(testing::ProcessEventsUntil([window] {
            return QApplication::focusWidget() != nullptr &&
                   window->isAncestorOf(QApplication::focusWidget());
        }));
        triggered.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
        EXPECT_EQ(triggered, std::vector<A>{A::MemView});
        EXPECT_TRUE(window->isVisible()) << "the key closes no window";
    }
}

} // namespace
} // namespace ravlo
