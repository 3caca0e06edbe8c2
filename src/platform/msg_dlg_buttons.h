#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace ravlo {

// The buttons a message dialog can show, in the order of MsgDlgButtonNames.
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
// The object names of the dialog's buttons, by kind.
inline constexpr std::array<std::string_view, 11> MsgDlgButtonNames = {
    "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help"};

// A set of TMsgDlgBtn, one bit each.
using TMsgDlgButtons = std::uint32_t;
constexpr TMsgDlgButtons MsgDlgButton(TMsgDlgBtn button) {
    return TMsgDlgButtons{1} << static_cast<unsigned>(button);
}

// The buttons of the set in the order of MsgDlgButtonNames (unknown bits dropped). A set without a
// button that closes the dialog (Help does not) gets OK, so that the dialog can always be left.
std::vector<TMsgDlgBtn> MsgDlgButtonList(TMsgDlgButtons buttons);
// The ID* answer of a button; 0 for Help, which asks for help and leaves the dialog open.
int MsgDlgAnswer(TMsgDlgBtn button);
// The button Enter presses: defaultButton when the dialog has it and it closes the dialog, else the
// first one that does.
TMsgDlgBtn MsgDlgDefault(const std::vector<TMsgDlgBtn>& buttons, TMsgDlgBtn defaultButton);
// The answer of that button for the set: what a dialog nobody answers gives.
int MsgDlgDefaultAnswer(TMsgDlgButtons buttons, TMsgDlgBtn defaultButton);
// The button Escape and the window's close button press: Cancel, else Ignore (an error is let pass
// rather than the program stopped), else No, else OK; none when the dialog has none of them, and
// then the user has to choose.
std::optional<TMsgDlgBtn> MsgDlgEscape(const std::vector<TMsgDlgBtn>& buttons);
// The dialog button of an ID* answer; nullopt for an unknown one.
std::optional<TMsgDlgBtn> MsgDlgButtonOf(int answer);
// The buttons of a classic box's flags (MessageBoxButtons), as dialog buttons.
std::vector<TMsgDlgBtn> MsgDlgButtonsOfBox(unsigned flags);
// The default button of a classic box's flags (DefaultMessageBoxAnswer), as a dialog button.
TMsgDlgBtn MsgDlgDefaultOfBox(unsigned flags);

} // namespace ravlo
