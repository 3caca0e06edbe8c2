#include "framework/local_time.h"
#include "framework/log_names.h"
#include "platform/file_time.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

std::chrono::system_clock::time_point LocalTime(int year, int month, int day, int hour, int min, int sec) {
    const TDTRec r{static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                   static_cast<std::uint16_t>(day),  static_cast<std::uint16_t>(hour),
                   static_cast<std::uint16_t>(min),  static_cast<std::uint16_t>(sec)};
    return LocalDTRecToTime(r).value();
}

TEST(TxsNames, BaseNameIsCutPaddedAndPrefixedForALibrary) {
    EXPECT_EQ(TxsBaseName("AB.EXE"), "AB__");
    EXPECT_EQ(TxsBaseName("AB.EXE", true), "Lib_AB__");
    EXPECT_EQ(TxsBaseName("ravlo"), "ravlo");
    EXPECT_EQ(TxsBaseName("ravlo", true), "Lib_ravl");
    EXPECT_EQ(TxsBaseName("SUPERVISOR.EXE"), "SUPERVIS"); // cut to 8 before the dot is looked for
    EXPECT_EQ(TxsBaseName("ABCDEFG.X"), "ABCDEFG");
    EXPECT_EQ(TxsBaseName("A.B.EXE"), "A___");
    EXPECT_EQ(TxsBaseName(".EXE"), "____");
    EXPECT_EQ(TxsBaseName(""), "____");
}

TEST(TxsNames, TimeTextAndStampAreLocalTwoDigitFields) {
    const auto time = LocalTime(2024, 3, 7, 9, 5, 4);
    EXPECT_EQ(TxsTimeText(time), "07.03.24 09:05:04");
    EXPECT_EQ(TxsStampText(time), "2403070905");
    EXPECT_EQ(TxsStampText(LocalTime(2009, 12, 31, 23, 59, 59)), "0912312359");
}

TEST(TxsNames, ArchiveStampComesFromTheFilesOwnWriteTime) {
    const testing::ScratchDir dir;
    dir.Write("AB__.TXS", "x");
    ASSERT_TRUE(WriteFileWriteTime(dir / "AB__.TXS", FromSystemTime(LocalTime(2023, 12, 31, 23, 58, 30))));
    EXPECT_EQ(TxsArchStamp(dir / "AB__.TXS"), "2312312358");
    EXPECT_EQ(TxsArchStamp(dir / "missing.TXS"), std::nullopt);
}

TEST(TxsNames, ArchiveNamesAreBaseTenDigitsAndAnOptionalSuffix) {
    EXPECT_TRUE(IsTxsArchiveName("AB__2403070905.TXS", "AB__"));
    EXPECT_TRUE(IsTxsArchiveName("ab__2403070905.txs", "AB__"));
    EXPECT_TRUE(IsTxsArchiveName("AB__2403070905_12.TXS", "AB__"));

    EXPECT_FALSE(IsTxsArchiveName("AB__.TXS", "AB__"));            // the current log
    EXPECT_FALSE(IsTxsArchiveName("AB__notes.TXS", "AB__"));       // someone else's file
    EXPECT_FALSE(IsTxsArchiveName("AB__240307090.TXS", "AB__"));   // nine digits
    EXPECT_FALSE(IsTxsArchiveName("AB__24030709051.TXS", "AB__")); // eleven digits
    EXPECT_FALSE(IsTxsArchiveName("AB__2403070905_.TXS", "AB__"));
    EXPECT_FALSE(IsTxsArchiveName("AB__2403070905_x.TXS", "AB__"));
    EXPECT_FALSE(IsTxsArchiveName("AB__2403070905.TXT", "AB__"));
    EXPECT_FALSE(IsTxsArchiveName("XAB__2403070905.TXS", "AB__"));
    EXPECT_FALSE(IsTxsArchiveName("AB_2403070905.TXS", "AB__"));
}

TEST(TxsNames, ArchivePathSkipsTakenNames) {
    const testing::ScratchDir dir;
    EXPECT_EQ(FreeTxsArchivePath(dir.Path(), "AB__", "2403070905"), dir / "AB__2403070905.TXS");
    dir.Write("AB__2403070905.TXS", "older");
    EXPECT_EQ(FreeTxsArchivePath(dir.Path(), "AB__", "2403070905"), dir / "AB__2403070905_1.TXS");
    dir.Write("AB__2403070905_1.TXS", "older too");
    EXPECT_EQ(FreeTxsArchivePath(dir.Path(), "AB__", "2403070905"), dir / "AB__2403070905_2.TXS");
    EXPECT_EQ(FreeTxsArchivePath(dir.Path(), "AB__", "2403070906"), dir / "AB__2403070906.TXS");
}

TEST(TxsNames, ErrorExitRecordHasNoAddressOnThisPlatform) {
    EXPECT_EQ(TxsErrorExitLine(3), "ExitCode=3 , ErrorAddr=0000:0000");
    EXPECT_EQ(TxsErrorExitLine(-1), "ExitCode=-1 , ErrorAddr=0000:0000");
}

} // namespace
} // namespace ravlo
