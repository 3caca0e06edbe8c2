#include "platform/file_time.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ScratchDir;

TEST(FileTime, WriteAndReadKeepNanoseconds) {
    const ScratchDir dir;
    dir.Write("DEMO.EXE", "MZ");
    const FileTime stamp{1'700'000'000'123'456'789};
    ASSERT_TRUE(WriteFileWriteTime(dir / "DEMO.EXE", stamp));
    EXPECT_EQ(ReadFileWriteTime(dir / "DEMO.EXE"), stamp);

    // One nanosecond apart is still different: freshness checks compare at full resolution.
    ASSERT_TRUE(WriteFileWriteTime(dir / "DEMO.EXE", FileTime{stamp.ns + 1}));
    EXPECT_EQ(CompareFileTime(*ReadFileWriteTime(dir / "DEMO.EXE"), stamp), 1);
}

TEST(FileTime, TimesBefore1970) {
    const ScratchDir dir;
    dir.Write("OLD.BIN", "");
    const FileTime stamp{-1'500'000'001}; // 1.5 s and 1 ns before the epoch
    ASSERT_TRUE(WriteFileWriteTime(dir / "OLD.BIN", stamp));
    EXPECT_EQ(ReadFileWriteTime(dir / "OLD.BIN"), stamp);
}

TEST(FileTime, MissingFile) {
    const ScratchDir dir;
    EXPECT_FALSE(ReadFileWriteTime(dir / "none").has_value());
    EXPECT_FALSE(WriteFileWriteTime(dir / "none", FileTime{0}));
}

TEST(FileTime, CompareAndConvert) {
    EXPECT_EQ(CompareFileTime(FileTime{5}, FileTime{6}), -1);
    EXPECT_EQ(CompareFileTime(FileTime{6}, FileTime{6}), 0);
    EXPECT_EQ(CompareFileTime(FileTime{-1}, FileTime{-2}), 1);

    const FileTime stamp{1'600'000'000'000'000'000};
    EXPECT_EQ(FromSystemTime(ToSystemTime(stamp)), stamp);
    EXPECT_EQ(std::chrono::system_clock::to_time_t(ToSystemTime(stamp)), 1'600'000'000);
}

} // namespace
} // namespace ravlo
