#include "shell/tool_board.h"

#include "framework/message_box.h"
#include "platform/message_box_flags.h"
#include "protocol/ma_process.h"

namespace ravlo {

bool TMaToolBoard::Connected() const {
    return master_ != nullptr && master_->Connected == kBoardConnected;
}

void TMaToolBoard::ReadIO(std::uint16_t port, bool byteAccess, WindowHandle notify) {
    if (master_ != nullptr) {
        master_->ReadIO(port, byteAccess, notify);
    }
}

void TMaToolBoard::WriteIO(std::uint16_t port, bool byteAccess, WindowHandle notify, std::uint16_t value) {
    if (master_ != nullptr) {
        master_->WriteIO(port, byteAccess, notify, value);
    }
}

void TMaToolBoard::ReadRTC(WindowHandle notify, std::shared_ptr<TClockBuffer> buffer) {
    if (master_ != nullptr) {
        master_->ReadRTC(notify, std::move(buffer));
    }
}

void TMaToolBoard::WriteRTC(WindowHandle notify, const TVokClockRec& time) {
    if (master_ != nullptr) {
        master_->WriteRTC(notify, time);
    }
}

bool ToolBoardReady(const TToolBoard& board) {
    if (board.Connected()) {
        return true;
    }
    TrMessageBox("Error", "Device not connected!", MB_OK | MB_ICONHAND);
    return false;
}

} // namespace ravlo
