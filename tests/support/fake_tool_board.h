#pragma once

#include "shell/tool_board.h"

#include <memory>
#include <vector>

namespace ravlo::testing {

// The board master as the tool windows see it, recording each call.
class FakeToolBoard final : public TToolBoard {
public:
    struct IOCall {
        bool Write, ByteAccess;
        std::uint16_t Port, Value;
        WindowHandle Notify;
        bool operator==(const IOCall&) const = default;
    };

    bool Connected() const override { return Link; }
    void ReadIO(std::uint16_t port, bool byteAccess, WindowHandle notify) override {
        IOCalls.push_back({false, byteAccess, port, 0, notify});
    }
    void WriteIO(std::uint16_t port, bool byteAccess, WindowHandle notify, std::uint16_t value) override {
        IOCalls.push_back({true, byteAccess, port, value, notify});
    }
    void ReadRTC(WindowHandle, std::shared_ptr<TClockBuffer> buffer) override {
        Reads.push_back(std::move(buffer));
    }
    void WriteRTC(WindowHandle, const TVokClockRec& time) override { Writes.push_back(time); }

    bool Link = true;
    std::vector<IOCall> IOCalls;
    std::vector<std::shared_ptr<TClockBuffer>> Reads;
    std::vector<TVokClockRec> Writes;
};

} // namespace ravlo::testing
