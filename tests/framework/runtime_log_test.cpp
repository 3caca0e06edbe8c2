#include "framework/local_time.h"
#include "framework/log_names.h"
#include "framework/log_test_support.h"
#include "platform/cp1250.h"
#include "platform/file_time.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using test::FakeNow;
using test::RuntimeLogTest;

constexpr std::string_view kProgram = "/opt/ravlo/AB.EXE";

std::string StartLineFor(const fs::path& log) {
    return "Begin of " + log.string() + ", time " + TxsTimeText(FakeNow()) + " Par1=app.ini\n";
}

FileTime LocalFileTime(int year, int month, int day, int hour, int min) {
    const TDTRec r{static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                   static_cast<std::uint16_t>(day),  static_cast<std::uint16_t>(hour),
                   static_cast<std::uint16_t>(min),  0};
    return FromSystemTime(LocalDTRecToTime(r).value());
}

TEST_F(RuntimeLogTest, WritesNothingBeforeStartup) {
    TxsWriteln("stray");
    TxsWrite("stray");
    TxsBegin();
    TxsShutdown(0);
    EXPECT_EQ(home_.Dir().Listing(), "");
    EXPECT_TRUE(TxsPath().empty());
}

TEST_F(RuntimeLogTest, StartupWritesRecordsThenLinesInOrder) {
    TxsStartup(kProgram, "/home/user/project/app.ini");
    EXPECT_EQ(TxsPath(), home_.Dir() / "AB__.TXS");
    EXPECT_EQ(TxsBase(), "AB__");
    TxsWriteln("one");
    TxsWrite("two-");
    TxsWriteln("three");
    TxsWriteln(Utf8ToCp1250("Chyba při čtení z disku"));
    EXPECT_EQ(Log(), StartLineFor(TxsPath()) + "((( QORV V4.12\none\ntwo-three\nChyba při čtení z disku\n");
    EXPECT_EQ(home_.Dir().Listing(), "AB__.TXS");
}

TEST_F(RuntimeLogTest, LeftoverLogIsArchivedUnderItsOwnStamp) {
    home_.Dir().Write("AB__.TXS", "crashed run\n");
    ASSERT_TRUE(WriteFileWriteTime(home_.Dir() / "AB__.TXS", LocalFileTime(2023, 12, 31, 23, 58)));
    TxsStartup(kProgram, "app.ini");
    EXPECT_EQ(home_.Dir().Read("AB__2312312358.TXS"), "crashed run\n");
    EXPECT_EQ(Log(), StartLineFor(TxsPath()) + "((( QORV V4.12\n");
}

TEST_F(RuntimeLogTest, ArchiveOfTheSameMinuteGetsASuffixInsteadOfReplacing) {
    home_.Dir().Write("AB__2312312358.TXS", "older archive\n");
    home_.Dir().Write("AB__2312312358_1.TXS", "second older archive\n");
    home_.Dir().Write("AB__.TXS", "crashed run\n");
    ASSERT_TRUE(WriteFileWriteTime(home_.Dir() / "AB__.TXS", LocalFileTime(2023, 12, 31, 23, 58)));
    TxsStartup(kProgram, "app.ini");
    EXPECT_EQ(home_.Dir().Read("AB__2312312358.TXS"), "older archive\n");
    EXPECT_EQ(home_.Dir().Read("AB__2312312358_1.TXS"), "second older archive\n");
    EXPECT_EQ(home_.Dir().Read("AB__2312312358_2.TXS"), "crashed run\n");
}

TEST_F(RuntimeLogTest, LeftoverThatCannotBeArchivedKeepsItsLines) {
    home_.Dir().Write("AB__.TXS", "crashed run\n");
    if (!home_.Dir().MakeReadOnly()) {
        GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
    }
    TxsStartup(kProgram, "app.ini");
    EXPECT_EQ(Log(), "crashed run\n" + StartLineFor(TxsPath()) + "((( QORV V4.12\n");
}

TEST_F(RuntimeLogTest, ShutdownWritesRunTimeAndEndRecordsAndArchives) {
    TxsStartup(kProgram, "app.ini");
    const std::string startLine = StartLineFor(TxsPath());
    FakeNow() += std::chrono::minutes(2) + std::chrono::seconds(59);
    TxsShutdown(0);
    const std::string listing = home_.Dir().Listing();
    ASSERT_TRUE(IsTxsArchiveName(listing, "AB__")) << listing;
    EXPECT_EQ(home_.Dir().Read(listing), startLine + "((( QORV V4.12\n))) QORV RunTime 2 min\nEnd of " +
                                             (home_.Dir() / listing).string() + ", time " +
                                             TxsTimeText(FakeNow()) + " Par1=app.ini\n");

    TxsWriteln("after the end"); // the log is finished: nothing recreates it
    EXPECT_EQ(home_.Dir().Listing(), listing);
}

TEST_F(RuntimeLogTest, ErrorExitAddsTheExitCodeRecord) {
    TxsStartup(kProgram, "app.ini");
    TxsShutdown(217);
    const std::string listing = home_.Dir().Listing();
    ASSERT_TRUE(IsTxsArchiveName(listing, "AB__")) << listing;
    const std::string log = home_.Dir().Read(listing).value_or("");
    EXPECT_TRUE(log.ends_with(" Par1=app.ini\nExitCode=217 , ErrorAddr=0000:0000\n")) << log;
}

TEST_F(RuntimeLogTest, SecondInstanceOnlyAppendsItsRecordAndKeepsTheName) {
    TxsStartup(kProgram, "app.ini");
    SecondInstance() = true;
    TxsShutdown(0);
    EXPECT_EQ(home_.Dir().Listing(), "AB__.TXS");
    EXPECT_EQ(Log(), StartLineFor(TxsPath()) + "((( QORV V4.12\n#SecondInst Run/Close, time " +
                         TxsTimeText(FakeNow()) + "\n");
}

TEST_F(RuntimeLogTest, DeletedLogIsRecreatedWithARecreateRecord) {
    TxsStartup(kProgram, "app.ini");
    DelTxsFile();
    EXPECT_EQ(home_.Dir().Listing(), "");
    TxsWriteln("after");
    EXPECT_EQ(Log(), StartLineFor(TxsPath()) + "((( QORV V4.12\n!File " + TxsPath().string() +
                         " recreated for app.ini\nafter\n");
}

TEST_F(RuntimeLogTest, ShutdownAfterTheLogWasDeletedLeavesNothing) {
    TxsStartup(kProgram, "app.ini");
    DelTxsFile();
    TxsShutdown(0);
    EXPECT_EQ(home_.Dir().Listing(), "");
}

TEST_F(RuntimeLogTest, DelOldTxsFilesDeletesOnlyArchivedLogs) {
    TxsStartup(kProgram, "app.ini");
    auto& dir = home_.Dir();
    for (const char* name : {"AB__2301010000.TXS", "ab__2301010000_3.txs", "AB__notes.TXS",
                             "AB__2301010000.TXT", "OTHER2301010000.TXS", "AB__2301010000.TXS.bak"}) {
        dir.Write(name, "x");
    }
    fs::create_directory(dir / "AB__2301010001.TXS");
    DelOldTxsFiles();
    EXPECT_EQ(dir.Listing(), "AB__.TXS AB__2301010000.TXS.bak AB__2301010000.TXT AB__2301010001.TXS "
                             "AB__notes.TXS OTHER2301010000.TXS");
}

// The whole life of the log across program runs, with real processes: this test program runs itself
// with the hidden test below.
constexpr const char* kChildMode = "RAVLO_LOG_CHILD";

int RunChild(const fs::path& home, const std::string& mode) {
    std::vector<std::string> environment{"RAVLO_HOME=" + home.string(), std::string(kChildMode) + "=" + mode};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        if (!text.starts_with("RAVLO_HOME=") && !text.starts_with(std::string(kChildMode) + "=") &&
            !text.starts_with("GTEST_")) {
            environment.emplace_back(text);
        }
    }
    std::vector<char*> envp;
    for (auto& text : environment) {
        envp.push_back(text.data());
    }
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe";
    std::string filter = "--gtest_filter=RuntimeLogChild.DISABLED_OneRun";
    std::string alsoDisabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {program.data(), filter.data(), alsoDisabled.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return -1;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RuntimeLogChild, DISABLED_OneRun) {
    const char* mode = std::getenv(kChildMode);
    ASSERT_NE(mode, nullptr);
    TxsStartup("/opt/ravlo/AB.EXE", "/home/user/run.ini");
    TxsWriteln(std::string("child line ") + mode);
    if (std::string_view(mode) == "crash") {
        std::_Exit(7); // no unit end: the log stays behind
    }
    TxsShutdown(5);
}

TEST(RuntimeLogRuns, CrashedRunIsArchivedByTheNextRunWhichEndsItsOwnLog) {
    test::LogHome home;
    const auto& dir = home.Dir();
    ASSERT_EQ(RunChild(dir.Path(), "crash"), 7);
    ASSERT_EQ(dir.Listing(), "AB__.TXS");
    ASSERT_EQ(RunChild(dir.Path(), "exit"), 0);

    std::vector<std::string> archives;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        archives.push_back(entry.path().filename().string());
    }
    ASSERT_EQ(archives.size(), 2u) << dir.Listing();
    int crashed = 0;
    int ended = 0;
    for (const auto& name : archives) {
        EXPECT_TRUE(IsTxsArchiveName(name, "AB__")) << name;
        const std::string log = dir.Read(name).value_or("");
        EXPECT_TRUE(log.starts_with("Begin of " + (dir / "AB__.TXS").string() + ", time ")) << log;
        if (log.find("child line crash\n") != std::string::npos) {
            ++crashed;
            EXPECT_EQ(log.find("End of "), std::string::npos) << log;
        } else {
            ++ended;
            EXPECT_NE(log.find("child line exit\n))) QORV RunTime 0 min\nEnd of " + (dir / name).string() +
                               ", time "),
                      std::string::npos)
                << log;
            EXPECT_TRUE(log.ends_with(" Par1=run.ini\nExitCode=5 , ErrorAddr=0000:0000\n")) << log;
        }
    }
    EXPECT_EQ(crashed, 1);
    EXPECT_EQ(ended, 1);
}

} // namespace
} // namespace ravlo
