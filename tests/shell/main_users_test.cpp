// The main form's user commands: /U at start, login, logout, the users dialog's saves, the first
// user of a new installation and a damaged users file.
#include "main_form_test_support.h"
#include "shell/exit_codes.h"
#include "shell/user_records.h"

#include <deque>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace ravlo {
namespace {

using testing::ShellRig;
using A = TMainAction;

// A registered user dialog that plays its part from a script.
class ScriptedDialog final : public TModalDialog {
public:
    using Act = std::function<int(std::span<std::uint8_t> data)>;
    static std::deque<Act>& Script() {
        static std::deque<Act> script;
        return script;
    }
    void BindRecord(std::span<std::uint8_t> data) override { data_ = data; }
    int ShowModal() override {
        Act act = std::move(Script().front());
        Script().pop_front();
        return act(data_);
    }

private:
    std::span<std::uint8_t> data_;
};

// Types name and password (keeping a proposed name when name is empty) and answers result.
ScriptedDialog::Act Types(std::string name, std::string password, int result = mrOk,
                          std::string* proposed = nullptr) {
    return [=](std::span<std::uint8_t> data) {
        TLoginRecord record = UnpackLoginRecord(data);
        if (proposed != nullptr) {
            *proposed = record.UserName;
        }
        record.UserName = name.empty() ? record.UserName : name;
        record.Password = password;
        PackLoginRecord(record, data.subspan(0, kLoginRecordSize));
        return result;
    };
}

class MainUsersTest : public ::testing::Test {
protected:
    MainUsersTest() {
        for (const std::string_view name : {kLoginDialogName, kFirstUserDialogName, kUsersDialogName}) {
            RegisterDialog(name, [](TPlatformWindow*) { return std::make_unique<ScriptedDialog>(); });
        }
        ScriptedDialog::Script().clear();
    }
};

// The shipped INI without opening the COM port at start: no board talks in these tests.
std::string QuietIni() {
    std::string ini = testing::ShellIni();
    ini.replace(ini.find("AST=1"), 5, "AST=0");
    return ini;
}

void WriteUsers(const ShellRig& rig) {
    TPasswordLabelColl store;
    store.Opt = kUserOptCrc;
    store.AddUser("john", "Secret", 254, kUserOptOwnEntry);
    store.AddUser("ann", "a", 5, 0);
    ASSERT_TRUE(store.Save(rig.Dir() / kUsersFileName).Ok());
}

bool Shows(const ShellRig& rig, A action) {
    return rig.host.Menus && (*rig.host.Menus)[action].Visible;
}

TEST_F(MainUsersTest, SlashUProposesTheNameAndTheLevelRuleApplies) {
    const struct {
        std::string name;
        std::string password;
        int result;
        std::uint8_t level;
        const char* event;
    } cases[] = {
        {"", "SECRET", mrOk, 254, "- User \"john\" has been logged in"},
        {"ANN", "a", mrOk, 2, "- User \"ann\" has been logged in"},
        {"", "wrong", mrOk, 0, "- User Login Error!"},
        {"", "Secret", mrCancel, 0, nullptr},
    };
    for (const auto& c : cases) {
        ShellRig run(QuietIni());
        WriteUsers(run);
        std::string proposed;
        ScriptedDialog::Script() = {Types(c.name, c.password, c.result, &proposed)};
        CmdLineUser = "john";
        run.Run(CL_User);
        EXPECT_EQ(proposed, "john");
        EXPECT_EQ(UserLevel, c.level) << c.name;
        EXPECT_EQ(run.host.EventTexts(),
                  c.event ? std::vector<std::string>{c.event} : std::vector<std::string>{});
        EXPECT_EQ(Shows(run, A::ProgramDebug), c.level == 254);
        EXPECT_EQ(CmdLineFlags & CL_User, 0);
    }
}

TEST_F(MainUsersTest, TheRunGoesOnAfterTheLoginAndEndsWhereNobodyCanAnswerIt) {
    for (const bool display : {true, false}) {
        ShellRig rig(QuietIni());
        WriteUsers(rig);
        rig.WriteDemo();
        rig.host.CanAnswerDialogs = display;
        ScriptedDialog::Script() = {Types("", "Secret")};
        CmdLineUser = "john";
        rig.Run(CL_User | CL_Generate, (rig.Dir() / "DEMO.EXE").string());
        ASSERT_TRUE(rig.RunToClose(5000) != display) << "only a run without a display ends without /X";
        EXPECT_EQ(rig.core->ExitCode(), display ? kExitOk : kExitNoLogin);
        EXPECT_EQ(rig.host.HasEvent("- User \"john\" has been logged in"), display);
        EXPECT_EQ(rig.host.HasEvent("- Project succesfully generated"), display);
        EXPECT_EQ(rig.host.HasEvent("- Error, nobody can answer the login dialog"), !display);
    }
}

TEST_F(MainUsersTest, LogoutAndTheUsersDialogSavesBothFiles) {
    ShellRig rig(QuietIni());
    WriteUsers(rig);
    ScriptedDialog::Script() = {Types("john", "secret"), [](std::span<std::uint8_t>) {
                                    GetUsersStore()->AddUser("zed", "z", 1, 0);
                                    return mrOk;
                                }};
    rig.Run(0);
    rig.core->Execute(A::UserLogin);
    ASSERT_EQ(UserLevel, 254);
    rig.core->Execute(A::UsersDefine);
    for (const char* file : {"TEST.psw", "RAVLO.PSW"}) {
        TPasswordLabelColl saved;
        ASSERT_TRUE(saved.Load(rig.Dir() / file).Ok()) << file;
        EXPECT_NE(saved.GetUser("zed"), nullptr) << file;
    }
    rig.core->Execute(A::UserLogout);
    EXPECT_EQ(rig.host.EventTexts().back(), "- User \"john\" has been logged out");
    EXPECT_EQ(UserLevel, 0);
    EXPECT_FALSE(Shows(rig, A::ProgramDebug));
}

TEST_F(MainUsersTest, ANewInstallationOffersTheFirstUser) {
    ShellRig rig(QuietIni());
    ScriptedPresenter answers;
    ScopedPresenter guard(answers);
    answers.QueueAnswer(IDYES);
    ScriptedDialog::Script() = {[](std::span<std::uint8_t> data) {
        PackLoginRecord({"admin", "pw", 0, 0}, data.subspan(0, kLoginRecordSize));
        return mrOk;
    }};
    rig.Run(0);
    EXPECT_EQ(CurrentUser, "admin");
    EXPECT_EQ(UserLevel, 254);
    EXPECT_TRUE(Shows(rig, A::UsersMenu) && Shows(rig, A::ProgramDebug));
    struct stat status {};
    ASSERT_EQ(::stat((rig.Dir() / kUsersFileName).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    TPasswordLabelColl saved;
    ASSERT_TRUE(saved.Load(rig.Dir() / kUsersFileName).Ok());
    EXPECT_EQ(saved.GetUser("admin")->Level, 254);
}

TEST_F(MainUsersTest, UnansweredOrDamagedNoUserGetsIn) {
    ShellRig rig(QuietIni());
    rig.Run(0); // the question's default is No
    EXPECT_FALSE(std::filesystem::exists(rig.Dir() / kUsersFileName));
    EXPECT_FALSE(Shows(rig, A::UsersMenu));

    WriteUsers(rig);
    const std::string text = rig.FileText(std::string(kUsersFileName));
    std::ofstream(rig.Dir() / kUsersFileName, std::ios::binary) << text.substr(0, text.size() - 3);
    rig.core->LoadUsers();
    rig.core->UpdateMenus();
    EXPECT_FALSE(Shows(rig, A::UsersMenu));
    EXPECT_EQ(rig.presenter.Boxes.back().Caption, "Warning");
    rig.core->UserLogin_MenuItemClick();
    EXPECT_TRUE(rig.host.Dialogs.empty());
}

} // namespace
} // namespace ravlo
