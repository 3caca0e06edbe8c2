#include "platform/file_names.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(FileNames, FindsAFileWhateverTheCaseOfEachPart) {
    const testing::ScratchDir dir;
    std::filesystem::create_directories(dir / "Bin" / "Roms");
    for (const char* name :
         {"Demo.Map", "rom.bin", "ROM.bin", "Rom.BIN", "Bin/Roms/Rom0.bin", "\xC5\xA1koda.txt"}) {
        dir.Write(name, "");
    }
    const struct {
        const char* query;
        const char* found; // nullptr: none
    } cases[] = {
        {"DEMO.MAP", "Demo.Map"},
        {"demo.map", "Demo.Map"},
        {"DEMO.MEM", nullptr},
        {"", nullptr},
        {"Rom.BIN", "Rom.BIN"}, // an exact match wins, then the smallest name
        {"ROM.BIN", "ROM.bin"},
        {"BIN/ROMS/ROM0.BIN", "Bin/Roms/Rom0.bin"},
        {"bin/../BIN/roms", "Bin/../Bin/Roms"},
        {"BIN/ROM0.BIN", nullptr},
        {"\xC5\xA1KODA.TXT", "\xC5\xA1koda.txt"}, // only ASCII letters fold: small s caron stays
        {"\xC5\xA0KODA.TXT", nullptr},
    };
    for (const auto& c : cases) {
        const auto found = FindFileNoCase(dir.Path(), c.query);
        EXPECT_EQ(found, c.found ? std::optional(dir / c.found) : std::nullopt) << c.query;
    }
    EXPECT_FALSE(FindFileNoCase(dir / "nowhere", "DEMO.MAP").has_value());
}

TEST(FileNames, StoredPathsUseForwardSlashes) {
    EXPECT_EQ(NormalizeStoredPath("PRJ\\BIN\\ROM0.BIN"), "PRJ/BIN/ROM0.BIN");
    EXPECT_EQ(NormalizeStoredPath("\\\\server\\share"), "//server/share");
    EXPECT_EQ(NormalizeStoredPath("already/fine"), "already/fine");
    EXPECT_EQ(NormalizeStoredPath(""), "");
}

} // namespace
} // namespace ravlo
