#pragma once

#include "framework/record_validator.h"
#include "shell/password_store.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// The dialogs of the users, by their registered names.
inline constexpr std::string_view kLoginDialogName = "TUserPassword_Dlg";
inline constexpr std::string_view kUsersDialogName = "TUserAttrMg_Dlg";
inline constexpr std::string_view kFirstUserDialogName = "TFirstUser_Dlg";

// The record of the login dialog, and of one user in the user-management dialog: UserName
// string[40], Password string[40], Level u8, Opt u16 (little-endian).
struct TLoginRecord {
    std::string UserName;
    std::string Password;
    std::uint8_t Level = 0;
    std::uint16_t Opt = 0;
};
inline constexpr std::size_t kUserTextField = kUserTextMax + 1;
inline constexpr std::size_t kLoginRecordSize = 2 * kUserTextField + 3;
// The first user's dialog: a login record, then the password typed again (string[40]).
inline constexpr std::size_t kFirstUserRecordSize = kLoginRecordSize + kUserTextField;

// record in its layout, in size bytes (at least kLoginRecordSize; the rest zero).
std::vector<std::uint8_t> PackLoginRecord(const TLoginRecord& record, std::size_t size = kLoginRecordSize);
void PackLoginRecord(const TLoginRecord& record, std::span<std::uint8_t> data);
TLoginRecord UnpackLoginRecord(std::span<const std::uint8_t> data);
// The repeated password of a first user's record.
std::string FirstUserRepeat(std::span<const std::uint8_t> data);

// The fields of a user record that a check can refuse.
enum class TUserField : std::uint8_t { Name, Password, Repeat, Level, Options };

// A refused user record: the field to go back to and the message (code page 1250).
struct TUserFieldError {
    TUserField Field;
    std::string Text;
};

// The login dialog's check: nullopt when the first user of that name has that password; else the
// name is unknown, or the password is wrong.
std::optional<TUserFieldError> CheckLogin(const TPasswordLabelColl* store, const TLoginRecord& record);
// The first user's dialog: a name, a password, and the same password again.
std::optional<TUserFieldError> CheckFirstUser(const TLoginRecord& record, std::string_view repeat);
// A name and a password of a user record.
std::optional<TUserFieldError> CheckNameAndPassword(const TLoginRecord& record);

// Binds a user record's name (blanks trimmed) and password edits, both refusing what cannot be
// stored (IsStorableUserText).
void AddUserTextBindings(TCtrlBindings& bindings, TValControl* name, TValControl* password);

} // namespace ravlo
