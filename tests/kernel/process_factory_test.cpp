#include "framework/debug_mask.h"
#include "kernel/app_name_object.h"
#include "kernel/dlg_process.h"
#include "kernel/process_factory.h"
#include "kernel_test_support.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::AppIniFixture;
using testing::CapturedWriter;
using testing::KernelGlobals;

constexpr std::string_view kIni = "[SECTIONS]\r\n"
                                  "RD_SECTION=READ\r\n"
                                  "WR_SECTION=WRITE\r\n"
                                  "[READ]\r\n"
                                  "LABELCOLL=PFX=PL\r\n"
                                  "PL00=NAM=MA PRS=$70 ADR=[70,00,2001] PCO=MAINPC\r\n"
                                  "PL01=NAM=ERR PRS=$73 ADR=[73,00,2001] PCO=MAINPC\r\n"
                                  "PL02=NAM=COMM PRS=$87 ADR=[87,00,2001] PCO=MAINPC\r\n"
                                  "PL03=NAM=DLG PRS=$8F ADR=[8F,00,2001] PCO=MAINPC\r\n"
                                  "PL04=NAM=ODD PRS=$71 ADR=[71,00,2001] PCO=MAINPC\r\n"
                                  "PL05=NAM=EXT PRE ADR=[50,00,2001]\r\n"
                                  "PL06=NAM=REC PRS=$50 ADR=[50,00,2002] PCO=MAINPC\r\n"
                                  "DLG=DWN=2\r\n"
                                  "REC=XYS=$0005\r\n"
                                  "MAINPC=PFX=P\r\n"
                                  "APP=THR=9 SHR=1000 TXS=2 DXS=1 TMA=8 SMA=3\r\n"
                                  "APP2=DM=$0000000F THR=0 SHR=1001 UPD=1\r\n"
                                  "APP3=THR=x\r\n";

class ProcessFactoryTest : public ::testing::Test {
protected:
    AppIniFixture ini_{kIni};
    KernelGlobals kernel_;
    CapturedWriter writer_;
    TRavloProcLabelColl& labels_ = kernel_.ReadLabels();
};

TEST_F(ProcessFactoryTest, OnlyRegisteredClassesAreBuiltAndALayerAboveRegistersItsOwn) {
    auto dlg = labels_.NewProcess(labels_.GetLabelByName("PL03"));
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->ClassName(), TDLGPROC_Process::kClassName);
    EXPECT_EQ(dlg->DWN, 2) << "settings read once the process is whole";

    // The board master, error-history and communication classes belong to the protocol layer; until
    // it registers them they are unknown here.
    for (const char* name : {"PL00", "PL01", "PL02", "PL04"}) {
        EXPECT_EQ(labels_.NewProcess(labels_.GetLabelByName(name)), nullptr) << name;
    }
    ASSERT_EQ(writer_.Errors().size(), 4u);
    EXPECT_EQ(writer_.Errors()[3], "CreateProcess - Unknown ProcType=$71");

    RegisterProcessType(PT_RavloMA, CreateFromLabel<testing::RecordingProcess>);
    auto ma = labels_.NewProcess(labels_.GetLabelByName("PL00"));
    ASSERT_NE(ma, nullptr);
    EXPECT_EQ(ma->ClassName(), "RecordingProcess");
    UnregisterProcessType(PT_RavloMA);
    EXPECT_EQ(labels_.NewProcess(labels_.GetLabelByName("PL00")), nullptr);
}

TEST_F(ProcessFactoryTest, LookupByNameOrIdent) {
    auto rec = labels_.CreateProcess(nullptr, "PL06", 0);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->XYS, 5);
    EXPECT_EQ(rec->HeldPos, 5) << "parameters applied";

    // By Ident the external label with Ident $50 is skipped, so PL06 is found.
    auto byIdent = labels_.CreateProcess(nullptr, {}, 0x50);
    ASSERT_NE(byIdent, nullptr);
    EXPECT_EQ(byIdent->Name, "REC");

    EXPECT_EQ(labels_.CreateProcess(nullptr, "NOPE", 0x12), nullptr);
    EXPECT_EQ(labels_.CreateProcess(nullptr, {}, 0x12), nullptr);
    ASSERT_EQ(writer_.Errors().size(), 2u);
    EXPECT_EQ(writer_.Errors()[0],
              "CreateProcess - Process Name=NOPE,Ident=$12 not found in ProcLabelColl !");
}

TEST_F(ProcessFactoryTest, AStaticLabelOfAnUnknownClassLeavesNoProcess) {
    auto coll = MakeNamed<TProcessColl>("MAINPC");
    coll->CreateStaticProcesses();
    ASSERT_EQ(coll->Count(), 2);
    EXPECT_EQ(coll->ProcAt(0)->Name, "DLG^01");
    EXPECT_EQ(coll->ProcAt(1)->Name, "REC^02");
    EXPECT_EQ(coll->GetProcByIdent(0x71), nullptr);
}

TEST_F(ProcessFactoryTest, AppSettingsKeepTheirValueOutsideTheirRangeAndAreWrittenBack) {
    {
        const auto app = MakeAppNameObject("APP");
        EXPECT_EQ(GetDebugMask(), TAppNameObject::kDefaultDebugMask) << "set before the entry is read";
        EXPECT_EQ(AppSettings().THR, 5) << "THR=9 is ignored";
        EXPECT_EQ(AppSettings().TXS, 0) << "only 1 means on";
        EXPECT_EQ(app->ParamsToText(), " DM=$7FFFFFFF TXS=0 DXS=1 THR=5 SHR=1000 TMA=5 SMA=3")
            << "TMA=8 is ignored";
    }
    ResetAppSettings();
    {
        const auto app = MakeAppNameObject("APP2"); // UPD=1: written back when it goes
        EXPECT_EQ(GetDebugMask(), 0xFu);
        EXPECT_EQ(AppSettings().SHR, 0) << "SHR=1001 is ignored";
    }
    EXPECT_NE(testing::ReadFileText(AppIniName())
                  .find("APP2= UPD=1 DM=$0000000F TXS=1 DXS=0 THR=0 SHR=0 TMA=5 SMA=1"),
              std::string::npos);
    EXPECT_TRUE(writer_.Errors().empty());
    const auto bad = MakeAppNameObject("APP3");
    EXPECT_EQ(writer_.Errors().size(), 2u) << "THR=x is a keyword error";
}

} // namespace
} // namespace ravlo
