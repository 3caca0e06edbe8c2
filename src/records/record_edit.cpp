#include "records/record_edit.h"

#include "framework/enum_validators.h"
#include "framework/number_text.h"
#include "framework/string_edit_validator.h"
#include "records/compound_fields.h"
#include "records/field_bytes.h"
#include "records/field_validators.h"
#include "records/form_validators.h"
#include "records/int_field_dscrs.h"
#include "records/real_field_dscrs.h"
#include "records/record_type_dscr.h"

#include <array>
#include <bitset>
#include <optional>

namespace ravlo {
namespace {

thread_local TRecordEdit currentEdit;

// How a field class's transfer record is edited.
enum class Editor {
    Byte,
    ByteLim,
    ShortInt,
    ShortIntLim,
    Word,
    WordLim,
    SmallInt,
    SmallIntLim,
    LInt,
    LIntLim,
    DWord,
    DWordLim,
    Realp,
    RealpLim,
    Enum,
    String,
    StringLim,
    Label,
    Set,
    Compound,
    Case,
    DBPtr
};

struct EditorOf {
    std::string_view className;
    Editor editor;
    // Bytes after the edited value that the dialog keeps (Kind and Decimals of the scaled classes).
    std::size_t kept;
};

constexpr EditorOf kEditors[] = {
    {"TByteRecFieldDscr", Editor::Byte, 0},
    {"TByteLimRecFieldDscr", Editor::ByteLim, 0},
    {"TShortIntRecFieldDscr", Editor::ShortInt, 0},
    {"TShortIntLimRecFieldDscr", Editor::ShortIntLim, 0},
    {"TWordRecFieldDscr", Editor::Word, 0},
    {"TWordLimRecFieldDscr", Editor::WordLim, 0},
    {"TSpecWordRecFieldDscr", Editor::Word, 0},
    {"TSpecWordLimRecFieldDscr", Editor::WordLim, 2},
    {"TSmallIntRecFieldDscr", Editor::SmallInt, 0},
    {"TSmallIntLimRecFieldDscr", Editor::SmallIntLim, 0},
    {"TSpecSmallIntRecFieldDscr", Editor::SmallInt, 0},
    {"TSpecSmallIntLimRecFieldDscr", Editor::SmallIntLim, 2},
    {"TIntegerRecFieldDscr", Editor::LInt, 0},
    {"TLIntRecFieldDscr", Editor::LInt, 0},
    {"TLIntLimRecFieldDscr", Editor::LIntLim, 0},
    {"TSpecLIntRecFieldDscr", Editor::LInt, 0},
    {"TSpecLIntLimRecFieldDscr", Editor::LIntLim, 2},
    {"TDWordRecFieldDscr", Editor::DWord, 0},
    {"TSpecDWordLimRecFieldDscr", Editor::DWordLim, 2},
    {"TRealpRecFieldDscr", Editor::Realp, 0},
    {"TRealpLimRecFieldDscr", Editor::RealpLim, 0},
    {"TEnumRecFieldDscr", Editor::Enum, 0},
    {"TDBStringFieldDscr", Editor::String, 0},
    {"TStringLimFieldDscr", Editor::StringLim, 0},
    {"TLabelFieldDscr", Editor::Label, 0},
    {"TEnumSetFieldDscr", Editor::Set, 0},
    {"TCompoundTDscr", Editor::Compound, 0},
    {"TAbstractCaseTypeDscr", Editor::Case, 0},
    {"TByteCaseTypeDscr", Editor::Case, 0},
    {"TDynDBPtrRecFieldDscr", Editor::DBPtr, 0},
};

// The string of a limited-string transfer record: its room, then the allowed characters.
constexpr std::size_t kCharsAt = 1;
constexpr std::size_t kTextAt = 33;
constexpr std::size_t kTextRoom = 255;

// The form in which a scaled, time or date field's text shows its value; nullopt for a plain number.
std::optional<TValueForm> ShownForm(const TRecFieldTypeDscr& field) {
    using Form = TValueForm::Kind;
    const auto scaled = [](int kind, int first, std::uint8_t decimals) -> std::optional<TValueForm> {
        if (kind < first || kind > first + 3) {
            return std::nullopt;
        }
        return TValueForm{Form::Scaled, kind - first + 1, decimals};
    };
    if (const auto* word = dynamic_cast<const TSpecWordRecFieldDscr*>(&field)) {
        return word->Kind == 1 ? TValueForm{Form::Seconds} : scaled(word->Kind, 2, word->Decimals);
    }
    if (const auto* small = dynamic_cast<const TSpecSmallIntRecFieldDscr*>(&field)) {
        return scaled(small->Kind, 1, small->Decimals);
    }
    if (const auto* lint = dynamic_cast<const TSpecLIntRecFieldDscr*>(&field)) {
        return scaled(lint->Kind, 1, lint->Decimals);
    }
    if (const auto* dword = dynamic_cast<const TDWordRecFieldDscr*>(&field)) {
        constexpr std::array<std::optional<Form>, 5> kForms{std::nullopt, Form::DosTime, Form::TTCTime,
                                                            Form::Seconds, Form::SignedSeconds};
        if (dword->Kind < kForms.size() && kForms[dword->Kind]) {
            return TValueForm{*kForms[dword->Kind]};
        }
    }
    return std::nullopt;
}

// The integer under a form, by the editor of the field's class.
std::optional<TRawNumber> RawNumber(Editor editor) {
    switch (editor) {
    case Editor::Word:
    case Editor::WordLim:
        return TRawNumber{2, false, editor == Editor::WordLim};
    case Editor::SmallInt:
    case Editor::SmallIntLim:
        return TRawNumber{2, true, editor == Editor::SmallIntLim};
    case Editor::LInt:
    case Editor::LIntLim:
        return TRawNumber{4, true, editor == Editor::LIntLim};
    case Editor::DWord:
    case Editor::DWordLim:
        return TRawNumber{4, false, editor == Editor::DWordLim};
    default:
        return std::nullopt;
    }
}

template <class V, class... Args>
std::unique_ptr<TCtrlValidator> Number(std::uint16_t options, Args... args) {
    auto validator = std::make_unique<V>(args...);
    validator->Setup(options);
    return validator;
}

class Planner {
public:
    explicit Planner(std::vector<TRecordEditItem>& items) : items_(items) {}

    void Record(const TRecordTypeDscr& type, std::span<const std::uint8_t> data,
                std::span<const std::uint8_t> trBuf, int depth) {
        type.ForEachTrField(
            data, trBuf,
            [&](const TRecFieldTypeDscr& field, std::span<const std::uint8_t> fieldData,
                std::span<const std::uint8_t> fieldTr) { Field(field, fieldData, fieldTr, depth); });
    }

private:
    void Add(TRecordEditItem::Kind kind, std::string caption, int depth,
             std::unique_ptr<TCtrlValidator> validator, std::string text = {}) {
        items_.push_back({kind, std::move(caption), std::move(text), depth, std::move(validator)});
    }
    void Keep(std::size_t size, int depth) {
        if (size > 0) {
            Add(TRecordEditItem::Kind::Hidden, {}, depth, std::make_unique<TTrSkip_Validator>(size));
        }
    }

    void Field(const TRecFieldTypeDscr& field, std::span<const std::uint8_t> data,
               std::span<const std::uint8_t> trBuf, int depth) {
        if (trBuf.empty()) {
            return;
        }
        const std::size_t first = items_.size();
        Value(field, data, trBuf, depth);
        // The rows must cover the transfer record exactly; a field whose record is not what its
        // class makes (or a layout nested too deep) keeps its bytes instead.
        std::size_t covered = 0;
        for (std::size_t i = first; i < items_.size(); ++i) {
            covered += items_[i].Validator ? items_[i].Validator->FieldSize() : 0;
        }
        if (covered != trBuf.size()) {
            items_.resize(first);
            Keep(trBuf.size(), depth);
        }
    }

    void Value(const TRecFieldTypeDscr& field, std::span<const std::uint8_t> data,
               std::span<const std::uint8_t> trBuf, int depth) {
        const EditorOf* editor = nullptr;
        for (const EditorOf& candidate : kEditors) {
            if (candidate.className == field.ClassName()) {
                editor = &candidate;
            }
        }
        std::string caption = field.CaptionText();
        if (caption.empty()) {
            caption = field.Name;
        }
        if (editor == nullptr || depth > TNestedLayout::kMaxNesting) {
            Keep(trBuf.size(), depth);
            return;
        }
        const std::uint16_t hex = (field.Flags & kFldHex) != 0 ? kValHex : 0;
        const auto edit = [&](std::unique_ptr<TCtrlValidator> validator) {
            Add(TRecordEditItem::Kind::Edit, caption, depth, std::move(validator));
        };
        // A value is edited in the form its text shows.
        const std::optional<TValueForm> form = ShownForm(field);
        if (std::optional<TRawNumber> raw = RawNumber(editor->editor); form && raw) {
            raw->Signed = raw->Signed || form->kind == TValueForm::Kind::SignedSeconds;
            edit(std::make_unique<TTrFormEdit_Validator>(*form, *raw));
            Keep(editor->kept, depth);
            return;
        }
        switch (editor->editor) {
        case Editor::Byte:
            edit(Number<TTrByteEdit_Validator>(hex));
            break;
        case Editor::ByteLim:
            edit(Number<TTrByteLimEdit_Validator>(hex));
            break;
        case Editor::ShortInt:
        case Editor::ShortIntLim:
            edit(Number<TTrSignedEdit_Validator>(0, std::uint8_t{1}, editor->editor == Editor::ShortIntLim));
            break;
        case Editor::Word:
            edit(Number<TTrWordEdit_Validator>(hex));
            break;
        case Editor::WordLim:
            edit(Number<TTrWordLimEdit_Validator>(hex));
            break;
        case Editor::SmallInt:
        case Editor::SmallIntLim:
            edit(Number<TTrSignedEdit_Validator>(0, std::uint8_t{2}, editor->editor == Editor::SmallIntLim));
            break;
        case Editor::LInt:
            edit(Number<TTrLIntEdit_Validator>(hex));
            break;
        case Editor::LIntLim:
            edit(Number<TTrLIntLimEdit_Validator>(hex));
            break;
        case Editor::DWord:
            edit(Number<TTrDWordEdit_Validator>(hex));
            break;
        case Editor::DWordLim:
            edit(Number<TTrDWordLimEdit_Validator>(hex));
            break;
        case Editor::Realp: {
            auto real = std::make_unique<TTrRealpEdit_Validator>(false);
            real->Setup(0, dynamic_cast<const TRealpRecFieldDscr&>(field).Decimals,
                        (field.Flags & kFldScientific) != 0);
            edit(std::move(real));
            break;
        }
        case Editor::RealpLim:
            edit(std::make_unique<TTrRealpEdit_Validator>(true));
            break;
        case Editor::Enum: {
            auto combo = std::make_unique<TTrEnumCombo_Validator>();
            combo->Setup(0);
            Add(TRecordEditItem::Kind::Combo, caption, depth, std::move(combo));
            break;
        }
        case Editor::String:
            String(caption, trBuf.size(), CharRange(32, 255), depth);
            break;
        case Editor::StringLim: {
            if (trBuf.size() != kTextAt + kTextRoom) {
                Keep(trBuf.size(), depth);
                break;
            }
            const std::size_t room = std::min<std::size_t>(trBuf[0], kTextRoom);
            TCharSet allowed;
            for (std::size_t c = 0; c < allowed.size(); ++c) {
                allowed[c] = ((GetLE<std::uint8_t>(trBuf, kCharsAt + c / 8) >> (c % 8)) & 1) != 0;
            }
            Keep(kTextAt, depth);
            String(caption, room, allowed, depth);
            Keep(trBuf.size() - kTextAt - room, depth);
            break;
        }
        case Editor::Label:
            Add(TRecordEditItem::Kind::Shown, {}, depth, std::make_unique<TTrSkip_Validator>(trBuf.size()),
                GetShortString(trBuf));
            break;
        case Editor::DBPtr:
            // The sub-database's address is the program's to set, so it is only shown.
            Add(TRecordEditItem::Kind::Shown, caption, depth,
                std::make_unique<TTrSkip_Validator>(trBuf.size()), "$" + HexW(GetLE<std::uint16_t>(trBuf)));
            break;
        case Editor::Set:
            Add(TRecordEditItem::Kind::Shown, caption, depth,
                std::make_unique<TTrSkip_Validator>(trBuf.size()),
                HexBuf(trBuf.subspan(std::min<std::size_t>(5, trBuf.size())), kTextRoom));
            break;
        case Editor::Compound:
        case Editor::Case: {
            const TRecordTypeDscr* nested =
                editor->editor == Editor::Compound
                    ? dynamic_cast<const TCompoundTDscr&>(field).NestedType()
                    : dynamic_cast<const TAbstractCaseTypeDscr&>(field).SelectedVariant(data);
            if (nested == nullptr) {
                Keep(trBuf.size(), depth);
                break;
            }
            Add(TRecordEditItem::Kind::Heading, caption, depth, nullptr);
            Record(*nested, data, trBuf, depth + 1);
            break;
        }
        }
        Keep(editor->kept, depth);
    }

    void String(const std::string& caption, std::size_t room, const TCharSet& allowed, int depth) {
        if (room == 0) {
            return;
        }
        auto text = std::make_unique<TTrStringEdit_Validator>();
        text->Setup(0, static_cast<std::uint16_t>(room), allowed);
        Add(TRecordEditItem::Kind::Edit, caption, depth, std::move(text));
    }

    std::vector<TRecordEditItem>& items_;
};

} // namespace

std::vector<TRecordEditItem> RecordEditPlan(const TRecordTypeDscr& type, std::span<const std::uint8_t> data,
                                            std::span<const std::uint8_t> trBuf) {
    std::vector<TRecordEditItem> items;
    Planner(items).Record(type, data, trBuf, 0);
    return items;
}

TCtrlBindings RecordEditBindings(std::vector<TRecordEditItem>& items,
                                 const std::function<TValControl*(const TRecordEditItem&)>& controlFor) {
    TCtrlBindings bindings;
    for (TRecordEditItem& item : items) {
        TValControl* control = controlFor(item);
        if (item.Validator) {
            bindings.Add(control, std::move(item.Validator));
        }
    }
    return bindings;
}

const TRecordEdit& CurrentRecordEdit() {
    return currentEdit;
}

ScopedRecordEdit::ScopedRecordEdit(const TRecordEdit& edit) : previous_(currentEdit) {
    currentEdit = edit;
}

ScopedRecordEdit::~ScopedRecordEdit() {
    currentEdit = previous_;
}

} // namespace ravlo
