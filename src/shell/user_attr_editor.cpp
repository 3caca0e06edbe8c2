#include "shell/user_attr_editor.h"

#include "framework/arr_rec_validator.h"
#include "framework/bit_validators.h"
#include "framework/num_edit_validators.h"
#include "framework/string_edit_validator.h"
#include "platform/text_case.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::uint16_t kEditableOptions = kUserOptOwnEntry | kUserOptLower;

TLoginRecord RecordOf(const TPasswordNameObj& user) {
    return {user.UserName, user.Password, user.Level, user.Opt};
}

} // namespace

TUserSplit SplitUsers(const TPasswordLabelColl& store, const TLoginRecord& editor) {
    TUserSplit split;
    const TPasswordNameObj* own = editor.UserName.empty() ? nullptr : store.GetUser(editor.UserName);
    for (std::int32_t i = 0; i < store.Count(); ++i) {
        const TPasswordNameObj* user = store.UserAt(i);
        if (user == nullptr || user->UserName.empty()) {
            continue;
        }
        const bool shown = user->Level <= editor.Level &&
                           (user == own ? (editor.Opt & kUserOptOwnEntry) != 0
                                        : (editor.Opt & kUserOptLower) != 0 && user->Level < editor.Level);
        if (shown && user == own) {
            split.Own = split.Shown.size();
        }
        (shown ? split.Shown : split.Kept).push_back(RecordOf(*user));
    }
    return split;
}

void RefillStore(TPasswordLabelColl& store, std::span<const TLoginRecord> kept,
                 std::span<const TLoginRecord> shown) {
    store.FreeAll();
    for (const std::span<const TLoginRecord> users : {kept, shown}) {
        for (const TLoginRecord& user : users) {
            if (!user.UserName.empty()) {
                store.AddUser(user.UserName, user.Password, user.Level, user.Opt);
            }
        }
    }
    store.Sort();
}

TUserAttrEditor::TUserAttrEditor(const TPasswordLabelColl& store, const TLoginRecord& editor)
    : editorName_(editor.UserName),
      ownInStore_(!editor.UserName.empty() && store.GetUser(editor.UserName) != nullptr),
      editorLevel_(editor.Level), editorOpt_(editor.Opt) {
    TUserSplit split = SplitUsers(store, editor);
    kept_ = std::move(split.Kept);
    ownShown_ = split.Own.has_value();
    for (std::size_t i = 0; i < split.Shown.size(); ++i) {
        TRow row;
        PackLoginRecord(split.Shown[i], row.Rec);
        row.OrigOpt = split.Shown[i].Opt;
        row.Own = split.Own == i;
        rows_.push_back(row);
    }
    // In the order of the store's Sort.
    std::stable_sort(rows_.begin(), rows_.end(), [](const TRow& a, const TRow& b) {
        const TLoginRecord x = UnpackLoginRecord(a.Rec);
        const TLoginRecord y = UnpackLoginRecord(b.Rec);
        return std::pair(x.Level, x.UserName) < std::pair(y.Level, y.UserName);
    });
    detail_.OnAccept = [this](TRecordValidator&) {
        return AcceptRow();
    };
}

void TUserAttrEditor::Bind(TRecordValidator& validator, const TUserAttrControls& controls,
                           std::span<std::uint8_t> editorRecord) {
    main_ = &validator;
    controls_ = controls;
    editorRecord_ = editorRecord;
    Rebind({});
}

void TUserAttrEditor::Rebind(const std::string& selection) {
    TCtrlBindings bindings;
    auto& list = bindings.Add<TTrArrRecListBox_Validator>(controls_.List);
    list.Setup(0, 0, &detail_, true, true, -1);
    list.SelectionText = selection;
    list.OnCount = [this](std::span<std::uint8_t>) {
        return static_cast<std::int32_t>(rows_.size());
    };
    list.OnGetText = [this](std::span<std::uint8_t>, std::int32_t index, std::string& text) {
        text = LineText(static_cast<std::size_t>(index));
    };
    list.OnSelect = [this](std::span<std::uint8_t>, std::int32_t index) {
        BindDetail(index);
    };
    bindings.Add<TTrStringEdit_Validator>(controls_.CurName).Setup(0, kUserTextField, CharRange(0, 0xFF));
    bindings.Add<TTrStringEdit_Validator>(nullptr).Setup(0, kUserTextField, CharRange(0, 0xFF));
    bindings.Add<TTrByteEdit_Validator>(controls_.CurLevel).Setup(0);
    bindings.Add<TTrWordChecks_Validator>(controls_.CurOwnEntry).Setup(0, kUserOptOwnEntry, false);
    bindings.Add<TTrWordChecks_Validator>(controls_.CurLower).Setup(0, kUserOptLower, true);
    main_->TransferTo(std::move(bindings), editorRecord_);
}

void TUserAttrEditor::BindDetail(std::int32_t index) {
    current_ = index;
    TCtrlBindings bindings;
    AddUserTextBindings(bindings, controls_.Name, controls_.Password);
    bindings.Add<TTrByteEdit_Validator>(controls_.Level).Setup(0);
    bindings.Add<TTrWordChecks_Validator>(controls_.OwnEntry).Setup(0, kUserOptOwnEntry, false);
    bindings.Add<TTrWordChecks_Validator>(controls_.Lower).Setup(0, kUserOptLower, true);
    detail_.TransferTo(std::move(bindings), index < 0 ? std::span<std::uint8_t>(noUser_)
                                                      : std::span<std::uint8_t>(rows_[index].Rec));
}

std::string TUserAttrEditor::LineText(std::size_t index) const {
    const TLoginRecord user = UnpackLoginRecord(rows_[index].Rec);
    return std::to_string(user.Level) + " - " + user.UserName;
}

std::optional<TUserFieldError> TUserAttrEditor::CheckRow(std::size_t index) const {
    const TRow& row = rows_[index];
    const TLoginRecord user = UnpackLoginRecord(row.Rec);
    if (std::optional<TUserFieldError> error = CheckNameAndPassword(user)) {
        return error;
    }
    const auto sameName = [&user](const TLoginRecord& other) {
        return SameAsciiNoCase(other.UserName, user.UserName);
    };
    bool taken = std::any_of(kept_.begin(), kept_.end(), sameName);
    for (std::size_t i = 0; i < rows_.size() && !taken; ++i) {
        taken = i != index && sameName(UnpackLoginRecord(rows_[i].Rec));
    }
    if (taken) {
        return TUserFieldError{TUserField::Name, "User \"" + user.UserName + "\" exists already."};
    }
    // Nobody raises himself, nor makes anybody his equal or better.
    const int maxLevel = row.Own ? editorLevel_ : editorLevel_ - 1;
    if (user.Level > maxLevel) {
        return TUserFieldError{TUserField::Level,
                               "The level can be at most " + std::to_string(maxLevel) + "."};
    }
    if ((user.Opt & kEditableOptions & ~row.OrigOpt & ~editorOpt_) != 0) {
        return TUserFieldError{TUserField::Options, "Only options you have yourself can be given."};
    }
    return std::nullopt;
}

bool TUserAttrEditor::AcceptRow() {
    if (current_ < 0) {
        return true;
    }
    const std::optional<TUserFieldError> error = CheckRow(static_cast<std::size_t>(current_));
    if (!error) {
        return true;
    }
    TValControl* control = error->Field == TUserField::Name       ? controls_.Name
                           : error->Field == TUserField::Password ? controls_.Password
                           : error->Field == TUserField::Level    ? controls_.Level
                                                                  : controls_.OwnEntry;
    if (control != nullptr) {
        control->SetFocus();
    }
    ShowValidError(error->Text);
    return false;
}

bool TUserAttrEditor::AddUser() {
    if (current_ >= 0 && !detail_.ValidateAndStore()) {
        return false;
    }
    TRow row;
    PackLoginRecord({"NewUser", {}, 0, 0}, row.Rec);
    rows_.insert(rows_.begin(), row);
    Rebind(LineText(0));
    return true;
}

void TUserAttrEditor::DeleteUser() {
    if (current_ < 0 || static_cast<std::size_t>(current_) >= rows_.size()) {
        return;
    }
    rows_.erase(rows_.begin() + current_);
    Rebind(rows_.empty() ? std::string()
                         : LineText(std::min(static_cast<std::size_t>(current_), rows_.size() - 1)));
}

std::vector<TLoginRecord> TUserAttrEditor::ShownUsers() const {
    std::vector<TLoginRecord> users;
    for (const TRow& row : rows_) {
        users.push_back(UnpackLoginRecord(row.Rec));
    }
    return users;
}

std::string TUserAttrEditor::OwnName() const {
    if (!ownShown_) {
        return ownInStore_ ? editorName_ : std::string();
    }
    const auto own = std::find_if(rows_.begin(), rows_.end(), [](const TRow& row) { return row.Own; });
    return own != rows_.end() ? UnpackLoginRecord(own->Rec).UserName : std::string();
}

void TUserAttrEditor::Apply(TPasswordLabelColl& store) {
    RefillStore(store, kept_, ShownUsers());
    if (editorRecord_.size() >= kLoginRecordSize) {
        TLoginRecord editor = UnpackLoginRecord(editorRecord_);
        editor.UserName = OwnName();
        PackLoginRecord(editor, editorRecord_);
    }
}

} // namespace ravlo
