#pragma once

#include "framework/ui/tr_val_dialog.h"
#include "framework/wait_pass.h"

#include <QTimer>

class QLineEdit;

namespace ravlo {

// The record of the wait dialog: two lines of text, string[80] (81 bytes) each.
inline constexpr std::size_t kWaitLineSize = 81;
inline constexpr std::size_t kWaitRecordSize = 2 * kWaitLineSize;

// A dialog that shows two lines while some work runs and closes itself (modal result mrCancel, as
// a closed window has) once the work is no longer busy. The base is never busy; a derived dialog
// overrides IsBusy, GetText and GetPeriod. ShowText puts a text on the second line.
class TWait_Dlg : public TTrValDialog, public TWaitPass {
    Q_OBJECT
public:
    // How often a pass may start.
    static constexpr int kTimerMs = 100;

    explicit TWait_Dlg(QWidget* parent = nullptr);

    void BindRecord(std::span<std::uint8_t> data) override;
    void ShowText(std::string_view text) override;

    QLineEdit* Line1_Edit;
    QLineEdit* Line2_Edit;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void PumpEvents() override;
    bool ModalResultSet() const override { return !isVisible(); }
    void CloseSelf() override { done(mrCancel); }

private:
    QTimer timer_;
};

} // namespace ravlo
