#pragma once

#include "framework/record_validator.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class TRecordTypeDscr;

// The generic record dialog is registered under this name: a record type whose DialogName it is
// is edited in a dialog built from its fields.
inline constexpr std::string_view kDscrRecDlgName = "TDscrRecDlg";

// One row of the generic record dialog.
struct TRecordEditItem {
    enum class Kind {
        Heading, // the caption of a nested record, whose rows follow one level deeper
        Edit,    // an edit bound to Validator
        Combo,   // a combo box bound to Validator
        Shown,   // Text shown, not edited; Validator keeps the bytes
        Hidden,  // nothing shown; Validator keeps the bytes
    };

    Kind kind = Kind::Hidden;
    std::string Caption;
    std::string Text;
    int Depth = 0;
    // nullptr for a heading.
    std::unique_ptr<TCtrlValidator> Validator;
};

// The rows that edit trBuf, the transfer record of data, a record of type. Their validators cover
// trBuf exactly, field after field; a field the dialog cannot edit keeps its bytes. data chooses
// the variant of each case field.
std::vector<TRecordEditItem> RecordEditPlan(const TRecordTypeDscr& type, std::span<const std::uint8_t> data,
                                            std::span<const std::uint8_t> trBuf);

// The bindings of the rows' validators, each to the control that controlFor makes for its row
// (called for every row in order; nullptr: no control).
TCtrlBindings RecordEditBindings(std::vector<TRecordEditItem>& items,
                                 const std::function<TValControl*(const TRecordEditItem&)>& controlFor);

// The record that a record object's EditInDialog hands to its dialog just now.
struct TRecordEdit {
    const TRecordTypeDscr* Type = nullptr;
    std::span<const std::uint8_t> Data;
};
const TRecordEdit& CurrentRecordEdit();

// Makes edit the current one while it lives.
class ScopedRecordEdit {
public:
    explicit ScopedRecordEdit(const TRecordEdit& edit);
    ~ScopedRecordEdit();
    ScopedRecordEdit(const ScopedRecordEdit&) = delete;
    ScopedRecordEdit& operator=(const ScopedRecordEdit&) = delete;

private:
    TRecordEdit previous_;
};

} // namespace ravlo
