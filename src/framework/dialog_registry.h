#pragma once

#include "platform/exception.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// Modal results of the program's dialogs.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

// The window a dialog is shown over. The core only passes it on; the GUI knows what it is
// (framework/ui/tr_val_dialog.h converts a widget to and from it). nullptr: no owner.
class TPlatformWindow;

// A dialog that edits one record.
class TModalDialog {
public:
    virtual ~TModalDialog() = default;
    // Binds the dialog's controls to data, which the dialog edits in place.
    virtual void BindRecord(std::span<std::uint8_t> data) = 0;
    // Shows the dialog until it closes and answers its modal result.
    virtual int ShowModal() = 0;
};

// Makes a dialog of one class for an owner window.
using TDialogClass = std::function<std::unique_ptr<TModalDialog>(TPlatformWindow* owner)>;

// A name in the dialog registry was not registered.
class ExcTrValDialog : public Exception {
public:
    using Exception::Exception;
};

inline constexpr std::size_t kDialogNameMax = 63;

// Registers a dialog class under name, cut to kDialogNameMax characters; a class registered again
// under the same name takes the place of the one before.
void RegisterDialog(std::string_view name, TDialogClass dlgClass);

// The class registered under exactly name (case-sensitive), nullptr when there is none.
const TDialogClass* FindDialog(std::string_view name);

// Makes the dialog named name for owner, binds data, shows it modally, frees it and answers its
// modal result. An empty name answers 0; a name not registered raises ExcTrValDialog
// "Not registered Dlg: " + name.
int ExecuteDialog(TPlatformWindow* owner, std::string_view name, std::span<std::uint8_t> data);

} // namespace ravlo
