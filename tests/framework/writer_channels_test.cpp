#include "framework/log_test_support.h"
#include "framework/writer_channels.h"
#include "platform/message_queue.h"
#include "platform/window_messages.h"

#include <gmock/gmock.h>
#include <vector>

namespace ravlo {
namespace {

struct ReceivedText {
    std::uint32_t msg;
    std::string text;
    bool operator==(const ReceivedText&) const = default;
};

// A writer window on the program's queue that keeps what it is sent.
class FakeWriter : public MessageTarget {
public:
    explicit FakeWriter(std::intptr_t answer = SysWrAck) : answer_(answer) {}
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t lParam) override {
        received.push_back({msg, *reinterpret_cast<const std::string*>(lParam)});
        return answer_;
    }
    WindowHandle Handle() const { return registration_.Handle(); }
    std::vector<ReceivedText> received;

private:
    std::intptr_t answer_;
    WindowRegistration registration_{AppMessageQueue(), *this};
};

class WriterChannelsTest : public test::RuntimeLogTest {
protected:
    WriterChannelsTest() { TxsStartup("/opt/ravlo/AB.EXE", "app.ini"); }

    // The log without its start and banner records.
    std::string LoggedLines() const {
        const std::string log = Log();
        const std::string banner = "((( QORV V4.12\n";
        const auto at = log.find(banner);
        return at == std::string::npos ? "<no banner> " + log : log.substr(at + banner.size());
    }
};

TEST_F(WriterChannelsTest, ChannelAboveNineGoesToChannelZeroAndLinesAreCutTo255Characters) {
    FakeWriter zero;
    FakeWriter five;
    FakeWriter inactive;
    SetSysWrChannel(0, true, zero.Handle());
    SetSysWrChannel(5, true, five.Handle());
    SetSysWrChannel(1, false, inactive.Handle());
    SetSysWrChannel(2, true, kNoWindow); // the writer window was closed
    Writelnsys(12, "to zero");
    Writelnsys(5, "to five");
    Writesys(10, "also zero");
    Writelnsys(1, "inactive");
    Writelnsys(2, "closed");
    Writelnsys(0, std::string(300, 'x')); // cut to 255 characters, ending with its break in the log
    EXPECT_EQ(zero.received, (std::vector<ReceivedText>{{wm_SysWrWriteln, "to zero"},
                                                        {wm_SysWrWrite, "also zero"},
                                                        {wm_SysWrWriteln, std::string(255, 'x')}}));
    EXPECT_EQ(five.received, (std::vector<ReceivedText>{{wm_SysWrWriteln, "to five"}}));
    EXPECT_TRUE(inactive.received.empty());
    EXPECT_EQ(LoggedLines(), "to zero\nto five\nalso zeroinactive\nclosed\n" + std::string(255, 'x') + "\n");
}

TEST_F(WriterChannelsTest, WrongOrMissingAnswerLogsTheSendErrorUnlessTheLogCopyIsOff) {
    FakeWriter wrong(0);
    SetSysWrChannel(2, true, wrong.Handle());
    Writelnsys(2, "line");
    Writesys(2, "text");
    WindowHandle gone = kNoWindow;
    {
        FakeWriter shortLived;
        gone = shortLived.Handle();
    }
    SetSysWrChannel(3, true, gone);
    Writelnsys(3, "to nobody");
    WriteToTxs() = false;
    Writelnsys(2, "unlogged");
    WriteErrsys(2, "unlogged failure");
    EXPECT_EQ(wrong.received.size(), 4u);
    EXPECT_EQ(LoggedLines(), "line\nWritelnsys.SendMessage Error !!\ntextWritelnsys.SendMessage Error !!\n"
                             "to nobody\nWritelnsys.SendMessage Error !!\n");
}

// The cut of a long error line is the cut of every line (the first test).
TEST_F(WriterChannelsTest, ErrorLineIsStampedAndRaisesTheFlag) {
    FakeWriter window;
    SetSysWrChannel(4, true, window.Handle());
    WriteErrsys(4, "COM2 not open");
    EXPECT_TRUE(SysWrErrFlag());
    ASSERT_EQ(window.received.size(), 1u);
    EXPECT_THAT(window.received[0].text, ::testing::MatchesRegex(R"(\[.+\]!Error-COM2 not open)"));
}

} // namespace
} // namespace ravlo
