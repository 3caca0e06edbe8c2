#include "framework/debug_mask.h"
#include "kernel/app_name_object.h"
#include "kernel/dlg_process.h"
#include "kernel/exception_log.h"
#include "kernel/proc_mess_host.h"
#include "kernel/process_coll.h"
#include "kernel/process_factory.h"
#include "kernel_test_support.h"
#include "support/app_fixtures.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Adr;
using testing::AppIniFixture;
using testing::CapturedWriter;
using testing::DeliveredTo;
using testing::Deliveries;
using testing::KernelGlobals;
using testing::Mess;
using testing::RecordingProcess;
using Names = std::vector<std::string>;

constexpr std::string_view kIni = "[SECTIONS]\r\n"
                                  "RD_SECTION=READ\r\n"
                                  "WR_SECTION=WRITE\r\n"
                                  "[READ]\r\n"
                                  "LABELCOLL=PFX=PL\r\n"
                                  "PL00=NAM=ALPHA PRS=$50 ADR=[60,00,2001] PCO=MAINPC\r\n"
                                  "PL01=NAM=BETA PRS=$50 ADR=[61,00,2001] PCO=MAINPC\r\n"
                                  "PL02=NAM=GAMMA PRS=$50 ADR=[62,00,2101] PCO=MAINPC\r\n"
                                  "PL03=NAM=DYN PRD=$50 ADR=[63,00,2001] PCO=MAINPC\r\n"
                                  "PL04=NAM=OTHER PRS=$50 ADR=[64,00,2001] PCO=OTHERPC\r\n"
                                  "PL05=NAM=NOCLASS PRD=$71 ADR=[65,00,2001] PCO=MAINPC\r\n"
                                  "PL06=NAM=MA PRS=$70 ADR=[70,00,2001] PCO=OTHERPC\r\n"
                                  "PL07=NAM=ERR PRS=$73 ADR=[73,00,2001] PCO=OTHERPC\r\n"
                                  "PL08=NAM=COMM PRS=$87 ADR=[87,00,2001] PCO=OTHERPC\r\n"
                                  "PL09=NAM=DLG PRS=$8F ADR=[8F,00,2001] PCO=OTHERPC\r\n"
                                  "PL0A=NAM=ODD PRS=$71 ADR=[71,00,2001] PCO=OTHERPC\r\n"
                                  "PL0B=NAM=EXT PRE ADR=[50,00,2001]\r\n"
                                  "PL0C=NAM=REC PRS=$50 ADR=[50,00,2002] PCO=OTHERPC\r\n"
                                  "MAINPC=PFX=P\r\n"
                                  "WIDEPC=AT=2\r\n"
                                  "ALPHA=UPD=0\r\n"
                                  "BETA=UPD=0\r\n"
                                  "GAMMA=UPD=0\r\n"
                                  "DYN=UPD=0\r\n"
                                  "DLG=DWN=2\r\n"
                                  "REC=XYS=$0005\r\n"
                                  "APP=THR=9 SHR=1000 TXS=2 DXS=1 TMA=8 SMA=3\r\n"
                                  "APP2=DM=$0000000F THR=0 SHR=1001 UPD=1\r\n"
                                  "APP3=THR=x\r\n";

class ProcessCollTest : public ::testing::Test {
protected:
    std::unique_ptr<TProcessColl> MakeColl(std::string_view name = "MAINPC",
                                           std::string_view pco = "MAINPC") {
        auto coll = MakeNamed<TProcessColl>(name);
        coll->Name = std::string(pco);
        coll->CreateStaticProcesses();
        return coll;
    }
    RecordingProcess& Proc(const TProcessColl& coll, std::uint8_t ident) {
        return dynamic_cast<RecordingProcess&>(*coll.GetProcByIdent(ident));
    }
    static std::string ExceptionLog() { return testing::ReadFileText(ExceptionLogPath()); }
    static long ExceptionLogLines() { return std::ranges::count(ExceptionLog(), '\n'); }

    AppIniFixture ini_{kIni};
    KernelGlobals kernel_;
    CapturedWriter writer_;
    TRavloProcLabelColl& labels_ = kernel_.ReadLabels();
};

TEST_F(ProcessCollTest, StaticProcessesAreNumberedInCreationOrder) {
    const auto coll = MakeColl();
    ASSERT_EQ(coll->Count(), 3) << "OTHER belongs to another collection, DYN and NOCLASS are dynamic";
    EXPECT_EQ(coll->ProcAt(0)->Name, "ALPHA^01");
    EXPECT_EQ(coll->ProcAt(1)->Name, "BETA^02");
    EXPECT_EQ(coll->ProcAt(2)->ADR, Adr(0x62, 3, 0x2101));
    EXPECT_EQ(coll->ProcAt(2)->Owner, coll.get());
    EXPECT_EQ(coll->GetProcByIdent(0x61), coll->ProcAt(1));
    EXPECT_EQ(coll->GetProcByIdent(0x64), nullptr);
    EXPECT_TRUE(writer_.Errors().empty());
}

TEST_F(ProcessCollTest, InstanceNumbersSkipTakenOnesAndWrapAndAFullCollectionRefusesTheNext) {
    TProcessColl coll;
    for (int i = 0; i < 3; ++i) {
        coll.AddProcess(testing::MakeRecorder("P", Adr(0x60, 0, 1)));
    }
    coll.XInstCounter = 253;
    EXPECT_EQ(coll.AddProcess(testing::MakeRecorder("P", Adr(0x60, 0, 1)))->ADR.XInst, 254);
    EXPECT_EQ(coll.AddProcess(testing::MakeRecorder("P", Adr(0x60, 0, 1)))->ADR.XInst, 4)
        << "past 254 the count starts again at 1 and skips 1 to 3";
    for (int i = coll.Count(); i < TProcessColl::kMaxInstance; ++i) {
        ASSERT_NE(coll.AddProcess(testing::MakeRecorder("P", Adr(0x60, 0, 1))), nullptr);
    }
    EXPECT_EQ(coll.AddProcess(testing::MakeRecorder("P", Adr(0x60, 0, 1))), nullptr);
    EXPECT_EQ(coll.Count(), 254);
    ASSERT_EQ(writer_.Errors().size(), 1u);
    EXPECT_NE(writer_.Errors()[0].find("process refused"), std::string::npos);
}

// Each row goes to a fresh collection; an unknown destination costs one error line, an unknown Ident
// on the LogA one more.
TEST_F(ProcessCollTest, RoutingByWholeAddressOrByIdentAlone) {
    const struct {
        const char* coll;
        TProcAdr dest;
        Names to;
        std::size_t errors;
    } cases[] = {
        {"MAINPC", Adr(0x60, 0, 0x2001), {"ALPHA^01"}, 0}, // by Ident through its static label
        {"MAINPC", Adr(0x61, 2, 0x2001), {"BETA^02"}, 0},  // by instance
        {"MAINPC", Adr(0x61, 3, 0x2001), {}, 1},
        {"MAINPC", Adr(0x61, 2, 0x2002), {}, 1},
        {"MAINPC", Adr(0x60, 0, 0x2101), {}, 2}, // no label has Ident $60 on LogA $2101
        {"MAINPC", Adr(PRI_All, 0, 0x2001), {"ALPHA^01", "BETA^02"}, 0}, // GAMMA serves $2101
        {"MAINPC", Adr(PRI_All, 0, 0x5555), {}, 0},                      // nobody takes it: no error
        {"WIDEPC", Adr(0x62, 3, 0x2001), {"GAMMA^03"}, 0},               // LogA does not count
        {"WIDEPC", Adr(0x62, 0, 0x7000), {"GAMMA^03"}, 0},
        {"WIDEPC", Adr(PRI_All, 0, 0x7000), {"ALPHA^01", "BETA^02", "GAMMA^03"}, 0},
        {"WIDEPC", Adr(0x77, 0, 0x2001), {}, 2},
        {"MAINPC", Adr(0x65, 0, 0x2001), {}, 2}, // a dynamic label without a class
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.coll) + ProcAdrStr(c.dest));
        Deliveries().clear();
        const std::size_t errors = writer_.Errors().size();
        MakeColl(c.coll)->Deliver(Mess(c.dest, 1));
        EXPECT_EQ(DeliveredTo(), c.to);
        EXPECT_EQ(writer_.Errors().size() - errors, c.errors);
    }
    EXPECT_EQ(
        writer_.Errors()[0],
        "Process [61,03,2001] not found, Deleted ProcMess=000E 00 [61,03,2001] [01,00,2001] (00,00) 01 ()");
    EXPECT_EQ(writer_.Errors()[2],
              "\\TProcessColl.WMProcMess - XInst=0, Unknown Proces, Destin=[60,00,2101]");
}

// Dynamic processes are made per message (DYN^04, DYN^05) and then reached by instance; the AnyFlag
// process (ANY^06) takes XInst 0 first and what no earlier process matches.
TEST_F(ProcessCollTest, DynamicAndAnyFlagProcesses) {
    const auto coll = MakeColl();
    for (const std::uint8_t xInst : {0, 0, 4}) {
        coll->Deliver(Mess(Adr(0x63, xInst, 0x2001), 1));
    }
    coll->AddProcess(testing::MakeRecorder("ANY", Adr(0x66, 0, 0x3000), 1));
    for (const std::uint8_t xInst : {0, 2, 9}) {
        coll->Deliver(Mess(Adr(0x61, xInst, 0x2001), 2));
    }
    EXPECT_EQ(DeliveredTo(), (Names{"DYN^04", "DYN^05", "DYN^04", "ANY^06", "BETA^02", "ANY^06"}));
    EXPECT_TRUE(writer_.Errors().empty());
}

TEST_F(ProcessCollTest, ABroadcastStopsAtKeepButGoesOnPastAFailingHandlerWhichIsLogged) {
    const auto coll = MakeColl();
    coll->Deliver(Mess(Adr(PRI_All, 0, 0x2001), RecordingProcess::kKeepCode));
    ASSERT_EQ(Proc(*coll, 0x60).kept.size(), 1u);
    EXPECT_EQ(Proc(*coll, 0x60).kept[0].GetCode(), RecordingProcess::kKeepCode) << "kept whole";
    coll->Deliver(Mess(Adr(PRI_All, 0, 0x2001), RecordingProcess::kThrowCode));
    EXPECT_EQ(DeliveredTo(), (Names{"ALPHA^01", "ALPHA^01", "BETA^02"}));
    EXPECT_EQ(ExceptionLogLines(), 2);
    EXPECT_TRUE(
        ExceptionLog().starts_with("Exception: handler of ALPHA^01 failed in object RecordingProcess "));
    EXPECT_NE(ExceptionLog().find(" at "), std::string::npos);
}

TEST_F(ProcessCollTest, EveryProcessIsTickedAndAskedToCloseEvenWhenOneFailsOrRefuses) {
    const auto coll = MakeColl();
    Proc(*coll, 0x60).throwOnTick = true;
    coll->TickAll();
    coll->TickAll();
    EXPECT_EQ(Proc(*coll, 0x61).ticks, 2);
    EXPECT_EQ(Proc(*coll, 0x62).ticks, 2);
    EXPECT_EQ(ExceptionLogLines(), 2);
    EXPECT_TRUE(coll->CanCloseAll());
    Proc(*coll, 0x60).canClose = false;
    EXPECT_FALSE(coll->CanCloseAll());
    EXPECT_EQ(Proc(*coll, 0x62).closeAsked, 2) << "none is skipped after a refusal";
}

TEST_F(ProcessCollTest, PostedMessagesReachTheProcessesThroughTheirWindowBlocksWithoutHeadAreDropped) {
    const auto coll = MakeColl();
    ProcMessHost host(coll.get());
    ASSERT_FALSE(host.Register("MAIN", 0x2000, 0x21FF));

    const std::vector<std::uint8_t> data{9, 8, 7};
    EXPECT_TRUE(Mess(Adr(0x61, 2, 0x2001), 0x21, data).SendProcMess());
    EXPECT_TRUE(Mess(Adr(0x62, 0, 0x2101), 0x22).SendProcMess());
    EXPECT_TRUE(Deliveries().empty()) << "delivered later, never re-entrantly";
    AppMessageQueue().PumpAll();
    ASSERT_EQ(DeliveredTo(), (Names{"BETA^02", "GAMMA^03"}));
    EXPECT_EQ(Deliveries()[0].data, data);
    host.SetColl(nullptr); // frees what reaches it
    EXPECT_TRUE(Mess(Adr(0x61, 2, 0x2001), 0x23).SendProcMess());
    AppMessageQueue().PumpAll();
    auto block = std::make_unique<std::uint8_t[]>(6);
    coll->WMProcMess(6, reinterpret_cast<std::intptr_t>(block.release()));
    EXPECT_EQ(Deliveries().size(), 2u);
    ASSERT_EQ(writer_.Errors().size(), 1u);
    EXPECT_EQ(writer_.Errors()[0], "TProcessColl.WMProcMess - block of 6 bytes has no message head, deleted");
}

TEST_F(ProcessCollTest, MatchingModeKeywordTakesOnlyOneOrTwo) {
    TProcessColl coll;
    EXPECT_TRUE(coll.ParseParams("AT=3"));
    EXPECT_TRUE(coll.ParseParams("AT=0"));
    EXPECT_EQ(coll.AT, 1);
    EXPECT_FALSE(coll.ParseParams("AT=2"));
    EXPECT_EQ(coll.ParamsToText(), " PFX=#SL MAX=-1 AT=2");
}

using ProcessFactoryTest = ProcessCollTest;

TEST_F(ProcessFactoryTest, OnlyRegisteredClassesAreBuiltAndALayerAboveRegistersItsOwn) {
    auto dlg = labels_.NewProcess(labels_.GetLabelByName("PL09"));
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->ClassName(), TDLGPROC_Process::kClassName);
    EXPECT_EQ(dlg->DWN, 2) << "settings read once the process is whole";

    // The board master, error-history and communication classes belong to the protocol layer; until
    // it registers them they are unknown here.
    for (const char* name : {"PL06", "PL07", "PL08", "PL0A"}) {
        EXPECT_EQ(labels_.NewProcess(labels_.GetLabelByName(name)), nullptr) << name;
    }
    ASSERT_EQ(writer_.Errors().size(), 4u);
    EXPECT_EQ(writer_.Errors()[3], "CreateProcess - Unknown ProcType=$71");

    RegisterProcessType(PT_RavloMA, CreateFromLabel<testing::RecordingProcess>);
    auto ma = labels_.NewProcess(labels_.GetLabelByName("PL06"));
    ASSERT_NE(ma, nullptr);
    EXPECT_EQ(ma->ClassName(), "RecordingProcess");
    UnregisterProcessType(PT_RavloMA);
    EXPECT_EQ(labels_.NewProcess(labels_.GetLabelByName("PL06")), nullptr);

    const auto coll = MakeColl("MAINPC", "OTHERPC"); // static labels of unknown classes make nothing
    ASSERT_EQ(coll->Count(), 3);
    EXPECT_EQ(coll->ProcAt(1)->Name, "DLG^02");
    EXPECT_EQ(coll->ProcAt(2)->Name, "REC^03");
    EXPECT_EQ(coll->GetProcByIdent(0x71), nullptr);
}

TEST_F(ProcessFactoryTest, LookupByNameOrIdent) {
    auto rec = labels_.CreateProcess(nullptr, "PL0C", 0);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->XYS, 5);
    EXPECT_EQ(rec->HeldPos, 5) << "parameters applied";

    // By Ident the external label with Ident $50 is skipped, so PL0C is found.
    auto byIdent = labels_.CreateProcess(nullptr, {}, 0x50);
    ASSERT_NE(byIdent, nullptr);
    EXPECT_EQ(byIdent->Name, "REC");

    EXPECT_EQ(labels_.CreateProcess(nullptr, "NOPE", 0x12), nullptr);
    EXPECT_EQ(labels_.CreateProcess(nullptr, {}, 0x12), nullptr);
    ASSERT_EQ(writer_.Errors().size(), 2u);
    EXPECT_EQ(writer_.Errors()[0],
              "CreateProcess - Process Name=NOPE,Ident=$12 not found in ProcLabelColl !");
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
