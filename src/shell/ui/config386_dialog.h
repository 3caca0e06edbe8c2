#pragma once

#include "shell/cfg386_setup.h"
#include "shell/ui/setup_dialog.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace ravlo {

// "Vok386EXR Setup": the 13-byte setup record of the 386 board. Every change of a combo box runs
// the setup check, whose verdict is the red or green line of the status memo; "Save to Vok" needs a
// setup that passes.
class TConfig386_Dialog final : public TSetupDialog {
    Q_OBJECT
public:
    explicit TConfig386_Dialog(QWidget* parent = nullptr);

    // Binds a copy of the record at the start of data (kCfg386RecSize bytes).
    void BindRecord(std::span<std::uint8_t> data) override;
    // The Ext. disk labels and the status memo from the combo boxes as they stand.
    void CheckSetting();

    std::array<QComboBox*, 4> cbxMT{};
    std::array<QComboBox*, 4> cbxChip{};
    std::array<QComboBox*, 4> cbxOM{};
    std::array<QComboBox*, 4> cbxAT{};
    QComboBox* cbxHAdr;
    QComboBox* cbxHSize;
    QComboBox* cbxCAdr;
    QComboBox* cbxCSize;
    QComboBox* cbxLAdr;
    QComboBox* cbxLSize;
    QCheckBox* cbSMM;
    QCheckBox* cbDMA2;
    QCheckBox* cbDMA1;
    QCheckBox* cbSSIO;
    QCheckBox* cb25MHz;
    QCheckBox* cbVideoWr;
    std::array<QLabel*, 4> lblExtDisk{};
    QPlainTextEdit* MemoStatus;

protected:
    bool SetupOk() const override { return setupOk_; }
    void LoadRecord(std::span<const std::uint8_t> record) override;
    std::vector<std::uint8_t> StoredRecord() const override;

private:
    void BuildLayout();
    TCfg386Controls Controls();

    std::array<std::uint8_t, kCfg386RecSize> record_{};
    bool setupOk_ = false;
};

// Edits rec (at least kCfg386RecSize bytes) in the dialog over owner; "Save to Vok" needs
// connected. Answers the modal result; only OK (1) changes rec.
int EditConfig386(QWidget* owner, std::span<std::uint8_t> rec, bool connected);

} // namespace ravlo
