#pragma once

#include "framework/ui/tr_val_dialog.h"

#include <vector>

class QGridLayout;

namespace ravlo {

// The generic record dialog: one row per field of the record that a record object's EditInDialog
// hands over (its type's name is the title), each value in an edit or a combo box with its
// field's validator, nested records indented under their captions. Registered as "TDscrRecDlg".
class TDscrRecDlg : public TTrValDialog {
    Q_OBJECT
public:
    explicit TDscrRecDlg(QWidget* parent = nullptr);

    void BindRecord(std::span<std::uint8_t> data) override;

    // The controls of the values, in field order.
    std::vector<QWidget*> Editors;

private:
    QGridLayout* rows_;
};

// Registers the generic record dialog for ExecuteDialog.
void RegisterRecordDialogs();

} // namespace ravlo
