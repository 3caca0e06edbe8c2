// The serial and link channels on a real pseudo-terminal pair: the channels open the terminal end
// through RAVLO_COM7, the test plays the board on the controlling end. Frames crossing a pair are
// checked end to end with the board simulator (MaVoksimTest).
#include "channels/chn_com.h"
#include "channels/chn_marbex_l0.h"
#include "channels/link_frame_builder.h"
#include "channels/termios_port_driver.h"
#include "platform/input_wake.h"
#include "support/channel_stack.h"
#include "support/scoped_env.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::ChannelRegistry;

constexpr int kPort = 7;
// How long the test waits for bytes to cross the pair before it gives up (a failure, not a measure).
constexpr auto kGiveUp = std::chrono::seconds(3);

// The controlling end of a fresh pseudo-terminal pair.
class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            path_ = ::ptsname(master_);
        }
    }
    ~PtyPair() {
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return !path_.empty(); }
    int Fd() const { return master_; }
    const std::string& TerminalPath() const { return path_; }

    // Reads until count bytes have come, or gives up.
    Bytes Read(std::size_t count) const {
        Bytes got;
        const auto giveUp = std::chrono::steady_clock::now() + kGiveUp;
        while (got.size() < count && std::chrono::steady_clock::now() < giveUp) {
            pollfd readable{master_, POLLIN, 0};
            if (::poll(&readable, 1, 50) <= 0) {
                continue;
            }
            std::uint8_t buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                got.insert(got.end(), buffer, buffer + n);
            }
        }
        return got;
    }

private:
    int master_ = -1;
    std::string path_;
};

class PtyChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.Ok()) << "no pseudo-terminal available";
        stack_ = testing::BuildChannelStack(kPort, 9600);
        ASSERT_NE(stack_.Link, nullptr);
        stack_.LinkChannel().CHOpen();
        ASSERT_EQ(stack_.LinkChannel().CHReady(), CHS_Open);
        // Opening a pseudo-terminal, which has no modem lines, reports no error.
        ASSERT_EQ(stack_.LinkChannel().GetOpErr(), 0);
    }

    PtyPair pty_;
    testing::ScopedEnv path_{"RAVLO_COM7", pty_.TerminalPath()};
    ChannelRegistry registry_;
    testing::ChannelStack stack_;
};

// The settings the other end sees after each (re)open.
termios LineSeenThere(const PtyPair& pty) {
    termios settings{};
    EXPECT_EQ(::tcgetattr(pty.Fd(), &settings), 0);
    return settings;
}

TEST_F(PtyChannelTest, LineSettingsSeenFromTheOtherEnd) {
    termios settings = LineSeenThere(pty_);
    EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    // A pseudo-terminal has no line: the kernel keeps PARENB clear there (and CS8 set), so the
    // parity shows as the odd/even choice.
    EXPECT_NE(settings.c_cflag & PARODD, 0U);
    EXPECT_EQ(settings.c_cflag & (CSTOPB | CRTSCTS), 0U);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), 0U);
    EXPECT_EQ(settings.c_lflag & ICANON, 0U);
    EXPECT_EQ(stack_.ComChannel().DevicePath(), pty_.TerminalPath());

    // Reopened with other settings, the other end sees the change; a pseudo-terminal cannot hold
    // the parity bit, yet settings already in force still count as set, or every reconnect at the
    // same rate would fail. A standard rate after another leaves no input speed of its own.
    TChnMarbexL0& link = stack_.LinkChannel();
    struct Case {
        const char* Params;
        speed_t Speed;
        bool Odd;
    };
    for (const Case c : {Case{"PAR=E BD=4800", B4800, false}, Case{"PAR=O BD=9600", B9600, true},
                         Case{"BD=9600", B9600, true}, Case{"BD=56000", B9600, true},
                         Case{"BD=9600", B9600, true}, Case{"BD=115200 RTS=1 DTR=0", B115200, true}}) {
        link.CHClose();
        ASSERT_FALSE(stack_.ComChannel().ParseParams(c.Params));
        link.CHOpen();
        ASSERT_EQ(link.GetOpErr(), 0) << c.Params;
        if (std::string_view(c.Params) == "BD=56000") {
            continue; // a rate of its own: the speed the other end shows is not defined
        }
        settings = LineSeenThere(pty_);
        EXPECT_EQ(::cfgetospeed(&settings), c.Speed) << c.Params;
        EXPECT_EQ(settings.c_cflag & PARODD, c.Odd ? PARODD : 0U) << c.Params;
        EXPECT_EQ(settings.c_cflag & CIBAUD, 0U) << c.Params;
    }
}

// The driver on the terminal end of the pair: a fast raw line, room for a large output queue.
class PtyDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        ASSERT_TRUE(driver.Open(pty.TerminalPath()).Ok());
        ASSERT_TRUE(driver.SetSettings(PortSettings{115200, 8, kParityNone, 0}) &&
                    driver.SetQueues(4096, 65536));
    }

    PtyPair pty;
    TermiosPortDriver driver;
};

TEST_F(PtyDriverTest, OutputWaitsInTheQueueUntilTheDeviceTakesIt) {
    // Write until the device and the queue are full; nothing waits.
    Bytes sent;
    Bytes chunk(65536);
    for (int round = 0; round < 64; ++round) {
        for (std::size_t i = 0; i < chunk.size(); ++i) {
            chunk[i] = static_cast<std::uint8_t>((sent.size() + i) * 13 / 7);
        }
        const PortTransfer written = driver.Write(chunk);
        ASSERT_TRUE(written.Ok());
        sent.insert(sent.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(written.Count));
        if (written.Count < chunk.size()) {
            break;
        }
    }
    EXPECT_GT(driver.ClearErrors().OutQueue, 0U);

    // The other end reads while the driver is polled: everything arrives, in order.
    Bytes got;
    const auto giveUp = std::chrono::steady_clock::now() + kGiveUp;
    while (got.size() < sent.size() && std::chrono::steady_clock::now() < giveUp) {
        const Bytes more = pty.Read(1);
        got.insert(got.end(), more.begin(), more.end());
        driver.ClearErrors();
    }
    EXPECT_EQ(got.size(), sent.size());
    EXPECT_TRUE(got == sent);
    EXPECT_EQ(driver.ClearErrors().OutQueue, 0U);
    EXPECT_TRUE(driver.Drain(1000));
    EXPECT_TRUE(driver.Close());
}

// A frame the driver counts as gone out (its queues empty) stays sent when the output is purged
// next, as the communication process does before every frame. A pseudo-terminal reports no bytes
// in its output queue, yet purging it discards what the other end has not taken in yet.
TEST_F(PtyDriverTest, PurgingTheOutputNeverTakesBackWhatHasGoneOut) {
    // The other end is busy and reads nothing for a while: a block fills its input, then a write
    // goes out twice and a read follows, each purged after it as before the next frame.
    Bytes sent(4096);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    ASSERT_EQ(driver.Write(sent).Count, sent.size());
    for (std::uint8_t copy = 0; copy < 3; ++copy) {
        const Bytes frame(15, copy);
        ASSERT_EQ(driver.Write(frame).Count, frame.size());
        ASSERT_EQ(driver.ClearErrors().OutQueue, 0U) << "the frame has gone out";
        sent.insert(sent.end(), frame.begin(), frame.end());
        ASSERT_TRUE(driver.Purge(false, true));
    }
    const Bytes got = pty.Read(sent.size());
    EXPECT_EQ(got.size(), sent.size());
    EXPECT_TRUE(got == sent);

    // What has not gone out yet is discarded: the queue empties without the device taking it.
    Bytes big(1 << 20, 0x55);
    const PortTransfer written = driver.Write(big);
    ASSERT_TRUE(written.Ok());
    ASSERT_GT(driver.ClearErrors().OutQueue, 0U);
    EXPECT_TRUE(driver.Purge(false, true));
    EXPECT_EQ(driver.ClearErrors().OutQueue, 0U);
    EXPECT_TRUE(driver.Close());
}

TEST(PtyInputWakeTest, TheOpenPortEndsInputWaitsAndLeavesTheRegistryWhenClosed) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    InputWakeRegistry& inputs = AppInputWake();
    const std::size_t before = inputs.Count();
    InputWaiter waiter;
    {
        TermiosPortDriver driver;
        EXPECT_FALSE(driver.Open("/nonexistent/tty").Ok());
        EXPECT_EQ(inputs.Count(), before) << "a port that did not open is not watched";
        ASSERT_TRUE(driver.Open(pty.TerminalPath()).Ok());
        ASSERT_TRUE(driver.SetSettings(PortSettings{115200, 8, kParityNone, 0}));
        EXPECT_EQ(inputs.Count(), before + 1);

        // Bytes from the board end a wait under way.
        auto wait =
            std::async(std::launch::async, [&waiter] { return waiter.WaitForInputOrTimeout(20'000); });
        while (inputs.WatchingWaits() == 0) {
            std::this_thread::yield();
        }
        ASSERT_EQ(::write(pty.Fd(), "board", 5), 5);
        EXPECT_EQ(wait.get(), InputWaitEnd::InputReady);

        EXPECT_TRUE(driver.Close());
        EXPECT_EQ(inputs.Count(), before);
        EXPECT_EQ(waiter.WaitForInputOrTimeout(1), InputWaitEnd::TimedOut);

        ASSERT_TRUE(driver.Open(pty.TerminalPath()).Ok());
        EXPECT_EQ(inputs.Count(), before + 1) << "registered again on reopening";
    }
    EXPECT_EQ(inputs.Count(), before) << "the destroyed driver left the registry";
}

TEST(PtyGoneTest, AFarEndThatClosesIsADeviceGoneWhoseDescriptorIsDropped) {
    auto pty = std::make_unique<PtyPair>();
    ASSERT_TRUE(pty->Ok());
    const std::size_t watchedBefore = AppInputWake().Count();
    TermiosPortDriver driver;
    ASSERT_TRUE(driver.Open(pty->TerminalPath()).Ok());
    driver.ClearErrors();
    EXPECT_FALSE(driver.Gone());
    pty.reset();
    driver.ClearErrors();
    EXPECT_TRUE(driver.Gone());
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(AppInputWake().Count(), watchedBefore) << "no pause watches the dead descriptor";
    EXPECT_TRUE(driver.Close());
}

} // namespace
} // namespace ravlo
