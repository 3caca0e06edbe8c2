#include "framework/console_buffer.h"
#include "platform/exception.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ravlo {
namespace {

// The rows joined by "|".
std::string Screen(const ConsoleBuffer& buffer) {
    std::string screen(buffer.Row(0));
    for (int row = 1; row < buffer.Rows(); ++row) {
        screen += "|" + std::string(buffer.Row(row));
    }
    return screen;
}

TEST(ConsoleBuffer, TextWrapsControlCharactersActOrAreIgnoredAndLineBreaksFollowTheMode) {
    using enum TConsoleLineBreak;
    const struct {
        TConsoleLineBreak mode;
        const char* text;
        const char* screen;
        std::pair<int, int> cursor; // column, row
    } cases[] = {
        {CRLF, "abcdefg\x8A\xE8", "abcde|fg\x8A\xE8 |     ", {4, 1}}, // code page 1250 letters are printable
        {CRLF, "abcde", "abcde|     |     ", {5, 0}},                 // the wrap waits for more text
        {CRLF, "abcde\r\nxy", "abcde|xy   |     ", {2, 1}},           // a full row takes its line break
        {CRLF, "a\ab\a\tc\x1B\x01\x7F", "abc\x7F |     |     ", {4, 0}}, // only bells act
        {CRLF, "abc\b", "ab   |     |     ", {2, 0}},     // backspace blanks the cell left of the cursor
        {CRLF, "ab\b\b\bz", "z    |     |     ", {1, 0}}, // but not past column 0
        {CRLF, "ab\ncd", "ab   |  cd |     ", {4, 1}},
        {CRLF, "ab\rc", "cb   |     |     ", {1, 0}},
        {CRLF, "ab\r\ncd", "ab   |cd   |     ", {2, 1}},
        {LF, "ab\ncd", "ab   |cd   |     ", {2, 1}},
        {LF, "ab\rc", "cb   |     |     ", {1, 0}},
        {CR, "ab\rcd", "ab   |cd   |     ", {2, 1}},
        {CR, "ab\ncd", "ab   |  cd |     ", {4, 1}},
        {CR, "ab\r\ncd", "ab   |     |cd   ", {2, 2}}};
    int beeps = 0;
    for (const auto& c : cases) {
        ConsoleBuffer buffer(5, 3);
        buffer.SetBeepHandler([&beeps] { ++beeps; });
        buffer.SetLineBreak(c.mode);
        buffer.Write(c.text);
        EXPECT_EQ(Screen(buffer), c.screen) << static_cast<int>(c.mode) << " " << c.text;
        EXPECT_EQ(std::pair(buffer.CursorCol(), buffer.CursorRow()), c.cursor) << c.text;
    }
    EXPECT_EQ(beeps, 2);
}

TEST(ConsoleBuffer, LineFeedOrWrapAtTheLastRowScrollsTheRing) {
    ConsoleBuffer buffer(3, 3);
    // Round the ring several times: the new bottom row is always blank.
    for (int line = 1; line <= 12; ++line) {
        buffer.Write(std::to_string(line % 10) + "x\r\n");
    }
    EXPECT_EQ(Screen(buffer), "1x |2x |   ");
    EXPECT_EQ(buffer.CursorRow(), 2);
    ConsoleBuffer wrapping(2, 2);
    wrapping.Write("abcdef");
    EXPECT_EQ(Screen(wrapping), "cd|ef");
    EXPECT_EQ(wrapping.TakeChanges().scrolled, 1);
}

TEST(ConsoleBuffer, WriteLineCutsTheTextButKeepsOneLineBreakInEveryMode) {
    ConsoleBuffer buffer(300, 3);
    buffer.WriteLine(std::string(300, 'x'));
    EXPECT_EQ(buffer.Row(0), std::string(255, 'x') + std::string(45, ' '));
    ConsoleBuffer lf(4, 3);
    lf.SetLineBreak(TConsoleLineBreak::LF);
    lf.WriteLine("ab");
    lf.WriteLine("cd");
    EXPECT_EQ(Screen(lf), "ab  |cd  |    ");
}

TEST(ConsoleBuffer, ChangesNameTheRowsToRepaintFollowScrollsAndClear) {
    ConsoleBuffer buffer(4, 3);
    buffer.Write("a\r\nb");
    buffer.TakeChanges();
    buffer.Write("c");
    ConsoleChanges changes = buffer.TakeChanges();
    EXPECT_EQ(changes.dirtyRows, (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(changes.cleared);
    buffer.Write("\r\n\r\nz"); // down to the last row and one further: everything moved up
    changes = buffer.TakeChanges();
    EXPECT_EQ(changes.scrolled, 1);
    EXPECT_EQ(changes.dirtyRows, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(buffer.TakeChanges().Any());
    buffer.Clear();
    EXPECT_EQ(Screen(buffer), "    |    |    ");
    EXPECT_EQ(std::pair(buffer.CursorCol(), buffer.CursorRow()), std::pair(0, 0));
    changes = buffer.TakeChanges();
    EXPECT_TRUE(changes.cleared);
    EXPECT_EQ(changes.scrolled, 0);
}

TEST(ConsoleBuffer, LazyWriteMergesABurstIntoOneNotification) {
    ConsoleBuffer buffer(10, 2);
    int notified = 0;
    buffer.SetChangeHandler([&notified] { ++notified; });
    for (int line = 0; line < 5; ++line) {
        buffer.WriteLine("line");
    }
    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(buffer.HasAnnouncedChanges());
    EXPECT_EQ(buffer.TakeChanges().scrolled, 4);
    buffer.Write("x");
    EXPECT_EQ(notified, 2) << "the next burst notifies again";
    buffer.TakeChanges();
    buffer.SetOptions(kDefaultConsoleOptions & ~coLazyWrite);
    buffer.Write("a");
    buffer.Write("b");
    EXPECT_EQ(notified, 4);
    buffer.Write("");
    EXPECT_EQ(notified, 4) << "an empty write changes nothing";
}

TEST(ConsoleBuffer, AControlCodeHandlerTakesTheTextAndASizeOutsideTheLimitsIsRefused) {
    ConsoleBuffer buffer(4, 2);
    std::string seen;
    buffer.SetProcessControlCodes([&seen](std::string_view text) { seen += text; });
    buffer.Write("ab\r\n");
    EXPECT_EQ(seen, "ab\r\n");
    EXPECT_EQ(buffer.Row(0), "    ");
    buffer.SetProcessControlCodes(nullptr);
    buffer.Write("ab");
    EXPECT_THROW(buffer.SetSize(0, 2), ERangeError);
    EXPECT_THROW(buffer.SetSize(4, ConsoleBuffer::kMaxRows + 1), ERangeError);
    EXPECT_EQ(Screen(buffer), "ab  |    ");
    buffer.SetSize(160, 80);
    EXPECT_EQ(buffer.Cols(), 160);
    EXPECT_EQ(buffer.Row(79).size(), 160u);
}

} // namespace
} // namespace ravlo
