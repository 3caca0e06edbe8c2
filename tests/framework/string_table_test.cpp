#include "framework/string_table.h"
#include "platform/cp1250.h"

#include <array>
#include <gtest/gtest.h>
#include <set>

namespace ravlo {
namespace {

TEST(StringTableTest, IdsAreUniqueAndTextsFitAShortString) {
    std::set<int> ids;
    for (const StringText& entry : ProgramStringTexts()) {
        EXPECT_TRUE(ids.insert(entry.id).second) << "duplicate id " << entry.id;
        EXPECT_GT(entry.id, 0);
        EXPECT_LE(Utf8ToCp1250(entry.utf8).size(), 254U) << entry.id;
    }
    for (const int missing : {0, -5, 99999}) {
        EXPECT_EQ(AppLoadStr(missing), "\x7F") << missing;
    }
}

TEST(StringTableTest, LoadIntoABufferCutsTheTextAndStaysTerminated) {
    std::array<char, 64> buf{};
    buf.fill('#');
    EXPECT_EQ(AppLoadStrBuf(135, buf), 17U);
    EXPECT_STREQ(buf.data(), "Hodnota mimo meze");
    buf.fill('#');
    EXPECT_EQ(AppLoadStrBuf(0, buf), 0U);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(AppLoadStrBuf(4242, buf), 21U);
    EXPECT_STREQ(buf.data(), "string resource error");

    std::array<char, 8> small{};
    small.fill('#');
    EXPECT_EQ(AppLoadStrBuf(4242, small), 7U);
    EXPECT_EQ(std::string(small.data()), "string ");
    std::array<char, 1> one{'#'};
    EXPECT_EQ(AppLoadStrBuf(135, one), 0U);
    EXPECT_EQ(one[0], '\0');
    std::array<char, 4> untouched{'a', 'b', 'c', 'd'};
    EXPECT_EQ(AppLoadStrBuf(135, std::span(untouched).first(0)), 0U);
    EXPECT_EQ(untouched[0], 'a');
}

TEST(StringTableTest, FormattedTextIsCodePage1250AndCutTo255) {
    const std::array<FormatArg, 3> args = {std::int64_t{21}, std::int64_t{10}, std::int64_t{20}};
    EXPECT_EQ(AppLoadStrFmt(158, args), "Hodnota 21 mimo meze <10;20>");
    const std::array<FormatArg, 3> hex = {std::int64_t{0x1FF}, std::int64_t{0}, std::int64_t{0xFF}};
    EXPECT_EQ(AppLoadStrFmt(156, hex), "Hodnota $1FF mimo meze <$0;$FF>");
    const std::array<FormatArg, 3> times = {std::string("25:00"), std::string("00:00"), std::string("23:59")};
    EXPECT_EQ(AppLoadStrFmt(155, times), "\xE8"
                                         "as 25:00 mimo meze <00:00;23:59>"); // one byte a letter
    EXPECT_EQ(AppLoadStrFmt(4242, args), "\x7F");

    const std::array<FormatArg, 3> longer = {std::string(300, 'a'), std::string("b"), std::string("c")};
    const std::string text = AppLoadStrFmt(159, longer);
    EXPECT_EQ(text.size(), 255U);
    EXPECT_EQ(text.substr(0, 8), "Hodnota ");
}

} // namespace
} // namespace ravlo
