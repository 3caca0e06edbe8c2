#include "channels/termios_port_driver.h"

#include "platform/tick.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace ravlo {
namespace {

// A pseudo-terminal has no parity generator: the kernel drops PARENB, and the C library then reports
// the whole change as failed once the settings already in force equal the asked ones. The port
// took everything it can hold when the rest (speed, size, odd/even, stop bits) reads back as
// asked.
bool TakesSettingsButParity(int fd, const termios& asked) {
    if (errno != EINVAL) {
        return false;
    }
    termios now{};
    if (::tcgetattr(fd, &now) != 0) {
        return false;
    }
    constexpr tcflag_t kHeld = CSIZE | PARODD | CSTOPB | CLOCAL | CREAD;
    return (now.c_cflag & kHeld) == (asked.c_cflag & kHeld) && ::cfgetospeed(&now) == ::cfgetospeed(&asked) &&
           ::cfgetispeed(&now) == ::cfgetispeed(&asked);
}

struct SpeedPair {
    std::uint32_t Rate;
    speed_t Code;
};

constexpr std::array<SpeedPair, 14> kSpeeds = {{{300, B300},
                                                {600, B600},
                                                {1200, B1200},
                                                {2400, B2400},
                                                {4800, B4800},
                                                {9600, B9600},
                                                {19200, B19200},
                                                {38400, B38400},
                                                {57600, B57600},
                                                {115200, B115200},
                                                {230400, B230400},
                                                {460800, B460800},
                                                {500000, B500000},
                                                {921600, B921600}}};

bool WouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

PortOpenError OpenErrorOf(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO: // a serial device node without its hardware
        return PortOpenError::Absent;
    case EBUSY:
    case EWOULDBLOCK:
        return PortOpenError::Busy;
    case EACCES:
    case EPERM:
        return PortOpenError::NoPermission;
    default:
        return PortOpenError::Other;
    }
}

// Opens the device for reading and writing without waiting, as the one user of the port: a lock
// that covers every opener, then TIOCEXCL, which makes later opens by other programs fail with
// EBUSY. On success fd holds the descriptor.
PortOpenResult OpenExclusive(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return {OpenErrorOf(error), error};
    }
    const auto fail = [&fd](PortOpenError kind, int error) {
        ::close(fd);
        fd = -1;
        return PortOpenResult{kind, error};
    };
    if (::isatty(fd) == 0) {
        return fail(PortOpenError::NotTerminal, errno);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        return fail(OpenErrorOf(error), error);
    }
    ::ioctl(fd, TIOCEXCL);
    return {};
}

} // namespace

std::uint32_t TermiosSpeedRate(unsigned code) {
    for (const SpeedPair& speed : kSpeeds) {
        if (speed.Code == code) {
            return speed.Rate;
        }
    }
    return 0;
}

unsigned TermiosSpeedCode(std::uint32_t baud) {
    for (const SpeedPair& speed : kSpeeds) {
        if (speed.Rate == baud) {
            return speed.Code;
        }
    }
    return 0;
}

TermiosPortDriver::~TermiosPortDriver() {
    Close();
}

void TermiosPortDriver::DropGoneDevice() {
    gone_ = true;
    Close();
}

bool TermiosPortDriver::DeviceVanished(int error) {
    // EIO: a pseudo-terminal whose far end has closed, or an unplugged adapter; ENXIO and ENODEV:
    // a device node whose hardware has gone.
    if (error != EIO && error != ENXIO && error != ENODEV) {
        return false;
    }
    DropGoneDevice();
    return true;
}

bool TermiosPortDriver::HungUp() const {
    pollfd state{fd_, 0, 0};
    return ::poll(&state, 1, 0) > 0 && (state.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

PortOpenResult TermiosPortDriver::Open(const std::string& path) {
    Close();
    int fd = -1;
    if (const PortOpenResult result = OpenExclusive(path, fd); !result.Ok()) {
        return result;
    }
    fd_ = fd;
    gone_ = false;
    pending_.clear();
    transmitFlags_ = 0;
    counters_.reset();
    LineErrorFlags(); // the counters' starting point
    inputWake_ = InputWakeRegistration(fd_);
    return {};
}

PortOpenResult ProbeTermiosPort(const std::string& path) {
    int fd = -1;
    const PortOpenResult result = OpenExclusive(path, fd);
    if (result.Ok()) {
        ::close(fd);
    }
    return result;
}

bool TermiosPortDriver::SetQueues(std::uint32_t inSize, std::uint32_t outSize) {
    // The kernel's input buffer has a fixed size; the output queue is this driver's own.
    outCapacity_ = outSize;
    return IsOpen() && inSize > 0 && outSize > 0;
}

std::optional<PortSettings> TermiosPortDriver::GetSettings() {
    termios tio{};
    if (fd_ < 0 || ::tcgetattr(fd_, &tio) != 0) {
        return std::nullopt;
    }
    PortSettings settings;
    settings.Baud = TermiosSpeedRate(::cfgetospeed(&tio));
    settings.DataBits = (tio.c_cflag & CSIZE) == CS7 ? 7 : 8;
    settings.Parity = (tio.c_cflag & PARENB) == 0   ? kParityNone
                      : (tio.c_cflag & PARODD) != 0 ? kParityOdd
                                                    : kParityEven;
    settings.StopBits = (tio.c_cflag & CSTOPB) != 0 ? 2 : 0;
    return settings;
}

bool TermiosPortDriver::SetSettings(const PortSettings& settings) {
    termios tio{};
    if (fd_ < 0 || ::tcgetattr(fd_, &tio) != 0) {
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | (settings.DataBits == 7 ? CS7 : CS8);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    if (settings.Parity != kParityNone) {
        tio.c_cflag |= PARENB | (settings.Parity == kParityOdd ? PARODD : 0);
        tio.c_iflag |= INPCK;
    }
    if (settings.StopBits == 2) {
        tio.c_cflag |= CSTOPB;
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t code = TermiosSpeedCode(settings.Baud);
    if (code != 0 && (::cfsetispeed(&tio, code) != 0 || ::cfsetospeed(&tio, code) != 0)) {
        return false;
    }
    // A rate without a speed code set earlier leaves its own input speed in these bits, and the
    // C library does not clear them: cleared, the input runs at the output's speed.
    tio.c_cflag &= ~static_cast<tcflag_t>(CIBAUD);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0 && !TakesSettingsButParity(fd_, tio)) {
        return false;
    }
    return code != 0 || SetCustomBaud(fd_, settings.Baud);
}

bool TermiosPortDriver::Purge(bool input, bool output) {
    if (fd_ < 0) {
        return false;
    }
    if (output) {
        pending_.clear();
        // Only what the device still counts as unsent is discarded. A pseudo-terminal counts
        // nothing, yet flushing its output drops what the other end has not taken in yet: bytes
        // the driver has already reported as gone out.
        int queued = 0;
        output = ::ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0;
    }
    const int which = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    return (!input && !output) || ::tcflush(fd_, which) == 0;
}

bool TermiosPortDriver::SetModemLine(int line, bool on) {
    if (fd_ < 0) {
        return false;
    }
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0) {
        return true;
    }
    // A pseudo-terminal has no modem lines: nothing to set is not a failure.
    return errno == ENOTTY || errno == EINVAL || errno == EOPNOTSUPP;
}

bool TermiosPortDriver::SetDtr(bool on) {
    return SetModemLine(TIOCM_DTR, on);
}

bool TermiosPortDriver::SetRts(bool on) {
    return SetModemLine(TIOCM_RTS, on);
}

std::uint32_t TermiosPortDriver::LineErrorFlags() {
    serial_icounter_struct now{};
    if (fd_ < 0 || ::ioctl(fd_, TIOCGICOUNT, &now) != 0) {
        return 0;
    }
    std::uint32_t flags = 0;
    if (counters_) {
        const serial_icounter_struct& before = *counters_;
        flags |= now.buf_overrun != before.buf_overrun ? CE_RXOVER : 0;
        flags |= now.overrun != before.overrun ? CE_OVERRUN : 0;
        flags |= now.parity != before.parity ? CE_RXPARITY : 0;
        flags |= now.frame != before.frame ? CE_FRAME : 0;
        flags |= now.brk != before.brk ? CE_BREAK : 0;
    }
    counters_ = now;
    return flags;
}

void TermiosPortDriver::Pump() {
    while (fd_ >= 0 && !pending_.empty()) {
        const ssize_t written = ::write(fd_, pending_.data(), pending_.size());
        if (written > 0) {
            pending_.erase(pending_.begin(), pending_.begin() + written);
            continue;
        }
        if (written < 0 && !WouldBlock(errno)) {
            // The device failed; what waits for it cannot go out.
            transmitFlags_ |= CE_IOE;
            pending_.clear();
            DeviceVanished(errno);
        }
        return;
    }
}

PortStatus TermiosPortDriver::ClearErrors() {
    PortStatus status;
    if (fd_ < 0) {
        return status;
    }
    Pump();
    if (fd_ >= 0 && HungUp()) {
        DropGoneDevice();
    }
    if (fd_ < 0) {
        return status;
    }
    status.Errors = LineErrorFlags() | std::exchange(transmitFlags_, 0U);
    int count = 0;
    if (::ioctl(fd_, FIONREAD, &count) == 0 && count > 0) {
        status.InQueue = static_cast<std::uint32_t>(count);
    }
    count = 0;
    if (::ioctl(fd_, TIOCOUTQ, &count) == 0 && count > 0) {
        status.OutQueue = static_cast<std::uint32_t>(count);
    }
    status.OutQueue += static_cast<std::uint32_t>(pending_.size());
    return status;
}

PortTransfer TermiosPortDriver::Read(std::span<std::uint8_t> buffer) {
    if (fd_ < 0) {
        return {0, EBADF};
    }
    if (buffer.empty()) {
        return {};
    }
    const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
    if (got >= 0) {
        return {static_cast<std::size_t>(got), 0};
    }
    const int error = errno;
    if (WouldBlock(error)) {
        return {};
    }
    DeviceVanished(error);
    return {0, error};
}

PortTransfer TermiosPortDriver::Write(std::span<const std::uint8_t> data) {
    if (fd_ < 0) {
        return {0, EBADF};
    }
    Pump();
    if (fd_ < 0) {
        return {0, EIO}; // the device went while the queue was being sent
    }
    std::size_t accepted = 0;
    if (pending_.empty() && !data.empty()) {
        const ssize_t written = ::write(fd_, data.data(), data.size());
        if (written < 0 && !WouldBlock(errno)) {
            const int error = errno;
            DeviceVanished(error);
            return {0, error};
        }
        accepted = written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    const std::size_t room = outCapacity_ > pending_.size() ? outCapacity_ - pending_.size() : 0;
    const std::size_t queued = std::min(room, data.size() - accepted);
    pending_.insert(pending_.end(), data.begin() + static_cast<std::ptrdiff_t>(accepted),
                    data.begin() + static_cast<std::ptrdiff_t>(accepted + queued));
    return {accepted + queued, 0};
}

bool TermiosPortDriver::Drain(std::uint32_t timeoutMs) {
    // Real time, whatever clock the program's ticks come from.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (fd_ >= 0) {
        Pump();
        int queued = 0;
        ::ioctl(fd_, TIOCOUTQ, &queued);
        if (pending_.empty() && queued <= 0) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        if (pending_.empty()) {
            SleepMs(2); // the device still sends what it holds
        } else {
            pollfd writable{fd_, POLLOUT, 0};
            ::poll(&writable, 1, 5);
        }
    }
    return false;
}

bool TermiosPortDriver::Close() {
    if (fd_ < 0) {
        return true;
    }
    inputWake_.Reset(); // no pause may watch the descriptor once it is closed
    ::ioctl(fd_, TIOCNXCL);
    const int closed = ::close(std::exchange(fd_, -1));
    pending_.clear();
    counters_.reset();
    return closed == 0 || errno == EINTR;
}

void TermiosPortDriver::Pause(std::uint32_t ms) {
    SleepMs(ms);
}

} // namespace ravlo
