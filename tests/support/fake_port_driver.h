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
    // Bytes from the far side, not yet read.
    std::deque<std::uint8_t> Input;
    // Everything written, in order.
    std::vector<std::uint8_t> Output;

    // What Open answers; a port already open answers Busy.
    PortOpenResult OpenResult;
    // Line error flags the next ClearErrors reports (then cleared).
    std::uint32_t ErrorFlags = 0;
    // Bytes the output queue still holds, as ClearErrors reports them.
    std::uint32_t OutQueue = 0;
    // A count ClearErrors reports instead of the real number of input bytes (a stale count).
    std::optional<std::uint32_t> InQueueReport;
    // A short write: at most this many bytes are taken.
    std::optional<std::size_t> WriteLimit;
    // System error numbers that make reads or writes fail.
    int ReadError = 0;
    int WriteError = 0;
    bool FailSetQueues = false;
    bool FailGetSettings = false;
    bool FailSetSettings = false;
    bool FailPurge = false;
    bool FailDtr = false;
    bool FailRts = false;
    bool FailClose = false;
    // Advanced by Pause, so that waits take no real time; nullptr leaves the clock alone.
    ManualTickSource* Clock = nullptr;

    // What happened.
    bool IsOpen = false;
    int OpenCount = 0;
    std::string OpenedPath;
    std::uint32_t InQueueSize = 0;
    std::uint32_t OutQueueSize = 0;
    PortSettings Settings;
    std::optional<bool> Dtr;
    std::optional<bool> Rts;
    int InputPurges = 0;
    int OutputPurges = 0;
    std::vector<std::uint32_t> Pauses;
    std::vector<std::uint32_t> DrainTimeouts;
    // TickMs at each write.
    std::vector<std::uint64_t> WriteTicks;

    void Feed(std::span<const std::uint8_t> bytes) { Input.insert(Input.end(), bytes.begin(), bytes.end()); }
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

private:
    std::shared_ptr<FakePort> port_;
    bool open_ = false;
};

// A factory for ScopedPortDriverFactory whose drivers all work on port.
PortDriverFactory FakePortDriverFactory(std::shared_ptr<FakePort> port);

} // namespace ravlo
