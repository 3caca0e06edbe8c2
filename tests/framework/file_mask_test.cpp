#include "framework/file_mask.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(FileMaskTest, WildcardsSetsAndCase) {
    const struct {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"SL12", "SL*", true},
        {"sl12", "SL*", true},
        {"SL", "SL*", true},
        {"XSL12", "SL*", false},
        {"SL12", "S?1?", true},
        {"SL1", "S?1?", false},
        {"COMPORTX", "*PORT*", true},
        {"ABCABD", "*AB?", true},
        {"ABCABD", "*ABC", false},
        {"", "*", true},
        {"A", "", false},
        {"MA^03", "MA^*", true},
        {"\xE8ip", "\xC8*", true}, // code page 1250 letters fold too ("č"/"Č")
        {"SL1", "SL[0-9]", true},
        {"SLX", "SL[0-9]", false},
        {"SLx", "SL[XYZ]", true},
        {"SLA", "SL[!0-9]", true},
        {"SL5", "SL[!0-9]", false},
        {"A-", "A[-]", true},
        {"SL12", "SL[0-9]*", true},
        {"SL[1", "SL[1", false}, // a set without its "]" matches nothing, not even itself
        {"SL1", "SL[1", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " " << c.mask;
    }
}

} // namespace
} // namespace ravlo
