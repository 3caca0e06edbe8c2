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

std::string GlbIni(const std::string& entries) {
    return "[SECTIONS]\r\nRD_SECTION=READ\r\n[READ]\r\nGLBSYSCOLL=PFX=GS\r\n" + entries;
}

TEST(GlbSysEntry, TheFirstEntryIsTakenAndAnyOtherNumberIsTold) {
    const struct {
        const char* entries;
        const char* problem;
        const char* tna; // nullptr: no entry
    } cases[] = {
        {"GS00=TNA='MAIN' LOG=$2000 HIL=$20FF PCO=mainpc\r\n", "", "MAIN"},
        {"GS00=TNA='FIRST' LOG=$10\r\nGS01=TNA='SECOND' LOG=$20\r\n",
         "Bad .INI file - more than one item in GLBSYSCOLL", "FIRST"},
        {"", "Bad .INI file - no item in GLBSYSCOLL", nullptr},
    };
    for (const auto& c : cases) {
        AppIniFixture ini(GlbIni(c.entries));
        CapturedWriter writer;
        const TGlbSysChoice choice = ChooseGlbSysEntry(*MakeNamed<TProcWinLabelColl>("GLBSYSCOLL"));
        EXPECT_EQ(choice.Problem, c.problem);
        ASSERT_EQ(choice.Entry.has_value(), c.tna != nullptr) << c.entries;
        if (c.tna != nullptr) {
            EXPECT_EQ(choice.Entry->TNA, c.tna);
            EXPECT_EQ(choice.Entry->PCO, std::string(c.tna) == "MAIN" ? "MAINPC" : "") << "upper case";
        }
    }
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
