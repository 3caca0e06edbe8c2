#include "platform/file_time.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

TEST(FileTime, WriteAndReadKeepNanosecondsAlsoBefore1970) {
    const testing::ScratchDir dir;
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
