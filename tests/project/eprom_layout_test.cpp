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

struct PlaceCase {
    TVokKind kind;
    int hi;
    int lo;
    std::uint32_t addr;
    std::optional<TEpromPlace> expected;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << "kind " << int(c.kind) << " HI " << c.hi << " LO " << c.lo << " addr $" << std::hex << c.addr;
}

class EpromPlaceTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(EpromPlaceTest, AddressLandsAtItsOffset) {
    const PlaceCase& c = GetParam();
    EXPECT_EQ(EpromPlace({c.kind, c.hi, c.lo}, c.addr), c.expected);
}

constexpr std::nullopt_t kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(EpromVokV40, EpromPlaceTest,
                         ::testing::Values(PlaceCase{kV40, 64, 0, 0xFE000, TEpromPlace{kHi, 0xE000}},
                                           PlaceCase{kV40, 64, 0, 0xF0000, TEpromPlace{kHi, 0}},
                                           PlaceCase{kV40, 64, 0, 0xE0000, kNone}, // below the 64 KB window
                                           PlaceCase{kV40, 128, 0, 0xE0000, TEpromPlace{kHi, 0}},
                                           PlaceCase{kV40, 128, 0, 0xDFFFF, kNone},
                                           PlaceCase{kV40, 256, 0, 0x80000, TEpromPlace{kHi, 0}},
                                           PlaceCase{kV40, 256, 0, 0x87FFF, TEpromPlace{kHi, 0x7FFF}},
                                           PlaceCase{kV40, 256, 0, 0x88000, kNone},
                                           PlaceCase{kV40, 256, 0, 0x90000, kNone},
                                           PlaceCase{kV40, 256, 0, 0xC0000, TEpromPlace{kHi, 0}},
                                           PlaceCase{kV40, 256, 0, 0xFFFFF, TEpromPlace{kHi, 0x3FFFF}},
                                           PlaceCase{kV40, 512, 0, 0x80000, TEpromPlace{kHi, 0}},
                                           PlaceCase{kV40, 512, 0, 0xFFFFF, TEpromPlace{kHi, 0x7FFFF}},
                                           PlaceCase{kV40, 512, 0, 0x7FFFF, kNone},
                                           PlaceCase{kV40, 32, 0, 0xFE000, kNone}));

INSTANTIATE_TEST_SUITE_P(EpromVok386EXR, EpromPlaceTest,
                         ::testing::Values(PlaceCase{k386, 64, 64, 0xE0000, TEpromPlace{kHi, 0}},
                                           PlaceCase{k386, 64, 64, 0xFD000, TEpromPlace{kHi, 0x1D000}},
                                           PlaceCase{k386, 128, 128, 0x80000, TEpromPlace{kHi, 0}},
                                           PlaceCase{k386, 128, 128, 0xC8000, TEpromPlace{kHi, 0x8000}},
                                           PlaceCase{k386, 128, 128, 0xA0000, kNone},
                                           PlaceCase{k386, 256, 256, 0x80000, TEpromPlace{kHi, 0}},
                                           PlaceCase{k386, 256, 256, 0xFFF00, TEpromPlace{kHi, 0x7FF00}},
                                           PlaceCase{k386, 256, 256, 0x7FFFF, kNone},
                                           PlaceCase{k386, 32, 32, 0xF0000,
                                                     kNone}, // a 64 KB pair has no window
                                           PlaceCase{k386, 256, 128, 0xC0000, kNone}));

INSTANTIATE_TEST_SUITE_P(EpromVok188ER, EpromPlaceTest,
                         ::testing::Values(PlaceCase{k188, 64, 0, 0xFD000, TEpromPlace{kHi, 0xD000}},
                                           PlaceCase{k188, 512, 256, 0x80000, TEpromPlace{kHi, 0}},
                                           PlaceCase{k188, 512, 64, 0x70000, TEpromPlace{kLo, 0}},
                                           PlaceCase{k188, 512, 64, 0x6FFFF, kNone},
                                           PlaceCase{k188, 512, 128, 0x60000, TEpromPlace{kLo, 0}},
                                           PlaceCase{k188, 512, 256, 0x40000, TEpromPlace{kLo, 0}},
                                           PlaceCase{k188, 512, 256, 0x7FFFF, TEpromPlace{kLo, 0x3FFFF}},
                                           PlaceCase{k188, 256, 0, 0x40000, kNone}, // no LO chip
                                           PlaceCase{k188, 256, 0, 0x88000, kNone}));

INSTANTIATE_TEST_SUITE_P(EpromOtherKinds, EpromPlaceTest,
                         ::testing::Values(PlaceCase{TVokKind{0}, 512, 0, 0x80000, kNone},
                                           PlaceCase{TVokKind{4}, 256, 256, 0xFE000, kNone}));

TEST(EpromLayout, AreaSizesFollowTheChips) {
    EXPECT_EQ(EpromAreaSize({kV40, 128, 0}, kHi), 0x20000U);
    EXPECT_EQ(EpromAreaSize({kV40, 128, 0}, kLo), 0U);
    // The 16-bit board has one image over both chips.
    EXPECT_EQ(EpromAreaSize({k386, 128, 128}, kHi), 0x40000U);
    EXPECT_EQ(EpromAreaSize({k386, 128, 128}, kLo), 0U);
    EXPECT_EQ(EpromAreaSize({k188, 512, 64}, kLo), 0x10000U);
    EXPECT_EQ(EpromAreaSize({TVokKind{0}, 512, 64}, kHi), 0U);
}

TEST(EpromLayout, RunMustStayInsideOneWindowOfTheImage) {
    const TEpromChips v40{kV40, 256, 0};
    EXPECT_EQ(EpromRunPlace(v40, 0xFF000, 0x1000), (TEpromPlace{kHi, 0x3F000}));
    // One byte more runs past the top of the address space and the image.
    EXPECT_FALSE(EpromRunPlace(v40, 0xFF000, 0x1001));
    // $87F00 + $200 leaves the lower window at $88000, where no chip byte answers.
    EXPECT_FALSE(EpromRunPlace(v40, 0x87F00, 0x200));
    EXPECT_TRUE(EpromRunPlace(v40, 0x87F00, 0x100));
    // An empty entry only needs a placeable address.
    EXPECT_TRUE(EpromRunPlace(v40, 0xC0000, 0));
    EXPECT_FALSE(EpromRunPlace(v40, 0x90000, 0));
    // A linear address past 1 MB (a far pointer such as $FFFF:$0010) is outside every image.
    EXPECT_FALSE(EpromRunPlace({kV40, 512, 0}, 0x100000, 1));
    EXPECT_FALSE(EpromRunPlace({kV40, 512, 0}, 0xFFFFF, 2));
    // The LO window of the 188 board ends at $80000, where the HI image starts.
    EXPECT_FALSE(EpromRunPlace({k188, 512, 256}, 0x7FF00, 0x200));
}

TEST(EpromLayout, SizeListsOfEachKind) {
    const auto texts = [](std::span<const std::string_view> list) {
        return std::vector<std::string_view>(list.begin(), list.end());
    };
    using V = std::vector<std::string_view>;
    EXPECT_EQ(texts(HiSizeTexts(kV40)), (V{"128 KB (x010)", "256 KB (x020)", "512 KB (x040)"}));
    EXPECT_TRUE(LoSizeTexts(kV40).empty());
    EXPECT_EQ(texts(LoSizeTexts(k386)), texts(HiSizeTexts(k386)));
    EXPECT_EQ(texts(HiSizeTexts(k188)),
              (V{"  64 KB (x512)", "128 KB (x010)", "256 KB (x020)", "512 KB (x040)"}));
    EXPECT_EQ(texts(LoSizeTexts(k188)),
              (V{"    0 KB (none)", "  64 KB (x512)", "128 KB (x010)", "256 KB (x020)"}));

    EXPECT_EQ(HiSizeOfText("  64 KB (x512)"), 64);
    EXPECT_EQ(HiSizeOfText("512 KB (x040)"), 512);
    EXPECT_FALSE(HiSizeOfText("    0 KB (none)"));
    EXPECT_EQ(LoSizeOfText("    0 KB (none)"), 0);
    EXPECT_FALSE(LoSizeOfText("512 KB (x040)"));
    EXPECT_EQ(SizeTextIn(LoSizeTexts(k188), 0), "    0 KB (none)");
    EXPECT_FALSE(SizeTextIn(HiSizeTexts(kV40), 64));
}

TEST(EpromLayout, BoardRomAddressesAndLimits) {
    EXPECT_EQ(BoardRomLayout(kV40)->BiosAddr, 0xFE000U);
    EXPECT_EQ(BoardRomLayout(kV40)->SetupAddr, 0U);
    EXPECT_EQ(BoardRomLayout(kV40)->BiosMaxSize, 8192U);
    EXPECT_EQ(BoardRomLayout(k386)->BiosAddr, 0xFD000U);
    EXPECT_EQ(BoardRomLayout(k386)->SetupAddr, 0xFFF00U);
    EXPECT_EQ(BoardRomLayout(k386)->SetupSize, 13U);
    EXPECT_EQ(BoardRomLayout(k188)->SetupAddr, 0xFFE00U);
    EXPECT_EQ(BoardRomLayout(k188)->SetupSize, 32U);
    EXPECT_EQ(BoardRomLayout(k188)->BiosMaxSize, 12288U);
    EXPECT_FALSE(BoardRomLayout(TVokKind{0}));
}

} // namespace
} // namespace ravlo
