// The status windows on the offscreen platform: the event log, the error history and the
// debug-messages dialog, and the status bar and process status windows end to end against the board
// simulator at line speed.
#include "framework/broadcast.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/tr_main_form.h"
#include "platform/cp1250.h"
#include "platform/window_messages.h"
#include "protocol/comm_process.h"
#include "shell/err_history_source.h"
#include "shell/ui/debug_dm_dialog.h"
#include "shell/ui/err_history_form.h"
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
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <string>
#include <vector>

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

TEST(DebugDMDialog, TheFocusStartsOnTheFirstTraceBox) {
    TDebugDM_Dlg dialog;
    auto record = TDebugDMRec{0, 1}.Encode();
    dialog.BindRecord(record);
    dialog.show();
    testing::ProcessPendingEvents();
    EXPECT_EQ(dialog.focusWidget(), dialog.MaskChecks[0])
        << "a stray Space must not switch the runtime log off";
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
    // A panel takes a new text at most every 50 ms.
    EXPECT_TRUE(
        testing::ProcessEventsUntil([&] { return panel(3) == "Msg.Cnt = 0/0"; }, std::chrono::seconds(2)))
        << "cleared by a double click";

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
    EXPECT_TRUE(
        testing::ProcessEventsUntil([&] { return panel(2) == "Connected = NO"; }, std::chrono::seconds(2)));
    EXPECT_EQ(form.StatusBar().Panel(2).palette().color(QPalette::Window), QColor(0xFF, 0, 0));
    testing::ProcessEventsUntil([] { return false; }, std::chrono::seconds(3));
    EXPECT_EQ(events("- Communication Lost"), 1);
}

QColor BlockColour(const QTextBlock& block) {
    return block.begin().fragment().charFormat().foreground().color();
}

class EventLogFormTest : public ::testing::Test {
protected:
    EventLogFormTest() {
        main_.resize(800, 600);
        main_.show();
        log_ = TFormEventLog::ShowIn(main_);
    }

    QTextDocument& Document() const { return *log_->RichEditEvLog().document(); }

    TTrMainForm main_;
    TFormEventLog* log_;
};

TEST_F(EventLogFormTest, TheFiftyFirstLineRemovesTheFirstAndColoursStay) {
    for (int i = 1; i <= 51; ++i) {
        log_->AddEvent("- event " + std::to_string(i), static_cast<std::uint8_t>(i % 2));
    }
    ASSERT_EQ(Document().blockCount(), 50);
    EXPECT_EQ(Document().firstBlock().text(), "- event 2");
    EXPECT_EQ(BlockColour(Document().firstBlock()), QColor(0x80, 0x80, 0x00)) << "kind 0";
    EXPECT_EQ(BlockColour(Document().findBlockByNumber(1)), QColor(0xFF, 0x00, 0x00)) << "kind 1";
    EXPECT_EQ(Document().lastBlock().text(), "- event 51");
    EXPECT_TRUE(log_->RichEditEvLog().isReadOnly());
}

TEST_F(EventLogFormTest, HiddenLogAddsNothingAndStoredTextIsShownAsUnicode) {
    log_->parentWidget()->hide();
    log_->AddEvent("- lost", 1);
    EXPECT_TRUE(log_->Model().Lines().empty());
    log_->parentWidget()->show();
    log_->AddEvent(Utf8ToCp1250("- Uživatel přihlášen"), 4);
    EXPECT_EQ(Document().toPlainText(), QStringLiteral("- Uživatel přihlášen"));
}

TEST_F(EventLogFormTest, SitsAtTheBottomOfTheMdiAreaAcrossItsWidthWithoutButtons) {
    auto* window = qobject_cast<QMdiSubWindow*>(log_->parentWidget());
    ASSERT_NE(window, nullptr);
    const QSize area = main_.MdiArea().viewport()->size();
    EXPECT_EQ(window->geometry(), QRect(0, area.height() - TFormEventLog::kInitialHeight, area.width(),
                                        TFormEventLog::kInitialHeight));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
}

// Stands in for the error-history process: announces a change through the main form's broadcast
// only while a window watches.
class FakeErrHistory final : public TErrHistorySource {
public:
    std::vector<std::string> HistoryLines() const override { return lines_; }
    const void* HistoryAddress() const override { return &lines_; }
    void WatcherOpened() override { ++watchers_; }
    void WatcherClosed() override { --watchers_; }

    void Add(const std::string& line) {
        lines_.push_back(line);
        if (watchers_ > 0) {
            MainFormBroadcast(wm_VarChanged, 4, reinterpret_cast<std::uintptr_t>(&lines_));
        }
    }
    int Watchers() const { return watchers_; }

private:
    std::vector<std::string> lines_;
    int watchers_ = 0;
};

QStringList ListTexts(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.item(i)->text();
    }
    return texts;
}

class ErrHistoryFormTest : public ::testing::Test {
protected:
    ErrHistoryFormTest() { main_.show(); }

    TTmpErrHist_MDIChild* Open(TErrHistorySource* source) {
        auto* form = new TTmpErrHist_MDIChild(source);
        main_.AddMdiChild(form);
        return form;
    }

    FakeErrHistory history_;
    TTrMainForm main_;
};

TEST_F(ErrHistoryFormTest, ShowsTheHistoryAtOnceAndOnEveryAnnouncedChangeOfItsOwn) {
    history_.Add("10.01.24 12:00:00: first");
    TTmpErrHist_MDIChild* form = Open(&history_);
    EXPECT_EQ(form->windowTitle(), "List of last error messages");
    EXPECT_EQ(ListTexts(form->List()), QStringList{"10.01.24 12:00:00: first"});
    history_.Add("second");
    EXPECT_EQ(ListTexts(form->List()), (QStringList{"10.01.24 12:00:00: first", "second"}));

    form->List().clear();
    int other = 0;
    MainFormBroadcast(wm_VarChanged, 4, reinterpret_cast<std::uintptr_t>(&other));
    EXPECT_EQ(form->List().count(), 0) << "a change of another field does not refresh";
}

TEST_F(ErrHistoryFormTest, EachOpenWindowWatchesUntilItCloses) {
    TTmpErrHist_MDIChild* first = Open(&history_);
    QPointer<TTmpErrHist_MDIChild> second = Open(&history_);
    EXPECT_EQ(history_.Watchers(), 2);

    second->CloseButton().click();
    ASSERT_TRUE(testing::ProcessEventsUntil([&second] { return second.isNull(); }));
    EXPECT_EQ(history_.Watchers(), 1);
    history_.Add("still announced");
    EXPECT_EQ(first->List().count(), 1);

    first->parentWidget()->close();
    testing::ProcessPendingEvents();
    EXPECT_EQ(history_.Watchers(), 0);
}

TEST_F(ErrHistoryFormTest, WithoutOrDetachedFromTheSourceTheListStaysEmpty) {
    TTmpErrHist_MDIChild* none = Open(nullptr);
    MainFormBroadcast(wm_VarChanged, 4, 0);
    EXPECT_EQ(none->List().count(), 0);
    TTmpErrHist_MDIChild* form = Open(&history_);
    form->DetachSource();
    history_.Add("after detach");
    EXPECT_EQ(form->List().count(), 0);
    form->parentWidget()->close();
    testing::ProcessPendingEvents();
    EXPECT_EQ(history_.Watchers(), 1) << "the source is gone; nobody tells it";
}

} // namespace
} // namespace ravlo
