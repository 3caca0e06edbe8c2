// The Qt main form on the offscreen platform: what it adds over its core (windows, menus, dialogs).
#include "fixtures/checked_project.h"
#include "fixtures/project_files.h"
#include "fixtures/sample_programs.h"
#include "framework/main_window.h"
#include "framework/number_text.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_presenter.h"
#include "framework/ui/qt_test_app.h"
#include "kernel/exception_log.h"
#include "kernel/ui/qt_scheduler_drive.h"
#include "project/bin_writer.h"
#include "project/module_collection.h"
#include "project/ui/edit_module_dlg.h"
#include "project/ui/eprom_img_form.h"
#include "project/ui/module_list_form.h"
#include "protocol/tmp_err_hist_windows.h"
#include "shell/exit_codes.h"
#include "shell/main_form_setup.h"
#include "shell/menu_state.h"
#include "shell/password_store.h"
#include "shell/ui/err_history_form.h"
#include "shell/ui/event_log_form.h"
#include "shell/ui/main_menus.h"
#include "shell/ui/main_status_bar.h"
#include "shell/ui/ravlo_main_form.h"
#include "shell/ui/ravlo_program.h"
#include "shell/ui/user_dialogs.h"
#include "support/app_fixtures.h"
#include "support/default_app_ini.h"
#include "support/ma_rig.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"
#include "support/shell_test_globals.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using A = TMainAction;

fs::path WriteDemo(const fs::path& dir) {
    const fixtures::ProgramLayout layout = fixtures::LayOutProgram(fixtures::MakeDemoProgram());
    const fixtures::FixtureDesign design = fixtures::PlaceAllUnits(layout);
    return fixtures::WriteProjectFiles(dir, "DEMO", layout, &design).exe;
}

class RavloMainFormTest : public ::testing::Test {
protected:
    ~RavloMainFormTest() override {
        form_.reset();
        testing::ProcessPendingEvents();
    }

    TRavloMainForm& Form() {
        if (!form_) {
            TRavloMainFormOptions options;
            options.GuiDialogs = false; // the texts go to the recording presenter
            form_ = std::make_unique<TRavloMainForm>(options);
            QObject::connect(form_.get(), &TRavloMainForm::Closed, [this](int code) { closedWith_ = code; });
        }
        return *form_;
    }
    void ShowForm() {
        Form().resize(900, 700);
        Form().show();
        ASSERT_TRUE(testing::ProcessEventsUntil([this] { return Form().Core().Plan().has_value(); }));
    }

    testing::ShellTestGlobals globals_;
    testing::AppIniFixture ini_{std::string(testing::kDefaultAppIni)};
    testing::ScratchDir project_;
    testing::RecordingPresenter presenter_;
    ScopedPresenter presenterGuard_{presenter_};
    QtMessagePump pump_;
    std::unique_ptr<TRavloMainForm> form_;
    std::optional<int> closedWith_;
};

TEST_F(RavloMainFormTest, CreationShowAndExit) {
    TRavloMainForm& form = Form();
    EXPECT_EQ(form.windowTitle().toStdString(), MainCaption());
    EXPECT_EQ(GetMainFormWindow(), form.Handle());
    EXPECT_TRUE(form.Drive().SystemTickTimer().isActive());
    EXPECT_EQ(form.Drive().Drive().WorkerThread, true) << "THR=5 of the shipped settings";
    EXPECT_EQ(form.EventLogWnd(), nullptr) << "the event log comes with the show";
    EXPECT_FALSE(form.Menus().Action(A::Generate).isEnabled()) << "the menus follow the core";

    ShowForm();
    TFormEventLog* log = Form().EventLogWnd();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(Form().FindMDIChild<TFormEventLog>(), log);
    EXPECT_TRUE(Form().Core().Plan()->Finished()) << "nothing was asked";
    Form().resize(1000, 800);
    testing::ProcessPendingEvents();
    const QSize area = Form().MdiArea().viewport()->size();
    EXPECT_EQ(log->parentWidget()->geometry().bottom() + 1, area.height()) << "laid out again on resize";
    EXPECT_EQ(log->parentWidget()->width(), area.width());

    Form().Menus().Action(A::Exit).trigger();
    ASSERT_TRUE(testing::ProcessEventsUntil([this] { return closedWith_.has_value(); }));
    EXPECT_EQ(*closedWith_, kExitOk);
    EXPECT_FALSE(Form().isVisible());
}

TEST_F(RavloMainFormTest, TheImageWindowIsOneAndBelongsToItsProject) {
    testing::ScratchDir other;
    std::deque<std::optional<fs::path>> projects = {WriteDemo(project_.Path()), WriteDemo(other.Path())};
    ShowForm();
    Form().SetProjectFileChooser([&projects](TProjectType, const fs::path&) { return projects.at(0); });
    const auto imageWindows = [this] {
        testing::ProcessPendingEvents(); // closed windows go
        return Form().MdiArea().findChildren<TEpromImg_MDIChildForm*>().size();
    };
    for (const testing::ScratchDir* folder : {&project_, &other}) {
        for (const A action : {A::OpenExe, A::Generate, A::CrEpromImg, A::CrEpromImg}) {
            Form().Menus().Action(action).trigger();
        }
        projects.pop_front();
        EXPECT_EQ(imageWindows(), 1) << "one window, also when the first project's closed with it";
        EXPECT_FALSE(folder->Read("RTDW.INI"));
    }
    EXPECT_NE(project_.Text("RTDW.INI").find("[EPROMIMAGE]"), std::string::npos) << "saved into its own";
    Form().Menus().Action(A::CloseProject).trigger();
    EXPECT_EQ(imageWindows(), 0);
    EXPECT_NE(other.Text("RTDW.INI").find("[EPROMIMAGE]"), std::string::npos);
}

TEST_F(RavloMainFormTest, ToolButtonsAndWindowsFitTheMainWindowAndTheWriterOpensOnce) {
    ShowForm();
    Form().resize(1000, 700);
    testing::ProcessPendingEvents();
    const QToolBar& bar = Form().Menus().ToolBar();
    EXPECT_FALSE(bar.findChild<QToolButton*>("qt_toolbar_ext_button")->isVisible()) << "nothing overflows";
    for (const TMainAction id : MainToolButtons()) {
        QAction& action = Form().Menus().Action(id);
        EXPECT_EQ(bar.widgetForAction(&action)->isVisible(), action.isVisible());
        EXPECT_FALSE(action.icon().isNull());
        EXPECT_TRUE(action.toolTip().startsWith(QString(action.text()).remove('&').remove("...")));
    }
    EXPECT_FALSE(Form().windowIcon().isNull());
    Form().resize(640, 480);
    testing::ProcessPendingEvents();
    Form().Menus().Action(A::SysWriter).trigger();
    Form().Menus().Action(A::SysWriter).trigger();
    const QRect area(QPoint(0, 0), Form().MdiArea().viewport()->size());
    EXPECT_TRUE(area.contains(Form().SysWrWindow()->parentWidget()->geometry()));
    int writers = 0;
    for (QMdiSubWindow* window : Form().MdiArea().subWindowList()) {
        writers += qobject_cast<TSysWrForm*>(window->widget()) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(writers, 1) << "the system writer opens once";
    EXPECT_EQ(Form().FindMDIChildByHandle(Form().SysWrWindow()->Handle()), Form().SysWrWindow());
    EXPECT_EQ(Form().FindMDIChildByHandle(Form().Handle()), nullptr) << "the form is no child of its own";
    EXPECT_TRUE(Form().Menus().Action(A::SysWriter).isChecked());
}

TEST_F(RavloMainFormTest, OnItsScreenWithTheLinkPanelsInSightAndTheWriterBesideTheOthers) {
    ShowForm();
    testing::ProcessPendingEvents();
    ASSERT_NE(Form().screen(), nullptr);
    EXPECT_TRUE(Form().screen()->availableGeometry().contains(Form().frameGeometry()));

    const TMainStatusBar& bar = Form().StatusBar();
    std::vector<QString> texts;
    for (std::size_t i = 0; i < TStatusPanels::kCount; ++i) {
        texts.push_back(bar.Panel(i).text());
    }
    QAction& action = Form().Menus().Action(A::CrEpromImg);
    action.showStatusText(&Form()); // what the mouse resting on the item does
    for (std::size_t i = 0; i < TStatusPanels::kCount; ++i) {
        EXPECT_TRUE(bar.Panel(i).isVisible()) << "panel " << i;
        EXPECT_EQ(bar.Panel(i).text(), texts[i]) << "panel " << i;
    }
    EXPECT_EQ(bar.Tip().text(), action.statusTip());

    Form().Menus().Action(A::SysWriter).trigger();
    auto* writer = qobject_cast<QMdiSubWindow*>(Form().SysWrWindow()->parentWidget());
    ASSERT_NE(writer, nullptr);
    for (const QMdiSubWindow* other : Form().MdiArea().subWindowList()) {
        if (other != writer) {
            EXPECT_FALSE(writer->geometry().intersects(other->geometry()))
                << other->windowTitle().toStdString();
        }
    }
    writer->move(-400, 5000); // dragged past the edges
    const QRect area(QPoint(0, 0), Form().MdiArea().viewport()->size());
    EXPECT_TRUE(area.contains(writer->geometry()));
}

// A key that a control of a child window would take for itself (the Project info window's line edit
// selects all on Ctrl+A, as it takes Ctrl+E to the end of the line on X11) is the command's when a
// command of the menus has it, whichever child window has the focus.
TEST_F(RavloMainFormTest, AMenuShortcutGoesBeforeTheKeyOfTheFocusedChildWindowsControl) {
    ShowForm();
    auto* edit = Form().ProjectWnd()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    // What the key's shortcut handling asks the focused widget first: accepted, the widget keeps it.
    const auto editTakes = [edit](const QKeySequence& keys) {
        const QKeyCombination key = keys[0];
        QKeyEvent override(QEvent::ShortcutOverride, key.key(), key.keyboardModifiers());
        override.ignore();
        QApplication::sendEvent(edit, &override);
        return override.isAccepted();
    };
    const QKeySequence ctrlA(QStringLiteral("Ctrl+A"));
    ASSERT_TRUE(editTakes(ctrlA)) << "no command has the key";
    QAction& open = Form().Menus().Action(A::OpenExe);
    open.setShortcut(ctrlA);
    EXPECT_FALSE(editTakes(ctrlA));
    open.setEnabled(false);
    EXPECT_TRUE(editTakes(ctrlA)) << "a command that cannot run leaves it";
}

TEST(MessageBoxes, ATableOfValuesIsShownInAFixedPitchFont) {
    std::optional<bool> fixed;
    QTimer::singleShot(0, [&fixed] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        fixed = QFontInfo(box->findChild<QLabel*>("qt_msgbox_label")->font()).fixedPitch();
        box->accept();
    });
    QtPresenter().MessageBox("BIOS version:   1.2\r\nBIOS  ident.:   VOK188ER", "Bios", MB_ICONASTERISK);
    EXPECT_EQ(fixed, true);
}

TEST_F(RavloMainFormTest, TheErrorHistoryWindowCountsWhileItIsOpen) {
    ShowForm();
    QAction& action = Form().Menus().Action(A::ErrHistory);
    action.trigger();
    auto* history = Form().FindMDIChild<TTmpErrHist_MDIChild>();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(TmpErrHistWindowCount(), 1);
    EXPECT_TRUE(action.isChecked());

    qobject_cast<QMdiSubWindow*>(history->parentWidget())->close();
    ASSERT_TRUE(testing::ProcessEventsUntil([] { return TmpErrHistWindowCount() == 0; }));
    ASSERT_TRUE(testing::ProcessEventsUntil([&action] { return !action.isChecked(); }));
}

TEST_F(RavloMainFormTest, AnErrorHistoryWindowClosedJustBeforeTheFormGoesIsDeletedWhileItsSourceLives) {
    ShowForm();
    Form().Menus().Action(A::ErrHistory).trigger();
    QPointer<TTmpErrHist_MDIChild> history = Form().FindMDIChild<TTmpErrHist_MDIChild>();
    ASSERT_NE(history, nullptr);
    // Closed, its deletion still pending, when the program ends.
    qobject_cast<QMdiSubWindow*>(history->parentWidget())->close();
    ASSERT_NE(history, nullptr);
    form_.reset();
    EXPECT_EQ(history, nullptr);
}

TEST_F(RavloMainFormTest, UsersLogInChangeTheUsersAndTheMenusFollowTheirLevel) {
    RegisterUserDialogs();
    TPasswordLabelColl store;
    store.AddUser("root", "pw", 254, kUserOptOwnEntry | kUserOptLower);
    ASSERT_TRUE(store.Save(ini_.Dir() / kUsersFileName).Ok());
    ShowForm();
    const TMainMenus& menus = Form().Menus();
    EXPECT_TRUE(menus.Action(A::UsersMenu).isVisible());
    EXPECT_FALSE(menus.Action(A::ProgramDebug).isVisible());
    testing::ShownDialogDriver<TUserPassword_Dlg> login([](TUserPassword_Dlg& dialog) {
        // A wrong name or password keeps the dialog open on the field to correct.
        for (const std::string name : {"nobody", "root", "ROOT"}) {
            dialog.UserName_Edit->setText(QString::fromStdString(name));
            dialog.Password_Edit->setText(name == "root" ? QStringLiteral("p") : QStringLiteral("pw"));
            testing::ClickButton(dialog, "OK_Button");
            EXPECT_EQ(dialog.isVisible(), name != "ROOT");
            EXPECT_TRUE(name == "ROOT" || dialog.focusWidget() ==
                                              (name == "root" ? dialog.Password_Edit : dialog.UserName_Edit));
        }
    });
    menus.Action(A::UserLogin).trigger();
    EXPECT_TRUE(login.Acted() && menus.Action(A::ProgramDebug).isVisible());

    testing::ShownDialogDriver<TUserAttrMg_Dlg> users([](TUserAttrMg_Dlg& dialog) {
        dialog.Name_Edit->setText(QStringLiteral("root2")); // his own entry, which stays his
        dialog.Add_Button->click();
        EXPECT_EQ(dialog.Users_List->item(0)->text(), QStringLiteral("0 - NewUser"));
        testing::ClickButton(dialog, "OK_Button");
        EXPECT_EQ(dialog.focusWidget(), dialog.Password_Edit) << "a new user needs a password";
        dialog.Password_Edit->setText(QStringLiteral("n"));
        testing::ClickButton(dialog, "OK_Button");
    });
    menus.Action(A::UsersDefine).trigger();
    EXPECT_EQ(CurrentUser, "root2") << "a new \"root\" must never pass for his own entry";
    for (const char* file : {"TEST.psw", "RAVLO.PSW"}) {
        EXPECT_TRUE(store.Load(ini_.Dir() / file).Ok() && store.GetUser("NewUser") != nullptr) << file;
    }
    menus.Action(A::UserLogout).trigger();
    EXPECT_FALSE(menus.Action(A::ProgramDebug).isVisible());
}

TEST(RavloProgram, AnExceptionOutOfAnEventHandlerIsALineOfTheExceptionLog) {
    testing::ScratchDir home;
    testing::ScopedEnv env("RAVLO_HOME", home.Path().string());
    QTimer timer;
    EXPECT_FALSE(DeliverLoggingExceptions(&timer, []() -> bool { throw std::runtime_error("lost frame"); }));
    EXPECT_FALSE(DeliverLoggingExceptions(nullptr, []() -> bool { throw std::runtime_error("second"); }));
    EXPECT_TRUE(DeliverLoggingExceptions(&timer, [] { return true; })) << "a handled event stays handled";
    const std::string log = testing::ReadFileText(ExceptionLogPath());
    EXPECT_TRUE(log.starts_with("Exception: lost frame in object QTimer at ")) << log;
    EXPECT_NE(log.find("\nException: second in object TApplication at "), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
}

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

// The letter "&" marks in a menu text, upper case; none for a text without one ("&&" is an "&").
std::optional<QChar> MenuLetter(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&')) {
                return text[i + 1].toUpper();
            }
            ++i;
        }
    }
    return std::nullopt;
}

// Every menu of the main form, the menu bar and the recent projects included: within one menu no
// two items share a letter, or Alt and the letter would not reach the second.
TEST_F(RavloMainFormTest, NoTwoItemsOfAMenuShareALetter) {
    const std::vector<std::string> recent = {"C:\\A\\ONE.EXE", "C:\\B&C\\TWO.MEM", "C:\\THREE.EXE",
                                             "C:\\FOUR.EXE", "C:\\FIVE.EXE"};
    Form().ShowLastProjects(recent);
    std::vector<std::pair<QString, QList<QAction*>>> menus = {{"menu bar", Form().menuBar()->actions()}};
    int walked = 0;
    while (!menus.empty()) {
        const auto [name, actions] = menus.back();
        menus.pop_back();
        ++walked;
        std::map<QChar, QString> taken;
        for (QAction* action : actions) {
            if (action->menu() != nullptr) {
                menus.emplace_back(action->text(), action->menu()->actions());
            }
            const std::optional<QChar> letter = MenuLetter(action->text());
            if (action->isSeparator() || !letter) {
                continue;
            }
            const auto [at, added] = taken.emplace(*letter, action->text());
            EXPECT_TRUE(added) << name.toStdString() << ": \"" << at->second.toStdString() << "\" and \""
                               << action->text().toStdString() << "\" share "
                               << QString(*letter).toStdString();
        }
    }
    const auto menuCount = std::count_if(MainActions().begin(), MainActions().end(),
                                         [](const TMainActionInfo& info) { return info.IsMenu; });
    EXPECT_EQ(walked, menuCount + 1) << "the menu bar and every menu under it";
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

const fixtures::FixtureDesign kDesign{{
    {"RAM", 0x0100, 0x10000, {"Data", "Stack", "Heap"}},
    {"ROM", 0xC800, 0x8000, {"-- LOADER --", "START_TEXT", "MAIN_TEXT", "-- INITDATA --"}},
    {"ROM2", 0xD000, 0x8000, {"IO_TEXT"}},
}};

template <class Widget>
Widget* Find(QWidget& parent, const char* name) {
    return parent.findChild<Widget*>(QString::fromLatin1(name));
}

// Fills the dialog as a user would (the RAM module by "insert all") and presses OK, or Cancel.
bool RunDialog(const fixtures::FixtureModule& typed, bool cancel, tModule& module, tModule& unplaced) {
    TfEditModuleDlg dialog(module, unplaced, ProjectModel().Modules.get(), false, false);
    dialog.show();
    Find<QLineEdit>(dialog, "edName")->setText(QString::fromStdString(typed.name));
    auto* address = Find<QComboBox>(dialog, "cbStartAddr");
    address->setEditText(QString::fromStdString("$" + HexW(typed.address) + "0"));
    emit address->lineEdit()->editingFinished();
    Find<QLineEdit>(dialog, "edSize")->setText(QString::fromStdString("$" + HexDW(typed.length)));
    emit Find<QLineEdit>(dialog, "edSize")->editingFinished();
    if (typed.name == "RAM") {
        Find<QPushButton>(dialog, "btInsertAll")->click();
    } else {
        for (const std::string& name : typed.units) {
            for (QListWidgetItem* item : Find<QListWidget>(dialog, "lbUnusedUnits")
                                             ->findItems(QString::fromStdString(name), Qt::MatchExactly)) {
                item->setSelected(true);
            }
        }
        Find<QPushButton>(dialog, "btInsert")->click();
    }
    Find<QPushButton>(dialog, cancel ? "btCancel" : "btOk")->click();
    return dialog.result() == QDialog::Accepted;
}

// The states the project window shows, .EXE, .MAP, .MEM, .BIN.
std::string FileStates(const TfProject& window) {
    std::string states;
    for (const QLabel* image : window.StatusImages()) {
        states += image->property("ok").toBool() ? '+' : '-';
    }
    return states;
}

// The demo's design built in the module list with the editor dialog, saved and generated, gives the
// images of the same design written by hand; the project window follows.
TEST(MemoryDesignTest, DesignBuiltInTheEditorGeneratesTheImagesOfTheHandWrittenOne) {
    testing::ShellTestGlobals globals;
    testing::AppIniFixture ini(testing::kDefaultAppIni);
    testing::RecordingPresenter presenter;
    const ScopedPresenter presenterGuard(presenter);
    const fixtures::ProgramLayout layout = fixtures::LayOutProgram(fixtures::MakeDemoProgram());

    // The same design written by hand, generated by the project model alone.
    testing::ScratchDir handDir;
    ASSERT_TRUE(fixtures::OpenProjectFixture(handDir.Path(), "DEMO", layout, &kDesign).has_value());
    ASSERT_FALSE(GenerateBinFiles(*ProjectModel().Modules));
    ResetProjectGlobals();

    testing::ScratchDir dir;
    const fs::path exe = fixtures::WriteProjectFiles(dir.Path(), "DEMO", layout).exe;
    QtMessagePump pump;
    {
        TRavloMainFormOptions options;
        options.GuiDialogs = false;
        TRavloMainForm form(options);
        form.show();
        ASSERT_TRUE(testing::ProcessEventsUntil([&form] { return form.Core().Plan().has_value(); }));
        form.SetProjectFileChooser([&exe](TProjectType, const fs::path&) { return exe; });
        form.Menus().Action(TMainAction::OpenExe).trigger();
        ASSERT_NE(form.ProjectWnd(), nullptr);
        EXPECT_EQ(FileStates(*form.ProjectWnd()), "++--");

        ASSERT_TRUE(form.Menus().Action(TMainAction::MemDesign).isEnabled());
        const auto frames = form.MdiArea().subWindowList().size();
        form.Menus().Action(TMainAction::MemDesign).trigger();
        auto* list = form.FindMDIChild<TModuleList_MDIChildForm>();
        ASSERT_NE(list, nullptr);
        // The first ROM module is cancelled once: its units go back, no module is added.
        const std::vector<std::pair<std::size_t, bool>> steps = {
            {0, false}, {1, true}, {1, false}, {2, false}};
        for (std::size_t i = 0; i < steps.size(); ++i) {
            list->SetEditRunner([&steps, i](tModule& module, tModule& unplaced, bool&, bool&) {
                return RunDialog(kDesign.modules[steps[i].first], steps[i].second, module, unplaced);
            });
            Find<QPushButton>(*list, "btInsert")->click();
            EXPECT_EQ(ProjectModel().Unplaced->Count(), std::vector<int>({5, 5, 1, 0})[i]);
        }

        Find<QPushButton>(*list, "btSaveMEM")->click();
        EXPECT_EQ(testing::ReadFileText(dir.Path() / "DEMO.MEM"), fixtures::BuildMemText(kDesign));
        EXPECT_EQ(FileStates(*form.ProjectWnd()), "+++-");

        Find<QPushButton>(*list, "btGenerate")->click();
        ASSERT_TRUE(BinFilesOK) << (presenter.Boxes.empty() ? "" : presenter.Boxes.back().Text);
        EXPECT_EQ(FileStates(*form.ProjectWnd()), "++++");
        EXPECT_EQ(list->Model().Rows()[1].Status, "OK");
        EXPECT_TRUE(form.Menus().Action(TMainAction::CrEpromImg).isEnabled());
        Find<QPushButton>(*list, "btClose")->click();
        testing::ProcessPendingEvents();
        EXPECT_EQ(form.MdiArea().subWindowList().size(), frames) << "no empty frame stays";
    }
    for (const char* bin : {"ROM.BIN", "ROM2.BIN"}) {
        EXPECT_EQ(testing::ReadFileText(dir.Path() / bin), testing::ReadFileText(handDir.Path() / bin))
            << bin;
        EXPECT_GT(fs::file_size(dir.Path() / bin), 0U) << bin;
    }
    ResetProjectGlobals();
}

} // namespace
} // namespace ravlo
