#include "platform/atomic_file.h"
#include "platform/file_names.h"
#include "platform/file_time.h"
#include "platform/program_dir.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace ravlo {
namespace {

using testing::ScratchDir;

TEST(AtomicFile, WritesAndReplacesEveryByteAndFailsCleanlyWhereNoFileCanBe) {
    const ScratchDir dir;
    for (const std::string& bytes :
         {std::string("MZ\0\x01\xFF\r\n\x1A", 8), std::string("x"), std::string()}) {
        ASSERT_TRUE(WriteFileAtomic(dir / "ROM0.BIN", bytes));
        EXPECT_EQ(ReadFileBytes(dir / "ROM0.BIN"), bytes);
    }
    EXPECT_EQ(dir.Listing(), "ROM0.BIN");

    EXPECT_FALSE(WriteFileAtomic(dir / "missing" / "a.ini", "x"));
    std::filesystem::create_directory(dir / "taken");
    dir.Write("taken/inside", "keep");
    EXPECT_FALSE(WriteFileAtomic(dir / "taken", "x")); // a folder is not replaced by a file
    EXPECT_EQ(dir.Read("taken/inside"), "keep");
    EXPECT_EQ(dir.Listing(), "ROM0.BIN taken");
    EXPECT_FALSE(ReadFileBytes(dir / "none").has_value());
    EXPECT_FALSE(ReadFileBytes(dir.Path()).has_value());
}

TEST(FileNames, FindsAFileWhateverTheCaseOfEachPart) {
    const ScratchDir dir;
    std::filesystem::create_directories(dir / "Bin" / "Roms");
    for (const char* name :
         {"Demo.Map", "rom.bin", "ROM.bin", "Rom.BIN", "Bin/Roms/Rom0.bin", "\xC5\xA1koda.txt"}) {
        dir.Write(name, "");
    }
    const std::pair<const char*, const char*> cases[] = {
        // query, found (nullptr: none)
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
    for (const auto& [query, found] : cases) {
        EXPECT_EQ(FindFileNoCase(dir.Path(), query), found ? std::optional(dir / found) : std::nullopt)
            << query;
    }
    EXPECT_FALSE(FindFileNoCase(dir / "nowhere", "DEMO.MAP").has_value());
}

TEST(FileNames, StoredPathsUseForwardSlashes) {
    EXPECT_EQ(NormalizeStoredPath("PRJ\\BIN\\ROM0.BIN"), "PRJ/BIN/ROM0.BIN");
    EXPECT_EQ(NormalizeStoredPath("\\\\server\\share"), "//server/share");
}

TEST(FileTime, WriteAndReadKeepNanosecondsAlsoBefore1970) {
    const ScratchDir dir;
    dir.Write("DEMO.EXE", "MZ");
    // 1.5 s and 1 ns before the epoch, and a time of ours.
    for (const FileTime stamp : {FileTime{-1'500'000'001}, FileTime{1'700'000'000'123'456'789}}) {
        ASSERT_TRUE(WriteFileWriteTime(dir / "DEMO.EXE", stamp));
        EXPECT_EQ(ReadFileWriteTime(dir / "DEMO.EXE"), stamp);
    }
    // One nanosecond apart is still different: freshness checks compare at full resolution.
    ASSERT_TRUE(WriteFileWriteTime(dir / "DEMO.EXE", FileTime{1'700'000'000'123'456'790}));
    EXPECT_EQ(CompareFileTime(*ReadFileWriteTime(dir / "DEMO.EXE"), FileTime{1'700'000'000'123'456'789}), 1);

    EXPECT_FALSE(ReadFileWriteTime(dir / "none").has_value());
    EXPECT_FALSE(WriteFileWriteTime(dir / "none", FileTime{0}));
    EXPECT_EQ(CompareFileTime(FileTime{-1}, FileTime{-2}), 1);
    EXPECT_EQ(std::chrono::system_clock::to_time_t(ToSystemTime(FileTime{1'600'000'000'000'000'000})),
              1'600'000'000);
}

TEST(ProgramDir, IsTheFolderOfTheRunningProgramUnlessTheHomeVariableNamesAnother) {
    {
        const testing::ScopedEnv home("RAVLO_HOME", ""); // an empty variable is ignored
        EXPECT_TRUE(ProgramDir().is_absolute());
        EXPECT_TRUE(std::filesystem::exists(ProgramDir() / "test_platform")) << ProgramDir();
    }
    const testing::ScopedEnv home("RAVLO_HOME", "/opt/ravlo-home");
    EXPECT_EQ(ProgramDir(), std::filesystem::path("/opt/ravlo-home"));
}

} // namespace
} // namespace ravlo
