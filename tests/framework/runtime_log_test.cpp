#include "framework/local_time.h"
#include "framework/log_names.h"
#include "framework/log_test_support.h"
#include "platform/cp1250.h"
#include "platform/file_time.h"

#include <gtest/gtest.h>
#include <vector>

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using test::FakeNow;
using test::RuntimeLogTest;

constexpr std::string_view kProgram = "/opt/ravlo/AB.EXE";

std::string StartLineFor(const fs::path& log) {
    return "Begin of " + log.string() + ", time " + TxsTimeText(FakeNow()) + " Par1=app.ini\n";
}

TEST_F(RuntimeLogTest, WritesNothingBeforeStartupThenRecordsAndLinesInOrder) {
    TxsWriteln("stray");
    TxsBegin();
    TxsShutdown(0);
    EXPECT_EQ(home_.Dir().Listing(), "");
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

TEST_F(RuntimeLogTest, LeftoverLogIsArchivedUnderItsOwnStampWithASuffixWhenThatIsTaken) {
    home_.Dir().Write("AB__2312312358.TXS", "older archive\n");
    home_.Dir().Write("AB__2312312358_1.TXS", "second older archive\n");
    home_.Dir().Write("AB__.TXS", "crashed run\n");
    const FileTime stamp = FromSystemTime(LocalDTRecToTime(TDTRec{2023, 12, 31, 23, 58, 0}).value());
    ASSERT_TRUE(WriteFileWriteTime(home_.Dir() / "AB__.TXS", stamp));
    TxsStartup(kProgram, "app.ini");
    EXPECT_EQ(home_.Dir().Read("AB__2312312358.TXS"), "older archive\n");
    EXPECT_EQ(home_.Dir().Read("AB__2312312358_1.TXS"), "second older archive\n");
    EXPECT_EQ(home_.Dir().Read("AB__2312312358_2.TXS"), "crashed run\n");
    EXPECT_EQ(Log(), StartLineFor(TxsPath()) + "((( QORV V4.12\n");
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
    fs::remove(home_.Dir() / listing);
    TxsStartup(kProgram, "app.ini");
    TxsShutdown(217);
    const std::string log = home_.Dir().Read(home_.Dir().Listing()).value_or("");
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

TEST_F(RuntimeLogTest, DeletedLogIsRecreatedWithARecordUnlessTurnedOffAndShutdownLeavesNothing) {
    TxsStartup(kProgram, "app.ini");
    DelTxsFile();
    SetTxsOn(false);
    TxsWriteln("while off");
    EXPECT_EQ(home_.Dir().Listing(), "");
    SetTxsOn(true);
    TxsWriteln("after");
    EXPECT_EQ(Log(), StartLineFor(TxsPath()) + "((( QORV V4.12\n!File " + TxsPath().string() +
                         " recreated for app.ini\nafter\n");
    DelTxsFile();
    TxsShutdown(0);
    EXPECT_EQ(home_.Dir().Listing(), "");
}

TEST_F(RuntimeLogTest, DelOldTxsFilesDeletesOnlyArchivedLogs) {
    TxsStartup(kProgram, "app.ini");
    auto& dir = home_.Dir();
    // Archives: the base, ten digits and an optional suffix; anything else is someone else's.
    for (const char* name :
         {"AB__2301010000.TXS", "ab__2301010000_3.txs", "AB__notes.TXS", "AB__230101000.TXS",
          "AB__23010100001.TXS", "AB__2301010000_.TXS", "AB__2301010000_x.TXS", "AB__2301010000.TXT",
          "XAB__2301010000.TXS", "AB_2301010000.TXS", "AB__2301010000.TXS.bak"}) {
        dir.Write(name, "x");
    }
    fs::create_directory(dir / "AB__2301010001.TXS");
    DelOldTxsFiles();
    EXPECT_EQ(dir.Listing(),
              "AB_2301010000.TXS AB__.TXS AB__230101000.TXS AB__2301010000.TXS.bak "
              "AB__2301010000.TXT AB__23010100001.TXS AB__2301010000_.TXS AB__2301010000_x.TXS "
              "AB__2301010001.TXS AB__notes.TXS XAB__2301010000.TXS");
}

TEST(TxsNames, BaseNameIsCutPaddedAndPrefixedForALibrary) {
    EXPECT_EQ(TxsBaseName("AB.EXE", true), "Lib_AB__");
    EXPECT_EQ(TxsBaseName("ravlo"), "ravlo");
    EXPECT_EQ(TxsBaseName("ravlo", true), "Lib_ravl");
    EXPECT_EQ(TxsBaseName("SUPERVISOR.EXE"), "SUPERVIS"); // cut to 8 before the dot is looked for
    EXPECT_EQ(TxsBaseName("A.B.EXE"), "A___");
    EXPECT_EQ(TxsBaseName(""), "____");
}

TEST(TxsNames, TimeTextAndStampAreLocalTwoDigitFields) {
    const auto time = LocalDTRecToTime(TDTRec{2024, 3, 7, 9, 5, 4}).value();
    EXPECT_EQ(TxsTimeText(time), "07.03.24 09:05:04");
    EXPECT_EQ(TxsStampText(time), "2403070905");
    EXPECT_EQ(TxsStampText(LocalDTRecToTime(TDTRec{2009, 12, 31, 23, 59, 59}).value()), "0912312359");
    EXPECT_EQ(TxsArchStamp("/nowhere/AB__.TXS"), std::nullopt);
}

} // namespace
} // namespace ravlo
