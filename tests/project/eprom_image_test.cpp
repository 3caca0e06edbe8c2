#include "project/eprom_image.h"
#include "project/project_test_support.h"
#include "support/eprom_fixtures.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::CountingBytes;
using Bytes = std::vector<std::uint8_t>;
using Type = TRomModuleType;

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
    void AddFile(std::string name, std::uint32_t addr, std::string_view bytes, Type type = Type::UserBin) {
        dir_.Write(name + ".BIN", bytes);
        list_.Insert(std::make_unique<tRomModule>(
            tRomModule{name, addr, static_cast<std::uint32_t>(bytes.size()), type, name + ".BIN"}));
    }
    TEpromComposition Compose() const { return ComposeEpromImages(list_, chips_); }

    tRomModuleList list_;
    TEpromChips chips_{TVokKind::VokV40, 128, 0};
};

TEST_F(EpromImageTest, Vok386ChipFilesMatchSrecCatSplit) {
    if (std::system("command -v srec_cat >/dev/null 2>&1") != 0) {
        GTEST_FAIL() << "srec_cat is missing: run scripts/setup (package srecord)";
    }
    chips_ = {TVokKind::Vok386EXR, 64, 64};
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
    chips_ = {TVokKind::Vok188ER, 64, 0};
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
    chips_ = {TVokKind::Vok188ER, 512, 64};
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
