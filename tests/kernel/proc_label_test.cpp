#include "framework/debug_mask.h"
#include "kernel/kernel_debug.h"
#include "kernel/proc_label.h"
#include "kernel/process.h"
#include "kernel_test_support.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::AppIniFixture;
using testing::CapturedWriter;

constexpr std::string_view kIni = "[SECTIONS]\r\n"
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
                                  "MA=DWN=3 XYS=$0010\r\n";

TEST(ProcLabelTest, LabelsAreReadInIniOrderUpToTheFirstMissingKey) {
    AppIniFixture ini(kIni);
    CapturedWriter writer;
    const auto labels = MakeNamed<TProcLabelColl>("LABELCOLL");
    ASSERT_EQ(labels->Count(), 5) << "PL05 is missing, so PL06 is not read";

    const TProcLabel& ma = *labels->LabelAt(0);
    EXPECT_EQ(ma.Name, "PL00");
    EXPECT_EQ(ma.NAM, "MA") << "words are upper-cased";
    EXPECT_EQ(ma.Kind, PR_static);
    EXPECT_EQ(ma.ProcType, 0x70);
    EXPECT_EQ(ma.ADR, (TProcAdr{0x70, 0, 0x2001}));
    EXPECT_EQ(ma.AnyFlag, 0);
    EXPECT_EQ(ma.PCO, "MAINPC");

    const TProcLabel& comm = *labels->LabelAt(1);
    EXPECT_EQ(comm.AnyFlag, 1);
    EXPECT_EQ(comm.ProcType, 0x87) << "decimal 135";
    EXPECT_EQ(labels->LabelAt(2)->Kind, PR_dynam);

    const TProcLabel& outside = *labels->LabelAt(3);
    EXPECT_EQ(outside.Kind, PR_extern) << "PRE after PRS";
    EXPECT_EQ(outside.ProcType, 0);
    EXPECT_TRUE(writer.Errors().empty());
}

TEST(ProcLabelTest, ABoundedCollectionReportsMissingKeysAndBadValues) {
    AppIniFixture ini(kIni);
    CapturedWriter writer;
    const auto labels = MakeNamed<TProcLabelColl>("SHORT");
    ASSERT_EQ(labels->Count(), 2) << "SH01 is missing and skipped";
    EXPECT_EQ(labels->LabelAt(1)->NAM, "C");
    EXPECT_EQ(labels->LabelAt(1)->Kind, PR_unknown) << "PRS=$100 does not fit a byte and changes nothing";
    ASSERT_EQ(writer.Errors().size(), 3u); // the missing key, and the failed parse in two lines
    EXPECT_NE(writer.Errors()[0].find("SH01="), std::string::npos);
}

TEST(ProcLabelTest, KeywordsAndTheirWriteBackText) {
    TProcLabel label;
    EXPECT_FALSE(label.ParseParams("PRS=$70 ADR=[70,00,2001]"));
    EXPECT_EQ(label.ParamsToText(), " ADR=[70,00,2001] PRS=$70");
    EXPECT_FALSE(label.ParseParams("ANY=[70,00,2001] NAM=MA PCO=MAINPC"));
    EXPECT_EQ(label.ParamsToText(), " NAM=MA ANY=[70,00,2001] PRS=$70 PCO=MAINPC");
    EXPECT_FALSE(label.ParseParams("ADR=[70,00,2001] PRD=$50 UPD=1"));
    EXPECT_EQ(label.ParamsToText(), " UPD=1 NAM=MA ADR=[70,00,2001] PRD=$50 PCO=MAINPC") << "ADR clears ANY";
    EXPECT_FALSE(label.ParseParams("PRE"));
    EXPECT_EQ(label.ParamsToText(), " UPD=1 NAM=MA ADR=[70,00,2001] PRE PCO=MAINPC");

    // What is written reads back to the same label.
    TProcLabel copy;
    EXPECT_FALSE(copy.ParseParams(label.ParamsToText()));
    EXPECT_EQ(copy.ParamsToText(), label.ParamsToText());
}

TEST(ProcLabelTest, ABadAddressOrNumberIsAKeywordErrorAndChangesNothing) {
    TProcLabel label;
    ASSERT_FALSE(label.ParseParams("ADR=[70,00,2001] PRS=$70"));
    EXPECT_TRUE(label.ParseParams("ADR=[7G,00,3001]"));
    EXPECT_EQ(label.ADR, (TProcAdr{0x70, 0, 0x2001}));
    EXPECT_TRUE(label.ParseParams("ANY=[70,00,001]"));
    EXPECT_EQ(label.AnyFlag, 0);
    EXPECT_TRUE(label.ParseParams("PRD=x"));
    EXPECT_TRUE(label.ParseParams("PRD=-1"));
    EXPECT_TRUE(label.ParseParams("PRD=256"));
    EXPECT_EQ(label.Kind, PR_static);
    EXPECT_EQ(label.ProcType, 0x70);
}

TEST(ProcLabelTest, LabelTextAndLookups) {
    AppIniFixture ini(kIni);
    const auto labels = MakeNamed<TProcLabelColl>("LABELCOLL");
    EXPECT_EQ(labels->LabelAt(0)->GetLabelStr(), "PL00^[70,00,2001][ ](st$70)");
    EXPECT_EQ(labels->LabelAt(1)->GetLabelStr(), "PL01^[87,00,2001][A](st$87)");
    EXPECT_EQ(labels->LabelAt(2)->GetLabelStr(), "PL02^[50,00,2002][ ](dy$50)");
    EXPECT_EQ(labels->LabelAt(3)->GetLabelStr(), "PL03^[73,00,2001][ ](ex)");
    EXPECT_EQ(TProcLabel().GetLabelStr(), "^[00,00,0000][ ](un)");

    EXPECT_EQ(labels->GetLabelByName("PL02"), labels->LabelAt(2));
    EXPECT_EQ(labels->GetLabelByName("MA"), nullptr) << "labels go by their INI key";
    EXPECT_EQ(labels->GetLabelByIdent(0x73), labels->LabelAt(4)) << "the external label is skipped";
    EXPECT_EQ(labels->GetLabelByIdentLogA(0x73, 0x2001), labels->LabelAt(3))
        << "this lookup does not skip it";
    EXPECT_EQ(labels->GetLabelByIdentLogA(0x70, 0x2002), nullptr);
    EXPECT_EQ(labels->NewProcess(labels->LabelAt(0)), nullptr) << "the kernel's own collection makes nothing";
}

TEST(ProcLabelTest, DumpAndCreationTrace) {
    AppIniFixture ini(kIni);
    CapturedWriter writer;
    SetDebugMask(DM_InitDone);
    const auto labels = MakeNamed<TProcLabelColl>("LABELCOLL");
    SetDebugMask(0);
    ASSERT_GE(writer.Lines().size(), 1u);
    EXPECT_EQ(writer.Lines()[0], "/TProcLabel.Create PL00 OK=[ NAM=MA ADR=[70,00,2001] PRS=$70 PCO=MAINPC]");

    const std::size_t before = writer.Lines().size();
    labels->WriteColl(0);
    ASSERT_EQ(writer.Lines().size(), before + 6);
    EXPECT_EQ(writer.Lines()[before], ": *** Coll of ProcessLabels: Count=5");
    EXPECT_EQ(writer.Lines()[before + 5], "PL04^[73,00,2001][ ](st$73)");
}

TEST(ProcessTest, CreatedFromALabel) {
    AppIniFixture ini(kIni);
    CapturedWriter writer;
    const auto labels = MakeNamed<TProcLabelColl>("LABELCOLL");
    TProcess process(labels->LabelAt(0));
    EXPECT_EQ(process.Name, "MA") << "the label's NAM";
    EXPECT_EQ(process.ADR, labels->LabelAt(0)->ADR);
    EXPECT_EQ(process.PCO, "MAINPC");
    EXPECT_FALSE(process.ReadParamFromINI(false));
    EXPECT_EQ(process.DWN, 3);
    EXPECT_EQ(process.XYS, 0x10);
    process.ApplyParams();
    EXPECT_EQ(process.HeldPos, 0x10);

    process.SetXInst(3);
    EXPECT_EQ(process.Name, "MA^03");
    EXPECT_EQ(process.GetName(), "MA");
    EXPECT_EQ(process.ADR.XInst, 3);
    EXPECT_EQ(process.StateStr(), "{0000}");
    process.State = 0x1A2;
    EXPECT_EQ(process.ProcStr(), "MA^03^[70,03,2001][ ](st$70) state={01A2}");
    EXPECT_EQ(process.ParamsToText(), " NAM=MA ADR=[70,03,2001] PRS=$70 PCO=MAINPC DWN=3 XYS=$0010");

    TProcess orphan(nullptr);
    ASSERT_EQ(writer.Errors().size(), 1u);
    EXPECT_EQ(writer.Errors()[0], "TProcess.InitFromLabel PL=nil !!");
    EXPECT_TRUE(orphan.Name.empty());
}

TEST(ProcessTest, OutOfRangeSettingsAreKeywordErrors) {
    TProcess process(nullptr);
    EXPECT_TRUE(process.ParseParams("XYS=$10000"));
    EXPECT_TRUE(process.ParseParams("XYS=-1"));
    EXPECT_TRUE(process.ParseParams("DWN=256"));
    EXPECT_EQ(process.XYS, 0);
    EXPECT_EQ(process.DWN, 0);
    EXPECT_FALSE(process.ParseParams("XYS=$FFFF DWN=9"));
    EXPECT_EQ(process.XYS, 0xFFFF);
}

TEST(ProcessTest, AskingForAStatusPositionWithoutAWindowIsReported) {
    testing::KernelGlobals kernel;
    CapturedWriter writer;
    TProcess process(nullptr);
    process.Name = "P";
    ASSERT_FALSE(process.ParseParams("XYS=$FFFF"));
    process.ApplyParams();
    EXPECT_EQ(process.HeldPos, 0xFFFF);
    ASSERT_FALSE(writer.Errors().empty());
    EXPECT_EQ(writer.Errors().back(), "P wm_GetStringPos error!");
}

// A window that hands out status-line positions.
class PositionWindow : public MessageTarget {
public:
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t) override {
        if (msg == wm_GetStringPos) {
            return 0x12340007; // only the low word counts
        }
        if (msg == wm_FreeStringPos) {
            freed.push_back(wParam);
        }
        return 0;
    }
    std::vector<std::uintptr_t> freed;
    WindowRegistration registration{AppMessageQueue(), *this};
};

TEST(ProcessTest, AStatusPositionIsAskedForAndGivenBack) {
    testing::KernelGlobals kernel;
    PositionWindow window;
    ASSERT_TRUE(kernel.registry.Register("MAIN", window.registration.Handle(), {}, {}, 0x2000, 0x20FF));
    TProcess process(nullptr);
    process.ADR.LogA = 0x2001;
    ASSERT_FALSE(process.ParseParams("XYS=$FFFF"));
    process.ApplyParams();
    EXPECT_EQ(process.HeldPos, 7);
    process.ApplyParams();
    EXPECT_EQ(window.freed, std::vector<std::uintptr_t>{7}) << "the held position goes back first";
}

} // namespace
} // namespace ravlo
