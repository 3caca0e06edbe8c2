// The main form's questions for the debug commands: a number in a parameter dialog, a file to save.
#include "framework/ctrl_validator.h"
#include "framework/ui/param_dialogs.h"
#include "project/ui/eprom_img_form.h"
#include "shell/ui/ravlo_main_form.h"

namespace ravlo {
namespace {

template <class T>
int AskWith(int (*exec)(QWidget*, std::string_view, std::string_view, std::uint16_t, T, T, T&),
            QWidget* owner, std::string_view label, std::string_view unit, std::uint32_t min,
            std::uint32_t max, std::uint32_t& value) {
    T typed = static_cast<T>(value);
    const int result = exec(owner, label, unit, kValHex, static_cast<T>(max), static_cast<T>(min), typed);
    value = typed;
    return result;
}

} // namespace

bool TRavloMainForm::AskParameter(std::string_view label, std::string_view unit, std::size_t width,
                                  std::uint32_t min, std::uint32_t max, std::uint32_t& value) {
    if (!canAskUser_) {
        return false;
    }
    int result = mrCancel;
    switch (width) {
    case 1:
        result = AskWith<std::uint8_t>(ExecParByteDlg, this, label, unit, min, max, value);
        break;
    case 2:
        result = AskWith<std::uint16_t>(ExecParWordDlg, this, label, unit, min, max, value);
        break;
    default:
        result = AskWith<std::uint32_t>(ExecParDWordDlg, this, label, unit, min, max, value);
        break;
    }
    return result == mrOk;
}

std::optional<std::filesystem::path> TRavloMainForm::ChooseSaveFile(const TFileDialogSpec& spec) {
    if (!canAskUser_) {
        return std::nullopt;
    }
    return ChooseFileWithDialog(this, spec, true);
}

} // namespace ravlo
