#include "project/eprom_checks.h"
#include "project/eprom_image.h"
#include "project/project_test_support.h"
#include "support/eprom_fixtures.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::BiosBytes;
using testing::CountingBytes;
using Bytes = std::vector<std::uint8_t>;
using Type = TRomModuleType;

constexpr auto kV40 = TVokKind::VokV40;
constexpr auto k386 = TVokKind::Vok386EXR;
constexpr auto k188 = TVokKind::Vok188ER;
constexpr auto kHi = TEpromArea::Hi;
constexpr auto kLo = TEpromArea::Lo;
constexpr std::nullopt_t kNone = std::nullopt;

TEST(EpromPlaceTest, RunLandsAtItsOffsetInsideOneWindow) {
    // Board kind, HI and LO chip KB, then a run of size bytes at addr; size 0 only needs a placeable address.
    const std::tuple<TVokKind, int, int, std::uint32_t, std::uint32_t, std::optional<TEpromPlace>> cases[] = {
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
    for (const auto& [kind, hi, lo, addr, size, expected] : cases) {
        EXPECT_EQ(EpromRunPlace({kind, hi, lo}, addr, size), expected)
            << static_cast<int>(kind) << " HI " << hi << " LO " << lo << std::hex << " $" << addr << " size $"
            << size;
    }
}

Bytes ToBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// Bytes of the image that differ from $FF, by offset.
std::map<std::size_t, std::uint8_t> Programmed(const Bytes& image) {
    std::map<std::size_t, std::uint8_t> used;
    for (std::size_t i = 0; i < image.size(); ++i) {
        if (image[i] != 0xFF) {
            used[i] = image[i];
        }
    }
    return used;
}

class EpromImageTest : public testing::ProjectTest {
protected:
    // An entry of the list, its file NAME.BIN unless given.
    void Add(const std::string& name, std::uint32_t addr, std::uint32_t size, Type type,
             const std::string& file = {}) {
        list_.Insert(std::make_unique<tRomModule>(
            tRomModule{name, addr, size, type, file.empty() ? name + ".BIN" : file}));
    }
    // An entry together with its file of these bytes.
    void AddFile(const std::string& name, std::uint32_t addr, std::string_view bytes,
                 Type type = Type::UserBin) {
        dir_.Write(name + ".BIN", bytes);
        Add(name, addr, static_cast<std::uint32_t>(bytes.size()), type);
    }
    void Remove(std::string_view name) {
        list_.Remove(list_.FirstThat([&](const tRomModule& m) { return m.Name == name; }));
    }
    std::string Check() const { return CheckEpromComposition(list_, chips_); }
    TEpromComposition Compose() const { return ComposeEpromImages(list_, chips_); }

    tRomModuleList list_;
    TEpromChips chips_{kV40, 256, 0};
};

class EpromChecksTest : public EpromImageTest {};

TEST_F(EpromChecksTest, FindingsComeInTheirOrder) {
    EXPECT_EQ(Check(), "No modules defined!");

    chips_.HiKb = 32;
    Add("ROM", 0xC8000, 0x100, Type::Application);
    AddFile("USR", 0xC8080, CountingBytes(0x100));
    Add("BIOS", 0xFE000, 4096, Type::Bios, "bios/V40.BIN");
    AddFile("SET", 0xFFF00, CountingBytes(13), Type::BiosSetup);
    AddFile("FAR", 0x90000, CountingBytes(0x10));
    EXPECT_EQ(Check(), "Module \"ROM\" overlaps \"USR\"!");

    Remove("USR");
    AddFile("USR", 0xD0000, CountingBytes(0x100));
    EXPECT_EQ(Check(), "(E)EPROM HI has incorrect size (must be 64,128,256 or 512KB)!");

    chips_.HiKb = 256;
    EXPECT_EQ(Check(), "Incorrect BIOS file:\r\nFile must contain \"Bios monitor\" string!");

    std::filesystem::create_directory(File("bios"));
    dir_.Write("bios/V40.BIN", BiosBytes(kV40));
    EXPECT_EQ(Check(), "VokV40 must not have Setup!");

    Remove("SET");
    EXPECT_EQ(Check(), "Module address \"FAR\" is out of (E)EPROM!");

    Remove("FAR");
    EXPECT_EQ(Check(), "File \"" + File("ROM.BIN").string() + "\" does not exist!");

    dir_.Write("ROM.BIN", CountingBytes(0x80));
    EXPECT_EQ(Check(), "File \"" + File("ROM.BIN").string() + "\" is not 256 bytes large any more!");

    dir_.Write("ROM.BIN", CountingBytes(0x100));
    EXPECT_EQ(Check(), "");
}

TEST_F(EpromChecksTest, OverlapsOnTheChipCountAndOnlyBiosAndSetupMayShareBytes) {
    // With 256 KB, $80000 and $C0000 both land at offset 0 of the one chip.
    AddFile("LOW", 0x80000, CountingBytes(0x100));
    AddFile("HIGH", 0xC0080, CountingBytes(0x100));
    AddFile("EMPTY", 0xC0090, ""); // an empty entry overlaps nothing
    EXPECT_EQ(Check(), "Module \"LOW\" overlaps \"HIGH\"!");
    chips_.HiKb = 512; // different bytes now
    EXPECT_EQ(Check(), "");

    chips_ = {k386, 128, 128};
    list_.DeleteAll();
    AddFile("B386", 0xFD000, BiosBytes(k386, 12288), Type::Bios);
    AddFile("S386", 0xFFF00, CountingBytes(13), Type::BiosSetup);
    EXPECT_EQ(Check(), "");
    AddFile("APP", 0xFC000, CountingBytes(0x1001), Type::Application);
    EXPECT_EQ(Check(), "Module \"APP\" overlaps \"B386\"!");
}

TEST_F(EpromChecksTest, ChipAndSetupSizesOfTheTwoChipBoards) {
    AddFile("A", 0xFF000, CountingBytes(0x100));
    AddFile("S", 0xFFF00, CountingBytes(32), Type::BiosSetup);
    const std::string setup = "Incorrect size of Setup"; // 13 bytes on the 386 board, 32 on the 188
    const std::vector<std::tuple<TVokKind, int, int, std::string>> cases = {
        {k386, 512, 512, "(E)EPROM HI has incorrect size (must be 64,128 or 256KB)!"},
        {k386, 128, 256, "(E)EPROM LO has incorrect size (must be the same as HI)!"},
        {k386, 64, 64, setup},
        {k188, 100, 0, "(E)EPROM HI has incorrect size (must be 64,128,256 or 512KB)!"},
        {k188, 256, 256, "If (E)EPROM HI is less than 512KB, (E)EPROM LO must be 0KB!"},
        {k188, 512, 512, "(E)EPROM LO has incorrect size (must be 0,64,128 or 256KB)!"},
        {k188, 512, 64, ""},
        {k188, 64, 0, ""},
    };
    for (const auto& [kind, hi, lo, finding] : cases) {
        chips_ = {kind, hi, lo};
        EXPECT_EQ(Check(), finding) << static_cast<int>(kind) << " " << hi << "/" << lo;
    }
}

TEST_F(EpromChecksTest, BiosFileOfEachBoardKind) {
    const std::string must = "File must contain \"";
    // The markers are exact bytes: case counts, and the first missing one is named.
    const std::vector<std::tuple<TVokKind, std::string, std::string>> cases = {
        {kV40, BiosBytes(kV40, 8192), ""},
        {kV40, BiosBytes(kV40, 8193), "BIOS for VokV40 must not be greater than 8KB!"},
        {k386, BiosBytes(k386, 12289), "BIOS for Vok386 must not be greater than 12KB!"},
        {k188, BiosBytes(k188, 12289), "BIOS for Vok188 must not be greater than 12KB!"},
        {kV40, "bios monitor Marbex(c)", must + "Bios monitor\" string!"},
        {kV40, "Bios monitor Marbex", must + "Marbex(c)\" string!"},
        {k386, "Bios monitor 386EXR", must + "VOK\" string!"},
        {k188, "BIOS Monitor VOK188ER", must + "Marbex\" string!"},
        {k188, BiosBytes(k386), must + "BIOS Monitor\" string!"},
        {k188, "", must + "BIOS Monitor\" string!"},
    };
    for (const auto& [kind, bytes, finding] : cases) {
        EXPECT_EQ(BiosFileCheck(kind, dir_.Write("bios.bin", bytes)),
                  finding.empty() ? "" : "Incorrect BIOS file:\r\n" + finding)
            << bytes.substr(0, 30);
    }
    EXPECT_EQ(BiosFileCheck(k386, File("none.bin")),
              "Incorrect BIOS file:\r\n" + must + "Bios monitor\" string!");
}

TEST_F(EpromImageTest, Vok386ChipFilesMatchSrecCatSplit) {
    if (std::system("command -v srec_cat >/dev/null 2>&1") != 0) {
        GTEST_FAIL() << "srec_cat is missing: run scripts/setup (package srecord)";
    }
    chips_ = {k386, 64, 64};
    AddFile("APP", 0xE0000, CountingBytes(0x3001, 7));
    AddFile("USR", 0xF1235, CountingBytes(0x777, 0x80));
    AddFile("TOP", 0xFFFF0, CountingBytes(16, 0xF0));
    const TEpromComposition result = Compose();
    ASSERT_EQ(result.Error, "");

    // The same image as one file, built by hand, split by the reference tool.
    std::string image(0x20000, '\xFF');
    list_.ForEach([&](const tRomModule& m) { image.replace(m.Addr - 0xE0000, m.Size, dir_.Text(m.File)); });
    const auto in = dir_.Write("image.bin", image);
    const std::string split = "srec_cat " + in.string() + " -binary -split 2 ";
    ASSERT_EQ(std::system((split + "1 -o " + File("hi.bin").string() + " -binary").c_str()), 0);
    ASSERT_EQ(std::system((split + "0 -o " + File("lo.bin").string() + " -binary").c_str()), 0);

    EXPECT_TRUE(result.Images.Hi == ToBytes(dir_.Text("hi.bin")));
    ASSERT_TRUE(result.Images.Lo);
    EXPECT_TRUE(*result.Images.Lo == ToBytes(dir_.Text("lo.bin")));
    EXPECT_EQ(result.Images.Hi.size(), 0x10000U);
}

TEST_F(EpromImageTest, SingleChipImageWithSetupOverBios) {
    chips_ = {k188, 64, 0};
    AddFile("BIOS", 0xFD000, std::string(12288, '\xB0'), Type::Bios);
    AddFile("SETUP", 0xFFE00, std::string(32, '\x5E'), Type::BiosSetup);
    const TEpromComposition result = Compose();
    ASSERT_EQ(result.Error, "");
    EXPECT_FALSE(result.Images.Lo);
    const Bytes& hi = result.Images.Hi;
    ASSERT_EQ(hi.size(), 0x10000U);
    // The setup record is written after the BIOS it lies in.
    EXPECT_EQ((Bytes{hi[0xCFFF], hi[0xD000], hi[0xFE00], hi[0xFE1F], hi[0xFE20]}),
              (Bytes{0xFF, 0xB0, 0x5E, 0x5E, 0xB0}));
}

TEST_F(EpromImageTest, Vok188LowAddressesGoToTheLoFile) {
    chips_ = {k188, 512, 64};
    AddFile("LOW", 0x70010, "\x01\x02");
    AddFile("HIGH", 0x80000, "\x03");
    const TEpromComposition result = Compose();
    ASSERT_EQ(result.Error, "");
    ASSERT_TRUE(result.Images.Lo);
    EXPECT_EQ(result.Images.Lo->size(), 0x10000U);
    EXPECT_EQ(Programmed(*result.Images.Lo), (std::map<std::size_t, std::uint8_t>{{0x10, 1}, {0x11, 2}}));
    EXPECT_EQ(Programmed(result.Images.Hi), (std::map<std::size_t, std::uint8_t>{{0, 3}}));
}

TEST_F(EpromImageTest, AnEntryThatDoesNotComposeGivesItsErrorAndNoImage) {
    AddFile("USR", 0xFFFF0, CountingBytes(16));
    const std::string usr = File("USR.BIN").string();
    const std::string changed = "File \"" + usr + "\" is not 16 bytes large any more!";
    // Each step spoils the entry further; a file that grew would run past the image.
    const std::vector<std::pair<std::function<void()>, std::string>> steps = {
        {[&] { dir_.Write("USR.BIN", CountingBytes(32)); }, changed},
        {[&] { dir_.Write("USR.BIN", CountingBytes(8)); }, changed},
        {[&] { std::filesystem::remove(File("USR.BIN")); }, "Could not read from file: " + usr},
        {[&] { list_.First()->Size = 0x20; }, "Module address \"USR\" is out of (E)EPROM!"},
        {[&] {
             chips_ = {TVokKind{7}, 128, 128};
         },
         "Unknown board kind: no (E)EPROM image can be created!"},
    };
    for (const auto& [spoil, error] : steps) {
        spoil();
        const TEpromComposition result = Compose();
        EXPECT_EQ(result.Error, error);
        EXPECT_TRUE(result.Images.Hi.empty()) << error;
    }
}

TEST_F(EpromImageTest, FilesReplaceOldOnesOnlyWhenTheyCanBeWritten) {
    dir_.Write("EPROM_HI.BIN", "old");
    const TEpromImages images{Bytes(8, 0xAB), Bytes(4, 0xCD)};
    EXPECT_EQ(WriteEpromImageFiles(images, File("EPROM_HI.BIN"), File("EPROM_LO.BIN")), "");
    EXPECT_EQ(dir_.Text("EPROM_HI.BIN"), std::string(8, '\xAB'));
    EXPECT_EQ(dir_.Text("EPROM_LO.BIN"), std::string(4, '\xCD'));
    EXPECT_EQ(dir_.Listing(), "EPROM_HI.BIN EPROM_LO.BIN"); // no temporary file left

    const auto missing = File("no/such/EPROM.BIN");
    EXPECT_EQ(WriteEpromImageFiles(images, missing, File("LO.BIN")),
              "Error 2 during writting into (E)EPROM HI file:\r\nFile \"" + missing.string() +
                  "\" could not be created");
    EXPECT_FALSE(std::filesystem::exists(File("LO.BIN")));
    std::filesystem::create_directory(File("LO.BIN"));
    EXPECT_EQ(WriteEpromImageFiles(images, File("HI.BIN"), File("LO.BIN")),
              "Error 21 during writting into (E)EPROM LO file:\r\nFile \"" + File("LO.BIN").string() +
                  "\" could not be created");

    if (!dir_.MakeReadOnly()) {
        GTEST_SKIP() << "no way to make a folder read-only here";
    }
    const std::string error = WriteEpromImageFiles({Bytes(8, 0x11), std::nullopt}, File("EPROM_HI.BIN"), {});
    EXPECT_TRUE(error.starts_with("Error ")) << error;
    EXPECT_EQ(dir_.Text("EPROM_HI.BIN"), std::string(8, '\xAB'));
}

} // namespace
} // namespace ravlo
