#pragma once

#include "framework/ui/tr_val_dialog.h"
#include "shell/debug_mask_rec.h"

#include <array>

class QCheckBox;

namespace ravlo {

// "Debug messages setup": a check box for each bit of the debug mask, named after its trace topic,
// and "WriteTo *.TXS" for the runtime log; it edits a TDebugDMRec.
class TDebugDM_Dlg : public TTrValDialog {
    Q_OBJECT
public:
    explicit TDebugDM_Dlg(QWidget* parent = nullptr);

    void BindRecord(std::span<std::uint8_t> data) override;

    std::array<QCheckBox*, TDebugDMRec::kMaskBits> MaskChecks{};
    QCheckBox* WriteToTxs_Check = nullptr;
};

// Registers "TDebugDM_Dlg" for ExecuteDialog.
void RegisterDebugDMDialog();

} // namespace ravlo
