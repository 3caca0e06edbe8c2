// The event log and the error-history windows on the offscreen platform.
#include "framework/broadcast.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/tr_main_form.h"
#include "platform/cp1250.h"
#include "platform/window_messages.h"
#include "shell/err_history_source.h"
#include "shell/ui/err_history_form.h"
#include "shell/ui/event_log_form.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <string>
#include <vector>

namespace ravlo {
namespace {

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
