#pragma once

#include <filesystem>

namespace ravlo {

// The local socket through which a second instance asks the first to come to the front: a
// Unix-domain stream socket that only the user can reach.

// An owned socket descriptor, closed with the object.
class TInstanceSocket {
public:
    TInstanceSocket() = default;
    explicit TInstanceSocket(int fd) : fd_(fd) {}
    ~TInstanceSocket();
    TInstanceSocket(TInstanceSocket&& other) noexcept : fd_(other.Release()) {}
    TInstanceSocket& operator=(TInstanceSocket&& other) noexcept;

    int Fd() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();

private:
    int fd_ = -1;
};

// Listens at path (non-blocking), replacing a socket file left there: call it only while holding
// the instance lock. Invalid when the path is too long or the socket cannot be made.
TInstanceSocket ListenInstanceSocket(const std::filesystem::path& path);

// Takes every waiting connection of a listening socket and answers whether one of them asked for
// the front. A connection that sends nothing within a short time is dropped.
bool AcceptFrontRequests(const TInstanceSocket& listener);

// Asks the instance listening at path to come to the front; it may hold its lock but not listen
// yet, so connecting is tried `attempts` times, 100 ms apart. True when the request was sent.
bool SendFrontRequest(const std::filesystem::path& path, int attempts);

} // namespace ravlo
