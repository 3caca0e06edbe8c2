#include "framework/keyword_lexer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace ravlo {
namespace {

// Every word of a line, as LexGetWord gives them.
std::vector<std::string> Words(std::string_view line) {
    LexStart(line);
    std::vector<std::string> words;
    for (std::string word = LexGetWord(); !word.empty(); word = LexGetWord()) {
        words.push_back(word);
    }
    return words;
}

TEST(KeywordLexerTest, SeparatorsCommentsAndLineEnd) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Words("MAX 10"), (V{"MAX", "10"}));
    EXPECT_EQ(Words(" max = 10\t"), (V{"MAX", "10"}));
    EXPECT_EQ(Words("{ comment } UPD=1 ; ALL=1"), (V{"UPD", "1"}));
    // An unclosed comment runs to the end of the line.
    EXPECT_EQ(Words("UPD=1 {ALL=1"), (V{"UPD", "1"}));
    // Comment and ";" only where a separator may stand: inside a word they are characters.
    EXPECT_EQ(Words("AB{x}C D;E"), (V{"AB{X}C", "D;E"}));
    EXPECT_EQ(Words(";UPD=1"), V{});
    EXPECT_EQ(Words(""), V{});
    // ";" ends the line for good: the position is past its end.
    LexStart("A ; B");
    LexGetWord();
    LexSkipSep();
    EXPECT_EQ(LexState().LexPos, 6u);
}

TEST(KeywordLexerTest, WordsAreUpperCasedAndCut) {
    const std::string longWord(70, 'a');
    LexStart(longWord + " NEXT");
    EXPECT_EQ(LexGetWord(), std::string(64, 'A'));
    // The rest of a long word is skipped, not read as the next word.
    EXPECT_EQ(LexGetWord(), "NEXT");
    // Code page 1250 letters too ("č" is 0xE8, "Č" 0xC8).
    LexStart("\xE8Ip");
    EXPECT_EQ(LexGetWord(), "\xC8IP");
}

TEST(KeywordLexerTest, StringsKeepCaseAndBlanks) {
    LexStart("'Hello  World' \"it's\" plain 'unclosed");
    EXPECT_EQ(LexGetStr(), "Hello  World");
    EXPECT_EQ(LexGetStr(), "it's");
    EXPECT_EQ(LexGetStr(), "PLAIN");
    EXPECT_EQ(LexGetStr(), "");
    EXPECT_EQ(LexGetWord(), ""); // the unclosed quote ended the line
    LexStart("''x");
    EXPECT_EQ(LexGetStr(), "");
    EXPECT_EQ(LexGetWord(), "X");
}

TEST(KeywordLexerTest, WrittenTextsReadBackAsTheyStand) {
    for (const std::string text : {"MAINPC", "mainpc", "a=b c", "it's", "say \"hi\"", "", "{x}"}) {
        LexStart(LexStrText(text));
        EXPECT_EQ(LexGetStr(), text) << text;
    }
    EXPECT_EQ(LexStrText("A'B\"C"), "A'B\"C"); // only a bare word holds both quotes; it is written as one
    for (const char* word : {"MAINPC", "PC;1"}) {
        EXPECT_TRUE(LexIsWord(word)) << word;
    }
    for (const char* text : {"mainpc", "A=B", "A B", "'A", "{A}", ";A", ""}) {
        EXPECT_FALSE(LexIsWord(text)) << text;
    }
}

TEST(KeywordLexerTest, NumbersFollowValRulesAndKeyIndexMatchesOnTheListWidth) {
    using Numbers = std::vector<std::optional<std::int32_t>>;
    // "1O" has the letter O, 2147483648 is beyond 32 bits; the last read finds no word.
    LexStart("$10 -5 +7 $ffffffff 1O 2147483648 $1G");
    Numbers numbers(8);
    std::generate(numbers.begin(), numbers.end(), [] { return LexGetNum(); });
    EXPECT_EQ(numbers, (Numbers{16, -5, 7, -1, std::nullopt, std::nullopt, std::nullopt, std::nullopt}));
    LexStart("255 256 -1");
    numbers.resize(3);
    std::generate(numbers.begin(), numbers.end(), [] { return LexGetNumIn(0, 255); });
    EXPECT_EQ(numbers, (Numbers{255, std::nullopt, std::nullopt}));
    // The last "|" may be missing; blank-padded entries anywhere in the list.
    EXPECT_EQ(LexKeyIndex("ALL", "UPD|ALL|"), 2);
    EXPECT_EQ(LexKeyIndex("UPDATE", "UPD|ALL|"), 1);
    EXPECT_EQ(LexKeyIndex("UP", "UPD|ALL|"), 0);
    EXPECT_EQ(LexKeyIndex("ATX", "AT |"), 0);
    EXPECT_EQ(LexKeyIndex("XYS", "DWN|XYS"), 2);
    EXPECT_EQ(LexKeyIndex("BD", "LRB|COM|BD |BIT|PAR"), 3);
}

TEST(KeywordLexerTest, ParseStopsAtFailureAndRestoresState) {
    LexStart("outer line");
    LexGetWord();
    const TLexState outer = LexState();
    std::vector<std::string> seen;
    const bool failed = LexParseKeywords("MAX=1O UPD=1", [&](std::string_view keyword) {
        seen.emplace_back(keyword);
        return !LexGetNum().has_value();
    });
    EXPECT_TRUE(failed);
    EXPECT_EQ(seen, std::vector<std::string>{"MAX"});
    EXPECT_EQ(LexConsumed(LexFailLine()), "MAX=1O");
    EXPECT_EQ(LexState().LexLine, outer.LexLine);
    EXPECT_EQ(LexState().LexPos, outer.LexPos);
    // A parse inside a parse leaves the outer one where it was.
    std::vector<std::string> keys;
    const bool nestedFailed = LexParseKeywords("A=1 B=2", [&](std::string_view keyword) {
        keys.emplace_back(keyword);
        LexParseKeywords("INNER", [](std::string_view) { return false; });
        return !LexGetNum().has_value();
    });
    EXPECT_FALSE(nestedFailed);
    EXPECT_EQ(keys, (std::vector<std::string>{"A", "B"}));
    // Keywords are cut to 20 characters.
    std::string keyword;
    LexParseKeywords(std::string(25, 'K'), [&](std::string_view k) {
        keyword = k;
        return false;
    });
    EXPECT_EQ(keyword, std::string(20, 'K'));
}

} // namespace
} // namespace ravlo
