#pragma once

#include "framework/val_control.h"
#include "platform/exception.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// Options bits of a control validator.
inline constexpr std::uint16_t kValHex = 0x0001;           // numbers shown and read as "$" + hex digits
inline constexpr std::uint16_t kValTrimLeft = 0x0001;      // string fields: trim leading blanks
inline constexpr std::uint16_t kValTrimRight = 0x0002;     // string fields: trim trailing blanks
inline constexpr std::uint16_t kValKeepCtrlState = 0x0010; // SetCtrlState leaves the control alone
inline constexpr std::uint16_t kValNoRoom = 0x4000; // takes no room: shares its field with the next one

// Control-state bits of SetCtrlState (Set, Clear): a bit in Set switches the property on, a bit only
// in Clear switches it off. kCsEmpty on shows nothing (an empty text, an unchecked box), off shows
// the field. kCsReadOnly is for edits only; kCsCtl3D has no counterpart on this platform.
inline constexpr std::uint8_t kCsEmpty = 0x01;
inline constexpr std::uint8_t kCsVisible = 0x02;
inline constexpr std::uint8_t kCsEnabled = 0x04;
inline constexpr std::uint8_t kCsReadOnly = 0x08;
inline constexpr std::uint8_t kCsTabStop = 0x10;
inline constexpr std::uint8_t kCsCtl3D = 0x20;

// A validator set up or bound the wrong way (a control of another class, a bad mask): a fault of
// the dialog's code, not of the user's input.
class ExcValidators : public Exception {
public:
    using Exception::Exception;
};

// An error box with text and an OK button.
void ShowValidError(std::string_view text);

// The refusal of a text with letters the code page 1250 cannot store (a "?" would stand in their
// place); what names where the text goes, as "An IO port description".
std::string NotInCodePageText(std::string_view what);
// A beep and the error box with that refusal.
void ShowNotInCodePage(std::string_view what);

// Binds one field of a record to one control: Load shows the field, Validate checks the user's
// input and keeps it, Store writes what Validate kept. Without a control a validator accepts
// everything and shows nothing, and Store writes back what Load read.
class TCtrlValidator {
public:
    TCtrlValidator() = default;
    virtual ~TCtrlValidator() = default;
    TCtrlValidator(const TCtrlValidator&) = delete;
    TCtrlValidator& operator=(const TCtrlValidator&) = delete;

    virtual std::string_view ClassName() const = 0;

    virtual void SetChanged() { Changed = 1; }
    virtual void ClearChanged() { Changed = 0; }
    virtual bool IsChanged() const { return Changed != 0; }
    virtual void ChangeOptions(std::uint16_t set, std::uint16_t clear) {
        Options = static_cast<std::uint16_t>((Options | set) & ~clear);
    }
    // Focuses the control when it is visible and enabled; false otherwise.
    virtual bool FocusCtrl();
    // Raises ExcValidators for a control of another class than the validator's.
    virtual void AssignCtrl(TValControl* control);
    virtual void SetCtrlState(std::uint8_t set, std::uint8_t clear);
    // field starts at the validator's place in the record and holds DataSize() bytes.
    virtual void Load(std::span<std::uint8_t> field) = 0;
    virtual bool Validate() = 0;
    // How far the next validator's field lies: DataSize(), or 0 with kValNoRoom.
    virtual std::uint16_t FieldSize() const;
    virtual void Store() = 0;
    virtual std::span<std::uint8_t> GetFieldPtr() const { return FieldPtr; }

    // The bytes the validator reads and writes from its place, even when FieldSize is 0.
    virtual std::size_t DataSize() const = 0;

    // The label or message pattern: the string-table text LabelId when the table has it, else
    // LabelText.
    std::string Label() const;

    std::string LabelText;
    std::int32_t LabelId = -1;
    TValControl* Control = nullptr;
    std::uint8_t Changed = 0;
    std::span<std::uint8_t> FieldPtr;
    std::uint16_t Options = 0;

protected:
    virtual TCtrlClass RequiredClass() const = 0;
    // The kCsEmpty state: show nothing, or show the field again.
    virtual void ShowEmpty() = 0;
    virtual void ShowValue() = 0;
    // Focuses the control and shows message in an error box; answers false for Validate.
    bool Fail(std::string_view message);
};

} // namespace ravlo
