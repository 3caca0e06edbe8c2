#pragma once

#include "platform/message_target.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace ravlo {

// Trace writer channels 0 to 9: window targets on AppMessageQueue() that receive trace lines
// (channel 0 is the program's own writer window). A line also goes to the runtime log while
// WriteToTxs() is set.
//
// Every writer message is sent synchronously with wParam 0 and lParam = the address of a
// const std::string holding the text (code page 1250), valid only during the call; the window
// answers SysWrAck. Channel numbers above 9 (and below 0) mean channel 0.

inline constexpr std::size_t kSysWrChannelCount = 10;

struct TSysWrChn {
    bool Active = false;
    WindowHandle Wnd = kNoWindow;
};

// The channel table; all entries empty at start.
std::array<TSysWrChn, kSysWrChannelCount>& SysWrChn();
// A writer window registers itself on creation (active, its handle) and gives its handle back on
// closing (active, kNoWindow).
void SetSysWrChannel(int chn, bool active, WindowHandle wnd);
// Empties every entry (at program end, and for tests).
void ClearSysWrChannels();

// Set by every WriteErrsys; whoever shows it clears it.
bool& SysWrErrFlag();

// Trace text without a line end. The text is cut to 255 characters.
void Writesys(int chn, std::string_view text);

// Trace line: at most 255 characters are logged and sent; the longer rest is cut off. The line
// break is not part of those 255: the log and the window add it after the text, so a cut line still
// ends where it should.
void Writelnsys(int chn, std::string_view text);

// Error line "[" + NowStr() + "]!Error-" + text, cut to 255 characters, through Writelnsys; then
// SysWrErrFlag() is set.
void WriteErrsys(int chn, std::string_view text);

} // namespace ravlo
