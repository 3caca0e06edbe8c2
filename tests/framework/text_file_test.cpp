#include "framework/date_text.h"
#include "framework/string_table.h"
#include "framework/text_file.h"
#include "support/scratch_dir.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

// The error text of a file: the table text, "-" and the name.
std::string ErrOf(int id, const fs::path& file) {
    return AppLoadStr(id) + "-" + file.string();
}

// Lowers a resource limit of this process for the lifetime of the object.
struct TightLimit {
    TightLimit(int resource, rlim_t soft) : resource(resource) {
        ::getrlimit(resource, &saved);
        rlimit tight = saved;
        tight.rlim_cur = soft;
        applied = ::setrlimit(resource, &tight) == 0;
    }
    ~TightLimit() { ::setrlimit(resource, &saved); }
    int resource;
    rlimit saved{};
    bool applied = false;
};

TEST(FileNameChk, RefusesDeviceNamesOfTheOriginalPlatformAndChecksAnAskedExtension) {
    std::string err;
    for (const char* name : {"PRN", "LPT1", "CLOCK$", "com3", "nul", "Aux", "", "/data/project/CON"}) {
        EXPECT_FALSE(FileNameChk(name, "", err)) << name;
        EXPECT_EQ(err, AppLoadStr(133) + "-" + name);
    }
    for (const char* name : {"PRNX", "PRN.TXT", "COM10", "/data/NUL2/x.mem"}) {
        EXPECT_TRUE(FileNameChk(name, "", err)) << name;
    }
    EXPECT_TRUE(FileNameChk("design.mem", ".MEM", err));
    EXPECT_TRUE(FileNameChk("DESIGN.MEM", "mem", err));
    EXPECT_EQ(err, "");
    EXPECT_FALSE(FileNameChk("design.bin", "MEM", err));
    EXPECT_EQ(err, AppLoadStr(132) + "-.bin");
    EXPECT_FALSE(FileNameChk("design", ".MEM", err));
    EXPECT_EQ(err, AppLoadStr(132) + "-");
}

TEST(BackupName, ReplacesTheExtensionWithTildeAndItsLastLetters) {
    EXPECT_EQ(BackupName("/data/app.mem"), fs::path("/data/app.~em"));
    EXPECT_EQ(BackupName("dir.v2/a.b"), fs::path("dir.v2/a.~"));
    EXPECT_EQ(BackupName("NOEXT"), fs::path("NOEXT.~"));
    EXPECT_EQ(BackupName("X.~SW"), fs::path("X.~SW.~")); // never its own backup
}

TEST(IoErrorText, TableTextsOrTheCodeAndSystemErrorsNeverTakeAnotherCodesText) {
    EXPECT_EQ(IoErrorText(0), "");
    EXPECT_EQ(IoErrorText(106), AppLoadStr(117));
    EXPECT_EQ(IoErrorText(200), "I/O error 200");
    const ScratchDir dir;
    EXPECT_EQ(IoErrnoText(ENOENT, IoAccess::Open, dir / "no-folder" / "file"), AppLoadStr(103));
    EXPECT_EQ(IoErrnoText(EIO, IoAccess::Read), AppLoadStr(111)); // the others: TextFileWrite tests
    // ENOMEM is 12 and EEXIST 17, which are other codes in the table.
    EXPECT_EQ(IoErrnoText(ENOMEM, IoAccess::Open), "I/O error " + std::to_string(ENOMEM));
    EXPECT_EQ(IoErrnoText(EEXIST, IoAccess::Open), "I/O error " + std::to_string(EEXIST));
}

TEST(TextFileRead, ReadsLinesEndedByLfOrCrLfWithoutTheCrAndCutsLongOnes) {
    const ScratchDir dir;
    const std::string longLine(10000, 'a'); // longer than one read of the file
    dir.Write("in.txt", "first\r\nsecond\n\r\n\n" + longLine + "\r\nabcdef\r\nab\r\nlast\r");
    TTxRdFile file(dir / "in.txt");
    ASSERT_EQ(file.ErrText(), "");
    std::vector<std::string> lines;
    for (const std::size_t maxLen : {255, 255, 255, 255, 255, 3, 3, 255}) {
        EXPECT_FALSE(file.Eof());
        lines.push_back(file.ReadLn(maxLen));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "", "", std::string(255, 'a'), "abc", "ab",
                                               "last"}));
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(file.ReadLn(), "");
    EXPECT_EQ(file.ErrText(), "");
}

TEST(TextFileRead, MissingFolderAndDeviceNamesGiveTheirTextAndEofAtOnce) {
    const ScratchDir dir;
    fs::create_directory(dir / "folder");
    for (const auto& [name, id] : {std::pair{"missing.txt", 102}, {"folder", 105}, {"PRN", 133}}) {
        TTxRdFile file(dir / name);
        EXPECT_EQ(file.ErrText(), ErrOf(id, dir / name));
        EXPECT_TRUE(file.Closed());
        EXPECT_TRUE(file.Eof());
        EXPECT_EQ(file.ReadLn(), "");
    }
}

TEST(TextFileWrite, WritesCrLfLinesAndKeepsThePreviousFileAsBackup) {
    ScratchDir dir;
    {
        TTxWrFile file(dir / "USERS.PSW");
        file.WriteLn("USR=admin");
        file.Write("LEV=");
        file.WriteLnInt(-3);
        file.WriteInt(42);
    }
    EXPECT_EQ(dir.Listing(), "USERS.PSW");
    {
        TTxWrFile file(dir / "USERS.PSW");
        EXPECT_EQ(dir.Read("USERS.~SW"), "USR=admin\r\nLEV=-3\r\n42"); // moved away before the new file
        file.SetLineEnd(false);
        file.WriteLn("second");
    }
    {
        TTxWrFile file(dir / "USERS.PSW");
        file.WriteLn("third");
    }
    EXPECT_EQ(dir.Read("USERS.PSW"), "third\r\n");
    EXPECT_EQ(dir.Read("USERS.~SW"), "second\n"); // the second run's file replaced the older backup
}

TEST(TextFileWrite, WriterWithoutAnyWriteRemovesItsFileAndPutsTheOriginalBack) {
    ScratchDir dir;
    { const TTxWrFile unused(dir / "new.mem"); }
    EXPECT_EQ(dir.Listing(), "");
    dir.Write("USERS.PSW", "original\r\n");
    dir.Write("USERS.~SW", "old backup\r\n");
    { const TTxWrFile unused(dir / "USERS.PSW"); }
    EXPECT_EQ(dir.Read("USERS.PSW"), "original\r\n");
    EXPECT_EQ(dir.Listing(), "USERS.PSW");
    // A backup is not deleted while the name holds no file.
    dir.Write("OTHER.~SW", "only copy\r\n");
    TTxWrFile(dir / "OTHER.PSW").WriteLn("new");
    EXPECT_EQ(dir.Read("OTHER.~SW"), "only copy\r\n");
    EXPECT_EQ(dir.Read("OTHER.PSW"), "new\r\n");
}

TEST(TextFileWrite, InvalidNameFolderOrReadOnlyFolderCreatesNothingAndLeavesTheOriginal) {
    ScratchDir dir;
    fs::create_directory(dir / "data.mem");
    dir.Write("USERS.PSW", "original\r\n");
    const bool readOnly = dir.MakeReadOnly(); // some file systems cannot for this user
    for (const auto& [name, id] : {std::pair{"LPT1", 133}, {"data.mem", 105}, {"USERS.PSW", 105}}) {
        if (!readOnly && name == std::string("USERS.PSW")) {
            continue;
        }
        TTxWrFile file(dir / name);
        EXPECT_EQ(file.ErrText(), ErrOf(id, dir / name));
        EXPECT_TRUE(file.Closed());
        EXPECT_FALSE(file.DeleteOnDestroy());
        file.WriteLn("lost");
    }
    EXPECT_EQ(dir.Listing(), "USERS.PSW data.mem");
    EXPECT_EQ(dir.Read("USERS.PSW"), "original\r\n");
}

TEST(TextFileWrite, FailedCreationOrWritePutsTheOriginalBack) {
    ScratchDir dir;
    dir.Write("USERS.PSW", "original\r\n");
    std::string err;
    {
        // A descriptor limit at the lowest free descriptor makes the next open fail.
        const int fd = ::open("/dev/null", O_RDONLY);
        ::close(fd);
        const TightLimit noMoreFiles(RLIMIT_NOFILE, static_cast<rlim_t>(fd));
        ASSERT_TRUE(noMoreFiles.applied);
        const TTxWrFile file(dir / "USERS.PSW");
        err = file.ErrText();
    }
    EXPECT_EQ(err, ErrOf(104, dir / "USERS.PSW"));
    EXPECT_EQ(dir.Read("USERS.PSW"), "original\r\n");
    EXPECT_EQ(dir.Listing(), "USERS.PSW");
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    {
        TTxWrFile file(dir / "USERS.PSW");
        const TightLimit smallFiles(RLIMIT_FSIZE, 8);
        ASSERT_TRUE(smallFiles.applied);
        file.WriteLn("fits");
        EXPECT_EQ(file.ErrText(), "");
        file.WriteLn("does not fit");
        err = file.ErrText();
        EXPECT_TRUE(file.Closed());
        file.WriteLn("ignored");
    }
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(err, ErrOf(112, dir / "USERS.PSW"));
    EXPECT_EQ(dir.Read("USERS.PSW"), "original\r\n");
    EXPECT_EQ(dir.Listing(), "USERS.PSW");
}

TEST(TextFileWrite, KeepsThePermissionsOfTheFileItReplacesAndCloseStampsTheFileDate) {
    ScratchDir dir;
    dir.Write("USERS.PSW", "secret\r\n");
    fs::permissions(dir / "USERS.PSW", fs::perms::owner_read | fs::perms::owner_write);
    const std::int32_t date = DTRecToFileDate(TDTRec{2021, 6, 15, 13, 45, 30});
    {
        TTxWrFile file(dir / "USERS.PSW");
        file.WriteLn("new secret");
        file.SetFileDate(date);
        file.Close();
        EXPECT_EQ(file.FileAge(), date);
    }
    EXPECT_EQ(fs::status(dir / "USERS.PSW").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(TTxRdFile(dir / "USERS.PSW").FileAge(), date);
    EXPECT_EQ(TTxRdFile(dir / "missing").FileAge(), -1);
}

} // namespace
} // namespace ravlo
