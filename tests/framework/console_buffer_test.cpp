#include "framework/console_buffer.h"
#include "platform/exception.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ravlo {
namespace {

using Rows = std::vector<std::string>;

Rows RowsOf(const ConsoleBuffer& buffer) {
    Rows rows;
    for (int row = 0; row < buffer.Rows(); ++row) {
        rows.emplace_back(buffer.Row(row));
    }
    return rows;
}

std::pair<int, int> Cursor(const ConsoleBuffer& buffer) {
    return {buffer.CursorCol(), buffer.CursorRow()};
}

TEST(ConsoleBuffer, PrintableTextWrapsAtTheRowEndAndAFullRowTakesItsLineBreakOnTheSameRow) {
    ConsoleBuffer buffer(5, 3);
    buffer.Write("abcdefg\x8A\xE8"); // code page 1250 letters are printable too
    EXPECT_EQ(RowsOf(buffer), (Rows{"abcde", "fg\x8A\xE8 ", "     "}));
    EXPECT_EQ(Cursor(buffer), std::pair(4, 1));
    ConsoleBuffer full(5, 3);
    full.Write("abcde");
    EXPECT_EQ(Cursor(full), std::pair(5, 0)) << "the wrap waits for more text";
    full.Write("\r\nxy");
    EXPECT_EQ(RowsOf(full), (Rows{"abcde", "xy   ", "     "}));
}

TEST(ConsoleBuffer, ControlCharactersBeepBackspaceOrAreIgnored) {
    ConsoleBuffer buffer(6, 2);
    int beeps = 0;
    buffer.SetBeepHandler([&beeps] { ++beeps; });
    buffer.Write("a\ab\a\tc\x1B\x01\x7F");
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(RowsOf(buffer), (Rows{"abc\x7F  ", "      "}));
    // Backspace blanks the cell left of the cursor, but not past column 0.
    buffer.Write("\b");
    EXPECT_EQ(RowsOf(buffer)[0], "abc   ");
    EXPECT_EQ(Cursor(buffer), std::pair(3, 0));
    buffer.Write("\b\b\b\bz");
    EXPECT_EQ(RowsOf(buffer)[0], "z     ");
    EXPECT_EQ(Cursor(buffer), std::pair(1, 0));
}

TEST(ConsoleBuffer, CarriageReturnAndLineFeedFollowTheMode) {
    using enum TConsoleLineBreak;
    const struct {
        TConsoleLineBreak mode;
        const char* text;
        Rows rows;
    } cases[] = {
        {CRLF, "ab\ncd", {"ab   ", "  cd ", "     "}},   {CRLF, "ab\rc", {"cb   ", "     ", "     "}},
        {CRLF, "ab\r\ncd", {"ab   ", "cd   ", "     "}}, {LF, "ab\ncd", {"ab   ", "cd   ", "     "}},
        {LF, "ab\rc", {"cb   ", "     ", "     "}},      {CR, "ab\rcd", {"ab   ", "cd   ", "     "}},
        {CR, "ab\ncd", {"ab   ", "  cd ", "     "}},     {CR, "ab\r\ncd", {"ab   ", "     ", "cd   "}}};
    for (const auto& c : cases) {
        ConsoleBuffer buffer(5, 3);
        buffer.SetLineBreak(c.mode);
        buffer.Write(c.text);
        EXPECT_EQ(RowsOf(buffer), c.rows) << static_cast<int>(c.mode) << " " << c.text;
    }
}

TEST(ConsoleBuffer, LineFeedOrWrapAtTheLastRowScrollsTheRing) {
    ConsoleBuffer buffer(3, 3);
    // Round the ring several times: the new bottom row is always blank.
    for (int line = 1; line <= 12; ++line) {
        buffer.Write(std::to_string(line % 10) + "x\r\n");
    }
    EXPECT_EQ(RowsOf(buffer), (Rows{"1x ", "2x ", "   "}));
    EXPECT_EQ(buffer.CursorRow(), 2);
    ConsoleBuffer wrapping(2, 2);
    wrapping.Write("abcdef");
    EXPECT_EQ(RowsOf(wrapping), (Rows{"cd", "ef"}));
    EXPECT_EQ(wrapping.TakeChanges().scrolled, 1);
}

TEST(ConsoleBuffer, WriteLineCutsTheTextButKeepsOneLineBreakInEveryMode) {
    ConsoleBuffer buffer(300, 3);
    buffer.WriteLine(std::string(300, 'x'));
    EXPECT_EQ(RowsOf(buffer)[0], std::string(255, 'x') + std::string(45, ' '));
    ConsoleBuffer lf(4, 3);
    lf.SetLineBreak(TConsoleLineBreak::LF);
    lf.WriteLine("ab");
    lf.WriteLine("cd");
    EXPECT_EQ(RowsOf(lf), (Rows{"ab  ", "cd  ", "    "}));
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
    EXPECT_EQ(RowsOf(buffer), (Rows{"    ", "    ", "    "}));
    EXPECT_EQ(Cursor(buffer), std::pair(0, 0));
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
    EXPECT_EQ(RowsOf(buffer)[0], "    ");
    buffer.SetProcessControlCodes(nullptr);
    buffer.Write("ab");
    EXPECT_THROW(buffer.SetSize(0, 2), ERangeError);
    EXPECT_THROW(buffer.SetSize(4, ConsoleBuffer::kMaxRows + 1), ERangeError);
    EXPECT_EQ(RowsOf(buffer), (Rows{"ab  ", "    "}));
    buffer.SetSize(160, 80);
    EXPECT_EQ(buffer.Cols(), 160);
    EXPECT_EQ(buffer.Row(79).size(), 160u);
}

} // namespace
} // namespace ravlo
