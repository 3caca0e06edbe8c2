#include "platform/message_box_flags.h"

#include "platform/msg_dlg_buttons.h"

namespace ravlo {

std::vector<int> MessageBoxButtons(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

int DefaultMessageBoxAnswer(unsigned flags) {
    const std::vector<int> buttons = MessageBoxButtons(flags);
    std::size_t index = 0;
    if ((flags & MB_DEFMASK) == MB_DEFBUTTON2) {
        index = 1;
    } else if ((flags & MB_DEFMASK) == MB_DEFBUTTON3) {
        index = 2;
    }
    return index < buttons.size() ? buttons[index] : buttons.front();
}

int EscapeMessageBoxAnswer(unsigned flags) {
    const std::optional<TMsgDlgBtn> escape = MsgDlgEscape(MsgDlgButtonsOfBox(flags));
    return escape ? MsgDlgAnswer(*escape) : DefaultMessageBoxAnswer(flags);
}

MessageBoxKind MessageBoxKindOf(unsigned flags) {
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return MessageBoxKind::Error;
    case MB_ICONQUESTION:
        return MessageBoxKind::Confirmation;
    case MB_ICONASTERISK:
        return MessageBoxKind::Information;
    default:
        return MessageBoxKind::Warning;
    }
}

unsigned IconFlagsOf(MessageBoxKind kind) {
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

std::string MessageTextShown(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        shown += text[i];
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
            ++i;
        }
    }
    return shown;
}

std::string_view AnswerName(int answer) {
    switch (answer) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    case IDALL:
        return "All";
    case IDNOTOALL:
        return "NoToAll";
    case IDYESTOALL:
        return "YesToAll";
    default:
        return "?";
    }
}

std::string_view KindName(MessageBoxKind kind) {
    switch (kind) {
    case MessageBoxKind::Error:
        return "Error";
    case MessageBoxKind::Confirmation:
        return "Confirmation";
    case MessageBoxKind::Information:
        return "Information";
    case MessageBoxKind::Warning:
        break;
    }
    return "Warning";
}

} // namespace ravlo
