#pragma once

#include "framework/record_validator.h"
#include "shell/user_records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ravlo {

// The users an editor may change (Shown) and the others (Kept), by the editor's level and option
// bits: a user above his level is kept; his own entry (the first of his name) is shown when he may
// change it (kUserOptOwnEntry); any other user only when he may change lower levels
// (kUserOptLower) and the user's level is below his. Users without a name are dropped.
struct TUserSplit {
    std::vector<TLoginRecord> Shown;
    std::vector<TLoginRecord> Kept;
    // The index in Shown of the editor's own entry.
    std::optional<std::size_t> Own;
};
TUserSplit SplitUsers(const TPasswordLabelColl& store, const TLoginRecord& editor);

// The store after an OK of the dialog: emptied, refilled with the kept users and then the shown
// ones (those without a name dropped), and sorted.
void RefillStore(TPasswordLabelColl& store, std::span<const TLoginRecord> kept,
                 std::span<const TLoginRecord> shown);

// The controls of the user-management dialog as its validators see them.
struct TUserAttrControls {
    // The shown users, one line "level - name" each.
    TValControl* List = nullptr;
    // The selected user.
    TValControl* Name = nullptr;
    TValControl* Password = nullptr;
    TValControl* Level = nullptr;
    TValControl* OwnEntry = nullptr;
    TValControl* Lower = nullptr;
    // The current user, shown only.
    TValControl* CurName = nullptr;
    TValControl* CurLevel = nullptr;
    TValControl* CurOwnEntry = nullptr;
    TValControl* CurLower = nullptr;
};

// The user-management dialog without its widgets: the shown users in a list whose selected user is
// edited in the detail fields, and the current user's own record shown beside them. Leaving a user
// (another line, "Add user", OK) checks him: a name and a password that are not empty, a name no
// other user has, a level up to the editor's own for his own entry and below it for anybody else,
// and no option bit newly given that the editor does not hold himself.
class TUserAttrEditor {
public:
    // editor: the current user's name, level and option bits.
    TUserAttrEditor(const TPasswordLabelColl& store, const TLoginRecord& editor);
    TUserAttrEditor(const TUserAttrEditor&) = delete;
    TUserAttrEditor& operator=(const TUserAttrEditor&) = delete;

    // Binds the dialog's validator: the list with the first shown user selected, and the current
    // user's group over editorRecord (kLoginRecordSize bytes, which the caller keeps).
    void Bind(TRecordValidator& validator, const TUserAttrControls& controls,
              std::span<std::uint8_t> editorRecord);
    // "Add user": once the selected user passes his check, "NewUser" with an empty password and level
    // 0 goes to the top of the list and is selected. False when the selected user was refused.
    bool AddUser();
    // "Delete user": the selected user goes and the next one is selected.
    void DeleteUser();
    // OK: the store holds the kept users and the shown ones as edited (RefillStore), and the name
    // field of the bound editor record names the editor's own entry as it is now, renamed or not
    // (empty when it was deleted), so that the session follows it and no other entry is ever
    // taken for his own.
    void Apply(TPasswordLabelColl& store);

    std::vector<TLoginRecord> ShownUsers() const;
    std::int32_t Selected() const { return current_; }

private:
    struct TRow {
        std::array<std::uint8_t, kLoginRecordSize> Rec{};
        // What the user held when the dialog opened.
        std::uint16_t OrigOpt = 0;
        bool Own = false;
    };

    void Rebind(const std::string& selection);
    void BindDetail(std::int32_t index);
    std::string LineText(std::size_t index) const;
    std::optional<TUserFieldError> CheckRow(std::size_t index) const;
    bool AcceptRow();

    // The editor's own entry as it stands after the edit; empty when it is gone.
    std::string OwnName() const;

    std::vector<TRow> rows_;
    std::vector<TLoginRecord> kept_;
    std::string editorName_;
    // Whether the store holds the editor's own entry, and whether it is one of the shown rows.
    bool ownInStore_ = false;
    bool ownShown_ = false;
    std::uint8_t editorLevel_;
    std::uint16_t editorOpt_;
    TRecordValidator detail_;
    std::array<std::uint8_t, kLoginRecordSize> noUser_{};
    TRecordValidator* main_ = nullptr;
    TUserAttrControls controls_;
    std::span<std::uint8_t> editorRecord_;
    std::int32_t current_ = -1;
};

} // namespace ravlo
