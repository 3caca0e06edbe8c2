#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace ravlo {

// Line error flags of a serial port, as the serial channel turns them into result codes.
inline constexpr std::uint32_t CE_RXOVER = 0x0001;
inline constexpr std::uint32_t CE_OVERRUN = 0x0002;
inline constexpr std::uint32_t CE_RXPARITY = 0x0004;
inline constexpr std::uint32_t CE_FRAME = 0x0008;
inline constexpr std::uint32_t CE_BREAK = 0x0010;
inline constexpr std::uint32_t CE_TXFULL = 0x0100;
inline constexpr std::uint32_t CE_IOE = 0x0400;
inline constexpr std::uint32_t kReceiveErrorFlags = 0x001F;
inline constexpr std::uint32_t kTransmitErrorFlags = 0x0500;

// Parity values of the port settings.
inline constexpr std::uint8_t kParityNone = 0;
inline constexpr std::uint8_t kParityOdd = 1;
inline constexpr std::uint8_t kParityEven = 2;

struct PortSettings {
    std::uint32_t Baud = 9600;
    std::uint8_t DataBits = 8;
    std::uint8_t Parity = kParityNone;
    // 0 one stop bit, 2 two stop bits.
    std::uint8_t StopBits = 0;
    bool operator==(const PortSettings&) const = default;
};

// The error flags gathered since the last call (cleared by reading them) and the queue counts.
struct PortStatus {
    std::uint32_t Errors = 0;
    std::uint32_t InQueue = 0;
    std::uint32_t OutQueue = 0;
};

// Why a port did not open.
enum class PortOpenError { None, Absent, Busy, NoPermission, NotTerminal, Other };

struct PortOpenResult {
    PortOpenError Error = PortOpenError::None;
    // The system error number behind it (0 when none).
    int SystemError = 0;
    bool Ok() const { return Error == PortOpenError::None; }
};

// A read or write: the bytes moved, or the system error number of a failure (then Count is 0).
struct PortTransfer {
    std::size_t Count = 0;
    int SystemError = 0;
    bool Ok() const { return SystemError == 0; }
};

// The operations the serial channel needs from one serial port. Nothing here waits for input:
// reads return what has arrived, and a write hands the block to the driver's output queue.
class PortDriver {
public:
    virtual ~PortDriver() = default;

    // Opens the device exclusively, for reading and writing, without waiting.
    virtual PortOpenResult Open(const std::string& path) = 0;
    virtual bool IsOpen() const = 0;
    // Sizes of the input and output queues.
    virtual bool SetQueues(std::uint32_t inSize, std::uint32_t outSize) = 0;
    virtual std::optional<PortSettings> GetSettings() = 0;
    // Raw binary line without handshake, reads that never wait.
    virtual bool SetSettings(const PortSettings& settings) = 0;
    // Discards what the queues hold.
    virtual bool Purge(bool input, bool output) = 0;
    // Modem lines; a device without them (a pseudo-terminal) succeeds.
    virtual bool SetDtr(bool on) = 0;
    virtual bool SetRts(bool on) = 0;
    // The line error flags gathered since the last call, and the queue counts.
    virtual PortStatus ClearErrors() = 0;
    virtual PortTransfer Read(std::span<std::uint8_t> buffer) = 0;
    virtual PortTransfer Write(std::span<const std::uint8_t> data) = 0;
    // Waits, at most timeoutMs, until the output has left; answers whether it did.
    virtual bool Drain(std::uint32_t timeoutMs) = 0;
    virtual bool Close() = 0;
    // Lets ms milliseconds pass before a write (the clock of the inter-read wait).
    virtual void Pause(std::uint32_t ms) = 0;
    // True once the device has gone away under the open port (an adapter pulled, the far end of a
    // pseudo-terminal closed): the driver has dropped the dead descriptor, the port is closed, and
    // only a new Open reaches the device again.
    virtual bool Gone() const = 0;
};

// Makes the driver of each new serial channel.
using PortDriverFactory = std::function<std::unique_ptr<PortDriver>()>;

// A driver from the current factory (the termios driver unless another is installed).
std::unique_ptr<PortDriver> MakePortDriver();
// Installs a factory (an empty one restores the termios driver) and answers the previous one.
PortDriverFactory SetPortDriverFactory(PortDriverFactory factory);

// Installs a factory for the lifetime of the guard.
class ScopedPortDriverFactory {
public:
    explicit ScopedPortDriverFactory(PortDriverFactory factory)
        : previous_(SetPortDriverFactory(std::move(factory))) {}
    ~ScopedPortDriverFactory() { SetPortDriverFactory(std::move(previous_)); }
    ScopedPortDriverFactory(const ScopedPortDriverFactory&) = delete;
    ScopedPortDriverFactory& operator=(const ScopedPortDriverFactory&) = delete;

private:
    PortDriverFactory previous_;
};

} // namespace ravlo
