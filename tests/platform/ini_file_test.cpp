#include "platform/ini_file.h"
#include "support/scratch_dir.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

constexpr std::string_view kRtdw = "; shared settings\r\n[COM]\r\nPort=2\r\nBaud=9600\r\n";

TEST(IniFile, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
    const ScratchDir dir;
    IniFile ini(dir / "RTDW.INI");
    EXPECT_FALSE(ini.Exists());
    EXPECT_EQ(ini.ReadString("COM", "Port", "1"), "1");
    EXPECT_TRUE(ini.SectionNames().empty());
    EXPECT_TRUE(ini.DeleteKey("COM", "Port"));
    EXPECT_FALSE(ini.Exists()); // nothing to delete, nothing written

    ASSERT_TRUE(ini.WriteInteger("COM", "Port", 3));
    EXPECT_EQ(dir.Read("RTDW.INI"), "[COM]\r\nPort=3\r\n");
    EXPECT_EQ(dir.Listing(), "RTDW.INI"); // no temporary file left behind
}

TEST(IniFile, TwoObjectsOnOneFileSeeEachOthersWritesAndDeletes) {
    const ScratchDir dir;
    dir.Write("RTDW.INI", kRtdw);
    IniFile first(dir / "RTDW.INI");
    IniFile second(dir / "RTDW.INI");
    ASSERT_TRUE(first.WriteString("IOACCESS", "A1", "$0300"));
    EXPECT_EQ(second.ReadString("ioaccess", "a1"), "$0300");
    ASSERT_TRUE(second.WriteBool("COM", "RTS", true));
    EXPECT_TRUE(first.ReadBool("COM", "RTS", false));
    EXPECT_EQ(first.ReadInteger("COM", "Baud", 0), 9600);
    EXPECT_EQ(dir.Read("RTDW.INI"),
              "; shared settings\r\n[COM]\r\nPort=2\r\nBaud=9600\r\nRTS=1\r\n\r\n[IOACCESS]\r\nA1=$0300\r\n");

    EXPECT_FALSE(first.WriteString("COM", "Port", "2\n[B]")); // a refused value is not written
    ASSERT_TRUE(first.DeleteKey("com", "BAUD"));
    ASSERT_TRUE(second.DeleteSection("ioaccess"));
    EXPECT_EQ(dir.Read("RTDW.INI"), "; shared settings\r\n[COM]\r\nPort=2\r\nRTS=1\r\n\r\n");
    EXPECT_EQ(first.SectionLines("COM"), (std::vector<std::string>{"Port=2", "RTS=1"}));
}

TEST(IniFile, KeepsPermissionsOfTheFile) {
    const ScratchDir dir;
    dir.Write("app.ini", "[A]\n");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir / "app.ini", perms);
    ASSERT_TRUE(IniFile(dir / "app.ini").WriteString("A", "k", "v"));
    EXPECT_EQ(fs::status(dir / "app.ini").permissions(), perms);
}

TEST(IniFile, WriteThroughSymbolicLinkKeepsTheLink) {
    const ScratchDir dir;
    dir.Write("real.ini", "[A]\n");
    fs::create_symlink("real.ini", dir / "link.ini");
    ASSERT_TRUE(IniFile(dir / "link.ini").WriteString("A", "k", "v"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(dir.Read("real.ini"), "[A]\nk=v\n");
}

TEST(IniFile, FailedWriteInReadOnlyFolderLeavesTheFileAlone) {
    ScratchDir dir;
    dir.Write("RTDW.INI", kRtdw);
    if (!dir.MakeReadOnly()) {
        GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
    }
    IniFile ini(dir / "RTDW.INI");
    EXPECT_FALSE(ini.WriteString("COM", "Port", "4"));
    EXPECT_FALSE(ini.DeleteSection("COM"));
    EXPECT_EQ(dir.Read("RTDW.INI"), kRtdw);
    EXPECT_EQ(ini.ReadString("COM", "Port"), "2");
    EXPECT_EQ(dir.Listing(), "RTDW.INI");
}

// The temporary file is created but cannot take all the bytes (here: the process's file size limit).
TEST(IniFile, WriteThatFailsHalfwayLeavesNoTrace) {
    const ScratchDir dir;
    dir.Write("RTDW.INI", kRtdw);
    IniFile ini(dir / "RTDW.INI");

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = kRtdw.size();
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = ini.WriteString("COM", "Parity", "odd");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(dir.Read("RTDW.INI"), kRtdw);
    EXPECT_EQ(dir.Listing(), "RTDW.INI");
}

TEST(IniFile, UnreadableFileIsNeverOverwritten) {
    const ScratchDir dir;
    fs::create_directory(dir / "app.ini"); // exists, but cannot be read as a file
    IniFile ini(dir / "app.ini");
    EXPECT_TRUE(ini.Exists());
    EXPECT_EQ(ini.ReadString("A", "k", "default"), "default");
    EXPECT_FALSE(ini.WriteString("A", "k", "v"));
    EXPECT_TRUE(fs::is_directory(dir / "app.ini"));
}

} // namespace
} // namespace ravlo
