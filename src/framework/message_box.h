#pragma once

#include "platform/message_box_flags.h"
#include "platform/msg_dlg_buttons.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ravlo {

// Message boxes of the core, shown through GetPresenter(); texts are code page 1250 and answers the
// ID* numbers.

// Where a box opens: centred on the window that owns it (on the screen when none does), or on the
// screen.
enum class MessageBoxPlacement { OnOwner, OnScreen };

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

// Shows text in a message dialog of kind with every button of the set (TMsgDlgBtn, declared with
// MsgDlgButtonNames), centred on the screen, the button named MsgDlgButtonNames[defaultButton] its
// active control when it has it; answers the ID* of the button pressed (IDALL, IDNOTOALL and
// IDYESTOALL for the buttons the classic box lacks; Help leaves the dialog open).
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
