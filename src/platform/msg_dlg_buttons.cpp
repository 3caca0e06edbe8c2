#include "platform/msg_dlg_buttons.h"

#include "platform/message_box_flags.h"

#include <algorithm>

namespace ravlo {
namespace {

bool Has(const std::vector<TMsgDlgBtn>& buttons, TMsgDlgBtn button) {
    return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

bool Closes(TMsgDlgBtn button) {
    return MsgDlgAnswer(button) != 0;
}

} // namespace

std::vector<TMsgDlgBtn> MsgDlgButtonList(TMsgDlgButtons buttons) {
    std::vector<TMsgDlgBtn> list;
    for (std::size_t b = 0; b < MsgDlgButtonNames.size(); ++b) {
        if ((buttons & MsgDlgButton(static_cast<TMsgDlgBtn>(b))) != 0) {
            list.push_back(static_cast<TMsgDlgBtn>(b));
        }
    }
    if (std::none_of(list.begin(), list.end(), Closes)) {
        list.insert(list.begin(), TMsgDlgBtn::mbOK); // OK comes before Help
    }
    return list;
}

int MsgDlgAnswer(TMsgDlgBtn button) {
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
    case TMsgDlgBtn::mbAll:
        return IDALL;
    case TMsgDlgBtn::mbNoToAll:
        return IDNOTOALL;
    case TMsgDlgBtn::mbYesToAll:
        return IDYESTOALL;
    case TMsgDlgBtn::mbHelp:
        break;
    }
    return 0;
}

TMsgDlgBtn MsgDlgDefault(const std::vector<TMsgDlgBtn>& buttons, TMsgDlgBtn defaultButton) {
    if (Has(buttons, defaultButton) && Closes(defaultButton)) {
        return defaultButton;
    }
    const auto first = std::find_if(buttons.begin(), buttons.end(), Closes);
    return first != buttons.end() ? *first : TMsgDlgBtn::mbOK;
}

int MsgDlgDefaultAnswer(TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) {
    return MsgDlgAnswer(MsgDlgDefault(MsgDlgButtonList(buttons), defaultButton));
}

std::optional<TMsgDlgBtn> MsgDlgEscape(const std::vector<TMsgDlgBtn>& buttons) {
    for (const TMsgDlgBtn button :
         {TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbIgnore, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbOK}) {
        if (Has(buttons, button)) {
            return button;
        }
    }
    return std::nullopt;
}

std::optional<TMsgDlgBtn> MsgDlgButtonOf(int answer) {
    for (std::size_t b = 0; b < MsgDlgButtonNames.size(); ++b) {
        if (answer != 0 && MsgDlgAnswer(static_cast<TMsgDlgBtn>(b)) == answer) {
            return static_cast<TMsgDlgBtn>(b);
        }
    }
    return std::nullopt;
}

std::vector<TMsgDlgBtn> MsgDlgButtonsOfBox(unsigned flags) {
    std::vector<TMsgDlgBtn> buttons;
    for (const int answer : MessageBoxButtons(flags)) {
        buttons.push_back(*MsgDlgButtonOf(answer)); // every answer of a box has its button
    }
    return buttons;
}

TMsgDlgBtn MsgDlgDefaultOfBox(unsigned flags) {
    return *MsgDlgButtonOf(DefaultMessageBoxAnswer(flags)); // every answer of a box has its button
}

} // namespace ravlo
