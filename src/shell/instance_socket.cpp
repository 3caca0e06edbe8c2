#include "shell/instance_socket.h"

#include "platform/file_io.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace ravlo {
namespace {

constexpr std::string_view kFrontRequest = "raise\n";
constexpr int kRequestWaitMs = 500;
constexpr auto kConnectPause = std::chrono::milliseconds(100);

// The address of path; false when the path does not fit.
bool MakeAddress(const std::filesystem::path& path, sockaddr_un& address) {
    const std::string& text = path.native();
    address = {};
    address.sun_family = AF_UNIX;
    if (text.empty() || text.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, text.data(), text.size());
    return true;
}

// Reads what the peer sends until it closes or kRequestWaitMs pass; whether it is the request.
bool ReadRequest(int fd) {
    std::string received;
    char buffer[64];
    while (received.size() < kFrontRequest.size()) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, kRequestWaitMs) <= 0) {
            return false;
        }
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(count));
    }
    return received.starts_with(kFrontRequest);
}

} // namespace

TInstanceSocket::~TInstanceSocket() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

TInstanceSocket& TInstanceSocket::operator=(TInstanceSocket&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.Release();
    }
    return *this;
}

int TInstanceSocket::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

TInstanceSocket ListenInstanceSocket(const std::filesystem::path& path) {
    sockaddr_un address;
    if (!MakeAddress(path, address)) {
        return {};
    }
    TInstanceSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket.Valid()) {
        return {};
    }
    ::unlink(path.c_str());
    if (::bind(socket.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(socket.Fd(), 4) != 0) {
        return {};
    }
    return socket;
}

bool AcceptFrontRequests(const TInstanceSocket& listener) {
    bool asked = false;
    while (true) {
        const TInstanceSocket peer(::accept4(listener.Fd(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!peer.Valid()) {
            if (errno == EINTR) {
                continue;
            }
            return asked;
        }
        asked = ReadRequest(peer.Fd()) || asked;
    }
}

bool SendFrontRequest(const std::filesystem::path& path, int attempts) {
    sockaddr_un address;
    if (!MakeAddress(path, address)) {
        return false;
    }
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(kConnectPause);
        }
        const TInstanceSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (!socket.Valid()) {
            return false;
        }
        if (::connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return WriteAll(socket.Fd(), kFrontRequest) == 0;
        }
    }
    return false;
}

} // namespace ravlo
