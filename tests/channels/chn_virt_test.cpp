#include "channels/chn_collection.h"
#include "channels/chn_com.h"
#include "channels/chn_marbex_l0.h"
#include "channels/chn_virt.h"
#include "framework/debug_mask.h"
#include "support/app_fixtures.h"
#include "support/channel_stack.h"
#include "support/fake_port_driver.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::AppIniFixture;
using testing::CapturedWriter;
using testing::ChannelRegistry;

constexpr std::string_view kIni = "[SECTIONS]\r\n"
                                  "RD_SECTION=READ\r\n"
                                  "[READ]\r\n"
                                  "LOWV=DWN=1\r\n"
                                  "UPV=NOD=5 CHT=VIRT CHN=LOWV\r\n"
                                  "COM1CH=COM=1 BD=19200\r\n"
                                  "LINK1=CHT=COM CHN=com1ch NOD=1\r\n"
                                  "LINK2=CHT=COM CHN=COM1CH NOD=2\r\n"
                                  "BADLOW=CHT=NOPE CHN=X\r\n"
                                  "SELF=CHT=VIRT CHN=SELF\r\n"
                                  "RINGA=CHT=VIRT CHN=RINGB\r\n"
                                  "RINGB=CHT=VIRT CHN=RINGA\r\n";

class ChnVirtTest : public ::testing::Test {
protected:
    ChannelRegistry registry_;
    std::shared_ptr<FakePort> port_ = std::make_shared<FakePort>();
    ScopedPortDriverFactory drivers_{FakePortDriverFactory(port_)};
};

TEST_F(ChnVirtTest, RegistryNumbersTypesInRegistrationOrder) {
    TChnCollection& registry = *ChnCollection();
    EXPECT_EQ(registry.ChNumName("com"), 0x2000);
    EXPECT_EQ(registry.ChNumName("XYZ"), 0);
    EXPECT_EQ(registry.ChTypeName(0x0FFF), "");
    EXPECT_EQ(registry.ChTypeName(0x2123), "COM");
    EXPECT_EQ(registry.ChTypeName(0x4000), "");
    EXPECT_EQ(registry.ChAllTypeName(), " VIRT COM MARBEXL0");
    EXPECT_EQ(registry.ChAllNumName("marbexl0"), " CHNumName=3");

    // Registering again adds nothing.
    RegisterChannelTypes();
    EXPECT_EQ(registry.Count(), 3U);

    // Positions from 16 on have no code base.
    for (int i = 4; i <= 16; ++i) {
        registry.RegisterChannelType(nullptr, "TExtra", "T" + std::to_string(i));
    }
    EXPECT_EQ(registry.ChNumName("T15"), 0xF000);
    EXPECT_EQ(registry.ChNumName("T16"), 0);
    // A type without a class creates nothing.
    EXPECT_EQ(ChNewInit("T15", "").Channel, nullptr);
}

TEST_F(ChnVirtTest, StandAloneStateMachineAndStickyErrors) {
    CapturedWriter writer;
    TChnVirt channel("");
    channel.Name = "V";
    EXPECT_EQ(channel.CHReady(), CHS_Close);

    channel.CHConnect();
    EXPECT_EQ(channel.GetOpErr(), 0x1102);
    channel.CHOpen();
    channel.CHOpen();
    EXPECT_EQ(channel.CHReady(), CHS_Open);
    // Two errors in a row: the first stays until read.
    channel.CHDisConnect();
    EXPECT_EQ(channel.GetOpErr(), 0x1101);
    EXPECT_EQ(channel.GetOpErr(), 0);

    channel.CHSend(std::vector<std::uint8_t>{1, 2});
    EXPECT_EQ(channel.CHSendBusy(), 1);
    EXPECT_EQ(channel.GetTraErr(), 0x1103);
    EXPECT_EQ(channel.GetTraErr(), 0);
    EXPECT_EQ(channel.CHRecEmpty(), 1);
    EXPECT_EQ(channel.GetRecErr(), 0x1103);

    channel.CHConnect();
    EXPECT_EQ(channel.CHStatus(), CHS_Connect);
    EXPECT_EQ(channel.CHSendBusy(), 0);
    // Connected but with nothing to read.
    EXPECT_EQ(channel.CHRecEmpty(), 1);
    EXPECT_EQ(channel.CHRece(), 0);
    EXPECT_EQ(channel.CHReadByte(), 0);
    EXPECT_EQ(channel.GetRecErr(), 0x1104);

    channel.CHDisConnect();
    EXPECT_EQ(channel.CHReady(), CHS_Open);
    channel.CHConnect();
    channel.CHClose();
    EXPECT_EQ(channel.CHReady(), CHS_Close);

    // Every error the channel stores itself is an error line.
    const std::vector<std::string> errors = writer.Errors();
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0], "V:VIRT\\ChState\\NoOpen");
}

TEST_F(ChnVirtTest, ParameterTextsAndNodeRange) {
    TChnVirt channel("");
    EXPECT_EQ(channel.ParamsToText(), "");
    EXPECT_FALSE(channel.ParseParams("DWN=3 NOD=255 DNO=$FE LRB=100"));
    EXPECT_EQ(channel.ParamsToText(), " DWN=3 NOD=$FF DNO=$FE LRB=100");
    EXPECT_EQ(channel.GetParamText("nod"), "$FF");
    EXPECT_EQ(channel.GetParamText("XYZ"), std::nullopt);

    // Node numbers travel as one byte: larger ones are refused when read, and the value stays.
    EXPECT_TRUE(channel.ParseParams("NOD=256"));
    EXPECT_TRUE(channel.ParseParams("DNO=-1"));
    EXPECT_EQ(channel.NOD(), 255);
    EXPECT_EQ(channel.DNO(), 254);
    EXPECT_TRUE(channel.ParseParams("LRB=65536"));
    EXPECT_TRUE(channel.ParseParams("BOGUS=1"));

    TChnVirt all("");
    EXPECT_FALSE(all.ParseParams("ALL=1"));
    EXPECT_EQ(all.ParamsToText(), " UPD=0 ALL=1 DWN=0 NOD=$00 DNO=$00 LRB=0 CHT='' CHN=''");
    TChnVirt back("");
    EXPECT_FALSE(back.ParseParams(all.ParamsToText()));
    EXPECT_EQ(back.Lower(), nullptr);
}

TEST_F(ChnVirtTest, SharedLowerChannelIsNotFreedByItsUser) {
    auto com = MakeChannel<TComChannel>("");
    com->Name = "COMPORTX";
    AddChInst(*com);
    EXPECT_EQ(ChnCollection()->WriteColl().back(),
              "[3]ChnMember{TComChannel} TN=COM Class=TComChannel Inst=COMPORTX[ COM=2]");
    EXPECT_EQ(ChNewInit("com", "comportx").NotOwned(), 1);
    auto upper = MakeChannel<TChnVirt>("");
    EXPECT_FALSE(upper->ParseParams("CHT=COM CHN=ComPortX"));
    EXPECT_EQ(upper->Lower(), com.get());
    EXPECT_EQ(upper->NotOwned(), 1);
    // Naming the same lower channel again keeps it.
    EXPECT_FALSE(upper->ParseParams("CHT=COM CHN=ComPortX"));
    EXPECT_EQ(upper->Lower(), com.get());
    upper.reset();
    EXPECT_EQ(ChnCollection()->GetRefChannel("COM", "COMPORTX"), com.get());

    // The lower channel going first leaves its user standing alone, not pointing at freed memory.
    auto user = MakeChannel<TChnVirt>("");
    EXPECT_FALSE(user->ParseParams("CHT=COM CHN=COMPORTX"));
    com.reset();
    EXPECT_EQ(user->Lower(), nullptr);
    EXPECT_EQ(user->CHReady(), CHS_Close);
    EXPECT_EQ(ChnCollection()->GetRefChannel("COM", "COMPORTX"), nullptr);

    // A nameless channel is not registered.
    TChnVirt nameless("");
    AddChInst(nameless);
    EXPECT_EQ(ChnCollection()->Count(), 3U);
}

TEST_F(ChnVirtTest, MissingLowerChannels) {
    CapturedWriter writer;
    SetDebugMask(kChnTraceInit);
    auto upper = MakeChannel<TChnVirt>("");
    upper->Name = "UP";
    EXPECT_TRUE(upper->ParseParams("CHT=XYZ CHN=A"));
    EXPECT_EQ(upper->GetOpErr(), 0x110C);
    EXPECT_EQ(upper->Lower(), nullptr);
    ASSERT_EQ(writer.Errors().size(), 2U) << "the trace mask adds the failed lookup";
    EXPECT_EQ(writer.Errors()[1], "UP:VIRT\\ChState\\ChannelNoExist");

    // Without a registry there is nothing to find the lower channel in.
    FreeChnCollection();
    TChnVirt alone("");
    EXPECT_TRUE(alone.ParseParams("CHT=VIRT CHN=A"));
    EXPECT_EQ(alone.GetOpErr(), 0x010B);
}

TEST_F(ChnVirtTest, NamedChannelsReadTheirKeyAndRegister) {
    AppIniFixture app(kIni);
    CapturedWriter writer;
    auto upper = MakeChannel<TChnVirt>("UPV");
    ASSERT_NE(upper->Lower(), nullptr);
    // A lower channel made for this one belongs to it, though registered for others to share.
    EXPECT_EQ(upper->NotOwned(), 0);
    EXPECT_EQ(std::tuple(upper->Lower()->DWN(), upper->NOD()), std::tuple(1, 5));
    EXPECT_EQ(ChnCollection()->GetRefChannel("VIRT", "LOWV"), upper->Lower());
    EXPECT_EQ(ChnCollection()->GetRefChannel("VIRT", "UPV"), upper.get());

    // Operations pass down; the upper state follows on CHReady.
    upper->SetNOD(7);
    EXPECT_EQ(upper->Lower()->NOD(), 7);
    upper->CHOpen();
    EXPECT_EQ(upper->State(), CHS_Close);
    EXPECT_EQ(upper->CHReady(), CHS_Open);
    upper->CHOpen();
    EXPECT_EQ(upper->GetOpErr(), 0x1101);
    EXPECT_EQ(upper->Lower()->GetOpErr(), 0);
    upper->CHConnect();
    upper->CHReadByte();
    EXPECT_EQ(upper->GetRecErr(), 0x1104);
    EXPECT_EQ(upper->CHStatus(), CHS_Connect);

    auto link1 = MakeChannel<TChnMarbexL0>("LINK1");
    auto link2 = MakeChannel<TChnMarbexL0>("LINK2");
    ASSERT_NE(link1->Lower(), nullptr);
    EXPECT_EQ(link2->Lower(), link1->Lower());
    EXPECT_EQ(link2->NotOwned(), 1);
    EXPECT_EQ(dynamic_cast<TComChannel&>(*link1->Lower()).Baud(), 19200U);
    const auto coms = ChnCollection()->GetChannelInstNamesByType("com");
    ASSERT_EQ(coms.size(), 1U);
    EXPECT_EQ(coms[0].first, "COM1CH");
    std::string name;
    EXPECT_EQ(ChnCollection()->GetFirstRefChannelByType("MARBEXL0", name), link1.get());
    EXPECT_EQ(name, "LINK1");
    link1.reset();
    EXPECT_EQ(link2->Lower(), nullptr);

    // A lower channel that cannot be found fails the INI read.
    EXPECT_EQ(MakeChannel<TChnVirt>("BADLOW")->GetOpErr(), 0x110C);
    // Channels that name themselves below would create themselves below themselves without end.
    auto self = MakeChannel<TChnVirt>("SELF");
    EXPECT_EQ(self->Lower(), nullptr);
    EXPECT_EQ(self->GetOpErr(), 0x110C);
    auto ring = MakeChannel<TChnVirt>("RINGA");
    ASSERT_NE(ring->Lower(), nullptr);
    EXPECT_EQ(ring->Lower()->Lower(), nullptr);
    EXPECT_EQ(ring->GetOpErr(), 0x110C);
}

} // namespace
} // namespace ravlo
