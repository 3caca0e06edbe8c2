#include "channels/chn_marbex_l0.h"
#include "channels/link_deframer.h"
#include "channels/link_frame_builder.h"
#include "platform/tick.h"
#include "support/app_fixtures.h"
#include "support/channel_stack.h"
#include "support/fake_port_driver.h"
#include "support/scoped_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

namespace ravlo {
namespace {

using testing::CapturedWriter;
using testing::ChannelRegistry;
using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(std::string_view hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

// Frames worked out by hand (CRC-16/ARC from 0 over SOH, header and data; 0x10 doubled).
constexpr std::string_view kEmptyFrame = "1001feff00003c181003";
constexpr std::string_view kDleDataFrame = "1001feff0300101020101097c51003"; // data 10 20 10
constexpr std::string_view kDleNodeFrame = "10011010ff01004161f61003";       // to node 0x10, data 41
constexpr std::string_view kDleCrcFrame = "1001feff0200fd47101010101003";    // CRC 0x1010
const Bytes kDleData = {0x10, 0x20, 0x10};

Bytes Build(std::uint8_t destination, std::uint8_t source, const Bytes& data, std::size_t capacity = 8191) {
    LinkFrameBuilder builder(capacity);
    const auto frame = builder.Build(destination, source, data);
    return frame ? Bytes(frame->begin(), frame->end()) : Bytes{};
}

TEST(LinkFrameBuilderTest, FrameBytesOnTheLine) {
    EXPECT_EQ(Build(0xFE, 0xFF, {}), FromHex(kEmptyFrame));
    EXPECT_EQ(Build(0xFE, 0xFF, kDleData), FromHex(kDleDataFrame));
    EXPECT_EQ(Build(0x10, 0xFF, {0x41}), FromHex(kDleNodeFrame));
    EXPECT_EQ(Build(0xFE, 0xFF, {0xFD, 0x47}), FromHex(kDleCrcFrame));
    EXPECT_EQ(LinkFrameCrc(0xFE, 0xFF, Bytes{0xFD, 0x47}), 0x1010);
    // A length of 0x110 has a 0x10 in its low byte; the length counts unstuffed bytes.
    const Bytes longFrame = Build(0xFE, 0xFF, Bytes(0x110, 0x55));
    EXPECT_EQ(Bytes(longFrame.begin(), longFrame.begin() + 7), FromHex("1001feff101001"));
    EXPECT_EQ(longFrame.size(), 0x110U + 11);
}

TEST(LinkFrameBuilderTest, SendBufferLimit) {
    // A frame may be at most capacity - 2 bytes long on the line.
    EXPECT_EQ(Build(1, 2, Bytes(8179, 0x55)).size(), 8189U);
    EXPECT_TRUE(Build(1, 2, Bytes(8180, 0x55)).empty());
    EXPECT_TRUE(Build(1, 2, Bytes(8178, 0x10)).empty()); // doubled, far too long
    EXPECT_EQ(Build(1, 2, {}, 12).size(), 10U);
    EXPECT_TRUE(Build(1, 2, {}, 11).empty());
    EXPECT_TRUE(Build(1, 2, {}, 1).empty());
    EXPECT_TRUE(Build(1, 2, {}, 0).empty());
}

class DeframerTest : public ::testing::Test {
protected:
    DeframerTest() { deframer_.Restart(); }

    void Feed(const Bytes& bytes) { source_.Append(bytes); }
    void Poll() { deframer_.Poll(source_, buffer_, node_); }
    // Polls until a frame is complete or every byte is read (a dropped frame may end a poll).
    void PollAll() {
        for (std::size_t before = 0; !Complete() && source_.Remaining() != before;) {
            before = source_.Remaining();
            Poll();
        }
    }
    bool Complete() const { return deframer_.State() == LinkDeframer::kComplete; }
    // The frame's data, and hunting again.
    Bytes Take() {
        EXPECT_TRUE(Complete());
        Bytes data(buffer_.begin(), buffer_.begin() + deframer_.FrameLength());
        deframer_.Resume();
        return data;
    }

    MemoryByteSource source_;
    LinkDeframer deframer_;
    Bytes buffer_ = Bytes(16);
    std::uint16_t node_ = 0xFE;
};

TEST_F(DeframerTest, ByteByByteAndSplitDle) {
    for (const std::uint8_t byte : FromHex(kDleCrcFrame)) {
        EXPECT_FALSE(Complete());
        Feed({byte});
        Poll();
    }
    EXPECT_EQ(Take(), (Bytes{0xFD, 0x47}));

    // A DLE at the end of one read waits for its partner in the next.
    const Bytes data = FromHex(kDleDataFrame);
    Feed(Bytes(data.begin(), data.begin() + 7));
    Poll();
    EXPECT_TRUE(deframer_.DlePending());
    Feed(Bytes(data.begin() + 7, data.end()));
    Poll();
    EXPECT_EQ(Take(), kDleData);
}

TEST_F(DeframerTest, FramesForOtherNodes) {
    Feed(FromHex(kDleNodeFrame)); // to node 0x10
    Feed(Build(0x00, 0x07, {0x42}));
    Poll();
    EXPECT_EQ(Take(), Bytes{0x42}); // destination 0 reaches every node
    EXPECT_EQ(deframer_.Destination(), 0);
    EXPECT_EQ(deframer_.Source(), 7);

    node_ = 0; // node 0 takes every frame
    Feed(FromHex(kDleNodeFrame));
    Poll();
    EXPECT_EQ(Take(), Bytes{0x41});
    EXPECT_EQ(deframer_.Destination(), 0x10);
}

TEST_F(DeframerTest, GarbageRestartsMidFrameAndBadFramesAreDroppedSilently) {
    Feed(FromHex("00ff10031010"));
    Feed(FromHex("1001feff0500aabb")); // a frame cut short by a new start ...
    Feed(FromHex("1001"));             // ... itself cut short at once
    Feed(FromHex(kDleDataFrame));
    Poll();
    // DLE SOH right after DLE SOH stops the poll once; the next one goes on.
    EXPECT_FALSE(Complete());
    EXPECT_EQ(deframer_.State(), LinkDeframer::kDestination);
    Poll();
    EXPECT_EQ(Take(), kDleData);

    // The empty frame with either CRC byte wrong, with a wrong end, with a byte where the end
    // belongs; then a frame longer than the buffer.
    for (const std::string_view bad :
         {"1001feff00003d181003", "1001feff00003c191003", "1001feff00003c181004", "1001feff00003c18001003"}) {
        Feed(FromHex(bad));
    }
    Feed(Build(0xFE, 0xFF, Bytes(17, 1)));
    Feed(Build(0xFE, 0xFF, Bytes(16, 2))); // exactly the buffer
    PollAll();
    EXPECT_EQ(Take(), Bytes(16, 2));
    EXPECT_EQ(source_.Remaining(), 0U);
}

TEST_F(DeframerTest, WaitsWhileAFrameIsUntakenAndWhenInactive) {
    const Bytes frame = FromHex(kEmptyFrame);
    Feed(frame);
    Feed(frame);
    Poll();
    EXPECT_TRUE(Complete());
    Poll();
    EXPECT_EQ(source_.Remaining(), frame.size());
    Take();
    Poll();
    EXPECT_TRUE(Complete());

    LinkDeframer fresh;
    MemoryByteSource source;
    source.Append(frame);
    fresh.Poll(source, buffer_, 0xFE);
    EXPECT_EQ(fresh.State(), LinkDeframer::kInactive);
    EXPECT_EQ(source.Remaining(), frame.size());
}

class LinkChannelTest : public ::testing::Test {
protected:
    LinkChannelTest() {
        port_->Clock = &clock_;
        stack_ = testing::BuildChannelStack(3, 4800);
    }
    TChnMarbexL0& Link() { return stack_.LinkChannel(); }
    // Opens, connects and flushes the link as the communication process does.
    void Connect() {
        Link().SetRecBuf(receive_);
        Link().CHOpen();
        EXPECT_EQ(Link().CHReady(), CHS_Open);
        Link().CHConnect();
        EXPECT_EQ(Link().CHReady(), CHS_Connect);
        Link().CHReceFlush();
        Link().SetNOD(255);
        Link().SetDNO(254);
        EXPECT_EQ(Link().GetOpErr(), 0);
    }

    ManualTickSource clock_{5000};
    ScopedTickSource tick_{clock_};
    ChannelRegistry registry_;
    testing::ScopedEnv path_{"RAVLO_COM3", "/dev/fake-com3"};
    std::shared_ptr<FakePort> port_ = std::make_shared<FakePort>();
    ScopedPortDriverFactory drivers_{FakePortDriverFactory(port_)};
    testing::ChannelStack stack_;
    Bytes receive_ = Bytes(12287);
};

TEST_F(LinkChannelTest, ParametersOfTheStack) {
    EXPECT_EQ(Link().ParamsToText(), " NOD=$FF DNO=$FE LRB=16384 CHT='COM' CHN='COMPORTX' LSB=16384");
    EXPECT_EQ(Link().NotOwned(), 1);
    EXPECT_EQ(Link().StateText(), "CHS_Close\\CHS_Close");
    EXPECT_EQ(TChnMarbexL0("").ParamsToText(), "");
}

TEST_F(LinkChannelTest, SendsAndReceivesFramesThroughTheSerialChannel) {
    Connect();
    Link().CHSend(kDleData);
    EXPECT_EQ(Link().GetTraErr(), 0);
    EXPECT_EQ(port_->Output, FromHex(kDleDataFrame));
    // The port took all 15 bytes at once, but they need 35 ms on the line at 4800 baud.
    clock_.Advance(34);
    EXPECT_EQ(Link().CHSendBusy(), 1);
    clock_.Advance(1);
    EXPECT_EQ(Link().CHSendBusy(), 0);

    EXPECT_EQ(Link().CHRecEmpty(), 1);
    port_->Feed(Build(0xFF, 0xFE, {1, 2, 0x10, 3}));
    EXPECT_EQ(Link().CHRecEmpty(), 0);
    EXPECT_EQ(Link().CHRecEmpty(), 0); // until taken
    EXPECT_EQ(Link().CHRece(), 4);
    EXPECT_EQ(Bytes(receive_.begin(), receive_.begin() + 4), (Bytes{1, 2, 0x10, 3}));
    std::uint16_t nodes[2] = {};
    Link().GetRecNodes(nodes[0], nodes[1]);
    EXPECT_EQ(nodes[0], 0xFE); // source
    EXPECT_EQ(nodes[1], 0xFF);
    EXPECT_EQ(Link().CHRecEmpty(), 1);
    EXPECT_EQ(Link().CHRece(), 0);
    EXPECT_EQ(Link().GetRecErr(), 0x3104);

    // A line error in the middle of a frame drops it; the next frame arrives.
    const Bytes frame = Build(0xFF, 0xFE, {7, 8, 9});
    port_->Feed(Bytes(frame.begin(), frame.begin() + 6));
    EXPECT_EQ(Link().CHRecEmpty(), 1);
    port_->ErrorFlags = CE_RXPARITY;
    port_->Feed(Bytes(frame.begin() + 6, frame.end()));
    EXPECT_EQ(Link().CHRecEmpty(), 1);
    port_->Feed(frame);
    EXPECT_EQ(Link().CHRecEmpty(), 0);
    EXPECT_EQ(Link().CHRece(), 3);
    EXPECT_EQ(Link().GetRecErr(), 0);

    // Closing waits until what was last written has crossed the line, at this rate.
    Link().CHSend(kDleData);
    clock_.Advance(10);
    Link().CHDisConnect();
    EXPECT_EQ(Link().CHReady(), CHS_Open);
    Link().CHClose();
    EXPECT_EQ(Link().CHReady(), CHS_Close);
    EXPECT_EQ(port_->Pauses, std::vector<std::uint32_t>{25});
    EXPECT_FALSE(port_->IsOpen);
}

TEST_F(LinkChannelTest, ReceivingStartsWithTheFirstFlush) {
    Link().SetRecBuf(receive_);
    Link().CHOpen();
    Link().CHConnect();
    EXPECT_EQ(Link().CHReady(), CHS_Connect);
    port_->Feed(Build(0xFF, 0xFE, {1}));
    EXPECT_EQ(Link().CHRecEmpty(), 1);
    EXPECT_EQ(port_->Input.size(), 11U);
    Link().CHReceFlush(); // also empties what has arrived
    port_->Feed(Build(0xFF, 0xFE, {2}));
    EXPECT_EQ(Link().CHRecEmpty(), 0);
    EXPECT_EQ(Link().CHRece(), 1);
    EXPECT_EQ(receive_[0], 2);
}

TEST_F(LinkChannelTest, AFrameLargerThanABufferSetAfterItArrivedIsDropped) {
    Connect();
    port_->Feed(Build(0xFF, 0xFE, {1, 2, 3, 4}));
    EXPECT_EQ(Link().CHRecEmpty(), 0);
    Bytes small(2);
    Link().SetRecBuf(small);
    EXPECT_EQ(Link().CHRece(), 0);
    EXPECT_EQ(Link().GetRecErr(), 0x3104);
    port_->Feed(Build(0xFF, 0xFE, {5, 6}));
    EXPECT_EQ(Link().CHRecEmpty(), 0);
    EXPECT_EQ(Link().CHRece(), 2);
    EXPECT_EQ(small, (Bytes{5, 6}));
}

TEST_F(LinkChannelTest, RefusalsAndLowerErrors) {
    // A port that does not open is the link's operation error, named after the serial channel.
    EXPECT_FALSE(stack_.Com->ParseParams("COM=0"));
    Link().CHOpen();
    EXPECT_EQ(Link().ResText(Link().GetOpErr()), "->COMPORTX:COM\\OpOpen\\COMn");
    EXPECT_EQ(Link().CHReady(), CHS_Close);
    EXPECT_FALSE(stack_.Com->ParseParams("COM=3"));

    Link().CHSend(kDleData);
    EXPECT_EQ(Link().GetTraErr(), 0x3103);
    Link().SetRecBuf(receive_);
    EXPECT_EQ(Link().CHRece(), 0);
    EXPECT_EQ(Link().GetRecErr(), 0x3104);
    EXPECT_EQ(Link().CHRecEmpty(), 1);
    EXPECT_EQ(Link().GetRecErr(), 0x3103);

    Connect();
    // The send buffer (LSB) limits the frame on the line, as LinkFrameBuilderTest checks in detail.
    EXPECT_FALSE(Link().ParseParams("LSB=12"));
    Link().CHSend({});
    EXPECT_EQ(Link().GetTraErr(), 0);
    EXPECT_EQ(port_->Output.size(), 10U);
    Link().CHSend(Bytes{1});
    EXPECT_EQ(Link().ResText(Link().GetTraErr()), "MARBEXL0\\Spec\\MSBuffOvr");
    EXPECT_EQ(port_->Output.size(), 10U);

    // An error of the serial channel reaches the link's user with its name.
    EXPECT_FALSE(Link().ParseParams("LSB=100"));
    port_->OutQueue = 32768;
    Link().CHSend(Bytes{1});
    EXPECT_EQ(Link().ResText(Link().GetTraErr()), "->COMPORTX:COM\\Spec\\WErr_buf");
}

TEST_F(LinkChannelTest, FrameTraces) {
    CapturedWriter writer;
    SetDebugMask(kChnTraceL0Mess);
    Connect();
    Link().CHSend(Bytes{0x53, 0x04, 0x05});
    port_->Feed(Build(0xFF, 0xFE, {0xC0}));
    EXPECT_EQ(Link().CHRecEmpty(), 0);
    EXPECT_EQ(Link().CHRece(), 1);
    const auto& lines = writer.Lines();
    EXPECT_THAT(lines, ::testing::Contains("PRTPROTX:.CHSend->[$FE,$FF,  31|2|3|0405]"));
    EXPECT_THAT(lines, ::testing::Contains("PRTPROTX:.CHRece<-[$FF,$FE,  13|0|0|]"));
    EXPECT_EQ(LinkBlockText(Bytes{0xFF, 0x10}), "3|7|7|10");
}

} // namespace
} // namespace ravlo
