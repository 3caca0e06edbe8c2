#include "kernel/proc_win_label.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::AppIniFixture;
using testing::CapturedWriter;

constexpr std::string_view kIni =
    "[SECTIONS]\r\n"
    "RD_SECTION=READ\r\n"
    "WR_SECTION=WRITE\r\n"
    "[READ]\r\n"
    "GLBSYSCOLL=PFX=GS\r\n"
    "GS00=TYP=1 TNA='MAIN WINDOW' CAP=\"Ravlo main\" LOG=$2000 HIL=$20FF PCO=mainpc USR=$FFFFFFFF\r\n"
    "WINCOLL=PFX=WC\r\n"
    "WC00=TNA=main LOG=$10000\r\n"
    "WC01=TYP=256\r\n";

TEST(ProcWinLabelTest, EntriesAreReadWithQuotedAndPlainTexts) {
    AppIniFixture ini(kIni);
    CapturedWriter writer;
    const auto glb = MakeNamed<TProcWinLabelColl>("GLBSYSCOLL");
    ASSERT_EQ(glb->Count(), 1);
    const TProcWinNameObj& main = *glb->EntryAt(0);
    EXPECT_EQ(main.TYP, 1);
    EXPECT_EQ(main.TNA, "MAIN WINDOW") << "quoted text keeps blank and case";
    EXPECT_EQ(main.CAP, "Ravlo main");
    EXPECT_EQ(main.LOG, 0x2000);
    EXPECT_EQ(main.HIL, 0x20FF);
    EXPECT_EQ(main.PCO, "MAINPC");
    EXPECT_EQ(main.USR, 0xFFFFFFFFu);
    EXPECT_TRUE(writer.Errors().empty());

    const auto win = MakeNamed<TProcWinLabelColl>("WINCOLL");
    ASSERT_EQ(win->Count(), 2);
    EXPECT_EQ(win->EntryAt(0)->TNA, "MAIN") << "a plain word is upper-cased";
    EXPECT_EQ(win->EntryAt(0)->LOG, 0) << "LOG=$10000 does not fit a word";
    EXPECT_EQ(win->EntryAt(1)->TYP, 0);
    EXPECT_EQ(writer.Errors().size(), 4u) << "two failed parses of two lines each";
}

TEST(ProcWinLabelTest, CaptionIsCutAndWriteBackReadsBack) {
    TProcWinNameObj entry;
    const std::string longCaption(100, 'x');
    ASSERT_FALSE(entry.ParseParams("CAP='" + longCaption + "' TNA=\"it's\" PCO='TWO WORDS' USR=5 TYP=2"));
    EXPECT_EQ(entry.CAP.size(), TProcWinNameObj::kCaptionMax);
    EXPECT_EQ(entry.ParamsToText(), " TYP=2 TNA=\"it's\" CAP='" + std::string(79, 'x') +
                                        "' LOG=$0000 HIL=$0000 PCO='TWO WORDS' USR=$00000005");
    TProcWinNameObj copy;
    ASSERT_FALSE(copy.ParseParams(entry.ParamsToText()));
    EXPECT_EQ(copy.ParamsToText(), entry.ParamsToText());
}

TEST(ProcWinLabelTest, Dump) {
    AppIniFixture ini(kIni);
    CapturedWriter writer;
    const auto glb = MakeNamed<TProcWinLabelColl>("GLBSYSCOLL");
    glb->WriteColl(0);
    ASSERT_EQ(writer.Lines().size(), 2u);
    EXPECT_EQ(writer.Lines()[0], "*** TProcWinLabelColl(GLBSYSCOLL) **** Count=1");
    EXPECT_EQ(writer.Lines()[1].substr(0, 31), "GS00= TYP=1 TNA='MAIN WINDOW' C");
}

} // namespace
} // namespace ravlo
