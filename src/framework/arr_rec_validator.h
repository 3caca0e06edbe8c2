#pragma once

#include "framework/ctrl_validator.h"

#include <functional>
#include <memory>

namespace ravlo {

class TRecordValidator;

// An array of records in a list box, one line per record, with a detail TRecordValidator that
// edits the record of the current line. The validator's field is the array (RecordSize bytes in
// all); the callbacks get that field and decide how it divides into records:
// - OnCount: the number of lines (without it HighIndex + 1; none when HighIndex is negative);
// - OnGetText: the text of a line (empty without it);
// - OnSelect: a line became current (-1: none); it binds the detail validator to that record
//   (TRecordValidator::Rebind), with kCsEmpty in the detail's state bits while the index is -1;
// - OnCheckLeave: whether the current record must be validated before the user leaves it.
// Leaving a line validates and stores its record first; a record that fails keeps the line.
class TTrArrRec_Validator : public TCtrlValidator {
public:
    using CountFn = std::function<std::int32_t(std::span<std::uint8_t> records)>;
    using GetTextFn =
        std::function<void(std::span<std::uint8_t> records, std::int32_t index, std::string& text)>;
    using IndexFn = std::function<void(std::span<std::uint8_t> records, std::int32_t index)>;
    using CheckLeaveFn = std::function<bool(std::span<std::uint8_t> records, std::int32_t index)>;

    // rebuild: fill the lines at the next Load (then cleared); refresh: renew a line's text when
    // the user leaves it.
    void Setup(std::uint16_t options, std::size_t recordSize, TRecordValidator* detail, bool rebuild,
               bool refresh, std::int32_t highIndex);

    std::size_t DataSize() const override { return recordSize_; }
    // The detail validator's ValidateAndStore while a line is current.
    bool Validate() override;
    // The detail validator has stored the records already.
    void Store() override {}

    std::int32_t CurrentIndex() const { return current_; }

    CountFn OnCount;
    GetTextFn OnGetText;
    IndexFn OnSelect;
    CheckLeaveFn OnCheckLeave;
    bool RebuildFlag = false;
    bool RefreshFlag = false;
    std::int32_t HighIndex = -1;
    // Picked at Load when the current line is no longer in the list.
    std::string SelectionText;

protected:
    std::int32_t Count() const;
    std::string LineText(std::int32_t index) const;
    // Makes index current and tells OnSelect.
    void Select(std::int32_t index);
    // The user picked another line.
    void LineClicked();

    std::int32_t current_ = -1;
    // Lets a click handler that outlives the validator see that it is gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);

private:
    std::size_t recordSize_ = 0;
    TRecordValidator* detail_ = nullptr;
};

class TTrArrRecListBox_Validator final : public TTrArrRec_Validator {
public:
    std::string_view ClassName() const override { return "TTrArrRecListBox_Validator"; }
    // Takes over the list box's clicks (handlers added before run first).
    void AssignCtrl(TValControl* control) override;
    void Load(std::span<std::uint8_t> field) override;

protected:
    TCtrlClass RequiredClass() const override { return TCtrlClass::ListBox; }
    void ShowEmpty() override {}
    void ShowValue() override {}

private:
    TValControl* hooked_ = nullptr;
};

} // namespace ravlo
