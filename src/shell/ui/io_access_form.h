#pragma once

#include "framework/ui/broadcast_form.h"
#include "shell/io_access.h"

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace ravlo {

class TToolBoard;

// The MDI window "IO Access": a view of a TIOAccess. The address and data boxes take their keys
// from the model (overwrite mode behind "$"); the master's answers arrive as window messages.
// Closed, it saves the port list and frees itself.
class TIO_MDIChildForm : public TBroadcastForm {
    Q_OBJECT
public:
    explicit TIO_MDIChildForm(TToolBoard& board, QWidget* parent = nullptr);
    // A window that goes without being closed (the main form ends) saves its list too.
    ~TIO_MDIChildForm() override;

    TIOAccess& Model() { return *model_; }

protected:
    std::intptr_t WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    // Every control from the model; the description box keeps its caret unless told otherwise.
    void ShowState(std::optional<int> descrCaret = std::nullopt);
    // A key for a hex box: true when the model took it (the box must not).
    bool HexKey(bool addr, const QKeyEvent& key);

    std::optional<TIOAccess> model_;
    bool closed_ = false;

    QComboBox* cbAddr_ = nullptr;
    QComboBox* cbDescr_ = nullptr;
    QLineEdit* edDataHex_ = nullptr;
    std::array<QCheckBox*, 16> bits_{}; // bit 0 first
    QRadioButton* rb8bit_ = nullptr;
    QRadioButton* rb16bit_ = nullptr;
    QLabel* stStatus_ = nullptr;
};

} // namespace ravlo
