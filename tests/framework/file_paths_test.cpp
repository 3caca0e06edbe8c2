#include "framework/file_mask.h"
#include "framework/file_paths.h"
#include "framework/rtdw_ini.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

TEST(FilePathsTest, ShortenPathKeepsRootAndTailAndWriteTimesComeOnlyFromReadableFiles) {
    const std::string path = "/home/user/projects/board/app.exe";
    EXPECT_EQ(ShortenPath(path, 20), "/...ts/board/app.exe");
    EXPECT_EQ(ShortenPath(path, path.size()), path);
    EXPECT_EQ(ShortenPath("a/b/c/d/e/f.txt", 10), "...e/f.txt");
    EXPECT_EQ(ShortenPath(path, 4), ".exe"); // no room for the marker: just the tail, never longer
    EXPECT_EQ(ShortenPath(path, 0), "");
    const testing::ScratchDir dir;
    const fs::path file = dir.Write("a.bin", "x");
    const FileTime stamp{1'600'000'000'123'456'789};
    ASSERT_TRUE(WriteFileWriteTime(file, stamp));
    EXPECT_EQ(GetFileWriteTime(file), stamp);
    EXPECT_FALSE(GetFileWriteTime(dir.Path()).has_value()); // a folder is no file to open
    if (::geteuid() != 0) {                                 // root reads any file
        fs::permissions(file, fs::perms::none);
        EXPECT_FALSE(GetFileWriteTime(file).has_value());
    }
}

TEST(RtdwIniTest, FollowsTheOpenProject) {
    const testing::ScratchDir home;
    const testing::ScopedEnv homeVariable("RAVLO_HOME", home.Path().string());
    ProjectDir.clear();
    EXPECT_EQ(GetRtdwIniName(), home / "RTDW.INI");
    ProjectDir = "/work/project/";
    EXPECT_EQ(GetRtdwIniName(), fs::path("/work/project/RTDW.INI"));
    ProjectDir = "/work/project"; // without its trailing separator it still names a file inside it
    EXPECT_EQ(GetRtdwIniName(), fs::path("/work/project/RTDW.INI"));
    ProjectDir.clear();
}

TEST(FileMaskTest, WildcardsSetsAndCase) {
    const struct {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"sl12", "SL*", true},      {"SL", "SL*", true},       {"XSL12", "SL*", false},
        {"SL12", "S?1?", true},     {"SL1", "S?1?", false},    {"COMPORTX", "*PORT*", true},
        {"ABCABD", "*AB?", true},   {"ABCABD", "*ABC", false}, {"", "*", true},
        {"A", "", false},           {"\xE8ip", "\xC8*", true}, // code page 1250 letters fold too
        {"SLX", "SL[0-9]", false},  {"SLx", "SL[XYZ]", true},  {"SLA", "SL[!0-9]", true},
        {"SL5", "SL[!0-9]", false}, {"A-", "A[-]", true},      {"SL12", "SL[0-9]*", true},
        {"SL[1", "SL[1", false}, // a set without its "]" matches nothing, not even itself
        {"SL1", "SL[1", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " " << c.mask;
    }
}

} // namespace
} // namespace ravlo
