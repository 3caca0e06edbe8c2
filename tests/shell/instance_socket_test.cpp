#include "framework/log_names.h"
#include "framework/runtime_log.h"
#include "shell/instance_socket.h"
#include "shell/start_log.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace ravlo {
namespace {

using testing::ScopedEnv;
using testing::ScratchDir;

// Connects to path and sends bytes as a stranger to the protocol would.
void SendRaw(const std::filesystem::path& path, const std::string& bytes) {
    const TInstanceSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.native().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::write(socket.Fd(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

TEST(InstanceSocket, FrontRequestReachesTheListenerAndOnlyTheUserMayConnect) {
    ScratchDir dir;
    const std::filesystem::path path = dir / "ravlo.sock";
    dir.Write("ravlo.sock", "left by a crashed run");
    const TInstanceSocket listener = ListenInstanceSocket(path);
    ASSERT_TRUE(listener.Valid());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    EXPECT_FALSE(AcceptFrontRequests(listener)) << "nobody asked yet";
    EXPECT_TRUE(SendFrontRequest(path, 1));
    EXPECT_TRUE(AcceptFrontRequests(listener));
    EXPECT_FALSE(AcceptFrontRequests(listener)) << "each request counts once";
}

TEST(InstanceSocket, OtherBytesNobodyListeningOrAPathTooLongAreNoRequest) {
    ScratchDir dir;
    const std::filesystem::path path = dir / "ravlo.sock";
    EXPECT_FALSE(SendFrontRequest(path, 2));
    const TInstanceSocket listener = ListenInstanceSocket(path);
    ASSERT_TRUE(listener.Valid());
    SendRaw(path, "hello\n");
    SendRaw(path, ""); // a silent peer is dropped
    EXPECT_FALSE(AcceptFrontRequests(listener));
    const std::filesystem::path tooLong = dir / std::string(120, 'x');
    EXPECT_FALSE(ListenInstanceSocket(tooLong).Valid());
    EXPECT_FALSE(SendFrontRequest(tooLong, 1));
}

TEST(InstanceSocket, DescriptorIsOwnedAndMoved) {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    TInstanceSocket first(fds[0]);
    TInstanceSocket second(std::move(first));
    EXPECT_FALSE(first.Valid());
    EXPECT_EQ(second.Fd(), fds[0]);
    TInstanceSocket third(fds[1]);
    third = std::move(second);
    EXPECT_EQ(third.Fd(), fds[0]);
    EXPECT_EQ(::fcntl(fds[1], F_GETFD), -1) << "the replaced descriptor was closed";
}

class StartLogTest : public ::testing::Test {
protected:
    StartLogTest() { ResetRuntimeLog(); }
    ~StartLogTest() override { ResetRuntimeLog(); }

    std::string LogName() const { return TxsBaseName("ravlo") + ".TXS"; }

    ScratchDir dir_;
    ScopedEnv home_{"RAVLO_HOME", dir_.Path().string()};
};

TEST_F(StartLogTest, SecondInstanceAppendsItsMarkAndNeverMovesTheLiveLog) {
    WriteSecondInstanceMark(dir_ / "ravlo");
    EXPECT_EQ(dir_.Listing(), "") << "no log, no mark";
    dir_.Write(LogName(), "first instance line\n");
    WriteSecondInstanceMark(dir_ / "ravlo");
    EXPECT_TRUE(SecondInstance());
    EXPECT_EQ(dir_.Listing(), LogName()) << "no archive was made";
    const std::string log = dir_.Text(LogName());
    ASSERT_TRUE(log.starts_with("first instance line\n")) << log;
    const std::string mark = log.substr(20);
    EXPECT_TRUE(mark.starts_with(TxsSecondInstanceLine("").substr(0, 8))) << mark;
    EXPECT_EQ(mark.find('\n'), mark.size() - 1) << "one line";
}

TEST_F(StartLogTest, HaltedRunLeavesThreeLines) {
    TxsStartup(dir_ / "ravlo", "app.ini");
    LogApplicationHalted("bad thing");
    const std::string log = dir_.Text(TxsPath().filename().string());
    EXPECT_TRUE(log.ends_with("\nException:\nbad thing\n!!Application HALTED!!\n")) << log;
}

} // namespace
} // namespace ravlo
