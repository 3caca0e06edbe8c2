#include "framework/name_object.h"
#include "kernel/proc_win_label.h"
#include "shell/main_form_setup.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::AppIniFixture;
using testing::CapturedWriter;
using testing::ScratchDir;

TEST(MainCaption, NamesVersionAndDateAndEndsInABlank) {
    EXPECT_EQ(MainCaption("2.3", "01.02.2024"), "Ravlo 2.3,01.02.2024 Eng ");
    EXPECT_TRUE(MainCaption().starts_with("Ravlo "));
    EXPECT_TRUE(MainCaption().ends_with(" Eng "));
}

std::string GlbIni(const std::string& entries) {
    return "[SECTIONS]\r\nRD_SECTION=READ\r\n[READ]\r\nGLBSYSCOLL=PFX=GS\r\n" + entries;
}

TEST(GlbSysEntry, OneEntryIsTakenQuietly) {
    AppIniFixture ini(GlbIni("GS00=TNA='MAIN' LOG=$2000 HIL=$20FF PCO=mainpc\r\n"));
    CapturedWriter writer;
    const auto coll = MakeNamed<TProcWinLabelColl>("GLBSYSCOLL");
    const TGlbSysChoice choice = ChooseGlbSysEntry(*coll);
    EXPECT_EQ(choice.Problem, "");
    ASSERT_TRUE(choice.Entry.has_value());
    EXPECT_EQ(choice.Entry->TNA, "MAIN");
    EXPECT_EQ(choice.Entry->PCO, "MAINPC");
    EXPECT_EQ(choice.Entry->LOG, 0x2000);
    EXPECT_EQ(choice.Entry->HIL, 0x20FF);
}

TEST(GlbSysEntry, MoreThanOneTakesTheFirstWithTheErrorText) {
    AppIniFixture ini(GlbIni("GS00=TNA='FIRST' LOG=$10\r\nGS01=TNA='SECOND' LOG=$20\r\n"));
    CapturedWriter writer;
    const TGlbSysChoice choice = ChooseGlbSysEntry(*MakeNamed<TProcWinLabelColl>("GLBSYSCOLL"));
    EXPECT_EQ(choice.Problem, "Bad .INI file - more than one item in GLBSYSCOLL");
    ASSERT_TRUE(choice.Entry.has_value());
    EXPECT_EQ(choice.Entry->TNA, "FIRST");
}

TEST(GlbSysEntry, NoEntryGivesNoneAndSaysSo) {
    AppIniFixture ini(GlbIni(""));
    CapturedWriter writer;
    const TGlbSysChoice choice = ChooseGlbSysEntry(*MakeNamed<TProcWinLabelColl>("GLBSYSCOLL"));
    EXPECT_EQ(choice.Problem, "Bad .INI file - no item in GLBSYSCOLL");
    EXPECT_FALSE(choice.Entry.has_value());
}

TEST(MsgIfNoUser, OnlyTheErrorMessagesSectionTurnsItOff) {
    ScratchDir dir;
    EXPECT_TRUE(ReadMsgIfNoUser(dir / "missing.ini"));
    EXPECT_TRUE(ReadMsgIfNoUser(dir.Write("a.ini", "[OTHER]\nMsgIfNoUser=0\n")));
    EXPECT_TRUE(ReadMsgIfNoUser(dir.Write("b.ini", "[ERRORMESSAGES]\nOther=0\n")));
    EXPECT_FALSE(ReadMsgIfNoUser(dir.Write("c.ini", "[ErrorMessages]\nmsgifnouser=0\n")));
    EXPECT_TRUE(ReadMsgIfNoUser(dir.Write("d.ini", "[ERRORMESSAGES]\nMsgIfNoUser=1\n")));
}

} // namespace
} // namespace ravlo
