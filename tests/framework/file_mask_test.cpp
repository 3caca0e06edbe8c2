#include "framework/file_mask.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(FileMaskTest, WildcardsAndCase) {
    EXPECT_TRUE(MatchesMask("SL12", "SL*"));
    EXPECT_TRUE(MatchesMask("sl12", "SL*"));
    EXPECT_TRUE(MatchesMask("SL", "SL*"));
    EXPECT_FALSE(MatchesMask("XSL12", "SL*"));
    EXPECT_TRUE(MatchesMask("SL12", "S?1?"));
    EXPECT_FALSE(MatchesMask("SL1", "S?1?"));
    EXPECT_TRUE(MatchesMask("COMPORTX", "*PORT*"));
    EXPECT_TRUE(MatchesMask("ABCABD", "*AB?"));
    EXPECT_FALSE(MatchesMask("ABCABD", "*ABC"));
    EXPECT_TRUE(MatchesMask("", "*"));
    EXPECT_FALSE(MatchesMask("A", ""));
    EXPECT_TRUE(MatchesMask("MA^03", "MA^*"));
    // Code page 1250 letters fold too ("č"/"Č").
    EXPECT_TRUE(MatchesMask("\xE8"
                            "ip",
                            "\xC8*"));
}

TEST(FileMaskTest, Sets) {
    EXPECT_TRUE(MatchesMask("SL1", "SL[0-9]"));
    EXPECT_FALSE(MatchesMask("SLX", "SL[0-9]"));
    EXPECT_TRUE(MatchesMask("SLx", "SL[XYZ]"));
    EXPECT_TRUE(MatchesMask("SLA", "SL[!0-9]"));
    EXPECT_FALSE(MatchesMask("SL5", "SL[!0-9]"));
    EXPECT_TRUE(MatchesMask("A-", "A[-]"));
    EXPECT_TRUE(MatchesMask("SL12", "SL[0-9]*"));
    // A set without its "]" matches nothing, not even itself.
    EXPECT_FALSE(MatchesMask("SL[1", "SL[1"));
    EXPECT_FALSE(MatchesMask("SL1", "SL[1"));
}

} // namespace
} // namespace ravlo
