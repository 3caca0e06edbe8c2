#pragma once

#include "shell/com_param.h"

#include <QDialog>
#include <vector>

class QGroupBox;
class QRadioButton;

namespace ravlo {

class TRadioGroupBox;

// The modal dialog "COM Parameters": a view of a TComParam, with one radio button per existing
// port (disabled while another program holds it) and the transfer baud rate.
class TfComParam : public QDialog {
    Q_OBJECT
public:
    explicit TfComParam(TComParam& model, QWidget* parent = nullptr);

    const std::vector<QRadioButton*>& PortButtons() const { return portButtons_; }

    void accept() override;

private:
    // Discards the port buttons and makes them again from the model.
    void BuildPortButtons();

    TComParam& model_;
    TRadioGroupBox* rgBDld_ = nullptr;
    QGroupBox* gbPorts_ = nullptr;
    std::vector<QRadioButton*> portButtons_;
};

// Runs the dialog modal over parent; true for OK.
bool RunComParamDialog(TComParam& model, QWidget* parent);

} // namespace ravlo
