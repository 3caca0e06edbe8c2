#include "framework/text_settings.h"
#include "platform/cp1250.h"
#include "platform/exception.h"
#include "platform/presenter.h"
#include "records/lex_reader.h"
#include "records_test_support.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace ravlo {
namespace {

// Runs one read per op letter and joins the results with "|":
// b byte, w word, s small int, i integer, d dword, t dword as TTC time, r real, q string,
// c next character (#0 for none), k skip to separator.
std::string RunOps(TLexReader& reader, std::string_view ops) {
    std::ostringstream out;
    const auto chr = [&out](char c) {
        out << (c == 0 ? std::string("#0") : std::string(1, c));
    };
    std::map<char, std::function<void()>> read;
    read.emplace('b', [&] { out << int{reader.ReadByte()}; });
    read.emplace('w', [&] { out << reader.ReadWord(); });
    read.emplace('s', [&] { out << reader.ReadSmallInt(); });
    read.emplace('i', [&] { out << reader.ReadInteger(); });
    read.emplace('d', [&] { out << reader.ReadDWord(TLexReader::kDWordPlain); });
    read.emplace('t', [&] { out << std::hex << reader.ReadDWord(TLexReader::kDWordTTCTime) << std::dec; });
    read.emplace('r', [&] { out << reader.ReadReal(); });
    read.emplace('q', [&] { out << reader.ReadString(); });
    read.emplace('c', [&] { chr(reader.NextChar()); });
    read.emplace('k', [&] { chr(reader.SkipToSeparator()); });
    for (std::size_t i = 0; i < ops.size(); ++i) {
        out << (i > 0 ? "|" : "");
        read.at(ops[i])();
    }
    return out.str();
}

class LexReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTextFormatSettings(); }
    ScriptedPresenter presenter_;
    ScopedPresenter scoped_{presenter_};
};

TEST_F(LexReaderTest, ReadsValuesFromText) {
    const struct {
        std::string_view text;
        std::string_view ops;
        std::string_view results;
    } cases[] = {
        {"A{x{y}z}B", "cc", "A|B"},
        {"{ \"}\" still a comment } X", "cc", "X|#0"},
        {"1\n2\r3\r\n\n4", "bbbb", "1|2|3|4"},
        {"$FF 7 -5 $FFFF", "bwiw", "255|7|-5|65535"},
        {"$FFFF -32768 $8000", "sss", "-1|-32768|-32768"},
        {"$80000000 -2147483647 $FFFFFFFF", "iii", "-2147483648|-2147483647|-1"},
        {"4294967295 $FFFFFFFF", "dd", "4294967295|4294967295"},
        {"'it''s' \"a\"\"b\" ''", "qqq", "it's|a\"b|"},
        {"'ab\r\n\r\ncd' 5", "qb", "ab\r\n\r\ncd|5"},
        {"'a'#10'b'#13 ''#26;'c' #9", "qqcqc", "a\nb\r|\x1A|;|c|#"},
        {"'a'#10'b';5", "kb", ";|5"},
        {"1.5 -2,25 1e3 .5", "rrrr", "1.5|-2.25|1000|0.5"},
        {"1/1/1992 13:00:01 29/2/1992", "tt", "e110001|76"},
        {"31/12/2080 23:59:58;31/12/80", "tct", "a8befdf7|;|fdf6"},
        {"1/1/1992)", "tc", "0|)"},
        {";5 'x;y';abc def)", "kbkk", ";|5|;|)"},
        {"12\x1A 34", "bc", "12|#0"},
        {"7", "bc", "7|#0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        MemoryStream source = test::TextStream(c.text);
        TLexReader reader(source);
        EXPECT_EQ(RunOps(reader, c.ops), c.results);
        EXPECT_FALSE(reader.ErrorFlag()) << Cp1250ToUtf8(reader.ErrorText());
    }
    EXPECT_TRUE(presenter_.Boxes().empty());
}

TEST_F(LexReaderTest, FirstErrorIsShownWithItsPlaceAndStays) {
    // Lexical and semantic errors show an error icon, a missing character a question.
    constexpr unsigned kError = MB_ICONHAND;
    constexpr unsigned kSyntax = MB_ICONQUESTION;
    const struct {
        std::string_view text;
        std::string_view ops;
        std::string_view results;
        unsigned icon;
        std::string_view message;
    } cases[] = {
        {"256 7", "bb", "255|255", kError, "1:3 Hodnota mimo meze  <0;$FF> "},
        {"-2147483648", "i", "-1", kError, "1:11 Hodnota mimo meze  <-Maxint;Maxint> "},
        {"$10000", "s", "-1", kError, "1:6 Hodnota mimo meze  <-32768;32767> "},
        // A number never starts further on than the value does.
        {"AB 5", "bb", "255|255", kError, "1:1 not (Ch in [''$'',''0''..''9'',''A''..''F''])"},
        {"-1", "b", "255", kError, "1:1 not (Ch in [''$'',''0''..''9'',''A''..''F''])"},
        {"x", "r", "0", kError, "1:1 not (Ch in [''.'',''+'',''-'',''0''..''9'',''E''])"},
        {"\n 31/12/1991", "t", "0", kError, "2:11 Err PackTTCTime"},
        {"0/0/0 0:0:0 32/1/1992", "dt", "0|0", kError, "1:14 Hodnota mimo meze < 1,31>"},
        {"x", "q", "", kSyntax, "Očekáván znak  ''' or '\"' 1:1"},
        {"'abc\nde", "q", "", kSyntax, "Očekáván znak  ''' or '\"' 2:3"},
        {"\"abc", "qb", "|255", kSyntax, "Očekáván znak  '\"'  1:5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ScriptedPresenter presenter;
        ScopedPresenter scoped(presenter);
        MemoryStream source = test::TextStream(c.text);
        TLexReader reader(source);
        EXPECT_EQ(RunOps(reader, c.ops), c.results);
        EXPECT_TRUE(reader.ErrorFlag());
        EXPECT_EQ(Cp1250ToUtf8(reader.ErrorText()), c.message);
        ASSERT_EQ(presenter.Boxes().size(), 1u);
        EXPECT_EQ(Cp1250ToUtf8(presenter.Boxes()[0].text), c.message);
        EXPECT_EQ(presenter.Boxes()[0].flags & MB_ICONMASK, c.icon);
    }
}

// Older writers put a string value between apostrophes as it was, its LF or CR LF included, ended
// every line with CR LF and wrote lines of up to 4095 characters.
TEST_F(LexReaderTest, TextOfOlderWritersReadsAsWritten) {
    const std::string longValue(4093, 'x');
    const std::string text =
        "('a\nb';'c\r\nd';'say \"hi\" {x}';'e\n\nf')\r\n$01\n$02\r\n'" + longValue + "'\r\n";
    MemoryStream source = test::TextStream(text);
    TLexReader reader(source, 64);
    EXPECT_EQ(RunOps(reader, "cqcqcqcqcbbq"), "(|a\nb|;|c\r\nd|;|say \"hi\" {x}|;|e\n\nf|)|1|2|" + longValue);
    EXPECT_EQ(reader.NextChar(), 0);
    EXPECT_FALSE(reader.ErrorFlag());
}

TEST_F(LexReaderTest, LongLinesAndManyLinesLoseNothing) {
    std::string text = "'" + std::string(5000, 'x') + "' 7\r\n";
    for (int i = 0; i < 2000; ++i) {
        text += std::to_string(i) + (i % 2 == 0 ? "\n" : "\r\n");
    }
    MemoryStream source = test::TextStream(text);
    // A chunk far smaller than a line, and more lines than one fill splits.
    TLexReader reader(source, 64);
    EXPECT_EQ(reader.ReadString().size(), 5000u);
    EXPECT_EQ(reader.ReadByte(), 7);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(reader.ReadWord(), i);
    }
    EXPECT_EQ(reader.LineNo(), 2001);
    EXPECT_EQ(reader.NextChar(), 0);
    EXPECT_FALSE(reader.ErrorFlag());

    MemoryStream tooLong = test::TextStream(std::string(TLexReader::kMaxLineLength + 1, '7'));
    TLexReader longReader(tooLong);
    EXPECT_THROW(longReader.NextChar(), EStreamError);
}

} // namespace
} // namespace ravlo
