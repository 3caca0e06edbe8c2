#include "kernel/proc_adr.h"

#include <array>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(ProcAdrTest, TextFormIsTwelveUpperCaseCharactersAndParsesInEitherCase) {
    EXPECT_EQ(ProcAdrStr(TProcAdr{}), "[00,00,0000]");
    EXPECT_EQ(ProcAdrStr(TProcAdr{0x8F, 0xAB, 0xC0DE}), "[8F,AB,C0DE]");
    const struct {
        const char* text;
        TProcAdr adr;
    } cases[] = {{"[70,00,0001]", {0x70, 0, 1}},
                 {"[8f,fe,c0de]", {0x8F, 0xFE, 0xC0DE}},
                 {"[FF,FF,FFFF]", {0xFF, 0xFF, 0xFFFF}},
                 {"[10,00,2001]", {0x10, 0, 0x2001}}};
    for (const auto& c : cases) {
        TProcAdr adr;
        bool err = true;
        StrToProcAdr(adr, c.text, err);
        EXPECT_FALSE(err) << c.text;
        EXPECT_EQ(adr, c.adr) << c.text;
    }
}

TEST(ProcAdrTest, AWronglyShapedTextClearsTheAddress) {
    for (const char* text : {"[70,00,001]", "[70,00,00001]", "(70,00,0001]", "[70;00,0001]", "[70,00;0001]",
                             "[70,00,0001)", ""}) {
        TProcAdr adr{1, 2, 3};
        bool err = false;
        StrToProcAdr(adr, text, err);
        EXPECT_TRUE(err) << text;
        EXPECT_EQ(adr, TProcAdr{}) << text;
    }
}

TEST(ProcAdrTest, ABadFieldSetsTheErrorButTheOthersAreTaken) {
    TProcAdr adr{0x11, 0x22, 0x3333};
    bool err = false;
    StrToProcAdr(adr, "[7G,05,0001]", err);
    EXPECT_TRUE(err);
    EXPECT_EQ(adr, (TProcAdr{0x11, 5, 1})) << "the bad field keeps its value";
    StrToProcAdr(adr, "[70,00,12 4]", err);
    EXPECT_TRUE(err) << "a blank is no hex digit";
    EXPECT_EQ(adr, (TProcAdr{0x70, 0, 1}));
    StrToProcAdr(adr, "[-1,00,0001]", err);
    EXPECT_TRUE(err) << "a sign is no hex digit";
}

TEST(ProcAdrTest, WireBytesAreLittleEndian) {
    std::array<std::uint8_t, 4> bytes{};
    WriteProcAdr(bytes, TProcAdr{0x87, 0x03, 0x2001});
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{0x87, 0x03, 0x01, 0x20}));
    EXPECT_EQ(ReadProcAdr(bytes), (TProcAdr{0x87, 0x03, 0x2001}));
}

} // namespace
} // namespace ravlo
