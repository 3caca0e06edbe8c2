#pragma once

#include "framework/ctrl_validator.h"

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace ravlo {

// The (control, validator) pairs of a record, in field order. A dialog builds its record binding
// like this, then hands it to TRecordValidator::TransferTo with the record:
//
//     TCtrlBindings bindings;
//     bindings.Add<TTrByteChecks_Validator>(Control(cbSMM)).Setup(0, 0x08, false); // shares the byte
//     bindings.Add<TTrByteChecks_Validator>(Control(cbSSIO)).Setup(0, 0x01, true); // then moves on
//     bindings.Add<TTrWordEdit_Validator>(Control(edSegment)).Setup(kValHex, 0x00B0, 0xFD00);
//     Validator.TransferTo(std::move(bindings), record);
//
// The record is a packed sequence of fields in the order of the validators; each validator moves
// on by its FieldSize, so one with kValNoRoom (or a bit validator without Last) shares its field
// with the next one.
class TCtrlBindings {
public:
    // Adds a validator of class V for control (nullptr: a field that is kept but not shown) and
    // answers it for its Setup.
    template <class V>
    V& Add(TValControl* control) {
        auto validator = std::make_unique<V>();
        V& added = *validator;
        Add(control, std::move(validator));
        return added;
    }
    void Add(TValControl* control, std::unique_ptr<TCtrlValidator> validator) {
        controls_.push_back(control);
        validators_.push_back(std::move(validator));
    }

    std::vector<TValControl*> TakeControls() { return std::move(controls_); }
    std::vector<std::unique_ptr<TCtrlValidator>> TakeValidators() { return std::move(validators_); }

private:
    std::vector<TValControl*> controls_;
    std::vector<std::unique_ptr<TCtrlValidator>> validators_;
};

// Binds the control validators of a dialog to consecutive fields of one record. Nothing is
// written to the record until every validator has accepted its control's input.
class TRecordValidator {
public:
    static constexpr std::string_view kClassName = "TRecordValidator";

    // Pairs controls[i] with validators[i] and loads each from its field of record. Arrays of
    // different lengths, or a record too short for the fields, show an error box and bind nothing
    // (the dialog then validates nothing).
    void TransferTo(std::span<TValControl* const> controls,
                    std::vector<std::unique_ptr<TCtrlValidator>> validators, std::span<std::uint8_t> record);
    void TransferTo(TCtrlBindings bindings, std::span<std::uint8_t> record);
    // Binds the validators in place to record (another one, or the same one read again) and shows
    // it; false, with an error box and nothing bound, when the record is too short.
    bool Rebind(std::span<std::uint8_t> record);

    void SetStateBits(std::uint8_t set, std::uint8_t clear) {
        StateSet = set;
        StateClear = clear;
    }

    // Validate of each validator in order; the first that fails stops it and its control becomes
    // FailedCtrl.
    bool ValidateAll();
    void StoreAll();
    // ValidateAll, then StoreAll, then OnAccept when there is one. When OnAccept refuses, the
    // record is put back as it was before StoreAll, so a dialog that stays open leaves it unchanged.
    bool ValidateAndStore();

    std::function<bool(TRecordValidator&)> OnAccept;
    std::uint8_t StateSet = 0;
    std::uint8_t StateClear = 0;
    std::span<std::uint8_t> RecordPtr;
    std::vector<std::unique_ptr<TCtrlValidator>> Validators;
    TValControl* FailedCtrl = nullptr;
};

// Whether a validated dialog may close with modalResult: with OK (1) only when ValidateAndStore
// succeeds and then the dialog's own close check (when it has one) agrees, the record being put
// back as it was when the check refuses; with any other result at once, without validation and
// without the dialog's check.
bool ValCloseQuery(int modalResult, TRecordValidator& validator, const std::function<bool()>& designedCheck);

} // namespace ravlo
