#include "platform/file_names.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ScratchDir;

TEST(FileNames, FindsAFileWhateverTheCase) {
    const ScratchDir dir;
    dir.Write("Demo.Map", "");
    EXPECT_EQ(FindFileNoCase(dir.Path(), "DEMO.MAP"), dir / "Demo.Map");
    EXPECT_EQ(FindFileNoCase(dir.Path(), "demo.map"), dir / "Demo.Map");
    EXPECT_FALSE(FindFileNoCase(dir.Path(), "DEMO.MEM").has_value());
    EXPECT_FALSE(FindFileNoCase(dir.Path(), "").has_value());
    EXPECT_FALSE(FindFileNoCase(dir / "nowhere", "DEMO.MAP").has_value());
}

TEST(FileNames, ExactMatchWinsThenTheSmallestName) {
    const ScratchDir dir;
    dir.Write("rom.bin", "");
    dir.Write("ROM.bin", "");
    dir.Write("Rom.BIN", "");
    EXPECT_EQ(FindFileNoCase(dir.Path(), "Rom.BIN"), dir / "Rom.BIN");
    EXPECT_EQ(FindFileNoCase(dir.Path(), "ROM.BIN"), dir / "ROM.bin");
}

TEST(FileNames, MatchesEachPartOfARelativePath) {
    const ScratchDir dir;
    std::filesystem::create_directories(dir / "Bin" / "Roms");
    dir.Write("Bin/Roms/Rom0.bin", "");
    EXPECT_EQ(FindFileNoCase(dir.Path(), "BIN/ROMS/ROM0.BIN"), dir / "Bin" / "Roms" / "Rom0.bin");
    EXPECT_EQ(FindFileNoCase(dir.Path(), "bin/../BIN/roms"), dir / "Bin" / ".." / "Bin" / "Roms");
    EXPECT_FALSE(FindFileNoCase(dir.Path(), "BIN/ROM0.BIN").has_value());
}

TEST(FileNames, OnlyAsciiLettersFoldCase) {
    const ScratchDir dir;
    dir.Write("\xC5\xA1koda.txt", ""); // UTF-8 small s caron
    EXPECT_EQ(FindFileNoCase(dir.Path(), "\xC5\xA1KODA.TXT"), dir / "\xC5\xA1koda.txt");
    EXPECT_FALSE(FindFileNoCase(dir.Path(), "\xC5\xA0KODA.TXT").has_value()); // capital S caron
}

TEST(FileNames, StoredPathsUseForwardSlashes) {
    EXPECT_EQ(NormalizeStoredPath("PRJ\\BIN\\ROM0.BIN"), "PRJ/BIN/ROM0.BIN");
    EXPECT_EQ(NormalizeStoredPath("\\\\server\\share"), "//server/share");
    EXPECT_EQ(NormalizeStoredPath("already/fine"), "already/fine");
    EXPECT_EQ(NormalizeStoredPath(""), "");
}

} // namespace
} // namespace ravlo
