#include "framework/console_buffer.h"
#include "platform/exception.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ravlo {
namespace {

std::string RowText(const ConsoleBuffer& buffer, int row) {
    return std::string(buffer.Row(row));
}

TEST(ConsoleBuffer, StartsBlankWithTheCursorTopLeft) {
    ConsoleBuffer buffer(4, 2);
    EXPECT_EQ(RowText(buffer, 0), "    ");
    EXPECT_EQ(RowText(buffer, 1), "    ");
    EXPECT_EQ(buffer.CursorCol(), 0);
    EXPECT_EQ(buffer.CursorRow(), 0);
    EXPECT_EQ(buffer.Options(), kDefaultConsoleOptions);
}

TEST(ConsoleBuffer, PrintableTextWrapsAtTheRowEnd) {
    ConsoleBuffer buffer(5, 3);
    buffer.Write("abcdefg");
    EXPECT_EQ(RowText(buffer, 0), "abcde");
    EXPECT_EQ(RowText(buffer, 1), "fg   ");
    EXPECT_EQ(buffer.CursorCol(), 2);
    EXPECT_EQ(buffer.CursorRow(), 1);
    // Code page 1250 letters are printable too.
    buffer.Write("\x8A\xE8");
    EXPECT_EQ(RowText(buffer, 1), "fg\x8A\xE8 ");
}

TEST(ConsoleBuffer, AFullRowFollowedByItsLineBreakTakesOneRow) {
    ConsoleBuffer buffer(5, 3);
    buffer.Write("abcde");
    EXPECT_EQ(buffer.CursorCol(), 5) << "the wrap waits for more text";
    EXPECT_EQ(buffer.CursorRow(), 0);
    buffer.Write("\r\nxy");
    EXPECT_EQ(RowText(buffer, 1), "xy   ");
    EXPECT_EQ(RowText(buffer, 2), "     ");
}

TEST(ConsoleBuffer, BeepCallsTheHandlerAndWritesNothing) {
    ConsoleBuffer buffer(4, 2);
    int beeps = 0;
    buffer.SetBeepHandler([&beeps] { ++beeps; });
    buffer.Write("a\ab\a");
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(RowText(buffer, 0), "ab  ");
}

TEST(ConsoleBuffer, BackspaceBlanksTheCellLeftOfTheCursorButNotPastColumnZero) {
    ConsoleBuffer buffer(4, 2);
    buffer.Write("abc\b");
    EXPECT_EQ(RowText(buffer, 0), "ab  ");
    EXPECT_EQ(buffer.CursorCol(), 2);
    buffer.Write("\b\b\b\bz");
    EXPECT_EQ(RowText(buffer, 0), "z   ");
    EXPECT_EQ(buffer.CursorRow(), 0);
}

TEST(ConsoleBuffer, OtherControlCharactersAreIgnored) {
    ConsoleBuffer buffer(6, 2);
    buffer.Write("a\tb\x1B\x01\x7F");
    EXPECT_EQ(RowText(buffer, 0), "ab\x7F   ");
}

struct LineBreakCase {
    TConsoleLineBreak mode;
    const char* text;
    std::vector<std::string> rows;
};

class ConsoleLineBreak : public ::testing::TestWithParam<LineBreakCase> {};

TEST_P(ConsoleLineBreak, CarriageReturnAndLineFeedFollowTheMode) {
    ConsoleBuffer buffer(5, 3);
    buffer.SetLineBreak(GetParam().mode);
    buffer.Write(GetParam().text);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(RowText(buffer, row), GetParam().rows[static_cast<std::size_t>(row)]) << "row " << row;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ConsoleLineBreak,
    ::testing::Values(LineBreakCase{TConsoleLineBreak::CRLF, "ab\ncd", {"ab   ", "  cd ", "     "}},
                      LineBreakCase{TConsoleLineBreak::CRLF, "ab\rc", {"cb   ", "     ", "     "}},
                      LineBreakCase{TConsoleLineBreak::CRLF, "ab\r\ncd", {"ab   ", "cd   ", "     "}},
                      LineBreakCase{TConsoleLineBreak::LF, "ab\ncd", {"ab   ", "cd   ", "     "}},
                      LineBreakCase{TConsoleLineBreak::LF, "ab\rc", {"cb   ", "     ", "     "}},
                      LineBreakCase{TConsoleLineBreak::CR, "ab\rcd", {"ab   ", "cd   ", "     "}},
                      LineBreakCase{TConsoleLineBreak::CR, "ab\ncd", {"ab   ", "  cd ", "     "}},
                      LineBreakCase{TConsoleLineBreak::CR, "ab\r\ncd", {"ab   ", "     ", "cd   "}}));

TEST(ConsoleBuffer, LineFeedAtTheLastRowScrollsTheRing) {
    ConsoleBuffer buffer(3, 3);
    buffer.Write("1\r\n2\r\n3\r\n4");
    EXPECT_EQ(RowText(buffer, 0), "2  ");
    EXPECT_EQ(RowText(buffer, 1), "3  ");
    EXPECT_EQ(RowText(buffer, 2), "4  ");
    EXPECT_EQ(buffer.CursorRow(), 2);
    // Round the ring several times: the new bottom row is always blank.
    for (int line = 5; line <= 12; ++line) {
        buffer.Write("\r\n" + std::to_string(line % 10) + "xx");
    }
    EXPECT_EQ(RowText(buffer, 0), "0xx");
    EXPECT_EQ(RowText(buffer, 1), "1xx");
    EXPECT_EQ(RowText(buffer, 2), "2xx");
    buffer.Write("\n");
    EXPECT_EQ(RowText(buffer, 2), "   ");
}

TEST(ConsoleBuffer, WrapAtTheLastRowScrollsToo) {
    ConsoleBuffer buffer(2, 2);
    buffer.Write("abcdef");
    EXPECT_EQ(RowText(buffer, 0), "cd");
    EXPECT_EQ(RowText(buffer, 1), "ef");
    EXPECT_EQ(buffer.TakeChanges().scrolled, 1);
}

TEST(ConsoleBuffer, ClearBlanksEverythingAndHomesTheCursor) {
    ConsoleBuffer buffer(3, 2);
    buffer.Write("abc\r\nde\r\nf");
    buffer.TakeChanges();
    buffer.Clear();
    EXPECT_EQ(RowText(buffer, 0), "   ");
    EXPECT_EQ(RowText(buffer, 1), "   ");
    EXPECT_EQ(buffer.CursorCol(), 0);
    EXPECT_EQ(buffer.CursorRow(), 0);
    const ConsoleChanges changes = buffer.TakeChanges();
    EXPECT_TRUE(changes.cleared);
    EXPECT_EQ(changes.scrolled, 0);
    buffer.Write("x");
    EXPECT_EQ(RowText(buffer, 0), "x  ");
}

TEST(ConsoleBuffer, WriteLineCutsTheTextButKeepsItsLineBreak) {
    ConsoleBuffer buffer(300, 3);
    buffer.WriteLine(std::string(300, 'x'));
    EXPECT_EQ(RowText(buffer, 0), std::string(255, 'x') + std::string(45, ' '));
    EXPECT_EQ(buffer.CursorCol(), 0);
    EXPECT_EQ(buffer.CursorRow(), 1);
    buffer.WriteLine("next");
    EXPECT_EQ(RowText(buffer, 1).substr(0, 5), "next ");

    ConsoleBuffer lf(10, 3);
    lf.SetLineBreak(TConsoleLineBreak::LF);
    lf.WriteLine("ab");
    lf.WriteLine("cd");
    EXPECT_EQ(RowText(lf, 1), "cd        ") << "one line break per line in every mode";
}

TEST(ConsoleBuffer, ChangesNameTheRowsToRepaintAndFollowScrolls) {
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

TEST(ConsoleBuffer, ProcessControlCodesHandlerTakesTheTextInstead) {
    ConsoleBuffer buffer(4, 2);
    std::string seen;
    buffer.SetProcessControlCodes([&seen](std::string_view text) { seen += text; });
    buffer.Write("ab\r\n");
    EXPECT_EQ(seen, "ab\r\n");
    EXPECT_EQ(RowText(buffer, 0), "    ");
}

TEST(ConsoleBuffer, SizeOutsideTheLimitsIsRefusedAndKeepsTheBuffer) {
    ConsoleBuffer buffer(4, 2);
    buffer.Write("ab");
    EXPECT_THROW(buffer.SetSize(0, 2), ERangeError);
    EXPECT_THROW(buffer.SetSize(4, ConsoleBuffer::kMaxRows + 1), ERangeError);
    EXPECT_EQ(buffer.Cols(), 4);
    EXPECT_EQ(RowText(buffer, 0), "ab  ");
    buffer.SetSize(160, 80);
    EXPECT_EQ(buffer.Cols(), 160);
    EXPECT_EQ(buffer.Rows(), 80);
    EXPECT_EQ(buffer.Row(79).size(), 160u);
}

} // namespace
} // namespace ravlo
