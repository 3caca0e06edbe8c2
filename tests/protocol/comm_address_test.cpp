// Whether the board master process and the communication process reach each other, built the way
// the main form builds them: labels, the main window's process window entry and its collection.
#include "kernel/proc_win_label.h"
#include "kernel/process_factory.h"
#include "protocol/comm_address.h"
#include "protocol/protocol_process_types.h"
#include "support/comm_rig.h"
#include "support/default_app_ini.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::MasterStandIn;

// The processes of an application INI in the window its GLBSYSCOLL entry describes; the master is
// a stand-in, the others are the program's own.
struct AppProcesses {
    explicit AppProcesses(std::string_view iniText) : ini_(iniText) {
        port_->Clock = &clock_;
        RegisterProtocolProcessTypes();
        RegisterProcessType(PT_RavloMA, testing::MakeStandIn);
        labels_ = MakeNamed<TRavloProcLabelColl>("LABELCOLL");
        SetProcLabelColl(labels_.get());
        const auto windows = MakeNamed<TProcWinLabelColl>("GLBSYSCOLL");
        const TProcWinNameObj& main = *windows->EntryAt(0);
        coll = MakeNamed<TProcessColl>(main.PCO);
        coll->Name = main.PCO;
        host_ = std::make_unique<ProcMessHost>(coll.get());
        host_->Register(main.TNA, main.LOG, main.HIL);
        coll->CreateStaticProcesses();
        master = dynamic_cast<MasterStandIn*>(coll->GetProcByIdent(PT_RavloMA));
        comm = dynamic_cast<TRavloComm_Process*>(coll->GetProcByIdent(PT_RavloComm));
    }
    ~AppProcesses() {
        host_.reset();
        coll.reset();
        SetProcLabelColl(nullptr);
        ResetProcessTypes();
        AppMessageQueue().Clear();
        ResetComGlobals();
    }

    testing::AppIniFixture ini_;
    testing::CapturedWriter writer;
    ManualTickSource clock_{5000};
    ScopedTickSource tickGuard_{clock_};
    std::shared_ptr<FakePort> port_ = std::make_shared<FakePort>();
    ScopedPortDriverFactory drivers_{FakePortDriverFactory(port_)};
    testing::ChannelRegistry channels_;
    TSysAddrColl registry_;
    ScopedSysAddrColl registryGuard_{registry_};
    std::unique_ptr<TRavloProcLabelColl> labels_;
    std::unique_ptr<TProcessColl> coll;
    std::unique_ptr<ProcMessHost> host_;
    MasterStandIn* master = nullptr;
    TRavloComm_Process* comm = nullptr;
};

TEST(CommAddressTest, TheShippedIniMakesTheFixedAddressesMeet) {
    AppProcesses app(testing::kDefaultAppIni);
    ASSERT_NE(app.master, nullptr);
    EXPECT_TRUE(CheckCommAddresses(*app.coll).empty());
    EXPECT_TRUE(ProcAdrReaches(*app.coll, kCommUpwardAdr, *app.master));
    EXPECT_TRUE(ProcAdrReaches(*app.coll, kMACommAdr, *app.comm));
}

// An application INI with the labels given, in one window whose collection has AT=at.
std::string AppIni(std::string_view labels, int at) {
    return "[SECTIONS]\r\nRD_SECTION=READ\r\nWR_SECTION=WRITE\r\n[READ]\r\nLABELCOLL=PFX=PL\r\n" +
           std::string(labels) +
           "GLBSYSCOLL=PFX=GS\r\nGS00=TYP=1 TNA=MAIN LOG=$2000 HIL=$20FF PCO=MAINPC\r\n" +
           "MAINPC=AT=" + std::to_string(at) + "\r\nCOMM=DWN=0\r\n";
}
constexpr std::string_view kCommLabel = "PL00=NAM=COMM PRS=$87 ADR=[87,00,2001] PCO=MAINPC\r\n";

TEST(CommAddressTest, AMismatchIsReportedAtTheFirstStepAndReportsStillArrive) {
    AppProcesses app(
        AppIni(std::string(kCommLabel) + "PL01=NAM=MA PRS=$70 ADR=[70,00,2001] PCO=MAINPC\r\n", 1));
    ASSERT_NE(app.master, nullptr);
    EXPECT_EQ(app.comm->ADR, (TProcAdr{0x87, 1, 0x2001}));
    EXPECT_EQ(app.master->ADR, (TProcAdr{0x70, 2, 0x2001}));
    EXPECT_EQ(CheckCommAddresses(*app.coll).size(), 2u);

    const std::size_t before = app.writer.Errors().size();
    app.coll->TickAll();
    app.coll->TickAll();
    const std::vector<std::string> errors = app.writer.Errors();
    ASSERT_EQ(errors.size(), before + 3) << "reported once, at the first step";
    EXPECT_NE(errors[before].find("sends to [70,01,2000], which does not reach the board master process "
                                  "[70,02,2001] in MAINPC (AT=1)"),
              std::string::npos)
        << errors[before];
    EXPECT_NE(errors[before + 1].find("[87,02,2001]"), std::string::npos);
    EXPECT_NE(errors[before + 2].find("reports go to [70,02,2001]"), std::string::npos);

    TProcMess::Create(app.comm->ADR, app.master->ADR, 0, 0, RAVLOCOMM_MA_CrOpCo).SendProcMess();
    while (AppMessageQueue().PumpAll() > 0) {
    }
    EXPECT_EQ(app.master->StateCodes(), (std::vector<std::uint16_t>{MAS_Connected}));

    // An address reaches only a served window and the matching process.
    EXPECT_TRUE(ProcAdrReaches(*app.coll, TProcAdr{0x70, 2, 0x2001}, *app.master));
    EXPECT_FALSE(ProcAdrReaches(*app.coll, TProcAdr{0x70, 2, 0x2005}, *app.master))
        << "LogA counts with AT=1";
    EXPECT_FALSE(ProcAdrReaches(*app.coll, TProcAdr{0x70, 2, 0x3001}, *app.master))
        << "no window serves $3001";
    EXPECT_TRUE(ProcAdrReaches(*app.coll, TProcAdr{0x70, 0, 0x2001}, *app.master)) << "by Ident";
    EXPECT_FALSE(ProcAdrReaches(*app.coll, TProcAdr{0x70, 0, 0x2001}, *app.comm));
    app.coll->AT = 2;
    EXPECT_TRUE(ProcAdrReaches(*app.coll, TProcAdr{0x70, 2, 0x2005}, *app.master));
}

TEST(CommAddressTest, AMissingMasterIsReported) {
    AppProcesses app(AppIni(kCommLabel, 2));
    const std::vector<std::string> problems = CheckCommAddresses(*app.coll);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("there is no board master process (Ident $70) in MAINPC"), std::string::npos)
        << problems[0];
    EXPECT_EQ(app.comm->UpwardAddress(), kCommUpwardAdr);
}

} // namespace
} // namespace ravlo
