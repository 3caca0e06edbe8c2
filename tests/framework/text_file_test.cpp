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

std::string Text(int id) {
    return AppLoadStr(id);
}

// Lowers a resource limit of this process for the lifetime of the object.
class TightLimit {
public:
    TightLimit(int resource, rlim_t soft) : resource_(resource) {
        ::getrlimit(resource_, &saved_);
        rlimit tight = saved_;
        tight.rlim_cur = soft;
        applied_ = ::setrlimit(resource_, &tight) == 0;
    }
    ~TightLimit() { ::setrlimit(resource_, &saved_); }
    TightLimit(const TightLimit&) = delete;
    TightLimit& operator=(const TightLimit&) = delete;
    bool Applied() const { return applied_; }

private:
    int resource_;
    rlimit saved_{};
    bool applied_ = false;
};

// The lowest free descriptor: a descriptor limit at it makes the next open fail.
rlim_t LowestFreeDescriptor() {
    const int fd = ::open("/dev/null", O_RDONLY);
    ::close(fd);
    return static_cast<rlim_t>(fd);
}

TEST(FileNameChk, RefusesDeviceNamesOfTheOriginalPlatform) {
    std::string err;
    for (const char* name : {"PRN", "LPT1", "CLOCK$", "com3", "nul", "Aux", ""}) {
        EXPECT_FALSE(FileNameChk(name, "", err)) << name;
        EXPECT_EQ(err, Text(133) + "-" + name);
    }
    EXPECT_FALSE(FileNameChk("/data/project/CON", "", err));
    EXPECT_EQ(err, Text(133) + "-/data/project/CON");
    for (const char* name : {"PRNX", "PRN.TXT", "LPTX", "COM10", "users.psw", "/data/NUL2/x.mem"}) {
        EXPECT_TRUE(FileNameChk(name, "", err)) << name;
        EXPECT_EQ(err, "");
    }
}

TEST(FileNameChk, ChecksTheExtensionWhenOneIsAsked) {
    std::string err;
    EXPECT_TRUE(FileNameChk("design.mem", ".MEM", err));
    EXPECT_TRUE(FileNameChk("DESIGN.MEM", "mem", err));
    EXPECT_FALSE(FileNameChk("design.bin", "MEM", err));
    EXPECT_EQ(err, Text(132) + "-.bin");
    EXPECT_FALSE(FileNameChk("design", ".MEM", err));
    EXPECT_EQ(err, Text(132) + "-");
}

TEST(BackupName, ReplacesTheExtensionWithTildeAndItsLastLetters) {
    EXPECT_EQ(BackupName("USERS.PSW"), fs::path("USERS.~SW"));
    EXPECT_EQ(BackupName("/data/app.mem"), fs::path("/data/app.~em"));
    EXPECT_EQ(BackupName("dir.v2/a.b"), fs::path("dir.v2/a.~"));
    EXPECT_EQ(BackupName("NOEXT"), fs::path("NOEXT.~"));
    EXPECT_EQ(BackupName("archive.tar.gz"), fs::path("archive.tar.~z"));
    EXPECT_EQ(BackupName("X.~SW"), fs::path("X.~SW.~")); // never its own backup
}

TEST(IoErrorText, GivesTheTableTextOrTheCodeInDecimal) {
    EXPECT_EQ(IoErrorText(0), "");
    EXPECT_EQ(IoErrorText(2), Text(102));
    EXPECT_EQ(IoErrorText(12), Text(107));
    EXPECT_EQ(IoErrorText(17), Text(110));
    EXPECT_EQ(IoErrorText(106), Text(117));
    EXPECT_EQ(IoErrorText(150), Text(118));
    EXPECT_EQ(IoErrorText(162), Text(130));
    EXPECT_EQ(IoErrorText(200), Text(131) + " 200");
    EXPECT_EQ(IoErrorText(7), Text(131) + " 7");
    EXPECT_EQ(Text(131) + " 200", "I/O error 200");
}

TEST(IoErrorText, SystemErrorsMapToTheirOwnTextsNeverToAnotherCodesText) {
    const ScratchDir dir;
    dir.Write("file", "x");
    EXPECT_EQ(IoErrnoText(ENOENT, IoAccess::Open, dir / "missing"), Text(102));
    EXPECT_EQ(IoErrnoText(ENOENT, IoAccess::Open, dir / "no-folder" / "file"), Text(103));
    EXPECT_EQ(IoErrnoText(EMFILE, IoAccess::Open), Text(104));
    EXPECT_EQ(IoErrnoText(EROFS, IoAccess::Open), Text(105));
    EXPECT_EQ(IoErrnoText(EISDIR, IoAccess::Open), Text(105));
    EXPECT_EQ(IoErrnoText(EIO, IoAccess::Read), Text(111));
    EXPECT_EQ(IoErrnoText(ENOSPC, IoAccess::Write), Text(112));
    EXPECT_EQ(IoErrnoText(EFBIG, IoAccess::Write), Text(112));
    // ENOMEM is 12 and EEXIST 17, which are other codes in the table.
    EXPECT_EQ(IoErrnoText(ENOMEM, IoAccess::Open), Text(131) + " " + std::to_string(ENOMEM));
    EXPECT_EQ(IoErrnoText(EEXIST, IoAccess::Open), Text(131) + " " + std::to_string(EEXIST));
}

TEST(TextFileRead, ReadsLinesEndedByLfOrCrLfWithoutTheCr) {
    const ScratchDir dir;
    dir.Write("in.txt", "first\r\nsecond\n\r\n\nlast\r");
    TTxRdFile file(dir / "in.txt");
    ASSERT_EQ(file.ErrText(), "");
    std::vector<std::string> lines;
    while (!file.Eof()) {
        lines.push_back(file.ReadLn());
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "", "", "last"}));
    EXPECT_EQ(file.ReadLn(), "");
    EXPECT_EQ(file.ErrText(), "");
}

TEST(TextFileRead, LongLinesAreCutAndTheirRestSkipped) {
    const ScratchDir dir;
    const std::string longLine(10000, 'a'); // longer than one read of the file
    dir.Write("in.txt", longLine + "\r\nabcdef\r\nab\r\nend");
    TTxRdFile file(dir / "in.txt");
    EXPECT_EQ(file.ReadLn(), std::string(255, 'a'));
    EXPECT_EQ(file.ReadLn(3), "abc");
    EXPECT_EQ(file.ReadLn(3), "ab");
    EXPECT_EQ(file.ReadLn(3), "end");
    EXPECT_TRUE(file.Eof());
}

TEST(TextFileRead, MissingFileGivesItsTextAndEofAtOnce) {
    const ScratchDir dir;
    TTxRdFile file(dir / "missing.txt");
    EXPECT_EQ(file.ErrText(), Text(102) + "-" + (dir / "missing.txt").string());
    EXPECT_TRUE(file.Closed());
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(file.ReadLn(), "");
}

TEST(TextFileRead, FolderAndDeviceNamesAreRefused) {
    const ScratchDir dir;
    fs::create_directory(dir / "folder");
    TTxRdFile folder(dir / "folder");
    EXPECT_EQ(folder.ErrText(), Text(105) + "-" + (dir / "folder").string());
    EXPECT_TRUE(folder.Eof());
    TTxRdFile device(dir / "PRN");
    EXPECT_EQ(device.ErrText(), Text(133) + "-" + (dir / "PRN").string());
}

TEST(TextFileWrite, WritesCrLfLinesAndKeepsThePreviousFileAsBackup) {
    ScratchDir dir;
    {
        TTxWrFile file(dir / "USERS.PSW");
        EXPECT_EQ(file.ErrText(), "");
        file.WriteLn("USR=admin");
        file.Write("LEV=");
        file.WriteLnInt(-3);
        file.WriteInt(42);
    }
    EXPECT_EQ(dir.Read("USERS.PSW"), "USR=admin\r\nLEV=-3\r\n42");
    EXPECT_EQ(dir.Listing(), "USERS.PSW");
    {
        TTxWrFile file(dir / "USERS.PSW");
        EXPECT_EQ(dir.Read("USERS.~SW"), "USR=admin\r\nLEV=-3\r\n42"); // moved away before the new file
        EXPECT_EQ(dir.Read("USERS.PSW"), "");
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
    {
        const TTxWrFile unused(dir / "USERS.PSW");
        EXPECT_TRUE(unused.DeleteOnDestroy());
    }
    EXPECT_EQ(dir.Read("USERS.PSW"), "original\r\n");
    EXPECT_EQ(dir.Listing(), "USERS.PSW");
}

TEST(TextFileWrite, BackupIsNotDeletedWhileTheNameHoldsNoFile) {
    ScratchDir dir;
    dir.Write("USERS.~SW", "only copy\r\n");
    {
        TTxWrFile file(dir / "USERS.PSW");
        file.WriteLn("new");
    }
    EXPECT_EQ(dir.Read("USERS.~SW"), "only copy\r\n");
    EXPECT_EQ(dir.Read("USERS.PSW"), "new\r\n");
}

TEST(TextFileWrite, InvalidNameOrFolderCreatesNothing) {
    ScratchDir dir;
    {
        TTxWrFile device(dir / "LPT1");
        EXPECT_EQ(device.ErrText(), Text(133) + "-" + (dir / "LPT1").string());
        EXPECT_TRUE(device.Closed());
        device.WriteLn("lost");
    }
    fs::create_directory(dir / "data.mem");
    {
        TTxWrFile folder(dir / "data.mem");
        EXPECT_EQ(folder.ErrText(), Text(105) + "-" + (dir / "data.mem").string());
    }
    EXPECT_EQ(dir.Listing(), "data.mem");
    EXPECT_TRUE(fs::is_directory(dir / "data.mem"));
}

TEST(TextFileWrite, ReadOnlyFolderLeavesTheOriginalAlone) {
    ScratchDir dir;
    dir.Write("USERS.PSW", "original\r\n");
    if (!dir.MakeReadOnly()) {
        GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
    }
    {
        TTxWrFile file(dir / "USERS.PSW");
        EXPECT_EQ(file.ErrText(), Text(105) + "-" + (dir / "USERS.PSW").string());
        EXPECT_TRUE(file.Closed());
        EXPECT_FALSE(file.DeleteOnDestroy());
        file.WriteLn("lost");
    }
    EXPECT_EQ(dir.Read("USERS.PSW"), "original\r\n");
    EXPECT_EQ(dir.Listing(), "USERS.PSW");
}

TEST(TextFileWrite, FailedCreationPutsTheOriginalBack) {
    ScratchDir dir;
    dir.Write("USERS.PSW", "original\r\n");
    std::string err;
    {
        const TightLimit noMoreFiles(RLIMIT_NOFILE, LowestFreeDescriptor());
        ASSERT_TRUE(noMoreFiles.Applied());
        const TTxWrFile file(dir / "USERS.PSW");
        err = file.ErrText();
    }
    EXPECT_EQ(err, Text(104) + "-" + (dir / "USERS.PSW").string());
    EXPECT_EQ(dir.Read("USERS.PSW"), "original\r\n");
    EXPECT_EQ(dir.Listing(), "USERS.PSW");
}

TEST(TextFileWrite, WriteErrorRemovesTheHalfFileAndPutsTheOriginalBack) {
    ScratchDir dir;
    dir.Write("USERS.PSW", "original\r\n");
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    std::string err;
    {
        TTxWrFile file(dir / "USERS.PSW");
        const TightLimit smallFiles(RLIMIT_FSIZE, 8);
        ASSERT_TRUE(smallFiles.Applied());
        file.WriteLn("fits");
        EXPECT_EQ(file.ErrText(), "");
        file.WriteLn("does not fit");
        err = file.ErrText();
        EXPECT_TRUE(file.Closed());
        file.WriteLn("ignored");
    }
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(err, Text(112) + "-" + (dir / "USERS.PSW").string());
    EXPECT_EQ(dir.Read("USERS.PSW"), "original\r\n");
    EXPECT_EQ(dir.Listing(), "USERS.PSW");
}

TEST(TextFileWrite, KeepsThePermissionsOfTheFileItReplaces) {
    ScratchDir dir;
    dir.Write("USERS.PSW", "secret\r\n");
    fs::permissions(dir / "USERS.PSW", fs::perms::owner_read | fs::perms::owner_write);
    {
        TTxWrFile file(dir / "USERS.PSW");
        file.WriteLn("new secret");
    }
    EXPECT_EQ(fs::status(dir / "USERS.PSW").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(TextFileWrite, CloseStampsTheFileDate) {
    ScratchDir dir;
    const std::int32_t date = DTRecToFileDate(TDTRec{2021, 6, 15, 13, 45, 30});
    {
        TTxWrFile file(dir / "image.mem");
        file.WriteLn("x");
        file.SetFileDate(date);
        file.Close();
        EXPECT_EQ(file.FileAge(), date);
    }
    TTxRdFile reader(dir / "image.mem");
    EXPECT_EQ(reader.FileAge(), date);
    EXPECT_EQ(TTxRdFile(dir / "missing").FileAge(), -1);
}

} // namespace
} // namespace ravlo
