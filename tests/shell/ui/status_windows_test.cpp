// The debug-messages dialog on the offscreen platform, and the main window's status bar and process
// status windows end to end against the board simulator at line speed.
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "protocol/comm_process.h"
#include "shell/ui/debug_dm_dialog.h"
#include "shell/ui/event_log_form.h"
#include "shell/ui/main_menus.h"
#include "shell/ui/main_status_bar.h"
#include "shell/ui/process_view_forms.h"
#include "shell/ui/ravlo_main_form.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/default_app_ini.h"
#include "support/shell_test_globals.h"
#include "support/voksim_on_com.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTextEdit>

namespace ravlo {
namespace {

using A = TMainAction;

TEST(DebugDMDialog, TheBoxesShowTheRecordAndOkStoresTheirBits) {
    TDebugDM_Dlg dialog;
    auto record = TDebugDMRec{0x80000002, 1}.Encode();
    dialog.BindRecord(record);
    EXPECT_EQ(std::vector<bool>({dialog.MaskChecks[0]->isChecked(), dialog.MaskChecks[1]->isChecked(),
                                 dialog.MaskChecks[31]->isChecked(), dialog.WriteToTxs_Check->isChecked()}),
              std::vector<bool>({false, true, true, true}));
    dialog.MaskChecks[1]->setChecked(false);
    dialog.MaskChecks[4]->setChecked(true);
    dialog.WriteToTxs_Check->setChecked(false);
    dialog.done(mrOk);
    EXPECT_EQ(TDebugDMRec::Decode(record), (TDebugDMRec{0x80000010, 0}));
}

class StatusVoksimTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!sim_.Found()) {
            GTEST_SKIP() << "voksim is not built beside the test programs";
        }
        RegisterProcessType(PT_RavloComm, TRavloComm_Process::CreateFromLabel);
    }

    testing::ShellTestGlobals globals_;
    testing::AppIniFixture ini_{std::string(testing::kDefaultAppIni)};
    testing::BoxRecorder boxes_;
    QtMessagePump pump_;
    testing::VoksimOnCom sim_;
};

TEST_F(StatusVoksimTest, TheBarShowsTheBoardAndALostLinkOnce) {
    ASSERT_TRUE(sim_.Start(1, {"--board", "188"}));
    TRavloMainFormOptions options;
    options.GuiDialogs = false;
    TRavloMainForm form(options);
    form.show();
    const auto panel = [&form](std::size_t i) {
        return form.StatusBar().Panel(i).text().toStdString();
    };
    const auto events = [&form](const char* text) {
        return form.EventLogWnd()->RichEditEvLog().toPlainText().count(QString::fromLatin1(text));
    };
    form.Menus().Action(A::CreateCom).trigger();
    ASSERT_TRUE(testing::ProcessEventsUntil([&] {
        return panel(2) == "Connected = YES" && panel(4) == "Device = Vok188" && panel(5).size() > 10;
    })) << panel(2)
        << " " << panel(4) << " " << panel(5);
    EXPECT_EQ(panel(0) + " " + panel(1), "COM = 1 BdRate = 4800");
    EXPECT_EQ(form.StatusBar().Panel(2).palette().color(QPalette::Window), QColor(0, 0x80, 0));
    EXPECT_EQ(events("- Vok was connected"), 1);
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form.StatusBar().Panel(3), &click);
    EXPECT_EQ(panel(3), "Msg.Cnt = 0/0") << "cleared by a double click";

    form.Menus().Action(A::MAView).trigger();
    form.Menus().Action(A::CommView).trigger();
    const TRavlo_MA_MDIChildForm* master = form.FindMDIChild<TRavlo_MA_MDIChildForm>();
    const TCommMa_MDIChild* comm = form.FindMDIChild<TCommMa_MDIChild>();
    ASSERT_TRUE(master != nullptr && comm != nullptr);
    EXPECT_TRUE(form.Menus().Action(A::MAView).isChecked());
    EXPECT_EQ(master->Edit(2).text(), QStringLiteral("Dev=Vok188"));
    EXPECT_EQ(comm->Edit(1).text(), QStringLiteral("1"));

    sim_.Stop();
    ASSERT_TRUE(testing::ProcessEventsUntil([&] { return events("- Communication Lost") > 0; },
                                            std::chrono::seconds(30)));
    EXPECT_EQ(panel(2), "Connected = NO");
    EXPECT_EQ(form.StatusBar().Panel(2).palette().color(QPalette::Window), QColor(0xFF, 0, 0));
    testing::ProcessEventsUntil([] { return false; }, std::chrono::seconds(3));
    EXPECT_EQ(events("- Communication Lost"), 1);
}

} // namespace
} // namespace ravlo
