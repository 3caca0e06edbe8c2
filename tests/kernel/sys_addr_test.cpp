#include "kernel/sys_addr.h"

#include <gtest/gtest.h>
#include <vector>

namespace ravlo {
namespace {

struct Range {
    WindowHandle handle;
    std::uint16_t lo;
    std::uint16_t hi;
    bool operator==(const Range&) const = default;
};

std::vector<Range> Ranges(const TSysAddrColl& coll) {
    std::vector<Range> out;
    for (const TSysAddrMember& member : coll.Members()) {
        out.push_back({member.Handle, member.LogALo, member.LogAHi});
    }
    return out;
}

TEST(SysAddrTest, HandlesByLogicalAddress) {
    TSysAddrColl coll;
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2000, 0x20FF));
    ASSERT_TRUE(coll.Register("AUX", 9, {}, {}, 0x3000, 0x3000));
    EXPECT_EQ(coll.GetHandle(0x2000), 7u);
    EXPECT_EQ(coll.GetHandle(0x20FF), 7u);
    EXPECT_EQ(coll.GetHandle(0x2100), kNoWindow);
    EXPECT_EQ(coll.GetHandle(0x1FFF), kNoWindow);
    EXPECT_EQ(coll.GetHandle(0x3000), 9u);
}

TEST(SysAddrTest, OverlappingRangesOfOneWindowAreWidened) {
    TSysAddrColl coll;
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2000, 0x20FF));
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2080, 0x2180));
    EXPECT_EQ(Ranges(coll), (std::vector<Range>{{7, 0x2000, 0x2180}}));
    // A range that touches none of its ranges gets a member of its own.
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2181, 0x2200));
    EXPECT_EQ(Ranges(coll), (std::vector<Range>{{7, 0x2000, 0x2180}, {7, 0x2181, 0x2200}}));
}

TEST(SysAddrTest, ARangeTakenByAnotherWindowIsRefusedWithoutWideningAnything) {
    TSysAddrColl coll;
    ASSERT_TRUE(coll.Register("MAIN", 7, {}, {}, 0x2000, 0x20FF));
    ASSERT_TRUE(coll.Register("AUX", 9, {}, {}, 0x2200, 0x22FF));
    EXPECT_FALSE(coll.Register("OTHER", 8, {}, {}, 0x2080, 0x2180));
    // Overlaps its own range and another window's: nothing changes.
    EXPECT_FALSE(coll.Register("MAIN", 7, {}, {}, 0x2080, 0x2200));
    EXPECT_EQ(Ranges(coll), (std::vector<Range>{{7, 0x2000, 0x20FF}, {9, 0x2200, 0x22FF}}));

    EXPECT_FALSE(coll.Register("BAD", 10, {}, {}, 0x5000, 0x4000)) << "empty range";
    EXPECT_FALSE(coll.Register("BAD", kNoWindow, {}, {}, 0x6000, 0x6000)) << "no window";
    EXPECT_EQ(coll.Members().size(), 2u);
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
