#include "support/fake_port_driver.h"

#include "platform/tick.h"

#include <algorithm>
#include <cerrno>

namespace ravlo {

FakePortDriver::~FakePortDriver() {
    if (open_) {
        port_->IsOpen = false;
    }
}

PortOpenResult FakePortDriver::Open(const std::string& path) {
    port_->OpenedPath = path;
    if (port_->Vanished) {
        return {PortOpenError::Absent, ENOENT};
    }
    if (!port_->OpenResult.Ok()) {
        return port_->OpenResult;
    }
    gone_ = false;
    if (port_->IsOpen) {
        return {PortOpenError::Busy, EBUSY};
    }
    open_ = port_->IsOpen = true;
    ++port_->OpenCount;
    return {};
}

bool FakePortDriver::SetQueues(std::uint32_t inSize, std::uint32_t outSize) {
    port_->InQueueSize = inSize;
    port_->OutQueueSize = outSize;
    return Works(FakePort::SetQueues);
}

std::optional<PortSettings> FakePortDriver::GetSettings() {
    return Works(FakePort::GetSettings) ? std::optional(port_->Settings) : std::nullopt;
}

bool FakePortDriver::SetSettings(const PortSettings& settings) {
    if (Works(FakePort::SetSettings)) {
        port_->Settings = settings;
    }
    return Works(FakePort::SetSettings);
}

bool FakePortDriver::Purge(bool input, bool output) {
    if (!Works(FakePort::Purge)) {
        return false;
    }
    if (input) {
        port_->Input.clear();
        ++port_->InputPurges;
    }
    if (output) {
        port_->OutQueue = 0;
        ++port_->OutputPurges;
    }
    return true;
}

bool FakePortDriver::SetDtr(bool on) {
    if (Works(FakePort::Dtr)) {
        port_->DtrLine = on;
    }
    return Works(FakePort::Dtr);
}

bool FakePortDriver::SetRts(bool on) {
    if (Works(FakePort::Rts)) {
        port_->RtsLine = on;
    }
    return Works(FakePort::Rts);
}

bool FakePortDriver::StillThere() {
    if (open_ && port_->Vanished) {
        open_ = port_->IsOpen = false;
        gone_ = true;
    }
    return open_;
}

PortStatus FakePortDriver::ClearErrors() {
    if (!StillThere()) {
        return {};
    }
    return {std::exchange(port_->ErrorFlags, 0U),
            port_->InQueueReport.value_or(static_cast<std::uint32_t>(port_->Input.size())), port_->OutQueue};
}

PortTransfer FakePortDriver::Read(std::span<std::uint8_t> buffer) {
    if (!StillThere() || port_->ReadError != 0) {
        return {0, open_ ? port_->ReadError : EBADF};
    }
    const auto count = static_cast<std::ptrdiff_t>(std::min(buffer.size(), port_->Input.size()));
    std::copy_n(port_->Input.begin(), count, buffer.begin());
    port_->Input.erase(port_->Input.begin(), port_->Input.begin() + count);
    return {static_cast<std::size_t>(count), 0};
}

PortTransfer FakePortDriver::Write(std::span<const std::uint8_t> data) {
    if (!StillThere() || port_->WriteError != 0) {
        return {0, open_ ? port_->WriteError : EBADF};
    }
    port_->WriteTicks.push_back(TickMs());
    const std::size_t count = std::min(data.size(), port_->WriteLimit.value_or(data.size()));
    port_->Output.insert(port_->Output.end(), data.begin(),
                         data.begin() + static_cast<std::ptrdiff_t>(count));
    return {count, 0};
}

bool FakePortDriver::Drain(std::uint32_t timeoutMs) {
    port_->DrainTimeouts.push_back(timeoutMs);
    port_->OutQueue = 0;
    return open_;
}

bool FakePortDriver::Close() {
    if (!Works(FakePort::Close)) {
        return !open_;
    }
    open_ = port_->IsOpen = false;
    return true;
}

void FakePortDriver::Pause(std::uint32_t ms) {
    port_->Pauses.push_back(ms);
    if (port_->Clock != nullptr) {
        port_->Clock->Advance(ms);
    }
}

PortDriverFactory FakePortDriverFactory(std::shared_ptr<FakePort> port) {
    return [port]() -> std::unique_ptr<PortDriver> {
        return std::make_unique<FakePortDriver>(port);
    };
}

} // namespace ravlo
