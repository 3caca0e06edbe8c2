#include "framework/file_paths.h"
#include "framework/rtdw_ini.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace ravlo {
namespace {

namespace fs = std::filesystem;

// A fresh folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ = fs::temp_directory_path() /
                ("ravlo_file_paths_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    fs::path File(const std::string& name, std::string_view bytes = "x") const {
        const fs::path file = path_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

TEST(FilePathsTest, ShortenPathKeepsRootAndTail) {
    const std::string path = "/home/user/projects/board/app.exe";
    EXPECT_EQ(ShortenPath(path, 20), "/...ts/board/app.exe");
    EXPECT_EQ(ShortenPath(path, 20).size(), 20u);
    EXPECT_EQ(ShortenPath(path, path.size()), path);
    EXPECT_EQ(ShortenPath(path, 100), path);
    EXPECT_EQ(ShortenPath("a/b/c/d/e/f.txt", 10), "...e/f.txt");
    // No room for the marker: just the tail, never longer than asked.
    EXPECT_EQ(ShortenPath(path, 4), ".exe");
    EXPECT_EQ(ShortenPath(path, 0), "");
}

TEST(FilePathsTest, GetFileWriteTimeOfFilesOnly) {
    TempFolder folder;
    const fs::path file = folder.File("a.bin");
    const FileTime stamp{1'600'000'000'123'456'789};
    ASSERT_TRUE(WriteFileWriteTime(file, stamp));
    EXPECT_EQ(GetFileWriteTime(file), stamp);

    EXPECT_FALSE(GetFileWriteTime(folder.Path() / "missing.bin").has_value());
    EXPECT_FALSE(GetFileWriteTime(folder.Path()).has_value()); // a folder is no file to open
}

TEST(FilePathsTest, GetFileWriteTimeOfUnreadableFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads any file";
    }
    TempFolder folder;
    const fs::path file = folder.File("locked.bin");
    fs::permissions(file, fs::perms::none);
    EXPECT_FALSE(GetFileWriteTime(file).has_value());
}

class RtdwIniTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* home = std::getenv("RAVLO_HOME")) {
            savedHome_ = home;
        }
        ::setenv("RAVLO_HOME", folder_.Path().c_str(), 1);
    }
    void TearDown() override {
        ProjectDir.clear();
        if (savedHome_) {
            ::setenv("RAVLO_HOME", savedHome_->c_str(), 1);
        } else {
            ::unsetenv("RAVLO_HOME");
        }
    }

    TempFolder folder_;
    std::optional<std::string> savedHome_;
};

TEST_F(RtdwIniTest, FollowsTheOpenProject) {
    ProjectDir.clear();
    EXPECT_EQ(GetRtdwIniName(), folder_.Path() / "RTDW.INI");
    ProjectDir = "/work/project/";
    EXPECT_EQ(GetRtdwIniName(), fs::path("/work/project/RTDW.INI"));
    ProjectDir = "/work/project"; // without its trailing separator it still names a file inside it
    EXPECT_EQ(GetRtdwIniName(), fs::path("/work/project/RTDW.INI"));
}

} // namespace
} // namespace ravlo
