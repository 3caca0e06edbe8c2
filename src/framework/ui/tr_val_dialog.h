#pragma once

#include "framework/dialog_registry.h"
#include "framework/record_validator.h"

#include <QDialog>
#include <functional>
#include <map>
#include <memory>

class QDialogButtonBox;
class QLineEdit;

namespace ravlo {

class TQtValControl;

// The owner window of ExecuteDialog for a widget, and back.
TPlatformWindow* OwnerWindow(QWidget* widget);
QWidget* OwnerWidget(TPlatformWindow* owner);

// A read-only edit without a frame that looks like a label (its text can still be selected and
// copied) and takes no focus.
QLineEdit* MakeShownText(QWidget* parent, const char* objectName, Qt::Alignment alignment);

// A modal dialog that edits one record through its Validator. OK (modal result 1) closes only when
// every control validates, after which the record holds the new values; any other result closes
// without validating or storing. A derived dialog builds its widgets, and in BindRecord pairs them
// with validators:
//
//     void TMy_Dlg::BindRecord(std::span<std::uint8_t> data) {
//         TCtrlBindings bindings;
//         bindings.Add<TTrWordEdit_Validator>(Control(Port_Edit)).Setup(kValHex, 0, 0x3FF);
//         bindings.Add<TTrMskEnumRunCombo_Validator>(Control(Mode_Combo)).Setup(0, modeEnum, 0x07);
//         Validator.TransferTo(std::move(bindings), data);
//     }
//
// then registers a maker under its class name (RegisterDialog) so ExecuteDialog can run it.
class TTrValDialog : public QDialog, public TModalDialog {
    Q_OBJECT
public:
    explicit TTrValDialog(QWidget* parent = nullptr);
    ~TTrValDialog() override;

    // exec(), with a dialog closed by its window button or Escape answering mrCancel.
    int ShowModal() override;
    // Runs the close check (ValCloseQuery) before the dialog closes with result.
    void done(int result) override;

    // The validator control of widget, made on first use and kept by the dialog.
    TValControl* Control(QWidget* widget);

    TRecordValidator Validator;
    // The dialog's own close check after a validated OK: false keeps the dialog open.
    std::function<bool()> OnCloseQuery;

protected:
    // OK (result mrOk) and cancel (mrCancel) buttons in the platform's order; OK is the default.
    QDialogButtonBox* MakeOkCancelButtons(const QString& okText, const QString& cancelText);

private:
    std::map<QWidget*, std::unique_ptr<TQtValControl>> controls_;
};

// Registers the dialog class Dlg (made with its owner widget as parent) under name.
template <class Dlg>
void RegisterDialogClass(std::string_view name) {
    RegisterDialog(name, [](TPlatformWindow* owner) { return std::make_unique<Dlg>(OwnerWidget(owner)); });
}

} // namespace ravlo
