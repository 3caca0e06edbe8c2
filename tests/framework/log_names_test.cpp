#include "framework/local_time.h"
#include "framework/log_names.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

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
    const auto time = LocalDTRecToTime(TDTRec{2024, 3, 7, 9, 5, 4}).value();
    EXPECT_EQ(TxsTimeText(time), "07.03.24 09:05:04");
    EXPECT_EQ(TxsStampText(time), "2403070905");
    EXPECT_EQ(TxsStampText(LocalDTRecToTime(TDTRec{2009, 12, 31, 23, 59, 59}).value()), "0912312359");
    EXPECT_EQ(TxsArchStamp("/nowhere/AB__.TXS"), std::nullopt);
}

} // namespace
} // namespace ravlo
