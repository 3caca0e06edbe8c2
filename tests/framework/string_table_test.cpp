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
        EXPECT_TRUE(entry.id > 0 && ids.insert(entry.id).second) << "bad or duplicate id " << entry.id;
        EXPECT_LE(Utf8ToCp1250(entry.utf8).size(), 254U) << entry.id;
    }
    EXPECT_EQ(AppLoadStr(99999), "\x7F");
}

TEST(StringTableTest, LoadIntoABufferCutsTheTextAndStaysTerminated) {
    std::array<char, 64> buf{};
    buf.fill('#');
    EXPECT_EQ(AppLoadStrBuf(0, buf), 0U);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(AppLoadStrBuf(4242, buf), 21U);
    EXPECT_STREQ(buf.data(), "string resource error");
    std::array<char, 8> small{};
    small.fill('#');
    EXPECT_EQ(AppLoadStrBuf(135, small), 7U);
    EXPECT_EQ(std::string(small.data()), "Hodnota");
    std::array<char, 4> untouched{'a', 'b', 'c', 'd'};
    EXPECT_EQ(AppLoadStrBuf(135, std::span(untouched).first(0)), 0U);
    EXPECT_EQ(untouched[0], 'a');
}

TEST(StringTableTest, FormattedTextIsCodePage1250AndCutTo255) {
    const std::array<FormatArg, 3> times = {std::string("25:00"), std::string("00:00"), std::string("23:59")};
    EXPECT_EQ(AppLoadStrFmt(155, times), "\xE8"
                                         "as 25:00 mimo meze <00:00;23:59>"); // one byte a letter
    EXPECT_EQ(AppLoadStrFmt(4242, times), "\x7F");
    const std::array<FormatArg, 3> longer = {std::string(300, 'a'), std::string("b"), std::string("c")};
    const std::string text = AppLoadStrFmt(159, longer);
    EXPECT_EQ(text.size(), 255U);
    EXPECT_EQ(text.substr(0, 8), "Hodnota ");
}

} // namespace
} // namespace ravlo
