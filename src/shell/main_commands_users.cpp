// The main form's user commands: the users store, login, logout, the user management and the first
// user of a new installation.
#include "framework/app_names.h"
#include "framework/dialog_registry.h"
#include "framework/message_box.h"
#include "framework/runtime_log.h"
#include "platform/program_dir.h"
#include "shell/cmd_line.h"
#include "shell/event_log.h"
#include "shell/exit_codes.h"
#include "shell/main_form_core.h"
#include "shell/main_form_host.h"
#include "shell/main_form_setup.h"
#include "shell/password_store.h"
#include "shell/user_level.h"
#include "shell/user_records.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::uint8_t kFirstUserLevel = 254;

constexpr std::string_view kNoUsersText =
    "Error in .PSW file or file does not exist!\r\nNo user defined. Function with high level access are not "
    "allowed!";

std::filesystem::path UsersFile() {
    return ProgramDir() / kUsersFileName;
}

// The copy next to the application INI that the user management writes first.
std::filesystem::path IniUsersFile() {
    std::filesystem::path file = AppIniName();
    return file.replace_extension(".psw");
}

// A record that held a password is wiped before it goes.
void Wipe(std::vector<std::uint8_t>& data) {
    std::fill(data.begin(), data.end(), std::uint8_t{0});
}

} // namespace

void TRavloMainFormCore::LoadUsers() {
    usersLoadTried_ = true;
    if (users_ == nullptr) {
        users_ = std::make_unique<TPasswordLabelColl>();
        SetUsersStore(users_.get());
    }
    const std::filesystem::path file = UsersFile();
    std::error_code error;
    const bool exists = std::filesystem::exists(file, error);
    const TPswResult result = users_->Load(file);
    usersLoaded_ = result.Ok();
    if (!result.Ok()) {
        TxsWriteln("Users: " + result.Text);
    }
    UpdateMenus();
    const bool noUsers = !exists || (usersLoaded_ && users_->Count() == 0);
    if ((usersLoaded_ && !noUsers) || !MsgIfNoUser) {
        return;
    }
    if (cmdLineExit_) {
        // An unattended run does not stop for a box about users it does not need.
        TxsWriteln("Users: no user defined");
        return;
    }
    if (!noUsers) {
        TrMessageBox("Warning", kNoUsersText, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string question =
        std::string(kNoUsersText) +
        "\r\n\r\nCreate the first user now?\r\nHe gets level 254 and may change every other user.";
    // No unless somebody says otherwise: a run nobody watches creates no user.
    if (MessageDlgDefBtn(question, MessageBoxKind::Confirmation,
                         MsgDlgButton(TMsgDlgBtn::mbYes) | MsgDlgButton(TMsgDlgBtn::mbNo),
                         TMsgDlgBtn::mbNo) == IDYES) {
        CreateFirstUser();
    }
}

void TRavloMainFormCore::CreateFirstUser() {
    std::vector<std::uint8_t> data = PackLoginRecord({}, kFirstUserRecordSize);
    const std::optional<int> result = host_.ExecuteDialog(kFirstUserDialogName, data);
    const TLoginRecord typed = UnpackLoginRecord(data);
    Wipe(data);
    if (result != mrOk) {
        return;
    }
    // A new store protects every value with a CRC.
    users_->Opt |= kUserOptCrc;
    users_->AddUser(typed.UserName, typed.Password, kFirstUserLevel, kUserOptOwnEntry | kUserOptLower);
    users_->Sort();
    const TPswResult saved = users_->Save(UsersFile());
    const TPswResult loaded = saved.Ok() ? users_->Load(UsersFile()) : saved;
    usersLoaded_ = loaded.Ok();
    if (!usersLoaded_) {
        TxsWriteln("Users: " + loaded.Text);
        users_->FreeAll();
        TrMessageBox("Error", "Write to .PSW error!", MB_OK | MB_ICONHAND);
        return;
    }
    LogIn(typed);
}

bool TRavloMainFormCore::LogIn(const TLoginRecord& typed) {
    std::uint16_t opt = 0;
    std::uint8_t level = 0;
    if (users_ == nullptr || !users_->CheckUser(typed.UserName, typed.Password, opt, level)) {
        return false;
    }
    CurrentUser = users_->GetUser(typed.UserName)->UserName;
    UserLevel = LoginLevel(level);
    UserOpt = opt;
    AddEvent("- User \"" + CurrentUser + "\" has been logged in", kEventInfo);
    return true;
}

bool TRavloMainFormCore::UserLogin_MenuItemClick() {
    const bool fromCmdLine = (CmdLineFlags & CL_User) != 0;
    CmdLineFlags &= static_cast<std::uint8_t>(~CL_User);
    if (users_ == nullptr || !usersLoaded_) {
        return true;
    }
    std::vector<std::uint8_t> data = PackLoginRecord({fromCmdLine ? CmdLineUser : loginName_, {}, 0, 0});
    const std::optional<int> result = host_.ExecuteDialog(kLoginDialogName, data);
    const TLoginRecord typed = UnpackLoginRecord(data);
    Wipe(data);
    if (!result) {
        return false;
    }
    if (*result == mrOk) {
        loginName_ = typed.UserName;
        if (!LogIn(typed)) {
            AddEvent("- User Login Error!", kEventError);
            TrMessageBox("Error", "Login Error!\rIncorrect user name or password", MB_OK | MB_ICONHAND);
        }
    }
    UpdateMenus();
    return true;
}

void TRavloMainFormCore::UserLogout_MenuItemClick() {
    if (!CurrentUser.empty()) {
        AddEvent("- User \"" + CurrentUser + "\" has been logged out", kEventInfo);
    }
    CurrentUser.clear();
    UserLevel = 0;
    UserOpt = 0;
    UpdateMenus();
}

void TRavloMainFormCore::UsersDefine_MenuItemClick() {
    if (users_ == nullptr) {
        return;
    }
    std::vector<std::uint8_t> data = PackLoginRecord({CurrentUser, {}, UserLevel, UserOpt});
    if (host_.ExecuteDialog(kUsersDialogName, data) != mrOk) {
        return;
    }
    // The dialog has put the users it kept and the edited ones into the store.
    const TPswResult besideIni = users_->Save(IniUsersFile());
    const TPswResult saved = users_->Save(UsersFile());
    if (!besideIni.Ok() || !saved.Ok()) {
        TxsWriteln("Users: " + (saved.Ok() ? besideIni.Text : saved.Text));
        TrMessageBox("Error", "Write to .PSW error!", MB_OK | MB_ICONHAND);
    }
    // The session follows its own entry: renamed, it keeps being his; deleted, nobody stands behind
    // his rights any more.
    const std::string ownEntry = UnpackLoginRecord(data).UserName;
    if (ownEntry.empty()) {
        UserLogout_MenuItemClick();
    } else {
        CurrentUser = ownEntry;
    }
}

void TRavloMainFormCore::EndRunWithoutLogin() {
    AddEvent("- Error, nobody can answer the login dialog", kEventError);
    TrMessageBox("Error", "There is no display to log in on (/U), the command line can't go on.",
                 MB_OK | MB_ICONHAND);
    plan_->End(kExitNoLogin);
}

} // namespace ravlo
