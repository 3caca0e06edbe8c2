#include "project/eprom_layout.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace ravlo {
namespace {

constexpr auto kV40 = TVokKind::VokV40;
constexpr auto k386 = TVokKind::Vok386EXR;
constexpr auto k188 = TVokKind::Vok188ER;
constexpr auto kHi = TEpromArea::Hi;
constexpr auto kLo = TEpromArea::Lo;
constexpr std::nullopt_t kNone = std::nullopt;

TEST(EpromPlaceTest, RunLandsAtItsOffsetInsideOneWindow) {
    // A run of size bytes at addr; size 0 only needs a placeable address.
    struct Case {
        TVokKind kind;
        int hi;
        int lo;
        std::uint32_t addr;
        std::uint32_t size;
        std::optional<TEpromPlace> expected;
    };
    const Case cases[] = {
        {kV40, 64, 0, 0xFE000, 0, TEpromPlace{kHi, 0xE000}},
        {kV40, 64, 0, 0xE0000, 0, kNone}, // below the 64 KB window
        {kV40, 128, 0, 0xE0000, 0, TEpromPlace{kHi, 0}},
        {kV40, 128, 0, 0xDFFFF, 0, kNone},
        {kV40, 256, 0, 0x80000, 0, TEpromPlace{kHi, 0}},
        {kV40, 256, 0, 0x88000, 0, kNone},
        {kV40, 256, 0, 0xC0000, 0, TEpromPlace{kHi, 0}},
        // $87F00 + $200 leaves the lower window, where no chip byte answers.
        {kV40, 256, 0, 0x87F00, 0x100, TEpromPlace{kHi, 0x7F00}},
        {kV40, 256, 0, 0x87F00, 0x200, kNone},
        {kV40, 256, 0, 0xFF000, 0x1000, TEpromPlace{kHi, 0x3F000}},
        {kV40, 256, 0, 0xFF000, 0x1001, kNone}, // past 1 MB
        {kV40, 512, 0, 0xFFFFF, 0, TEpromPlace{kHi, 0x7FFFF}},
        {kV40, 512, 0, 0x7FFFF, 0, kNone},
        {kV40, 512, 0, 0x100000, 1, kNone}, // $FFFF:$0010
        {kV40, 32, 0, 0xFE000, 0, kNone},
        {k386, 64, 64, 0xFD000, 0, TEpromPlace{kHi, 0x1D000}},
        {k386, 128, 128, 0xC8000, 0, TEpromPlace{kHi, 0x8000}},
        {k386, 128, 128, 0xA0000, 0, kNone},
        {k386, 256, 256, 0xFFF00, 0, TEpromPlace{kHi, 0x7FF00}},
        {k386, 256, 256, 0x7FFFF, 0, kNone},
        {k386, 32, 32, 0xF0000, 0, kNone}, // a 64 KB pair
        {k386, 256, 128, 0xC0000, 0, kNone},
        {k188, 64, 0, 0xFD000, 0, TEpromPlace{kHi, 0xD000}},
        {k188, 512, 256, 0x80000, 0, TEpromPlace{kHi, 0}},
        {k188, 512, 64, 0x70000, 0, TEpromPlace{kLo, 0}},
        {k188, 512, 64, 0x6FFFF, 0, kNone},
        {k188, 512, 128, 0x60000, 0, TEpromPlace{kLo, 0}},
        {k188, 512, 256, 0x7FFFF, 0, TEpromPlace{kLo, 0x3FFFF}},
        // The LO window ends at $80000, where the HI image starts.
        {k188, 512, 256, 0x7FF00, 0x200, kNone},
        {k188, 256, 0, 0x40000, 0, kNone}, // no LO chip
        {k188, 256, 0, 0x88000, 0, kNone},
        {TVokKind{0}, 512, 0, 0x80000, 0, kNone},
        {TVokKind{4}, 256, 256, 0xFE000, 0, kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EpromRunPlace({c.kind, c.hi, c.lo}, c.addr, c.size), c.expected)
            << static_cast<int>(c.kind) << " HI " << c.hi << " LO " << c.lo << std::hex << " $" << c.addr
            << " size $" << c.size;
    }
}

} // namespace
} // namespace ravlo
