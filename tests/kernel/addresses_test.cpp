#include "kernel/proc_adr.h"
#include "kernel/sys_addr.h"

#include <array>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace ravlo {
namespace {

// A wrongly shaped text clears the address; a bad field sets the error and keeps its old value.
TEST(ProcAdrTest, TextFormAndParsingInEitherCase) {
    EXPECT_EQ(ProcAdrStr(TProcAdr{0x8F, 0xAB, 0xC0DE}), "[8F,AB,C0DE]");
    const struct {
        const char* text;
        TProcAdr adr;
        bool err;
    } cases[] = {{"[70,00,0001]", {0x70, 0, 1}, false},
                 {"[8f,fe,c0de]", {0x8F, 0xFE, 0xC0DE}, false},
                 {"[FF,FF,FFFF]", {0xFF, 0xFF, 0xFFFF}, false},
                 {"[70,00,001]", {}, true},
                 {"[70,00,00001]", {}, true},
                 {"(70,00,0001]", {}, true},
                 {"[70;00,0001]", {}, true},
                 {"[70,00;0001]", {}, true},
                 {"[70,00,0001)", {}, true},
                 {"", {}, true},
                 {"[7G,05,0001]", {0x11, 5, 1}, true},
                 {"[70,00,12 4]", {0x70, 0, 0x3333}, true},
                 {"[-1,00,0001]", {0x11, 0, 1}, true}};
    for (const auto& c : cases) {
        TProcAdr adr{0x11, 0x22, 0x3333};
        bool err = !c.err;
        StrToProcAdr(adr, c.text, err);
        EXPECT_EQ(err, c.err) << c.text;
        EXPECT_EQ(adr, c.adr) << c.text;
    }
}

TEST(ProcAdrTest, WireBytesAreLittleEndian) {
    std::array<std::uint8_t, 4> bytes{};
    WriteProcAdr(bytes, TProcAdr{0x87, 0x03, 0x2001});
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{0x87, 0x03, 0x01, 0x20}));
    EXPECT_EQ(ReadProcAdr(bytes), (TProcAdr{0x87, 0x03, 0x2001}));
}

using Range = std::tuple<WindowHandle, std::uint16_t, std::uint16_t>; // handle, LogALo, LogAHi

std::vector<Range> Ranges(const TSysAddrColl& coll) {
    std::vector<Range> out;
    for (const TSysAddrMember& member : coll.Members()) {
        out.emplace_back(member.Handle, member.LogALo, member.LogAHi);
    }
    return out;
}

TEST(SysAddrTest, RangesOfOneWindowAreWidenedAndRangesOfAnotherAreRefused) {
    TSysAddrColl coll;
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2000, 0x20FF));
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2080, 0x2180));
    ASSERT_TRUE(coll.Register("AUX", 9, {}, {}, 0x2300, 0x23FF));
    EXPECT_FALSE(coll.Register("OTHER", 8, {}, {}, 0x2080, 0x2180));
    EXPECT_FALSE(coll.Register("MAIN", 7, {}, {}, 0x2100, 0x2300)) << "overlaps its own range and another's";
    EXPECT_FALSE(coll.Register("BAD", 10, {}, {}, 0x5000, 0x4000)) << "empty range";
    EXPECT_FALSE(coll.Register("BAD", kNoWindow, {}, {}, 0x6000, 0x6000)) << "no window";
    EXPECT_EQ(Ranges(coll), (std::vector<Range>{{7, 0x2000, 0x2180}, {9, 0x2300, 0x23FF}}));
    // A range that touches none of its ranges gets a member of its own.
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2181, 0x2200));
    EXPECT_EQ(Ranges(coll),
              (std::vector<Range>{{7, 0x2000, 0x2180}, {9, 0x2300, 0x23FF}, {7, 0x2181, 0x2200}}));
    EXPECT_EQ(coll.GetHandle(0x2000), 7u);
    EXPECT_EQ(coll.GetHandle(0x2200), 7u);
    EXPECT_EQ(coll.GetHandle(0x1FFF), kNoWindow);
    EXPECT_EQ(coll.GetHandle(0x2201), kNoWindow);
}

TEST(SysAddrTest, GlobalRegistryTickAndCloseCheck) {
    bool err = false;
    RegisterSysAddr("MAIN", 7, err, {}, {}, 0, 1);
    EXPECT_TRUE(err) << "no registry yet";
    EXPECT_EQ(GetSysAddrHandle(0), kNoWindow);
    SysAddrTickAll();
    EXPECT_TRUE(SysAddrCanCloseAll());

    TSysAddrColl coll;
    ScopedSysAddrColl guard(coll);
    std::vector<std::string> order;
    int closeAsked = 0;
    RegisterSysAddr(
        "MAIN", 7, err, [&] { return ++closeAsked, false; }, [&] { order.push_back("MAIN"); }, 0x2000,
        0x20FF);
    EXPECT_FALSE(err);
    RegisterSysAddr(
        "AUX", 9, err, [&] { return ++closeAsked, true; }, [&] { order.push_back("AUX"); }, 0x3000, 0x30FF);
    RegisterSysAddr("QUIET", 11, err, {}, {}, 0x4000, 0x40FF);
    EXPECT_FALSE(err);
    RegisterSysAddr("CLASH", 12, err, {}, {}, 0x3050, 0x3050);
    EXPECT_TRUE(err);

    EXPECT_EQ(GetSysAddrHandle(0x3001), 9u);
    SysAddrTickAll();
    EXPECT_EQ(order, (std::vector<std::string>{"MAIN", "AUX"}));
    EXPECT_FALSE(SysAddrCanCloseAll());
    EXPECT_EQ(closeAsked, 2) << "every window is asked";
}

} // namespace
} // namespace ravlo
