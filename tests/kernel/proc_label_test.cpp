#include "framework/debug_mask.h"
#include "kernel/kernel_debug.h"
#include "kernel/proc_label.h"
#include "kernel/proc_win_label.h"
#include "kernel/process.h"
#include "kernel/process_coll.h"
#include "kernel_test_support.h"
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
    "LABELCOLL=PFX=PL\r\n"
    "PL00=NAM=ma PRS=$70 ADR=[70,00,2001] PCO=mainpc\r\n"
    "PL01=NAM=COMM ANY=[87,00,2001] PRS=135 PCO=MAINPC\r\n"
    "PL02=NAM=DYN PRD=$50 ADR=[50,00,2002] PCO=MAINPC\r\n"
    "PL03=NAM=OUTSIDE PRS=$70 PRE ADR=[73,00,2001]\r\n"
    "PL04=NAM=ERR PRS=$73 ADR=[73,00,2001] PCO=MAINPC\r\n"
    "PL06=NAM=NEVER PRS=$8F\r\n"
    "SHORT=PFX=SH MAX=2\r\n"
    "SH00=NAM=A\r\n"
    "SH02=NAM=C PRS=$100\r\n"
    "MA=DWN=3 XYS=$0010\r\n"
    "WINCOLL=PFX=WC\r\n"
    "WC00=TYP=1 TNA=main CAP=\"Ravlo main\" HIL=$20FF PCO=mainpc USR=$FFFFFFFF LOG=$10000\r\n"
    "WC01=TYP=256\r\n"
    "MAINPC=AT=2\r\n"
    "BADCOLL=NOSUCH=1\r\n";

class ProcLabelTest : public ::testing::Test {
protected:
    AppIniFixture ini_{kIni};
    CapturedWriter writer_;
};
using ProcWinLabelTest = ProcLabelTest;
using ProcessTest = ProcLabelTest;

TEST_F(ProcLabelTest, LabelsAreReadInIniOrderUpToTheFirstMissingKeyAndLookedUp) {
    const auto labels = MakeNamed<TProcLabelColl>("LABELCOLL");
    std::vector<std::string> read;
    for (std::int32_t i = 0; i < labels->Count(); ++i) {
        read.push_back(labels->LabelAt(i)->GetLabelStr() + labels->LabelAt(i)->ParamsToText());
    }
    // PL05 is missing, so PL06 is not read; words are upper-cased, PRS=135 is decimal, PRE after PRS
    // makes an external label.
    EXPECT_EQ(read, (std::vector<std::string>{
                        "PL00^[70,00,2001][ ](st$70) NAM=MA ADR=[70,00,2001] PRS=$70 PCO=MAINPC",
                        "PL01^[87,00,2001][A](st$87) NAM=COMM ANY=[87,00,2001] PRS=$87 PCO=MAINPC",
                        "PL02^[50,00,2002][ ](dy$50) NAM=DYN ADR=[50,00,2002] PRD=$50 PCO=MAINPC",
                        "PL03^[73,00,2001][ ](ex) NAM=OUTSIDE ADR=[73,00,2001] PRE",
                        "PL04^[73,00,2001][ ](st$73) NAM=ERR ADR=[73,00,2001] PRS=$73 PCO=MAINPC"}));
    EXPECT_EQ(labels->LabelAt(3)->ProcType, 0);
    EXPECT_EQ(TProcLabel().GetLabelStr(), "^[00,00,0000][ ](un)");
    EXPECT_TRUE(writer_.Errors().empty());

    EXPECT_EQ(labels->GetLabelByName("PL02"), labels->LabelAt(2));
    EXPECT_EQ(labels->GetLabelByName("MA"), nullptr) << "labels go by their INI key";
    EXPECT_EQ(labels->GetLabelByIdent(0x73), labels->LabelAt(4)) << "the external label is skipped";
    EXPECT_EQ(labels->GetLabelByIdentLogA(0x73, 0x2001), labels->LabelAt(3))
        << "this lookup does not skip it";
    EXPECT_EQ(labels->GetLabelByIdentLogA(0x70, 0x2002), nullptr);
    EXPECT_EQ(labels->NewProcess(labels->LabelAt(0)), nullptr) << "the kernel's own collection makes nothing";
}

// The collection traces among what its creation writes.
template <class Coll>
std::vector<std::string> CreationTraces(const CapturedWriter& writer, std::string_view name) {
    const std::size_t before = writer.Lines().size();
    MakeNamed<Coll>(name);
    std::vector<std::string> traces;
    for (std::size_t i = before; i < writer.Lines().size(); ++i) {
        if (writer.Lines()[i].find("Coll.Create ") != std::string::npos) {
            traces.push_back(writer.Lines()[i]);
        }
    }
    return traces;
}

// The exit trace tells whether the collection's own key parsed; its items do not count.
TEST_F(ProcLabelTest, CollectionsTraceTheirCreationOnlyWhileInitTracesAreOn) {
    struct Case {
        std::vector<std::string> (*create)(const CapturedWriter&, std::string_view);
        std::string cls;
        std::string_view key;
        bool verdict; // whether the exit line says OK or ERROR
    };
    const Case cases[] = {{CreationTraces<TProcLabelColl>, "TProcLabelColl", "LABELCOLL", false},
                          {CreationTraces<TProcessColl>, "TProcessColl", "MAINPC", true},
                          {CreationTraces<TProcWinLabelColl>, "TProcWinLabelColl", "WINCOLL", true}};
    for (const Case& c : cases) {
        SetDebugMask(~DM_InitDone);
        EXPECT_TRUE(c.create(writer_, c.key).empty()) << c.cls;
        SetDebugMask(DM_InitDone);
        const std::string exit = c.cls + ".Create Exit ";
        EXPECT_EQ(c.create(writer_, c.key),
                  (std::vector<std::string>{"/" + c.cls + ".Create Entry", exit + (c.verdict ? "OK" : "")}));
        EXPECT_EQ(
            c.create(writer_, "BADCOLL"),
            (std::vector<std::string>{"/" + c.cls + ".Create Entry", exit + (c.verdict ? "ERROR" : "")}));
    }
    SetDebugMask(0);
}

TEST_F(ProcLabelTest, ABoundedCollectionReportsMissingKeysAndBadValues) {
    const auto labels = MakeNamed<TProcLabelColl>("SHORT");
    ASSERT_EQ(labels->Count(), 2) << "SH01 is missing and skipped";
    EXPECT_EQ(labels->LabelAt(1)->NAM, "C");
    EXPECT_EQ(labels->LabelAt(1)->Kind, PR_unknown) << "PRS=$100 does not fit a byte and changes nothing";
    ASSERT_EQ(writer_.Errors().size(), 3u); // the missing key, and the failed parse in two lines
    EXPECT_NE(writer_.Errors()[0].find("SH01="), std::string::npos);
}

TEST_F(ProcLabelTest, KeywordsTheirWriteBackTextAndKeywordErrors) {
    TProcLabel label;
    EXPECT_FALSE(label.ParseParams("PRS=$70 ADR=[70,00,2001]"));
    EXPECT_EQ(label.ParamsToText(), " ADR=[70,00,2001] PRS=$70");
    EXPECT_FALSE(label.ParseParams("ANY=[70,00,2001] NAM=MA PCO=MAINPC"));
    EXPECT_EQ(label.ParamsToText(), " NAM=MA ANY=[70,00,2001] PRS=$70 PCO=MAINPC");
    EXPECT_FALSE(label.ParseParams("ADR=[70,00,2001] PRD=$50 UPD=1"));
    EXPECT_EQ(label.ParamsToText(), " UPD=1 NAM=MA ADR=[70,00,2001] PRD=$50 PCO=MAINPC") << "ADR clears ANY";
    EXPECT_FALSE(label.ParseParams("PRE"));
    EXPECT_EQ(label.ParamsToText(), " UPD=1 NAM=MA ADR=[70,00,2001] PRE PCO=MAINPC");
    TProcLabel copy; // what is written reads back
    EXPECT_FALSE(copy.ParseParams(label.ParamsToText()));
    EXPECT_EQ(copy.ParamsToText(), label.ParamsToText());
    ASSERT_FALSE(label.ParseParams("ADR=[70,00,2001] PRS=$70")); // bad values below change nothing
    const std::string before = label.ParamsToText();
    for (const char* bad : {"ADR=[7G,00,3001]", "ANY=[70,00,001]", "PRD=x", "PRD=-1", "PRD=256"}) {
        EXPECT_TRUE(label.ParseParams(bad)) << bad;
    }
    EXPECT_EQ(label.ParamsToText(), before);
    EXPECT_EQ(label.AnyFlag, 0);
}

TEST_F(ProcWinLabelTest, EntriesAreReadWithQuotedAndPlainTextsBadValuesChangeNothingAndCaptionsAreCut) {
    const auto win = MakeNamed<TProcWinLabelColl>("WINCOLL");
    ASSERT_EQ(win->Count(), 2);
    // A plain word is upper-cased; LOG=$10000 does not fit a word, TYP=256 not a byte.
    EXPECT_EQ(win->EntryAt(0)->ParamsToText(),
              " TYP=1 TNA='MAIN' CAP='Ravlo main' LOG=$0000 HIL=$20FF PCO=MAINPC USR=$FFFFFFFF");
    EXPECT_EQ(win->EntryAt(1)->TYP, 0);
    EXPECT_EQ(writer_.Errors().size(), 4u) << "two failed parses of two lines each";

    // A caption is cut; what is written reads back.
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

TEST_F(ProcessTest, CreatedFromALabelAndOutOfRangeSettingsAreKeywordErrors) {
    const auto labels = MakeNamed<TProcLabelColl>("LABELCOLL");
    TProcess process(labels->LabelAt(0));
    EXPECT_FALSE(process.ReadParamFromINI(false));
    process.ApplyParams();
    EXPECT_EQ(process.HeldPos, 0x10);
    process.SetXInst(3);
    EXPECT_EQ(process.GetName(), "MA");
    process.State = 0x1A2;
    EXPECT_EQ(process.ProcStr(), "MA^03^[70,03,2001][ ](st$70) state={01A2}");
    for (const char* bad : {"XYS=$10000", "XYS=-1", "DWN=256"}) {
        EXPECT_TRUE(process.ParseParams(bad)) << bad;
    }
    EXPECT_EQ(process.ParamsToText(), " NAM=MA ADR=[70,03,2001] PRS=$70 PCO=MAINPC DWN=3 XYS=$0010");
    EXPECT_FALSE(process.ParseParams("XYS=$FFFF DWN=9"));
    EXPECT_EQ(process.XYS, 0xFFFF);

    TProcess orphan(nullptr);
    EXPECT_EQ(writer_.Errors().size(), 1u);
    EXPECT_TRUE(orphan.Name.empty());
}

TEST_F(ProcessTest, AStatusPositionIsAskedForAndGivenBackAndItsWindowMissingIsReported) {
    testing::KernelGlobals kernel;
    TProcess process(nullptr);
    process.Name = "P";
    process.ADR.LogA = 0x2001;
    ASSERT_FALSE(process.ParseParams("XYS=$FFFF"));
    process.ApplyParams();
    EXPECT_EQ(process.HeldPos, 0xFFFF);
    ASSERT_FALSE(writer_.Errors().empty());
    EXPECT_EQ(writer_.Errors().back(), "P wm_GetStringPos error!");

    std::vector<std::uintptr_t> freed;
    testing::ProcMessWindow window; // hands out status-line positions; only the low word counts
    window.react = [&freed](std::uint32_t msg, std::uintptr_t wParam) -> std::intptr_t {
        if (msg == wm_FreeStringPos) {
            freed.push_back(wParam);
        }
        return msg == wm_GetStringPos ? 0x12340007 : 0;
    };
    ASSERT_TRUE(kernel.registry.Register("MAIN", window.registration.Handle(), {}, {}, 0x2000, 0x20FF));
    process.HeldPos = 0; // nothing held yet
    process.ApplyParams();
    EXPECT_EQ(process.HeldPos, 7);
    process.ApplyParams();
    EXPECT_EQ(freed, std::vector<std::uintptr_t>{7}) << "the held position goes back first";
}

} // namespace
} // namespace ravlo
