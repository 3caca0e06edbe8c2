#pragma once

#include "platform/message_box_flags.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ravlo {

// Message boxes of the core, shown through GetPresenter(); texts are code page 1250 and answers the
// ID* numbers.

// The title every box of a kind shows, as the platform's message dialog words it.
std::string_view MessageBoxCaption(MessageBoxKind kind);

// Logs "# " + title + " " + text + " $" + the flags in four hex digits to the runtime log, beeps, and
// shows text with the kind of the icon bits and the buttons of the low four bits (the title is only
// logged); answers the button pressed.
int TrMessageBox(std::string_view title, std::string_view text, unsigned flags);
// The same with both texts from the string table, each cut to 127 characters.
int TrMessageBoxRes(int titleId, int textId, unsigned flags);
// A beep, then a plain box with text and an OK button.
void BeepShowMessage(std::string_view text);

// The buttons of a message dialog, in the order of MsgDlgButtonNames.
enum class TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
inline constexpr std::array<std::string_view, 11> MsgDlgButtonNames = {
    "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help"};

// A set of TMsgDlgBtn, one bit each.
using TMsgDlgButtons = std::uint32_t;
constexpr TMsgDlgButtons MsgDlgButton(TMsgDlgBtn button) {
    return TMsgDlgButtons{1} << static_cast<unsigned>(button);
}

// The MB_* flags that show kind with buttons: the shortest of the box's button rows that holds every
// button of the set (All, NoToAll, YesToAll and Help have no row and are left out; OK alone when no
// row fits), with MB_DEFBUTTON2/3 naming defaultButton when the row has it.
unsigned MessageDlgFlags(MessageBoxKind kind, TMsgDlgButtons buttons, TMsgDlgBtn defaultButton);
// Shows text as MessageDlgFlags describes and answers the button pressed.
int MessageDlgDefBtn(std::string_view text, MessageBoxKind kind, TMsgDlgButtons buttons,
                     TMsgDlgBtn defaultButton);

// Internal errors of the program ("# ..." lines) go to the application error hook.
inline constexpr std::size_t kAppErrorMax = 259;
using AppErrorHookFn = std::function<void(std::string_view msg)>;
// Hands msg, cut to kAppErrorMax characters, to the hook.
void ReportAppError(std::string_view msg);
// Puts hook in place and answers the previous one; an empty hook restores AppSystemError.
AppErrorHookFn SetAppErrorHook(AppErrorHookFn hook);

// The default hook: unless errors are suppressed, logs an empty line and "# AppSystemError:" + msg,
// beeps and asks Abort/Retry/Ignore under the program's full path. Abort asks the main form to close,
// Retry keeps asking on later errors, Ignore suppresses them until the program restarts.
void AppSystemError(std::string_view msg);
bool AppErrorSuppressed();
void SetAppErrorSuppressed(bool suppressed);

} // namespace ravlo
