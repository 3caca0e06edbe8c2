#include "platform/atomic_file.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ScratchDir;

TEST(AtomicFile, WritesAndReplacesEveryByte) {
    const ScratchDir dir;
    for (const std::string& bytes :
         {std::string("MZ\0\x01\xFF\r\n\x1A", 8), std::string("x"), std::string()}) {
        ASSERT_TRUE(WriteFileAtomic(dir / "ROM0.BIN", bytes));
        EXPECT_EQ(ReadFileBytes(dir / "ROM0.BIN"), bytes);
    }
    EXPECT_EQ(dir.Listing(), "ROM0.BIN");
}

TEST(AtomicFile, FailsCleanlyWhereNoFileCanBe) {
    const ScratchDir dir;
    EXPECT_FALSE(WriteFileAtomic(dir / "missing" / "a.ini", "x"));
    std::filesystem::create_directory(dir / "taken");
    dir.Write("taken/inside", "keep");
    EXPECT_FALSE(WriteFileAtomic(dir / "taken", "x")); // a folder is not replaced by a file
    EXPECT_EQ(dir.Read("taken/inside"), "keep");
    EXPECT_EQ(dir.Listing(), "taken");
    EXPECT_FALSE(ReadFileBytes(dir / "none").has_value());
    EXPECT_FALSE(ReadFileBytes(dir.Path()).has_value());
}

} // namespace
} // namespace ravlo
