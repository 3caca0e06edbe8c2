#include "framework/writer_channels.h"

#include "framework/date_text.h"
#include "framework/padding.h"
#include "framework/runtime_log.h"
#include "platform/message_queue.h"
#include "platform/window_messages.h"

#include <cstdint>
#include <string>

namespace ravlo {
namespace {

constexpr std::string_view kSendErrorLine = "Writelnsys.SendMessage Error !!";

std::size_t ChannelIndex(int chn) {
    return chn >= 0 && static_cast<std::size_t>(chn) < kSysWrChannelCount ? static_cast<std::size_t>(chn) : 0;
}

void WriteToChannel(int chn, std::string_view text, std::uint32_t message,
                    void (*logWrite)(std::string_view)) {
    const std::string line = CutToShort(std::string(text));
    if (WriteToTxs()) {
        logWrite(line);
    }
    const TSysWrChn& channel = SysWrChn()[ChannelIndex(chn)];
    if (!channel.Active || channel.Wnd == kNoWindow) {
        return;
    }
    const auto answer =
        AppMessageQueue().Send(channel.Wnd, message, 0, reinterpret_cast<std::intptr_t>(&line));
    // A window that is gone answers nothing, which counts as a wrong answer.
    if (answer != SysWrAck && WriteToTxs()) {
        TxsWriteln(kSendErrorLine);
    }
}

} // namespace

std::array<TSysWrChn, kSysWrChannelCount>& SysWrChn() {
    static std::array<TSysWrChn, kSysWrChannelCount> channels{};
    return channels;
}

void SetSysWrChannel(int chn, bool active, WindowHandle wnd) {
    if (chn >= 0 && static_cast<std::size_t>(chn) < kSysWrChannelCount) {
        SysWrChn()[static_cast<std::size_t>(chn)] = TSysWrChn{active, wnd};
    }
}

void ClearSysWrChannels() {
    SysWrChn().fill(TSysWrChn{});
}

bool& SysWrErrFlag() {
    static bool flag = false;
    return flag;
}

void Writesys(int chn, std::string_view text) {
    WriteToChannel(chn, text, wm_SysWrWrite, &TxsWrite);
}

void Writelnsys(int chn, std::string_view text) {
    WriteToChannel(chn, text, wm_SysWrWriteln, &TxsWriteln);
}

void WriteErrsys(int chn, std::string_view text) {
    Writelnsys(chn, CutToShort("[" + NowStr() + "]!Error-" + std::string(text)));
    SysWrErrFlag() = true;
}

} // namespace ravlo
