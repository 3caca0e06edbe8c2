#pragma once

#include <cstdint>

namespace ravlo {

// Message numbers of the program's window messages. Numbers below WM_USER belong to the windowing
// system; the program's own private messages count up from it.
inline constexpr std::uint32_t WM_USER = 0x400;

// Asks a window to close through its normal close path.
inline constexpr std::uint32_t WM_CLOSE = 0x010;

// Writer-channel window: append text, append a line, clear the console.
inline constexpr std::uint32_t wm_SysWrWrite = 0x77A;
inline constexpr std::uint32_t wm_SysWrWriteln = 0x77B;
inline constexpr std::uint32_t wm_SysWrClear = 0x77C;
// What a writer-channel window answers to each of them.
inline constexpr std::intptr_t SysWrAck = 0x1234;

// A process message block for the process collection that the window hosts.
inline constexpr std::uint32_t wm_ProcMess = 0x77F;

// A wrapped message that the main form hands on to itself, its controls and its child windows.
inline constexpr std::uint32_t wm_Broadcast = 0x7FE;

// A watched variable changed: wParam its size in bytes, lParam its address.
inline constexpr std::uint32_t wm_VarChanged = 0x7FF;

} // namespace ravlo
