#include "framework/board_address.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(BoardAddressTest, FarPointersAndLinearAddresses) {
    const TSegOfsPtr resetVector = MakeFarPtr(0xFFF0, 0xF000);
    EXPECT_EQ(FarPtrToStr(resetVector), "$F000:FFF0");
    EXPECT_EQ(FarPtrToLin(resetVector), 0xFFFF0u);
    EXPECT_EQ(LinToStr(0x123456), "$23456"); // the low 20 bits
    EXPECT_EQ(LinToFarPtr(0x12345), MakeFarPtr(5, 0x1234));
    EXPECT_EQ(FarPtrToLin(MakeFarPtr(0xFFFF, 0xFFFF)), 0x10FFEFu);
    EXPECT_EQ(TSegOfsPtr::FromPacked(0xF000FFF0u), resetVector);
    EXPECT_EQ(resetVector.Packed(), 0xF000FFF0u);
    EXPECT_EQ(LinToFarPtrChk(0xFFFFF), MakeFarPtr(0xF, 0xFFFF));
    EXPECT_THROW(LinToFarPtrChk(0x100000), ERangeError);
    EXPECT_THROW(LinToFarPtrChk(0xFFFFFFFF), ERangeError);
}

TEST(BoardAddressTest, TypedAddresses) {
    const TSegOfsPtr expected = MakeFarPtr(0xFFF0, 0xF000);
    for (const char* text : {"F000:FFF0", "$F000:$FFF0", " f000 : fff0 ", "$f000:FFF0"}) {
        bool err = true;
        EXPECT_EQ(StrToFarPtr(text, err), expected) << text;
        EXPECT_FALSE(err) << text;
    }
    struct Case {
        const char* text;
        TSegOfsPtr result;
    };
    for (const Case& c : {Case{"", {}}, Case{"  ", {}}, Case{":", {}}, Case{"1234:", MakeFarPtr(0, 0x1234)},
                          Case{":12", MakeFarPtr(0x12, 0)}, Case{"FFFF0", MakeFarPtr(0, 0xFFFF)},
                          Case{"$12345", MakeFarPtr(5, 0x1234)}, Case{"FFFFF", MakeFarPtr(0xF, 0xFFFF)}}) {
        bool err = true;
        EXPECT_EQ(StrToFarPtr(c.text, err), c.result) << c.text;
        EXPECT_FALSE(err) << c.text;
    }
}

TEST(BoardAddressTest, TypedAddressesThatWouldWrapAreErrors) {
    for (const char* text : {"10000:0", "0:10000", "1FFFF:FFFF", "100000", "123456789", "$FFFFFFFF", "G000:0",
                             "0:G", "-1", "$-1:0", "1:2:3", "$", "F000 FFF0"}) {
        bool err = false;
        EXPECT_EQ(StrToFarPtr(text, err), TSegOfsPtr{}) << text;
        EXPECT_TRUE(err) << text;
    }
}

TEST(BoardAddressTest, HexStrToDWordReadsEveryTextAsHex) {
    bool err = true;
    for (const auto& [text, value] :
         {std::pair{"", 0u}, {"  12  ", 0x12u}, {"$ff", 0xFFu}, {"FFFFFFFF", ~0u}}) {
        EXPECT_EQ(HexStrToDWord(text, err), value) << text;
        EXPECT_FALSE(err) << text;
    }
    for (const char* text : {"1G", "100000000", "$", "$$1", "-1", "1 2"}) {
        HexStrToDWord(text, err);
        EXPECT_TRUE(err) << text;
    }
}

} // namespace
} // namespace ravlo
