#include "framework/record_validator.h"

#include "framework/dialog_registry.h"

#include <algorithm>
#include <string>
#include <utility>

namespace ravlo {

void TRecordValidator::TransferTo(std::span<TValControl* const> controls,
                                  std::vector<std::unique_ptr<TCtrlValidator>> validators,
                                  std::span<std::uint8_t> record) {
    Validators.clear();
    RecordPtr = {};
    if (controls.size() != validators.size()) {
        const auto highest = [](std::size_t size) {
            return std::to_string(static_cast<long long>(size) - 1);
        };
        ShowValidError("# " + std::string(kClassName) + ".TransferTo CNA<>VAA : " + highest(controls.size()) +
                       "<>" + highest(validators.size()));
        return;
    }
    for (std::size_t i = 0; i < validators.size(); ++i) {
        validators[i]->AssignCtrl(controls[i]);
    }
    Validators = std::move(validators);
    Rebind(record);
}

void TRecordValidator::TransferTo(TCtrlBindings bindings, std::span<std::uint8_t> record) {
    const std::vector<TValControl*> controls = bindings.TakeControls();
    TransferTo(controls, bindings.TakeValidators(), record);
}

bool TRecordValidator::Rebind(std::span<std::uint8_t> record) {
    // Every field must lie inside the record before any is read.
    std::size_t offset = 0;
    for (const auto& validator : Validators) {
        const std::size_t end = offset + validator->DataSize();
        if (end > record.size()) {
            ShowValidError("# " + std::string(kClassName) + ".TransferTo " +
                           std::string(validator->ClassName()) +
                           " REC<FLD : " + std::to_string(record.size()) + "<" + std::to_string(end));
            Validators.clear();
            RecordPtr = {};
            return false;
        }
        offset += validator->FieldSize();
    }
    RecordPtr = record;
    offset = 0;
    for (const auto& validator : Validators) {
        validator->Load(record.subspan(offset, validator->DataSize()));
        validator->SetCtrlState(StateSet, StateClear);
        validator->ClearChanged();
        offset += validator->FieldSize();
    }
    return true;
}

bool TRecordValidator::ValidateAll() {
    for (const auto& validator : Validators) {
        if (!validator->Validate()) {
            FailedCtrl = validator->Control;
            return false;
        }
    }
    return true;
}

void TRecordValidator::StoreAll() {
    for (const auto& validator : Validators) {
        validator->Store();
    }
}

bool TRecordValidator::ValidateAndStore() {
    if (!ValidateAll()) {
        return false;
    }
    const std::vector<std::uint8_t> before(RecordPtr.begin(), RecordPtr.end());
    StoreAll();
    if (OnAccept && !OnAccept(*this)) {
        std::copy(before.begin(), before.end(), RecordPtr.begin());
        return false;
    }
    return true;
}

bool ValCloseQuery(int modalResult, TRecordValidator& validator, const std::function<bool()>& designedCheck) {
    if (modalResult != mrOk) {
        return true;
    }
    const std::vector<std::uint8_t> before(validator.RecordPtr.begin(), validator.RecordPtr.end());
    if (!validator.ValidateAndStore()) {
        return false;
    }
    if (designedCheck && !designedCheck()) {
        // The dialog stays open, so the record stays as it was, as after a refused OnAccept.
        std::copy(before.begin(), before.end(), validator.RecordPtr.begin());
        return false;
    }
    return true;
}

} // namespace ravlo
