#include "channels/chn_com.h"
#include "channels/port_names.h"
#include "channels/termios_port_driver.h"
#include "platform/tick.h"
#include "support/app_fixtures.h"
#include "support/channel_stack.h"
#include "support/fake_port_driver.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <cerrno>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using ::testing::AllOf;
using testing::CapturedWriter;
using testing::ChannelRegistry;
using ::testing::Contains;
using ::testing::HasSubstr;
using testing::ScopedEnv;
using ::testing::StartsWith;
using Bytes = std::vector<std::uint8_t>;

class ComChannelTest : public ::testing::Test {
protected:
    // A serial channel "C" on COM3, whose device path the environment names.
    std::unique_ptr<TComChannel> MakeCom(std::string_view params) {
        auto com = MakeChannel<TComChannel>("");
        com->Name = "C";
        EXPECT_FALSE(com->ParseParams("COM=3 " + std::string(params))) << params;
        return com;
    }
    // Opened and checked.
    std::unique_ptr<TComChannel> OpenCom(std::string_view params) {
        auto com = MakeCom(params);
        com->CHOpen();
        EXPECT_EQ(com->GetOpErr(), 0);
        EXPECT_EQ(com->CHReady(), CHS_Open);
        return com;
    }
    std::uint16_t Rece(TComChannel& com, std::size_t size, Bytes& got) {
        got.assign(size, 0);
        com.SetRecBuf(got);
        const std::uint16_t length = com.CHRece();
        got.resize(length);
        return length;
    }

    CapturedWriter writer_;
    ChannelRegistry registry_;
    ScopedEnv path_{"RAVLO_COM3", "/dev/fake-com3"};
    std::shared_ptr<FakePort> port_ = std::make_shared<FakePort>();
    ScopedPortDriverFactory drivers_{FakePortDriverFactory(port_)};
};

TEST_F(ComChannelTest, ParameterTextsParseAndWriteBack) {
    auto com = MakeChannel<TComChannel>("");
    EXPECT_EQ(com->ParamsToText(), " COM=2");
    EXPECT_FALSE(com->ParseParams("UPD=0 LRB=16384 BIT=8 PAR=O IQU=32768 OQU=32768 COM=3 BD =4800"));
    const std::string text = com->ParamsToText();
    EXPECT_EQ(text, " LRB=16384 COM=3 BD=4800 PAR=O IQU=32768 OQU=32768");
    TComChannel copy("");
    EXPECT_FALSE(copy.ParseParams(text));
    EXPECT_EQ(copy.ParamsToText(), text);

    EXPECT_FALSE(com->ParseParams("PAR=even BIT=7 IRT=50 CTR=1 RTS=0 DTR=1"));
    EXPECT_EQ(com->ParamsToText(),
              " LRB=16384 COM=3 BD=4800 BIT=7 PAR=E IRT=50 IQU=32768 OQU=32768 CTR=1 RTS=0 DTR=1");
    EXPECT_FALSE(com->ParseParams("PAR=N"));
    EXPECT_EQ(com->Parity(), kParityNone);
    // Refused values leave the settings as they were.
    for (const char* bad : {"PAR=X", "PAR=", "COM=256", "IRT=-1", "IQU=70000"}) {
        EXPECT_TRUE(com->ParseParams(bad)) << bad;
    }
    EXPECT_EQ(com->Port(), 3);
    EXPECT_EQ(com->IRT(), 50);
}

TEST_F(ComChannelTest, OpenConfiguresThePort) {
    auto com = OpenCom("BD=4800 PAR=O IQU=32768 OQU=32768");
    EXPECT_EQ(port_->OpenedPath, "/dev/fake-com3");
    EXPECT_EQ(port_->Settings, (PortSettings{4800, 8, kParityOdd, 0}));
    EXPECT_EQ(std::tuple(port_->InQueueSize, port_->OutQueueSize), std::tuple(32768U, 32768U));
    EXPECT_EQ(std::tuple(port_->InputPurges, port_->OutputPurges), std::tuple(1, 1));
    EXPECT_EQ(std::tuple(port_->DtrLine, port_->RtsLine),
              std::tuple(std::optional(true), std::optional<bool>())); // DTR 255
    // A second open does nothing while the port is open.
    com->CHOpen();
    EXPECT_EQ(port_->OpenCount, 1);
    EXPECT_EQ(com->GetOpErr(), 0);
    // Closing lets the output leave, within a time the queued bytes need at this rate.
    port_->OutQueue = 480;
    com->CHClose();
    EXPECT_EQ(com->CHReady(), CHS_Close);
    EXPECT_FALSE(port_->IsOpen);
    EXPECT_EQ(port_->DrainTimeouts, std::vector<std::uint32_t>{1200});

    // Modem lines as asked for; queue sizes of 0 take the defaults.
    com = OpenCom("RTS=0 DTR=0 IQU=0 OQU=0");
    EXPECT_EQ(std::tuple(port_->DtrLine, port_->RtsLine),
              std::tuple(std::optional(false), std::optional(false)));
    EXPECT_EQ(std::tuple(port_->InQueueSize, port_->OutQueueSize), std::tuple(4096U, 2048U));
    com.reset();
    port_->DtrLine.reset();
    com = OpenCom("CTR=1 RTS=7");
    EXPECT_EQ(std::tuple(port_->DtrLine, port_->RtsLine),
              std::tuple(std::optional<bool>(), std::optional(true)));
    // Destroying the channel closes the port.
    com.reset();
    EXPECT_FALSE(port_->IsOpen);
}

TEST_F(ComChannelTest, BadSettingsFailTheOpen) {
    const std::pair<const char*, TChnResCode> cases[] = {{"COM=0", 0x2201},          {"COM=100", 0x2201},
                                                         {"COM=3 BD=14400", 0x2202}, {"BD=56000", 0},
                                                         {"BIT=6", 0x2203},          {"BIT=7", 0}};
    auto com = MakeChannel<TComChannel>("");
    com->Name = "C";
    for (const auto& [params, code] : cases) {
        EXPECT_FALSE(com->ParseParams(params)) << params;
        com->CHOpen();
        EXPECT_EQ(com->GetOpErr(), code) << params;
        EXPECT_EQ(com->CHReady(), code == 0 ? CHS_Open : CHS_Close) << params;
        EXPECT_EQ(port_->IsOpen, code == 0) << params;
        if (code == 0) {
            com->CHClose();
        }
    }
    EXPECT_EQ(port_->Settings.Baud, 56000U);
    EXPECT_EQ(port_->Settings.DataBits, 7);
    ASSERT_FALSE(writer_.Errors().empty());
    EXPECT_EQ(writer_.Errors()[0], "C:COM\\OpOpen\\COMn");
}

TEST_F(ComChannelTest, OpenFailuresSayWhy) {
    auto com = MakeCom("");
    port_->OpenResult = {PortOpenError::Absent, ENOENT};
    com->CHOpen();
    EXPECT_EQ(com->GetOpErr(), 0x2206);
    EXPECT_THAT(com->OpenFailureText(), AllOf(HasSubstr("no such device"), HasSubstr("RAVLO_COM3")));
    ASSERT_EQ(writer_.Errors().size(), 1U);
    EXPECT_THAT(writer_.Errors()[0],
                StartsWith("C:COM\\OpOpen\\InvalidH COM3 (/dev/fake-com3): no such device"));

    port_->OpenResult = {PortOpenError::NoPermission, EACCES};
    com->CHOpen();
    EXPECT_EQ(com->GetOpErr(), 0x2206);
    EXPECT_THAT(com->OpenFailureText(), HasSubstr("dialout"));

    // A port another channel holds is busy.
    port_->OpenResult = {};
    auto holder = OpenCom("");
    com->CHOpen();
    EXPECT_EQ(com->GetOpErr(), 0x2206);
    EXPECT_THAT(com->OpenFailureText(), HasSubstr("in use by another program"));
    EXPECT_EQ(com->CHReady(), CHS_Close);
}

TEST_F(ComChannelTest, DriverFailuresDuringOpenAndClose) {
    struct Case {
        FakePort::Op Failing;
        const char* Params;
        TChnResCode Code;
        std::uint16_t State;
    };
    const Case cases[] = {
        {FakePort::SetQueues, "", 0x220D, CHS_Open},    {FakePort::GetSettings, "", 0x220B, CHS_Close},
        {FakePort::SetSettings, "", 0x2207, CHS_Close}, {FakePort::Purge, "", 0x220C, CHS_Open},
        {FakePort::Dtr, "", 0x2208, CHS_Open},          {FakePort::Rts, "RTS=1", 0x220E, CHS_Open},
    };
    for (const Case& c : cases) {
        *port_ = FakePort{};
        port_->Failing = c.Failing;
        auto com = MakeCom(c.Params);
        com->CHOpen();
        EXPECT_EQ(com->GetOpErr(), c.Code);
        EXPECT_EQ(com->CHReady(), c.State);
        EXPECT_EQ(port_->IsOpen, c.State == CHS_Open);
        if (c.Failing == FakePort::Purge) {
            EXPECT_EQ(port_->DtrLine, std::nullopt); // the line settings are skipped
        }
    }

    *port_ = FakePort{};
    auto com = OpenCom("");
    port_->Failing = FakePort::Close;
    com->CHClose();
    EXPECT_EQ(com->GetOpErr(), 0x2501);
    EXPECT_EQ(com->CHReady(), CHS_Open);
    port_->Failing = FakePort::Purge;
    com->CHClose();
    EXPECT_EQ(com->GetOpErr(), 0x2502);
    EXPECT_EQ(com->CHReady(), CHS_Close);
    EXPECT_FALSE(port_->IsOpen);
}

TEST_F(ComChannelTest, LineErrorFlagsBecomeReceiveAndTransmitCodes) {
    auto com = OpenCom("");
    port_->ErrorFlags = CE_FRAME;
    EXPECT_EQ(com->CHRecEmpty(), 1);
    EXPECT_EQ(com->GetRecErr(), 0x2608);
    EXPECT_EQ(com->LastError(), CE_FRAME);
    EXPECT_EQ(com->CHRecEmpty(), 1);
    EXPECT_EQ(com->GetRecErr(), 0);

    port_->ErrorFlags = CE_TXFULL | CE_IOE;
    EXPECT_EQ(com->CHSendBusy(), 0);
    EXPECT_EQ(com->GetTraErr(), 0x27C0);

    // Transmit flags stop a send; receive flags met on the way wait for the receive side.
    port_->ErrorFlags = CE_IOE | CE_OVERRUN;
    com->CHSend(Bytes{1, 2, 3});
    EXPECT_TRUE(port_->Output.empty());
    EXPECT_EQ(com->GetTraErr(), 0x2740);
    EXPECT_EQ(com->GetRecErr(), 0);
    port_->Feed(Bytes{9});
    EXPECT_EQ(com->CHRecEmpty(), 0);
    EXPECT_EQ(com->GetRecErr(), 0x2602);

    port_->OutQueue = 5;
    EXPECT_EQ(com->CHSendBusy(), 1);
    com->CHSendFlush();
    EXPECT_EQ(port_->OutQueue, 0U);
    EXPECT_EQ(com->CHSendBusy(), 0);
}

TEST_F(ComChannelTest, WritesNeedRoomAndMustBeWhole) {
    auto com = OpenCom("OQU=100");
    port_->OutQueue = 50;
    com->CHSend(Bytes(51, 7));
    EXPECT_EQ(com->GetTraErr(), 0x2E01);
    EXPECT_TRUE(port_->Output.empty());
    com->CHSend(Bytes(50, 7));
    EXPECT_EQ(com->GetTraErr(), 0);
    EXPECT_EQ(port_->Output.size(), 50U);

    port_->OutQueue = 0;
    port_->WriteLimit = 3;
    com->CHSend(Bytes(10, 1));
    EXPECT_EQ(com->GetTraErr(), 0x2E02);
    EXPECT_EQ(com->LastError(), 0U);
    port_->WriteLimit.reset();
    port_->WriteError = EIO;
    com->CHSend(Bytes(10, 1));
    EXPECT_EQ(com->GetTraErr(), 0x2E02);
    EXPECT_EQ(com->LastError(), static_cast<std::uint32_t>(EIO));
    EXPECT_THAT(writer_.Errors(), Contains("C:COM\\Spec\\WriteCommErr"));
}

TEST_F(ComChannelTest, WriteWaitsTheInterReadTime) {
    ManualTickSource clock(1000);
    ScopedTickSource ticks(clock);
    port_->Clock = &clock;
    auto com = OpenCom("IRT=50 LRB=64");
    // No read yet: nothing to wait for.
    com->CHSend(Bytes{1});
    EXPECT_TRUE(port_->Pauses.empty());
    port_->Feed(Bytes{5});
    EXPECT_EQ(com->CHReadByte(), 5);
    clock.Advance(10);
    com->CHSend(Bytes{2});
    EXPECT_EQ(port_->Pauses, std::vector<std::uint32_t>{40});
    EXPECT_EQ(port_->WriteTicks.back(), 1050U);
    // Long enough after the last read: no wait.
    EXPECT_EQ(com->CHReadByte(), 0);
    clock.Advance(60);
    com->CHSend(Bytes{3});
    EXPECT_EQ(port_->Pauses.size(), 1U);
}

TEST_F(ComChannelTest, ReadAheadWindow) {
    auto com = OpenCom("LRB=16");
    EXPECT_EQ(com->CHRecEmpty(), 1);
    port_->Feed(Bytes{1, 2, 3});
    EXPECT_EQ(com->CHRecEmpty(), 0);
    EXPECT_EQ(com->CHReadByte(), 1);
    // The window still holds bytes though the driver has none.
    EXPECT_TRUE(port_->Input.empty());
    EXPECT_EQ(com->CHRecEmpty(), 0);
    EXPECT_EQ(com->CHReadByte(), 2);
    EXPECT_EQ(com->CHReadByte(), 3);
    EXPECT_EQ(com->CHRecEmpty(), 1);
    EXPECT_EQ(com->CHReadByte(), 0);
    EXPECT_EQ(com->GetRecErr(), 0x2104);

    // A stale queue count makes the channel read, and it gets what is there without waiting.
    port_->InQueueReport = 100;
    port_->Feed(Bytes{4, 5});
    EXPECT_EQ(com->CHRecEmpty(), 0);
    Bytes got;
    EXPECT_EQ(Rece(*com, 8, got), 2);
    EXPECT_EQ(got, (Bytes{4, 5}));
    EXPECT_EQ(com->CHRecEmpty(), 0);
    EXPECT_EQ(Rece(*com, 8, got), 0);
    EXPECT_EQ(com->GetRecErr(), 0x2104);

    // What does not fit the caller's buffer waits for the next receive.
    port_->Feed(Bytes{1, 2, 3, 4, 5, 6});
    EXPECT_EQ(com->CHReadByte(), 1);
    port_->Feed(Bytes{7, 8});
    EXPECT_EQ(Rece(*com, 4, got), 4);
    EXPECT_EQ(got, (Bytes{2, 3, 4, 5}));
    EXPECT_EQ(Rece(*com, 4, got), 3);
    EXPECT_EQ(got, (Bytes{6, 7, 8}));
    EXPECT_EQ(com->GetRecErr(), 0);

    port_->ReadError = EIO;
    EXPECT_EQ(com->CHReadByte(), 0);
    EXPECT_EQ(com->GetRecErr(), 0x2E03);
    EXPECT_EQ(com->LastError(), static_cast<std::uint32_t>(EIO));
}

TEST_F(ComChannelTest, ByteReadsWithoutReadAheadAndFlushes) {
    auto com = OpenCom("");
    port_->Feed(Bytes{7, 8});
    EXPECT_EQ(com->CHReadByte(), 7);
    EXPECT_EQ(port_->Input.size(), 1U);
    port_->ErrorFlags = CE_BREAK;
    com->CHReceFlush();
    EXPECT_TRUE(port_->Input.empty());
    EXPECT_EQ(com->GetRecErr(), 0);
    EXPECT_EQ(com->CHReadByte(), 0);
    // Flags gathered after the flush still count.
    EXPECT_EQ(com->GetRecErr(), 0x2610);
}

TEST(PortNamesTest, LookupOrder) {
    testing::ScratchDir dir;
    ScopedEnv home("RAVLO_HOME", dir.Path().string());
    dir.Write("RTDW.INI", "[PORTS]\r\nCOM4=/dev/pts/7\r\nCOM5=\r\n");
    ScopedEnv com6("RAVLO_COM6", "/dev/ttyUSB0");
    ScopedEnv com4("RAVLO_COM4", "");
    EXPECT_EQ(ComPortPath(6), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortPath(4), "/dev/pts/7");
    EXPECT_EQ(ComPortPath(5), "/dev/ttyS4");
    EXPECT_EQ(ComPortPath(1), "/dev/ttyS0");
    EXPECT_EQ(ComPortName(12), "COM12");
}

TEST(TermiosPortDriverTest, OpenFailuresAreClassified) {
    testing::ScratchDir dir;
    TermiosPortDriver driver;
    const PortOpenResult absent = driver.Open((dir.Path() / "no-such-port").string());
    EXPECT_EQ(absent.Error, PortOpenError::Absent);
    EXPECT_EQ(absent.SystemError, ENOENT);
    const PortOpenResult plain = driver.Open(dir.Write("file", "x").string());
    EXPECT_EQ(plain.Error, PortOpenError::NotTerminal);
    EXPECT_FALSE(driver.IsOpen());
    // Nothing to do on a closed driver, and nothing breaks.
    EXPECT_EQ(driver.Read(std::span<std::uint8_t>()).SystemError, EBADF);
    EXPECT_EQ(driver.ClearErrors().InQueue, 0U);
    EXPECT_TRUE(driver.Close());
}

} // namespace
} // namespace ravlo
