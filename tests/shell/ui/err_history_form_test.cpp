#include "framework/broadcast.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/tr_main_form.h"
#include "platform/window_messages.h"
#include "shell/err_history_source.h"
#include "shell/ui/err_history_form.h"

#include <QListWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <string>
#include <vector>

namespace ravlo {
namespace {

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
