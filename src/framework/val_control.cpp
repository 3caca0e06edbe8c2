#include "framework/val_control.h"

#include <array>

namespace ravlo {

std::string_view CtrlClassName(TCtrlClass ctrlClass) {
    static constexpr std::array<std::string_view, 6> kNames = {"TEdit",        "TComboBox",   "TCheckBox",
                                                               "TRadioButton", "TRadioGroup", "TListBox"};
    return kNames[static_cast<std::size_t>(ctrlClass)];
}

} // namespace ravlo
