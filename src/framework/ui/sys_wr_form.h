#pragma once

#include "framework/ui/broadcast_form.h"

namespace ravlo {

class TConsole;

// The writer window "SysWr[0]": an MDI child with one console (160 x 80, CRLF) that is writer
// channel 0 from its creation until it closes. It answers SysWrAck to every writer message, also
// to one without a text.
class TSysWrForm : public TBroadcastForm {
    Q_OBJECT
public:
    static constexpr int kChannel = 0;
    static constexpr int kCols = 160;
    static constexpr int kRows = 80;

    explicit TSysWrForm(QWidget* parent = nullptr);
    ~TSysWrForm() override;

    TConsole& ConsoleWr0() const { return *console_; }

protected:
    std::intptr_t WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Channel 0 keeps its Active flag but no longer names this window.
    void LeaveChannel();

    TConsole* console_;
};

} // namespace ravlo
