#include "framework/ui/console_widget.h"
#include "qt_test_app.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QScrollBar>
#include <gmock/gmock.h>
#include <string>

namespace ravlo {
namespace {

class ConsoleWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        console.SetSize(160, 80);
        console.resize(400, 300);
        console.show();
        ASSERT_TRUE(testing::ProcessEventsUntil([this] { return console.isVisible(); }));
        ASSERT_LT(console.VisibleRows(), 80);
        ASSERT_LT(console.VisibleCols(), 160);
    }

    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(&console, &event);
    }

    int Top() { return console.verticalScrollBar()->value(); }
    int Left() { return console.horizontalScrollBar()->value(); }

    TConsole console;
};

TEST_F(ConsoleWidgetTest, RefusesAProportionalFontAndKeepsThePreviousOne) {
    const QFont proportional(QStringLiteral("DejaVu Sans"));
    if (QFontInfo(proportional).fixedPitch()) {
        GTEST_SKIP() << "no proportional font installed";
    }
    const QFont before = console.ConsoleFont();
    EXPECT_THAT([&] { console.SetConsoleFont(proportional); },
                ::testing::ThrowsMessage<EInvalidFont>("TConsole: DejaVu Sans is not fixed-pitch"));
    EXPECT_EQ(console.ConsoleFont(), before);
    QFont fixed = FixedPitchFont();
    fixed.setPointSize(fixed.pointSize() + 2);
    console.SetConsoleFont(fixed);
    EXPECT_EQ(console.ConsoleFont(), fixed);
}

TEST_F(ConsoleWidgetTest, ScrollBarsSpanTheBufferAndABurstOfLinesIsTrackedOnceFromTheEventLoop) {
    EXPECT_EQ(console.verticalScrollBar()->maximum(), 80 - console.VisibleRows());
    EXPECT_EQ(console.horizontalScrollBar()->maximum(), 160 - console.VisibleCols());
    for (int line = 0; line < 100; ++line) {
        console.WriteLine("line " + std::to_string(line));
    }
    EXPECT_EQ(Top(), 0) << "a lazy write waits for the event loop";
    EXPECT_TRUE(testing::ProcessEventsUntil([this] { return Top() != 0; }));
    EXPECT_EQ(Top(), console.verticalScrollBar()->maximum());
    console.Write(std::string(150, 'w'));
    console.FlushChanges();
    EXPECT_GT(Left() + console.VisibleCols(), 149) << "the cursor column is in view";
    console.SetOptions(coCheckBreak); // neither lazy nor tracking
    Press(Qt::Key_Home, Qt::ControlModifier);
    console.WriteLine("x");
    testing::ProcessPendingEvents();
    EXPECT_EQ(Top(), 0);
}

TEST_F(ConsoleWidgetTest, KeysScrollTheView) {
    const int rows = console.VisibleRows();
    const int cols = console.VisibleCols();
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int top, left;
    } steps[] = {{Qt::Key_Down, Qt::NoModifier, 1, 0},
                 {Qt::Key_PageDown, Qt::NoModifier, 1 + rows, 0},
                 {Qt::Key_Up, Qt::NoModifier, rows, 0},
                 {Qt::Key_PageUp, Qt::NoModifier, 0, 0},
                 {Qt::Key_End, Qt::ControlModifier, 80 - rows, 0},
                 {Qt::Key_Home, Qt::ControlModifier, 0, 0},
                 {Qt::Key_Right, Qt::NoModifier, 0, 1},
                 {Qt::Key_Right, Qt::ControlModifier, 0, 1 + cols / 2},
                 {Qt::Key_Left, Qt::ControlModifier, 0, 1},
                 {Qt::Key_Left, Qt::NoModifier, 0, 0},
                 {Qt::Key_End, Qt::NoModifier, 0, 160 - cols},
                 {Qt::Key_Home, Qt::NoModifier, 0, 0}}; // Home without Ctrl moves only the columns
    for (const auto& step : steps) {
        Press(step.key, step.modifiers);
        EXPECT_EQ(std::pair(Top(), Left()), std::pair(step.top, step.left)) << "key " << step.key;
    }
}

TEST_F(ConsoleWidgetTest, TypedCharactersAreQueuedUpToSixtyFourAndCtrlCBreaksOnlyWithCheckBreak) {
    for (int i = 0; i < 70; ++i) {
        Press(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    }
    EXPECT_EQ(console.TakeInput(), std::string(64, 'a'));
    Press(Qt::Key_S, Qt::NoModifier, QString::fromUtf8("Š"));
    EXPECT_EQ(console.TakeInput(), "\x8A") << "kept as code page 1250";
    int breaks = 0;
    console.SetBreakHandler([&breaks] { ++breaks; });
    Press(Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
    EXPECT_EQ(breaks, 1);
    console.SetOptions(kDefaultConsoleOptions & ~coCheckBreak);
    Press(Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
    EXPECT_EQ(breaks, 1);
    EXPECT_EQ(console.TakeInput(), "") << "Ctrl+C is not typed text";
}

TEST_F(ConsoleWidgetTest, PaintsWithoutTroubleAfterEveryKindOfChange) {
    console.setFocus();
    console.Write("abc\b\r\n\a");
    console.Clear();
    console.WriteLine(std::string(400, 'z'));
    console.grab(); // renders the viewport with the caret
    console.SetSize(1, 1);
    console.Write("q\r\nr");
    console.grab();
    EXPECT_EQ(console.Buffer().Row(0), "r");
}

} // namespace
} // namespace ravlo
