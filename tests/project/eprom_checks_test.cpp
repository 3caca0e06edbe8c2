#include "project/eprom_checks.h"
#include "project/project_test_support.h"
#include "support/eprom_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::BiosBytes;
using testing::CountingBytes;
using Type = TRomModuleType;

class EpromChecksTest : public testing::ProjectTest {
protected:
    tRomModule& Add(const std::string& name, std::uint32_t addr, std::uint32_t size, Type type,
                    const std::string& file = {}) {
        list_.Insert(std::make_unique<tRomModule>(
            tRomModule{name, addr, size, type, file.empty() ? name + ".BIN" : file}));
        return *list_.FirstThat([&](const tRomModule& m) { return m.Name == name; });
    }
    // An entry together with its file of the same size.
    tRomModule& AddWithFile(const std::string& name, std::uint32_t addr, std::uint32_t size,
                            Type type = Type::UserBin) {
        dir_.Write(name + ".BIN", CountingBytes(size));
        return Add(name, addr, size, type);
    }
    void Remove(std::string_view name) {
        list_.Remove(list_.FirstThat([&](const tRomModule& m) { return m.Name == name; }));
    }
    std::string Check() const { return CheckEpromComposition(list_, chips_); }

    tRomModuleList list_;
    TEpromChips chips_{TVokKind::VokV40, 256, 0};
};

TEST_F(EpromChecksTest, FindingsComeInTheirOrder) {
    EXPECT_EQ(Check(), "No modules defined!");

    chips_.HiKb = 32;
    tRomModule& rom = Add("ROM", 0xC8000, 0x100, Type::Application);
    tRomModule& user = AddWithFile("USR", 0xC8080, 0x100);
    Add("BIOS", 0xFE000, 4096, Type::Bios, "bios/V40.BIN");
    dir_.Write("SET.C38", CountingBytes(13));
    Add("SET", 0xFFF00, 13, Type::BiosSetup, "SET.C38");
    AddWithFile("FAR", 0x90000, 0x10);
    EXPECT_EQ(Check(), "Module \"ROM\" overlaps \"USR\"!");

    list_.Remove(&user);
    AddWithFile("USR", 0xD0000, 0x100);
    EXPECT_EQ(Check(), "(E)EPROM HI has incorrect size (must be 64,128,256 or 512KB)!");

    chips_.HiKb = 256;
    EXPECT_EQ(Check(), "Incorrect BIOS file:\r\nFile must contain \"Bios monitor\" string!");

    std::filesystem::create_directory(File("bios"));
    dir_.Write("bios/V40.BIN", BiosBytes(TVokKind::VokV40));
    EXPECT_EQ(Check(), "VokV40 must not have Setup!");

    Remove("SET");
    EXPECT_EQ(Check(), "Module address \"FAR\" is out of (E)EPROM!");

    Remove("FAR");
    EXPECT_EQ(Check(), "File \"" + File("ROM.BIN").string() + "\" does not exist!");

    dir_.Write("ROM.BIN", CountingBytes(0x80));
    EXPECT_EQ(Check(), "File \"" + File("ROM.BIN").string() + "\" is not 256 bytes large any more!");

    dir_.Write("ROM.BIN", CountingBytes(rom.Size));
    EXPECT_EQ(Check(), "");
}

TEST_F(EpromChecksTest, OverlapsOnTheChipCountAndOnlyBiosAndSetupMayShareBytes) {
    // With 256 KB, $80000 and $C0000 both land at offset 0 of the one chip.
    AddWithFile("LOW", 0x80000, 0x100);
    AddWithFile("HIGH", 0xC0080, 0x100);
    AddWithFile("EMPTY", 0xC0090, 0); // an empty entry overlaps nothing
    EXPECT_EQ(Check(), "Module \"LOW\" overlaps \"HIGH\"!");
    chips_.HiKb = 512; // different bytes now
    EXPECT_EQ(Check(), "");

    chips_ = {TVokKind::Vok386EXR, 128, 128};
    list_.DeleteAll();
    dir_.Write("B386.BIN", BiosBytes(TVokKind::Vok386EXR, 12288));
    Add("B386", 0xFD000, 12288, Type::Bios);
    AddWithFile("S386", 0xFFF00, 13, Type::BiosSetup);
    EXPECT_EQ(Check(), "");
    AddWithFile("APP", 0xFC000, 0x1001, Type::Application);
    EXPECT_EQ(Check(), "Module \"APP\" overlaps \"B386\"!");
}

TEST_F(EpromChecksTest, ChipAndSetupSizesOfTheTwoChipBoards) {
    AddWithFile("A", 0xFF000, 0x100);
    AddWithFile("S", 0xFFF00, 32, Type::BiosSetup);
    const std::string setup = "Incorrect size of Setup"; // 13 bytes on the 386 board, 32 on the 188
    const std::vector<std::tuple<TVokKind, int, int, std::string>> cases = {
        {TVokKind::Vok386EXR, 512, 512, "(E)EPROM HI has incorrect size (must be 64,128 or 256KB)!"},
        {TVokKind::Vok386EXR, 128, 256, "(E)EPROM LO has incorrect size (must be the same as HI)!"},
        {TVokKind::Vok386EXR, 64, 64, setup},
        {TVokKind::Vok188ER, 100, 0, "(E)EPROM HI has incorrect size (must be 64,128,256 or 512KB)!"},
        {TVokKind::Vok188ER, 256, 256, "If (E)EPROM HI is less than 512KB, (E)EPROM LO must be 0KB!"},
        {TVokKind::Vok188ER, 512, 512, "(E)EPROM LO has incorrect size (must be 0,64,128 or 256KB)!"},
        {TVokKind::Vok188ER, 512, 64, ""},
        {TVokKind::Vok188ER, 64, 0, ""},
    };
    for (const auto& [kind, hi, lo, finding] : cases) {
        chips_ = {kind, hi, lo};
        EXPECT_EQ(Check(), finding) << static_cast<int>(kind) << " " << hi << "/" << lo;
    }
}

TEST_F(EpromChecksTest, BiosFileOfEachBoardKind) {
    const auto v40 = TVokKind::VokV40;
    const auto b386 = TVokKind::Vok386EXR;
    const auto b188 = TVokKind::Vok188ER;
    const std::string must = "File must contain \"";
    // The markers are exact bytes: case counts, and the first missing one is named.
    const std::vector<std::tuple<TVokKind, std::string, std::string>> cases = {
        {v40, BiosBytes(v40, 8192), ""},
        {v40, BiosBytes(v40, 8193), "BIOS for VokV40 must not be greater than 8KB!"},
        {b386, BiosBytes(b386, 12289), "BIOS for Vok386 must not be greater than 12KB!"},
        {b188, BiosBytes(b188, 12289), "BIOS for Vok188 must not be greater than 12KB!"},
        {v40, "bios monitor Marbex(c)", must + "Bios monitor\" string!"},
        {v40, "Bios monitor Marbex", must + "Marbex(c)\" string!"},
        {b386, "Bios monitor 386EXR", must + "VOK\" string!"},
        {b188, "BIOS Monitor VOK188ER", must + "Marbex\" string!"},
        {b188, BiosBytes(b386), must + "BIOS Monitor\" string!"},
        {b188, "", must + "BIOS Monitor\" string!"},
    };
    for (const auto& [kind, bytes, finding] : cases) {
        EXPECT_EQ(BiosFileCheck(kind, dir_.Write("bios.bin", bytes)),
                  finding.empty() ? "" : "Incorrect BIOS file:\r\n" + finding)
            << bytes.substr(0, 30);
    }
    EXPECT_EQ(BiosFileCheck(b386, File("none.bin")),
              "Incorrect BIOS file:\r\n" + must + "Bios monitor\" string!");
}

} // namespace
} // namespace ravlo
