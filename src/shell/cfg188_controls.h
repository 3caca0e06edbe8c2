#pragma once

// The controls of the Vok188ER setup dialog bound to its edit record (shell/cfg188_setup.h), and the
// rules that keep them consistent while the user edits: the banks decide the start addresses that
// can be chosen, the CF card decides the boot file fields, the wait states bound the extended
// access time.

#include "framework/record_validator.h"

#include <array>

namespace ravlo {

struct TCfg188Controls {
    TValControl* cbCFBoot = nullptr;
    TValControl* cbSpustitVRam = nullptr;
    // AZPK4k_RadioButton .. AZPK8k_RadioButton: the start of code memory $40000 .. $80000.
    std::array<TValControl*, 5> AZPK{};
    TValControl* rgBankHigh = nullptr;
    TValControl* rgBankLow = nullptr;
    TValControl* WSIOBUS_ComboBox = nullptr;
    TValControl* WSEAT_ComboBox = nullptr;
    TValControl* NMIWP_CheckBox = nullptr;
    TValControl* NMIPFI_CheckBox = nullptr;
    TValControl* edCFFileName = nullptr;
    TValControl* CFFileExt_Edit = nullptr;
    TValControl* edSegment = nullptr;
};

// The controls paired with validators that walk the packed edit record field by field.
TCtrlBindings Cfg188Bindings(const TCfg188Controls& controls);

// The rules, each as the handler of its control. A high bank below 512 kB leaves no low bank; the
// low bank decides the lowest start address, and a start address no longer allowed moves to the
// lowest one allowed.
void rgBankHighClick(const TCfg188Controls& controls);
void rgBankLowClick(const TCfg188Controls& controls);
// The boot file fields are enabled exactly while "Run from CF card" is checked.
void cbCFBootClick(const TCfg188Controls& controls);
// An extended access time the wait states no longer allow becomes the longest they allow; chosen by
// the user, it is refused with an error box first.
void WSIOBUS_ComboBoxChange(const TCfg188Controls& controls);
void WSEAT_ComboBoxChange(const TCfg188Controls& controls);

// Installs the rules as the controls' click handlers.
void AddCfg188Rules(const TCfg188Controls& controls);
// The bank rule and the CF rule, as after each binding.
void ApplyCfg188Rules(const TCfg188Controls& controls);

} // namespace ravlo
