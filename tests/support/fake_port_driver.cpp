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
    if (!port_->OpenResult.Ok()) {
        return port_->OpenResult;
    }
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
    return open_ && !port_->FailSetQueues;
}

std::optional<PortSettings> FakePortDriver::GetSettings() {
    if (!open_ || port_->FailGetSettings) {
        return std::nullopt;
    }
    return port_->Settings;
}

bool FakePortDriver::SetSettings(const PortSettings& settings) {
    if (!open_ || port_->FailSetSettings) {
        return false;
    }
    port_->Settings = settings;
    return true;
}

bool FakePortDriver::Purge(bool input, bool output) {
    if (!open_ || port_->FailPurge) {
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
    if (!open_ || port_->FailDtr) {
        return false;
    }
    port_->Dtr = on;
    return true;
}

bool FakePortDriver::SetRts(bool on) {
    if (!open_ || port_->FailRts) {
        return false;
    }
    port_->Rts = on;
    return true;
}

PortStatus FakePortDriver::ClearErrors() {
    if (!open_) {
        return {};
    }
    PortStatus status;
    status.Errors = std::exchange(port_->ErrorFlags, 0U);
    status.InQueue = port_->InQueueReport.value_or(static_cast<std::uint32_t>(port_->Input.size()));
    status.OutQueue = port_->OutQueue;
    return status;
}

PortTransfer FakePortDriver::Read(std::span<std::uint8_t> buffer) {
    if (!open_) {
        return {0, EBADF};
    }
    if (port_->ReadError != 0) {
        return {0, port_->ReadError};
    }
    const std::size_t count = std::min(buffer.size(), port_->Input.size());
    std::copy_n(port_->Input.begin(), count, buffer.begin());
    port_->Input.erase(port_->Input.begin(), port_->Input.begin() + static_cast<std::ptrdiff_t>(count));
    return {count, 0};
}

PortTransfer FakePortDriver::Write(std::span<const std::uint8_t> data) {
    if (!open_) {
        return {0, EBADF};
    }
    if (port_->WriteError != 0) {
        return {0, port_->WriteError};
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
    if (!open_ || port_->FailClose) {
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
