#include "shell/user_records.h"

#include "framework/le_bytes.h"
#include "framework/short_string_field.h"
#include "framework/string_edit_validator.h"
#include "platform/cp1250.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::size_t kPasswordAt = kUserTextField;
constexpr std::size_t kLevelAt = 2 * kUserTextField;
constexpr std::size_t kOptAt = kLevelAt + 1;

// What IsStorableUserText allows.
TCharSet StorableChars() {
    TCharSet chars;
    for (int c = 0; c < 256; ++c) {
        chars.set(static_cast<std::size_t>(c), IsStorableUserText(std::string(1, static_cast<char>(c))));
    }
    return chars;
}

} // namespace

std::vector<std::uint8_t> PackLoginRecord(const TLoginRecord& record, std::size_t size) {
    std::vector<std::uint8_t> data(std::max(size, kLoginRecordSize));
    PackLoginRecord(record, data);
    return data;
}

void PackLoginRecord(const TLoginRecord& record, std::span<std::uint8_t> data) {
    PutShortString(data.subspan(0, kUserTextField), record.UserName);
    PutShortString(data.subspan(kPasswordAt, kUserTextField), record.Password);
    data[kLevelAt] = record.Level;
    PutLE<std::uint16_t>(data, kOptAt, record.Opt);
}

TLoginRecord UnpackLoginRecord(std::span<const std::uint8_t> data) {
    return {GetShortString(data.subspan(0, kUserTextField)),
            GetShortString(data.subspan(kPasswordAt, kUserTextField)), data[kLevelAt],
            GetLE<std::uint16_t>(data, kOptAt)};
}

std::string FirstUserRepeat(std::span<const std::uint8_t> data) {
    return GetShortString(data.subspan(kLoginRecordSize, kUserTextField));
}

std::optional<TUserFieldError> CheckLogin(const TPasswordLabelColl* store, const TLoginRecord& record) {
    std::uint16_t opt = 0;
    std::uint8_t level = 0;
    if (store != nullptr && store->CheckUser(record.UserName, record.Password, opt, level)) {
        return std::nullopt;
    }
    if (store == nullptr || store->GetUser(record.UserName) == nullptr) {
        return TUserFieldError{TUserField::Name, Utf8ToCp1250("Chyba v zadání uživatele")};
    }
    return TUserFieldError{TUserField::Password, Utf8ToCp1250("Chyba v zadání hesla")};
}

std::optional<TUserFieldError> CheckNameAndPassword(const TLoginRecord& record) {
    if (record.UserName.empty()) {
        return TUserFieldError{TUserField::Name, "Error: Empty UserNane"};
    }
    if (record.Password.empty()) {
        return TUserFieldError{TUserField::Password, "Error: Empty Password"};
    }
    return std::nullopt;
}

std::optional<TUserFieldError> CheckFirstUser(const TLoginRecord& record, std::string_view repeat) {
    if (std::optional<TUserFieldError> error = CheckNameAndPassword(record)) {
        return error;
    }
    if (repeat != record.Password) {
        return TUserFieldError{TUserField::Repeat, "The two passwords differ."};
    }
    return std::nullopt;
}

void AddUserTextBindings(TCtrlBindings& bindings, TValControl* name, TValControl* password) {
    const std::string refused =
        "A user name or password can't hold ', control characters or letters outside Central European "
        "code page 1250 (such as Cyrillic).";
    auto& nameValidator = bindings.Add<TTrStringEdit_Validator>(name);
    nameValidator.Setup(kValTrimLeft | kValTrimRight, kUserTextField, StorableChars());
    nameValidator.LabelText = refused;
    auto& passwordValidator = bindings.Add<TTrStringEdit_Validator>(password);
    passwordValidator.Setup(0, kUserTextField, StorableChars());
    passwordValidator.LabelText = refused;
}

} // namespace ravlo
