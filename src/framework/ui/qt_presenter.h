#pragma once

#include "platform/presenter.h"

namespace ravlo {

// The presenter of the GUI: real message boxes (the kind from the icon bits, the buttons from the
// low bits, the default button from the MB_DEFBUTTON bits; centred on the active window), message
// dialogs of every button kind centred on the screen, and the platform beep. Called from another
// thread it shows the box on the GUI thread and waits for the answer.
class QtPresenter final : public Presenter {
public:
    int MessageBox(std::string_view text, std::string_view caption, unsigned flags) override;
    int MessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                   TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) override;
    void Beep(unsigned kind) override;

    // The object name every box gets, so that tests and tools can find it.
    static constexpr const char* kBoxName = "RavloMessageBox";
};

} // namespace ravlo
