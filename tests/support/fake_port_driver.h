#pragma once

#include "channels/port_driver.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ravlo {

class ManualTickSource;

// A simulated serial port for tests: the bytes that have arrived from the far side, what was
// written, scripted answers and failures of each driver operation, and a record of what the driver
// was asked to do. A test and the FakePortDriver objects it hands out share one FakePort.
struct FakePort {
    // Driver operations a test can make fail.
    enum Op : unsigned {
        SetQueues = 1,
        GetSettings = 2,
        SetSettings = 4,
        Purge = 8,
        Dtr = 16,
        Rts = 32,
        Close = 64
    };

    std::deque<std::uint8_t> Input;   // bytes from the far side, not yet read
    std::vector<std::uint8_t> Output; // everything written, in order

    PortOpenResult OpenResult; // what Open answers; a port already open answers Busy
    unsigned Failing = 0;      // the operations (Op bits) that fail
    // Line error flags the next ClearErrors reports (then cleared), the bytes the output queue still
    // holds, and a count ClearErrors reports instead of the real number of input bytes (a stale count).
    std::uint32_t ErrorFlags = 0;
    std::uint32_t OutQueue = 0;
    std::optional<std::uint32_t> InQueueReport;
    std::optional<std::size_t> WriteLimit; // a short write: at most this many bytes are taken
    int ReadError = 0;                     // system error numbers that make reads or writes fail
    int WriteError = 0;
    // The device has gone (an adapter pulled): an open driver finds it at its next status, read or
    // write and drops it; Open answers Absent until it is back.
    bool Vanished = false;
    ManualTickSource* Clock = nullptr; // advanced by Pause, so that waits take no real time

    // What happened.
    bool IsOpen = false;
    int OpenCount = 0;
    std::string OpenedPath;
    std::uint32_t InQueueSize = 0;
    std::uint32_t OutQueueSize = 0;
    PortSettings Settings;
    std::optional<bool> DtrLine;
    std::optional<bool> RtsLine;
    int InputPurges = 0;
    int OutputPurges = 0;
    std::vector<std::uint32_t> Pauses;
    std::vector<std::uint32_t> DrainTimeouts;
    std::vector<std::uint64_t> WriteTicks; // TickMs at each write

    void Feed(std::span<const std::uint8_t> bytes) { Input.insert(Input.end(), bytes.begin(), bytes.end()); }
    bool Fails(Op op) const { return (Failing & op) != 0; }
};

class FakePortDriver final : public PortDriver {
public:
    explicit FakePortDriver(std::shared_ptr<FakePort> port) : port_(std::move(port)) {}
    ~FakePortDriver() override;
    FakePortDriver(const FakePortDriver&) = delete;
    FakePortDriver& operator=(const FakePortDriver&) = delete;

    PortOpenResult Open(const std::string& path) override;
    bool IsOpen() const override { return open_; }
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
    // True when the port is open and the operation is not made to fail.
    bool Works(FakePort::Op op) const { return open_ && !port_->Fails(op); }
    // Drops a device that has vanished; answers whether the port is still open.
    bool StillThere();

    std::shared_ptr<FakePort> port_;
    bool open_ = false;
    bool gone_ = false;
};

// A factory for ScopedPortDriverFactory whose drivers all work on port.
PortDriverFactory FakePortDriverFactory(std::shared_ptr<FakePort> port);

} // namespace ravlo
