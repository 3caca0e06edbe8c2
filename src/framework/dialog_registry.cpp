#include "framework/dialog_registry.h"

#include <algorithm>
#include <vector>

namespace ravlo {
namespace {

struct TDialogObj {
    std::string Name;
    TDialogClass DlgClass;
};

std::vector<TDialogObj>& Dialogs() {
    static std::vector<TDialogObj> dialogs;
    return dialogs;
}

} // namespace

void RegisterDialog(std::string_view name, TDialogClass dlgClass) {
    std::string cut(name.substr(0, std::min(name.size(), kDialogNameMax)));
    auto& dialogs = Dialogs();
    const auto same =
        std::find_if(dialogs.begin(), dialogs.end(), [&](const TDialogObj& d) { return d.Name == cut; });
    if (same != dialogs.end()) {
        same->DlgClass = std::move(dlgClass);
        return;
    }
    dialogs.push_back({std::move(cut), std::move(dlgClass)});
}

const TDialogClass* FindDialog(std::string_view name) {
    for (const TDialogObj& dialog : Dialogs()) {
        if (dialog.Name == name) {
            return &dialog.DlgClass;
        }
    }
    return nullptr;
}

int ExecuteDialog(TPlatformWindow* owner, std::string_view name, std::span<std::uint8_t> data) {
    if (name.empty()) {
        return mrNone;
    }
    const TDialogClass* dlgClass = FindDialog(name);
    if (dlgClass == nullptr) {
        throw ExcTrValDialog("Not registered Dlg: " + std::string(name));
    }
    // A copy: the dialog may register classes while it runs.
    const std::unique_ptr<TModalDialog> dialog = TDialogClass(*dlgClass)(owner);
    dialog->BindRecord(data);
    return dialog->ShowModal();
}

} // namespace ravlo
