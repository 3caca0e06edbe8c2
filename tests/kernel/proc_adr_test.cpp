#include "kernel/proc_adr.h"

#include <array>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(ProcAdrTest, TextFormIsTwelveUpperCaseCharacters) {
    EXPECT_EQ(ProcAdrStr(TProcAdr{}), "[00,00,0000]");
    EXPECT_EQ(ProcAdrStr(TProcAdr{0x8F, 0xAB, 0xC0DE}), "[8F,AB,C0DE]");
    EXPECT_EQ(ProcAdrStr(TProcAdr{PRI_All, 0xFE, 0xFFFF}), "[FF,FE,FFFF]");
}

TEST(ProcAdrTest, ParsesTheTextFormInEitherCase) {
    TProcAdr adr;
    bool err = true;
    StrToProcAdr(adr, "[70,00,0001]", err);
    EXPECT_FALSE(err);
    EXPECT_EQ(adr, (TProcAdr{0x70, 0, 1}));

    StrToProcAdr(adr, "[8f,fe,c0de]", err);
    EXPECT_FALSE(err);
    EXPECT_EQ(adr, (TProcAdr{0x8F, 0xFE, 0xC0DE}));

    // Round trip over a spread of addresses.
    for (const TProcAdr original :
         {TProcAdr{1, 2, 3}, TProcAdr{0xFF, 0xFF, 0xFFFF}, TProcAdr{0x10, 0, 0x2001}}) {
        TProcAdr back;
        StrToProcAdr(back, ProcAdrStr(original), err);
        EXPECT_FALSE(err);
        EXPECT_EQ(back, original);
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
    EXPECT_EQ(adr.Ident, 0x11) << "the bad field keeps its value";
    EXPECT_EQ(adr.XInst, 5);
    EXPECT_EQ(adr.LogA, 1);

    StrToProcAdr(adr, "[70,00,12 4]", err);
    EXPECT_TRUE(err) << "a blank is no hex digit";
    EXPECT_EQ(adr.Ident, 0x70);
    EXPECT_EQ(adr.LogA, 1);

    StrToProcAdr(adr, "[-1,00,0001]", err);
    EXPECT_TRUE(err) << "a sign is no hex digit";
}

TEST(ProcAdrTest, HexHelpersAndWireBytes) {
    EXPECT_EQ(HexNibChr(0x1C), 'C');
    EXPECT_EQ(HexByteStr(0x0A), "0A");
    EXPECT_EQ(HexWordStr(0x2001), "2001");

    std::array<std::uint8_t, 4> bytes{};
    WriteProcAdr(bytes, TProcAdr{0x87, 0x03, 0x2001});
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{0x87, 0x03, 0x01, 0x20}));
    EXPECT_EQ(ReadProcAdr(bytes), (TProcAdr{0x87, 0x03, 0x2001}));
}

} // namespace
} // namespace ravlo
