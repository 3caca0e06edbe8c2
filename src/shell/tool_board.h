#pragma once

#include "platform/message_target.h"
#include "protocol/frame_builders.h"
#include "protocol/ma_request.h"

#include <cstdint>
#include <memory>

namespace ravlo {

class TRavlo_MA_Process;

// The board master process as the board tool windows use it: the link state, and the IO and clock
// operations, whose results come back as window messages to notify.
class TToolBoard {
public:
    virtual ~TToolBoard() = default;
    // Whether the board link is up (the master's Connected is 2).
    virtual bool Connected() const = 0;
    virtual void ReadIO(std::uint16_t port, bool byteAccess, WindowHandle notify) = 0;
    virtual void WriteIO(std::uint16_t port, bool byteAccess, WindowHandle notify, std::uint16_t value) = 0;
    // The answer is copied into buffer, which the request keeps alive until it ends.
    virtual void ReadRTC(WindowHandle notify, std::shared_ptr<TClockBuffer> buffer) = 0;
    virtual void WriteRTC(WindowHandle notify, const TVokClockRec& time) = 0;
};

// The real master; without one (nullptr) the board is never connected.
class TMaToolBoard final : public TToolBoard {
public:
    explicit TMaToolBoard(TRavlo_MA_Process* master) : master_(master) {}
    bool Connected() const override;
    void ReadIO(std::uint16_t port, bool byteAccess, WindowHandle notify) override;
    void WriteIO(std::uint16_t port, bool byteAccess, WindowHandle notify, std::uint16_t value) override;
    void ReadRTC(WindowHandle notify, std::shared_ptr<TClockBuffer> buffer) override;
    void WriteRTC(WindowHandle notify, const TVokClockRec& time) override;

private:
    TRavlo_MA_Process* master_;
};

// A tool window's check before each board command: false after a beep and the error box "Device
// not connected!" while the link is down.
bool ToolBoardReady(const TToolBoard& board);

} // namespace ravlo
