#include "framework/string_table.h"
#include "platform/cp1250.h"

#include <array>
#include <gtest/gtest.h>
#include <set>

namespace ravlo {
namespace {

TEST(StringTableTest, TextsAreCodePage1250Bytes) {
    EXPECT_EQ(AppLoadStr(134), Utf8ToCp1250("Syntaktická chyba v zápisu čísla integer"));
    EXPECT_EQ(AppLoadStr(135), "Hodnota mimo meze");
    EXPECT_EQ(AppLoadStr(155), Utf8ToCp1250("čas %s mimo meze <%s;%s>"));
    EXPECT_EQ(AppLoadStr(156), "Hodnota $%x mimo meze <$%x;$%x>");
    // One byte a character: "č" is 0xE8 in code page 1250.
    const std::string text155 = AppLoadStr(155);
    EXPECT_EQ(static_cast<unsigned char>(text155[0]), 0xE8);
    EXPECT_EQ(text155.size(), 24U);
}

TEST(StringTableTest, IoErrorTextsCoverTheirIds) {
    EXPECT_EQ(AppLoadStr(102), "Soubor nenalezen");
    EXPECT_EQ(AppLoadStr(117), Utf8ToCp1250("Neplatný formát čísla"));
    EXPECT_EQ(AppLoadStr(118), "I/O error 150");
    EXPECT_EQ(AppLoadStr(130), "I/O error 162");
    EXPECT_EQ(AppLoadStr(131), "I/O error");
    // Ids 140 to 151 are left to the texts of other windows, so only the framework's own are checked.
    for (int id = 101; id <= 162; ++id) {
        if (id < 140 || id > 151) {
            EXPECT_NE(AppLoadStr(id), kMissingStringText) << id;
        }
    }
}

TEST(StringTableTest, IdsAreUniqueAndTextsFitAShortString) {
    std::set<int> ids;
    for (const StringText& entry : ProgramStringTexts()) {
        EXPECT_TRUE(ids.insert(entry.id).second) << "duplicate id " << entry.id;
        EXPECT_GT(entry.id, 0);
        EXPECT_LE(Utf8ToCp1250(entry.utf8).size(), 254U) << entry.id;
    }
}

TEST(StringTableTest, MissingIdGivesOneCharacter127) {
    EXPECT_EQ(AppLoadStr(0), "\x7F");
    EXPECT_EQ(AppLoadStr(-5), "\x7F");
    EXPECT_EQ(AppLoadStr(99999), "\x7F");
}

TEST(StringTableTest, LoadIntoBuffer) {
    std::array<char, 64> buf{};
    buf.fill('#');
    EXPECT_EQ(AppLoadStrBuf(135, buf), 17U);
    EXPECT_STREQ(buf.data(), "Hodnota mimo meze");

    buf.fill('#');
    EXPECT_EQ(AppLoadStrBuf(0, buf), 0U);
    EXPECT_EQ(buf[0], '\0');

    EXPECT_EQ(AppLoadStrBuf(4242, buf), 21U);
    EXPECT_STREQ(buf.data(), "string resource error");
}

TEST(StringTableTest, BufferCutsTextAndStaysTerminated) {
    std::array<char, 8> small{};
    small.fill('#');
    EXPECT_EQ(AppLoadStrBuf(4242, small), 7U);
    EXPECT_EQ(std::string(small.data()), "string ");
    EXPECT_EQ(small[7], '\0');

    std::array<char, 5> exact{};
    EXPECT_EQ(AppLoadStrBuf(135, exact), 4U);
    EXPECT_STREQ(exact.data(), "Hodn");

    std::array<char, 1> one{'#'};
    EXPECT_EQ(AppLoadStrBuf(135, one), 0U);
    EXPECT_EQ(one[0], '\0');

    std::array<char, 4> untouched{'a', 'b', 'c', 'd'};
    EXPECT_EQ(AppLoadStrBuf(135, std::span(untouched).first(0)), 0U);
    EXPECT_EQ(untouched[0], 'a');
}

TEST(StringTableTest, FormattedText) {
    const std::array<FormatArg, 3> args = {std::int64_t{21}, std::int64_t{10}, std::int64_t{20}};
    EXPECT_EQ(AppLoadStrFmt(158, args), "Hodnota 21 mimo meze <10;20>");
    const std::array<FormatArg, 3> hex = {std::int64_t{0x1FF}, std::int64_t{0}, std::int64_t{0xFF}};
    EXPECT_EQ(AppLoadStrFmt(156, hex), "Hodnota $1FF mimo meze <$0;$FF>");
    const std::array<FormatArg, 3> times = {std::string("25:00"), std::string("00:00"), std::string("23:59")};
    EXPECT_EQ(AppLoadStrFmt(155, times), Utf8ToCp1250("čas 25:00 mimo meze <00:00;23:59>"));
    EXPECT_EQ(AppLoadStrFmt(4242, args), "\x7F");
}

TEST(StringTableTest, FormattedTextIsCutTo255) {
    const std::array<FormatArg, 3> args = {std::string(300, 'a'), std::string("b"), std::string("c")};
    const std::string text = AppLoadStrFmt(159, args);
    EXPECT_EQ(text.size(), 255U);
    EXPECT_EQ(text.substr(0, 8), "Hodnota ");
}

} // namespace
} // namespace ravlo
