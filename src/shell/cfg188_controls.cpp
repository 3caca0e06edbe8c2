#include "shell/cfg188_controls.h"

#include "framework/bit_validators.h"
#include "framework/enum_validators.h"
#include "framework/num_edit_validators.h"
#include "framework/string_edit_validator.h"
#include "shell/cfg188_setup.h"
#include "shell/main_enum_types.h"

namespace ravlo {
namespace {

constexpr int kBank512 = 3;
constexpr int kLowBank256 = 3;

TCharSet BootNameChars() {
    TCharSet chars = CharRange('0', '9') | CharRange('A', 'Z');
    chars.set('_');
    chars.set('~');
    return chars;
}

// Checks the radio button of index and no other (the buttons are one exclusive set).
void CheckOnly(const TCfg188Controls& c, std::size_t index) {
    for (std::size_t i = 0; i < c.AZPK.size(); ++i) {
        c.AZPK[i]->SetChecked(i == index);
    }
}

void LimitExtAccess(const TCfg188Controls& c, bool chosen) {
    const int waitStates = c.WSIOBUS_ComboBox->ItemIndex();
    const int access = c.WSEAT_ComboBox->ItemIndex();
    if (waitStates < 0 || access < 0) {
        return;
    }
    const int longest = MaxExtAccess(static_cast<std::uint8_t>(waitStates));
    if (access <= longest) {
        return;
    }
    if (chosen) {
        ShowValidError("Number of Extended Access Time can't be longer than number of WaitStates.");
    }
    c.WSEAT_ComboBox->SetItemIndex(longest);
}

} // namespace

TCtrlBindings Cfg188Bindings(const TCfg188Controls& c) {
    TCtrlBindings bindings;
    bindings.Add<TTrByteChecks_Validator>(c.cbCFBoot).Setup(0, 0x01, true);
    bindings.Add<TTrByteChecks_Validator>(c.cbSpustitVRam).Setup(0, 0x01, true);
    for (std::size_t i = 0; i < c.AZPK.size(); ++i) {
        const bool last = i + 1 == c.AZPK.size();
        bindings.Add<TTrByteRadio_Validator>(c.AZPK[i]).Setup(0, static_cast<std::uint8_t>(1u << i), last);
    }
    bindings.Add<TTrMskEnumRunRadioGroup_Validator>(c.rgBankHigh).Setup(0, kEnumBankHigh, 0x03);
    bindings.Add<TTrMskEnumRunRadioGroup_Validator>(c.rgBankLow).Setup(0, kEnumBankLow, 0x03);
    bindings.Add<TTrMskEnumCombo_Validator>(c.WSIOBUS_ComboBox).Setup(0, 0x0F);
    bindings.Add<TTrMskEnumCombo_Validator>(c.WSEAT_ComboBox).Setup(0, 0x03);
    bindings.Add<TTrByteChecks_Validator>(c.NMIWP_CheckBox).Setup(0, 0x01, false);
    bindings.Add<TTrByteChecks_Validator>(c.NMIPFI_CheckBox).Setup(0, 0x02, true);
    // Blanks around a typed name are no part of it.
    const std::uint16_t trim = kValTrimLeft | kValTrimRight;
    bindings.Add<TTrStringEdit_Validator>(c.edCFFileName).Setup(trim, 9, BootNameChars());
    bindings.Add<TTrStringEdit_Validator>(c.CFFileExt_Edit).Setup(trim, 4, BootNameChars());
    bindings.Add<TTrWordEdit_Validator>(c.edSegment).Setup(kValHex, kBootSegMin, kBootSegMax);
    return bindings;
}

void rgBankHighClick(const TCfg188Controls& c) {
    if (c.rgBankHigh->ItemIndex() != kBank512) {
        c.rgBankLow->SetEnabled(false);
        c.rgBankLow->SetItemIndex(0);
    } else {
        c.rgBankLow->SetEnabled(true);
    }
    rgBankLowClick(c);
}

void rgBankLowClick(const TCfg188Controls& c) {
    const int low = std::max(0, c.rgBankLow->ItemIndex());
    // 0 kB allows only $80000; each step of the low bank one address lower; 256 kB all five.
    const std::size_t lowest = low >= kLowBank256 ? 0 : c.AZPK.size() - 1 - static_cast<std::size_t>(low);
    bool checked = false;
    for (std::size_t i = 0; i < c.AZPK.size(); ++i) {
        c.AZPK[i]->SetEnabled(i >= lowest);
        checked = checked || (i >= lowest && c.AZPK[i]->Checked());
    }
    if (!checked) {
        CheckOnly(c, lowest);
    }
}

void cbCFBootClick(const TCfg188Controls& c) {
    const bool enabled = c.cbCFBoot->Checked();
    for (TValControl* edit : {c.edCFFileName, c.CFFileExt_Edit, c.edSegment}) {
        edit->SetEnabled(enabled);
    }
}

void WSIOBUS_ComboBoxChange(const TCfg188Controls& c) {
    LimitExtAccess(c, false);
}

void WSEAT_ComboBoxChange(const TCfg188Controls& c) {
    LimitExtAccess(c, true);
}

void AddCfg188Rules(const TCfg188Controls& c) {
    c.rgBankHigh->AddClickHandler([c] { rgBankHighClick(c); });
    c.rgBankLow->AddClickHandler([c] { rgBankLowClick(c); });
    c.cbCFBoot->AddClickHandler([c] { cbCFBootClick(c); });
    c.WSIOBUS_ComboBox->AddClickHandler([c] { WSIOBUS_ComboBoxChange(c); });
    c.WSEAT_ComboBox->AddClickHandler([c] { WSEAT_ComboBoxChange(c); });
}

void ApplyCfg188Rules(const TCfg188Controls& c) {
    rgBankHighClick(c);
    cbCFBootClick(c);
}

} // namespace ravlo
