#include "framework/message_box.h"

#include "framework/app_names.h"
#include "framework/main_window.h"
#include "framework/number_text.h"
#include "framework/runtime_log.h"
#include "framework/string_table.h"
#include "platform/message_queue.h"
#include "platform/presenter.h"
#include "platform/window_messages.h"

#include <algorithm>
#include <array>

namespace ravlo {
namespace {

constexpr std::size_t kResTextMax = 127;

// Only the kind and the buttons of the flags count; an unknown button row shows OK.
unsigned ShownFlags(unsigned flags) {
    const unsigned type = flags & MB_TYPEMASK;
    return IconFlagsOf(MessageBoxKindOf(flags)) | (type <= MB_RETRYCANCEL ? type : MB_OK);
}

std::string ResText(int id) {
    std::array<char, kResTextMax + 1> buf{};
    const std::size_t length = AppLoadStrBuf(id, buf);
    return std::string(buf.data(), length);
}

struct ErrorHookState {
    AppErrorHookFn hook = AppSystemError;
    bool suppressed = false;
};

ErrorHookState& ErrorHook() {
    static ErrorHookState state;
    return state;
}

} // namespace

std::string_view MessageBoxCaption(MessageBoxKind kind) {
    return kind == MessageBoxKind::Confirmation ? "Confirm" : KindName(kind);
}

int TrMessageBox(std::string_view title, std::string_view text, unsigned flags) {
    TxsWriteln("# " + std::string(title) + " " + std::string(text) + " $" +
               HexW(static_cast<std::uint16_t>(flags)));
    GetPresenter().Beep(MB_OK);
    const unsigned shown = ShownFlags(flags);
    return GetPresenter().MessageBox(text, MessageBoxCaption(MessageBoxKindOf(shown)), shown);
}

int TrMessageBoxRes(int titleId, int textId, unsigned flags) {
    return TrMessageBox(ResText(titleId), ResText(textId), flags);
}

void BeepShowMessage(std::string_view text) {
    GetPresenter().Beep(MB_OK);
    GetPresenter().MessageBox(text, AppName(), MB_OK);
}

int MessageDlgDefBtn(std::string_view text, MessageBoxKind kind, TMsgDlgButtons buttons,
                     TMsgDlgBtn defaultButton) {
    return GetPresenter().MessageDlg(text, MessageBoxCaption(kind), kind, buttons, defaultButton);
}

void ReportAppError(std::string_view msg) {
    // A copy, so that a hook that reports again cannot pull the hook out from under itself.
    const AppErrorHookFn hook = ErrorHook().hook;
    hook(msg.substr(0, std::min(msg.size(), kAppErrorMax)));
}

AppErrorHookFn SetAppErrorHook(AppErrorHookFn hook) {
    AppErrorHookFn previous = std::move(ErrorHook().hook);
    ErrorHook().hook = hook ? std::move(hook) : AppErrorHookFn(AppSystemError);
    return previous;
}

void AppSystemError(std::string_view msg) {
    if (ErrorHook().suppressed) {
        return;
    }
    TxsWriteln("");
    TxsWriteln("# AppSystemError:" + std::string(msg));
    GetPresenter().Beep(MB_ICONHAND);
    const int answer =
        GetPresenter().MessageBox(msg, PathText(AppExePath()), MB_ABORTRETRYIGNORE | MB_ICONHAND);
    if (answer == IDABORT) {
        if (const WindowHandle mainForm = GetMainFormWindow(); mainForm != kNoWindow) {
            AppMessageQueue().Post(mainForm, WM_CLOSE, 0, 0);
        }
    } else if (answer == IDRETRY) {
        ErrorHook().suppressed = false;
    } else if (answer == IDIGNORE) {
        ErrorHook().suppressed = true;
    }
}

bool AppErrorSuppressed() {
    return ErrorHook().suppressed;
}

void SetAppErrorSuppressed(bool suppressed) {
    ErrorHook().suppressed = suppressed;
}

} // namespace ravlo
