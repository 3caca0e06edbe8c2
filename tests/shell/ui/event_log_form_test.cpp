#include "framework/ui/qt_test_app.h"
#include "framework/ui/tr_main_form.h"
#include "platform/cp1250.h"
#include "shell/ui/event_log_form.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <QTextEdit>
#include <string>

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

TEST_F(EventLogFormTest, LinesAreColouredByKind) {
    log_->AddEvent("- Vok was connected", 4);
    log_->AddEvent("- Communication Lost", 1);
    log_->AddEvent("- note", 0);
    log_->AddEvent("- other", 9);
    ASSERT_EQ(Document().blockCount(), 4);
    EXPECT_EQ(Document().toPlainText(), "- Vok was connected\n- Communication Lost\n- note\n- other");
    EXPECT_EQ(BlockColour(Document().findBlockByNumber(0)), QColor(0x00, 0x80, 0x00));
    EXPECT_EQ(BlockColour(Document().findBlockByNumber(1)), QColor(0xFF, 0x00, 0x00));
    EXPECT_EQ(BlockColour(Document().findBlockByNumber(2)), QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(BlockColour(Document().findBlockByNumber(3)), QColor(0, 0, 0));
    EXPECT_TRUE(log_->RichEditEvLog().isReadOnly());
}

TEST_F(EventLogFormTest, TheFiftyFirstLineRemovesTheFirstAndColoursStay) {
    for (int i = 1; i <= 51; ++i) {
        log_->AddEvent("- event " + std::to_string(i), static_cast<std::uint8_t>(i % 2));
    }
    ASSERT_EQ(Document().blockCount(), 50);
    EXPECT_EQ(Document().firstBlock().text(), "- event 2");
    EXPECT_EQ(BlockColour(Document().firstBlock()), QColor(0x80, 0x80, 0x00)) << "kind 0";
    EXPECT_EQ(BlockColour(Document().findBlockByNumber(1)), QColor(0xFF, 0x00, 0x00)) << "kind 1";
    EXPECT_EQ(Document().lastBlock().text(), "- event 51");
    EXPECT_EQ(log_->Model().Lines().size(), 50u);
}

TEST_F(EventLogFormTest, HiddenLogAndEmptyTextAddNothing) {
    log_->AddEvent("", 1);
    EXPECT_TRUE(Document().isEmpty());
    log_->parentWidget()->hide();
    log_->AddEvent("- lost", 1);
    EXPECT_TRUE(Document().isEmpty());
    EXPECT_TRUE(log_->Model().Lines().empty());
}

TEST_F(EventLogFormTest, StoredTextIsShownAsUnicode) {
    log_->AddEvent(Utf8ToCp1250("- Uživatel přihlášen"), 4);
    EXPECT_EQ(Document().toPlainText(), QStringLiteral("- Uživatel přihlášen"));
}

TEST_F(EventLogFormTest, SitsAtTheBottomOfTheMdiAreaAcrossItsWidth) {
    auto* window = qobject_cast<QMdiSubWindow*>(log_->parentWidget());
    ASSERT_NE(window, nullptr);
    const QSize area = main_.MdiArea().viewport()->size();
    EXPECT_EQ(window->height(), TFormEventLog::kInitialHeight);
    EXPECT_EQ(window->geometry(), QRect(0, area.height() - TFormEventLog::kInitialHeight, area.width(),
                                        TFormEventLog::kInitialHeight));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));

    main_.resize(1000, 700);
    testing::ProcessPendingEvents();
    log_->LayOut();
    const QSize larger = main_.MdiArea().viewport()->size();
    EXPECT_EQ(window->geometry(), QRect(0, larger.height() - TFormEventLog::kInitialHeight, larger.width(),
                                        TFormEventLog::kInitialHeight));
}

} // namespace
} // namespace ravlo
