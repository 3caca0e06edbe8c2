#include "voksim/pty_port.h"

#include "platform/exception.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace ravlo::voksim {

namespace {

constexpr std::array<std::pair<speed_t, std::uint32_t>, 15> kSpeeds{{
    {B300, 300},
    {B600, 600},
    {B1200, 1200},
    {B1800, 1800},
    {B2400, 2400},
    {B4800, 4800},
    {B9600, 9600},
    {B19200, 19200},
    {B38400, 38400},
    {B57600, 57600},
    {B115200, 115200},
    {B230400, 230400},
    {B460800, 460800},
    {B500000, 500000},
    {B921600, 921600},
}};

std::uint32_t BaudOfSpeed(speed_t speed) {
    for (const auto& [value, baud] : kSpeeds) {
        if (value == speed) {
            return baud;
        }
    }
    return 0;
}

speed_t SpeedOfBaud(std::uint32_t baud) {
    for (const auto& [value, rate] : kSpeeds) {
        if (rate == baud) {
            return value;
        }
    }
    return B4800;
}

[[noreturn]] void Fail(const std::string& what) {
    throw EStreamError(what + ": " + std::strerror(errno));
}

} // namespace

PtyPort::PtyPort(std::uint32_t baud) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0) {
        Fail("cannot open a pseudo-terminal");
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        Fail("cannot unlock the pseudo-terminal");
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        Fail("cannot name the pseudo-terminal's slave end");
    }
    slave_path_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        Fail("cannot open " + slave_path_);
    }
    termios line{};
    if (tcgetattr(slave_, &line) != 0) {
        Fail("cannot read the settings of " + slave_path_);
    }
    cfmakeraw(&line);
    line.c_cflag =
        (line.c_cflag & ~static_cast<tcflag_t>(CSIZE | CSTOPB)) | CS8 | PARENB | PARODD | CREAD | CLOCAL;
    cfsetispeed(&line, SpeedOfBaud(baud));
    cfsetospeed(&line, SpeedOfBaud(baud));
    if (tcsetattr(slave_, TCSANOW, &line) != 0) {
        Fail("cannot set up " + slave_path_);
    }
    // Some terminals (Linux ptys) drop the parity-enable bit but keep the odd-parity bit; then
    // only the latter tells what the host asked for.
    termios check{};
    parity_enable_visible_ = tcgetattr(slave_, &check) == 0 && (check.c_cflag & PARENB) != 0;
}

PtyPort::~PtyPort() {
    if (slave_ >= 0) {
        close(slave_);
    }
    if (master_ >= 0) {
        close(master_);
    }
}

std::optional<HostLine> PtyPort::ReadHostLine() const {
    termios line{};
    if (tcgetattr(slave_, &line) != 0) {
        return std::nullopt;
    }
    const bool parity_enabled = !parity_enable_visible_ || (line.c_cflag & PARENB) != 0;
    const bool odd = parity_enabled && (line.c_cflag & PARODD) != 0 && (line.c_cflag & CSIZE) == CS8;
    return HostLine{BaudOfSpeed(cfgetospeed(&line)), odd};
}

SlaveLink::SlaveLink(std::filesystem::path link, const std::string& target)
    : link_(std::move(link)), target_(target) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(link_, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status)) {
        throw EStreamError(link_.string() + " exists and is not a symbolic link; not replaced");
    }
    std::filesystem::path temp = link_;
    temp += ".tmp" + std::to_string(getpid());
    std::filesystem::create_symlink(target_, temp, error);
    if (!error) {
        std::filesystem::rename(temp, link_, error);
    }
    if (error) {
        std::filesystem::remove(temp, error);
        throw EStreamError("cannot make the link " + link_.string());
    }
}

SlaveLink::~SlaveLink() {
    std::error_code error;
    if (std::filesystem::read_symlink(link_, error) == target_ && !error) {
        std::filesystem::remove(link_, error);
    }
}

} // namespace ravlo::voksim
