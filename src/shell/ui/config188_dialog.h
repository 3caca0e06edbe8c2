#pragma once

#include "shell/cfg188_controls.h"
#include "shell/cfg188_setup.h"
#include "shell/ui/setup_dialog.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace ravlo {

class TRadioGroupBox;

// "Vok188ER Setup": the 32-byte setup record of the 188 board, decoded into the edit record that
// its controls edit (a bad value is replaced by its default with an error box) and encoded back
// on "Save to Vok" or "Save to disk ...", keeping every bit no control covers.
class TConfig188_Dialog final : public TSetupDialog {
    Q_OBJECT
public:
    explicit TConfig188_Dialog(QWidget* parent = nullptr);

    // Decodes and binds a copy of the record at the start of data (kCfg188RecSize bytes).
    void BindRecord(std::span<std::uint8_t> data) override;

    QCheckBox* cbCFBoot;
    QCheckBox* cbSpustitVRam;
    // AZPK4k_RadioButton .. AZPK8k_RadioButton: $40000 .. $80000.
    std::array<QRadioButton*, 5> AZPK{};
    TRadioGroupBox* rgBankHigh;
    TRadioGroupBox* rgBankLow;
    QComboBox* WSIOBUS_ComboBox;
    QComboBox* WSEAT_ComboBox;
    QCheckBox* NMIWP_CheckBox;
    QCheckBox* NMIPFI_CheckBox;
    QLineEdit* edCFFileName;
    QLineEdit* CFFileExt_Edit;
    QLineEdit* edSegment;

protected:
    void LoadRecord(std::span<const std::uint8_t> record) override;
    std::vector<std::uint8_t> StoredRecord() const override;

private:
    void BuildLayout();
    TCfg188Controls Controls();
    // Decodes record, telling each replaced value, and shows it.
    void Decode(std::span<const std::uint8_t> record, bool firstBinding);

    TCfg188Rec raw_{};
    TCfg188EditRec edit_{};
};

// Edits rec (at least kCfg188RecSize bytes) in the dialog over owner; "Save to Vok" needs
// connected. Answers the modal result; only OK (1) changes rec.
int EditConfig188(QWidget* owner, std::span<std::uint8_t> rec, bool connected);

} // namespace ravlo
