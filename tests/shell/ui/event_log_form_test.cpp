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

// The model keeps the lines and picks the colours; the view drops its first block with it.
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

} // namespace
} // namespace ravlo
