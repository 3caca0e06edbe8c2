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
#include <vector>

namespace ravlo {
namespace {

constexpr std::size_t kResTextMax = 127;

unsigned IconFlags(MessageBoxKind kind) {
    switch (kind) {
    case MessageBoxKind::Error:
        return MB_ICONHAND;
    case MessageBoxKind::Confirmation:
        return MB_ICONQUESTION;
    case MessageBoxKind::Information:
        return MB_ICONASTERISK;
    case MessageBoxKind::Warning:
        break;
    }
    return MB_ICONEXCLAMATION;
}

// Only the kind and the buttons of the flags count; an unknown button row shows OK.
unsigned ShownFlags(unsigned flags) {
    const unsigned type = flags & MB_TYPEMASK;
    return IconFlags(MessageBoxKindOf(flags)) | (type <= MB_RETRYCANCEL ? type : MB_OK);
}

std::string ResText(int id) {
    std::array<char, kResTextMax + 1> buf{};
    const std::size_t length = AppLoadStrBuf(id, buf);
    return std::string(buf.data(), length);
}

int AnswerOf(TMsgDlgBtn button) {
    switch (button) {
    case TMsgDlgBtn::mbYes:
        return IDYES;
    case TMsgDlgBtn::mbNo:
        return IDNO;
    case TMsgDlgBtn::mbOK:
        return IDOK;
    case TMsgDlgBtn::mbCancel:
        return IDCANCEL;
    case TMsgDlgBtn::mbAbort:
        return IDABORT;
    case TMsgDlgBtn::mbRetry:
        return IDRETRY;
    case TMsgDlgBtn::mbIgnore:
        return IDIGNORE;
    default:
        return 0; // no box row has it
    }
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

unsigned MessageDlgFlags(MessageBoxKind kind, TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) {
    std::vector<int> wanted;
    for (std::size_t b = 0; b < MsgDlgButtonNames.size(); ++b) {
        const auto button = static_cast<TMsgDlgBtn>(b);
        if ((buttons & MsgDlgButton(button)) != 0 && AnswerOf(button) != 0) {
            wanted.push_back(AnswerOf(button));
        }
    }
    unsigned type = MB_OK;
    std::size_t best = 0;
    for (unsigned row = MB_OK; row <= MB_RETRYCANCEL; ++row) {
        const std::vector<int> shown = MessageBoxButtons(row);
        const bool holdsAll = std::all_of(wanted.begin(), wanted.end(), [&](int answer) {
            return std::find(shown.begin(), shown.end(), answer) != shown.end();
        });
        if (holdsAll && (best == 0 || shown.size() < best)) {
            type = row;
            best = shown.size();
        }
    }
    const std::vector<int> row = MessageBoxButtons(type);
    const auto at = std::find(row.begin(), row.end(), AnswerOf(defaultButton));
    const auto position = at == row.end() ? 0 : at - row.begin();
    const unsigned defaultFlags = position == 1 ? MB_DEFBUTTON2 : position == 2 ? MB_DEFBUTTON3 : 0;
    return IconFlags(kind) | type | defaultFlags;
}

int MessageDlgDefBtn(std::string_view text, MessageBoxKind kind, TMsgDlgButtons buttons,
                     TMsgDlgBtn defaultButton) {
    return GetPresenter().MessageBox(text, MessageBoxCaption(kind),
                                     MessageDlgFlags(kind, buttons, defaultButton));
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
