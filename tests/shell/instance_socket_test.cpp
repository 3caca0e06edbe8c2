#include "shell/instance_socket.h"
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

} // namespace
} // namespace ravlo
