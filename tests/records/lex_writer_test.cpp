#include "records/lex_writer.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

std::string Written(const MemoryStream& stream) {
    return {stream.Data().begin(), stream.Data().end()};
}

TEST(LexWriterTest, WrapsBeforeAPieceThatDoesNotFit) {
    MemoryStream out;
    TLexWriter writer(out, 10);
    writer.WrPChar("12345");
    writer.WrPChar("12345");
    writer.WrPChar("123");
    EXPECT_EQ(Written(out), "1234512345\r\n");
    EXPECT_EQ(writer.Line(), "123");

    writer.SetPrefix("  ");
    writer.WrPChar("12345678");
    writer.WrFinish();
    EXPECT_EQ(Written(out), "1234512345\r\n123\r\n  12345678\r\n");
    EXPECT_EQ(writer.LineCount(), 3);
}

TEST(LexWriterTest, BreakCharacterStartsALineBeforeItself) {
    MemoryStream out;
    TLexWriter writer(out, 80);
    writer.SetPrefix("> ");
    writer.BreakChars.set('*');
    writer.WrChar('*');
    writer.WrPChar("a");
    writer.WrChar('*');
    writer.WrChar('b');
    writer.WrFinish();
    EXPECT_EQ(Written(out), "> *a\r\n> *b\r\n");
}

} // namespace
} // namespace ravlo
