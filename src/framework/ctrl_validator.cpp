#include "framework/ctrl_validator.h"

#include "framework/message_box.h"
#include "framework/string_table.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"

namespace ravlo {
namespace {

// Applies one state bit: on when in set, off when only in clear, untouched otherwise.
template <class Setter>
void ApplyStateBit(std::uint8_t bit, std::uint8_t set, std::uint8_t clear, Setter apply) {
    if ((set & bit) != 0) {
        apply(true);
    } else if ((clear & bit) != 0) {
        apply(false);
    }
}

} // namespace

void ShowValidError(std::string_view text) {
    MessageDlgDefBtn(text, MessageBoxKind::Error, MsgDlgButton(TMsgDlgBtn::mbOK), TMsgDlgBtn::mbOK);
}

std::string NotInCodePageText(std::string_view what) {
    return std::string(what) +
           " can't hold letters outside Central European code page 1250 (such as Cyrillic).";
}

void ShowNotInCodePage(std::string_view what) {
    GetPresenter().Beep(MB_OK);
    ShowValidError(NotInCodePageText(what));
}

bool TCtrlValidator::FocusCtrl() {
    if (Control == nullptr || !Control->Visible() || !Control->Enabled()) {
        return false;
    }
    Control->SetFocus();
    return true;
}

void TCtrlValidator::AssignCtrl(TValControl* control) {
    if (control != nullptr && control->CtrlClass() != RequiredClass()) {
        throw ExcValidators(std::string(ClassName()) + ".AssignCtrl <> " +
                            std::string(CtrlClassName(RequiredClass())) + "\\..");
    }
    Control = control;
}

void TCtrlValidator::SetCtrlState(std::uint8_t set, std::uint8_t clear) {
    if ((Options & kValKeepCtrlState) != 0 || Control == nullptr) {
        return;
    }
    ApplyStateBit(kCsEmpty, set, clear, [this](bool empty) { empty ? ShowEmpty() : ShowValue(); });
    ApplyStateBit(kCsVisible, set, clear, [this](bool on) { Control->SetVisible(on); });
    ApplyStateBit(kCsEnabled, set, clear, [this](bool on) { Control->SetEnabled(on); });
    ApplyStateBit(kCsTabStop, set, clear, [this](bool on) { Control->SetTabStop(on); });
    if (Control->CtrlClass() == TCtrlClass::Edit) {
        ApplyStateBit(kCsReadOnly, set, clear, [this](bool on) { Control->SetReadOnly(on); });
    }
}

std::uint16_t TCtrlValidator::FieldSize() const {
    return (Options & kValNoRoom) != 0 ? 0 : static_cast<std::uint16_t>(DataSize());
}

std::string TCtrlValidator::Label() const {
    if (LabelId >= 0) {
        std::string text = AppLoadStr(LabelId);
        if (text != kMissingStringText) {
            return text;
        }
    }
    return LabelText;
}

bool TCtrlValidator::Fail(std::string_view message) {
    FocusCtrl();
    ShowValidError(message);
    return false;
}

} // namespace ravlo
