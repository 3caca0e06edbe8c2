#pragma once

#include "channels/port_driver.h"
#include "platform/input_wake.h"

#include <linux/serial.h>
#include <optional>
#include <vector>

namespace ravlo {

// A serial port (or pseudo-terminal) driven through POSIX termios. The device is opened without
// waiting and exclusively: TIOCEXCL keeps other programs from opening it, and a flock covers those
// that TIOCEXCL lets through (root). The line is raw: binary, no handshake, reads that return what
// has arrived.
//
// The output queue is the driver's own (its size set by SetQueues): a write takes the whole block
// at once, what the device does not accept yet waits in the queue and is moved on by later calls
// (ClearErrors, Write, Drain), so no call waits for the line.
//
// While open, the descriptor is in the input wake registry, so arriving bytes cut the scheduler's
// pause short.
//
// A device that goes away under the open port (a USB adapter pulled, the far end of a
// pseudo-terminal closed) shows as a hang-up or as I/O errors; the driver then drops the dead
// descriptor at once (Gone), so that nothing waits on it or spins on its hang-up.
class TermiosPortDriver final : public PortDriver {
public:
    TermiosPortDriver() = default;
    ~TermiosPortDriver() override;
    TermiosPortDriver(const TermiosPortDriver&) = delete;
    TermiosPortDriver& operator=(const TermiosPortDriver&) = delete;

    PortOpenResult Open(const std::string& path) override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool SetQueues(std::uint32_t inSize, std::uint32_t outSize) override;
    std::optional<PortSettings> GetSettings() override;
    bool SetSettings(const PortSettings& settings) override;
    bool Purge(bool input, bool output) override;
    bool SetDtr(bool on) override;
    bool SetRts(bool on) override;
    PortStatus ClearErrors() override;
    PortTransfer Read(std::span<std::uint8_t> buffer) override;
    PortTransfer Write(std::span<const std::uint8_t> data) override;
    bool Drain(std::uint32_t timeoutMs) override;
    bool Close() override;
    void Pause(std::uint32_t ms) override;
    bool Gone() const override { return gone_; }

private:
    // Drops the descriptor of a device that has gone.
    void DropGoneDevice();
    // After a failed call: whether errno says the device itself has gone (then it is dropped).
    bool DeviceVanished(int error);
    // A hang-up of the open device (its far end closed, or the adapter unplugged).
    bool HungUp() const;
    // Moves queued output to the device as far as it takes it.
    void Pump();
    // The line error flags since the last call, from the port's error counters (none on devices
    // without them).
    std::uint32_t LineErrorFlags();
    bool SetModemLine(int line, bool on);

    int fd_ = -1;
    bool gone_ = false;
    std::size_t outCapacity_ = 2048;
    std::vector<std::uint8_t> pending_;
    std::uint32_t transmitFlags_ = 0;
    std::optional<serial_icounter_struct> counters_;
    InputWakeRegistration inputWake_;
};

// Whether the device opens as a port this program can use, exactly as Open would find it; the device
// is closed again at once. A port that another program holds answers Busy.
PortOpenResult ProbeTermiosPort(const std::string& path);

// The standard rate the termios speed codes name, 0 for none; and back.
std::uint32_t TermiosSpeedRate(unsigned code);
unsigned TermiosSpeedCode(std::uint32_t baud);

// Sets a rate that has no termios speed code (through termios2); answers whether it did.
bool SetCustomBaud(int fd, std::uint32_t baud);

} // namespace ravlo
