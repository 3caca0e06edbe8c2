// The main form's user commands: /U at start, the first user of a new installation and a damaged
// users file (the Qt main form's tests drive the dialogs, logout and the users' saves).
#include "main_form_test_support.h"
#include "shell/exit_codes.h"
#include "shell/user_records.h"

#include <deque>
#include <fstream>
#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ShellRig;
using A = TMainAction;
using Act = std::function<int(std::span<std::uint8_t> data)>;

// What the registered user dialogs do, in the order they are shown.
std::deque<Act> script;

class ScriptedDialog final : public TModalDialog {
public:
    void BindRecord(std::span<std::uint8_t> data) override { data_ = data; }
    int ShowModal() override {
        const Act act = std::move(script.front());
        script.pop_front();
        return act(data_);
    }

private:
    std::span<std::uint8_t> data_;
};

// Checks the proposed name, then types name and password and answers result.
Act Types(std::string proposed, std::string name, std::string password, int result = mrOk) {
    return [=](std::span<std::uint8_t> data) {
        EXPECT_EQ(UnpackLoginRecord(data).UserName, proposed);
        PackLoginRecord({name, password, 0, 0}, data.subspan(0, kLoginRecordSize));
        return result;
    };
}

// The shipped INI without opening the COM port at start, and john (254) and ann (5) as users.
class UsersRig : public ShellRig {
public:
    UsersRig(bool withUsers = true) : ShellRig(QuietIni()) {
        for (const std::string_view name : {kLoginDialogName, kFirstUserDialogName, kUsersDialogName}) {
            RegisterDialog(name, [](TPlatformWindow*) { return std::make_unique<ScriptedDialog>(); });
        }
        script.clear();
        TPasswordLabelColl store;
        store.AddUser("john", "Secret", 254, kUserOptOwnEntry);
        store.AddUser("ann", "a", 5, 0);
        if (withUsers) {
            EXPECT_TRUE(store.Save(Dir() / kUsersFileName).Ok());
        }
    }
    bool Shows(A action) const { return (*host.Menus)[action].Visible; }

private:
    static std::string QuietIni() {
        std::string ini = testing::ShellIni();
        return ini.replace(ini.find("AST=1"), 5, "AST=0");
    }
};

TEST(MainUsers, SlashUProposesTheNameAndTheLevelRuleApplies) {
    const struct {
        std::string name;
        std::string password;
        int result;
        std::uint8_t level;
        std::vector<std::string> events;
    } cases[] = {
        {"john", "SECRET", mrOk, 254, {"- User \"john\" has been logged in"}},
        {"ANN", "a", mrOk, 2, {"- User \"ann\" has been logged in"}},
        {"john", "wrong", mrOk, 0, {"- User Login Error!"}},
    };
    for (const auto& c : cases) {
        UsersRig rig;
        script = {Types("john", c.name, c.password, c.result)};
        CmdLineUser = "john";
        rig.Run(CL_User);
        EXPECT_EQ(UserLevel, c.level) << c.name;
        EXPECT_EQ(rig.host.EventTexts(), c.events);
        EXPECT_EQ(rig.Shows(A::ProgramDebug), c.level == 254);
        EXPECT_EQ(CmdLineFlags & CL_User, 0);
    }
}

TEST(MainUsers, TheRunGoesOnAfterTheLoginAndEndsWhereNobodyCanAnswerIt) {
    for (const bool display : {true, false}) {
        UsersRig rig;
        rig.WriteDemo();
        rig.host.CanAnswerDialogs = display;
        script = {Types("john", "john", "Secret")};
        CmdLineUser = "john";
        rig.Run(CL_User | CL_Generate, (rig.Dir() / "DEMO.EXE").string());
        ASSERT_TRUE(rig.RunToClose(5000) != display) << "only a run without a display ends without /X";
        EXPECT_EQ(rig.core->ExitCode(), display ? kExitOk : kExitNoLogin);
        EXPECT_EQ(rig.host.HasEvent("- User \"john\" has been logged in"), display);
        EXPECT_EQ(rig.host.HasEvent("- Project succesfully generated"), display);
        EXPECT_EQ(rig.host.HasEvent("- Error, nobody can answer the login dialog"), !display);
    }
}

TEST(MainUsers, ANewInstallationOffersTheFirstUserAndADamagedFileLetsNobodyIn) {
    for (const bool yes : {true, false}) { // unanswered, the question's default is No
        UsersRig rig(false);
        ScriptedPresenter answers;
        std::optional<ScopedPresenter> guard;
        if (yes) {
            answers.QueueAnswer(IDYES);
            guard.emplace(answers);
        }
        script = {Types("", "admin", "pw")};
        rig.Run(0);
        EXPECT_EQ(rig.Shows(A::UsersMenu) && rig.Shows(A::ProgramDebug), yes);
        TPasswordLabelColl saved;
        EXPECT_EQ(saved.Load(rig.Dir() / kUsersFileName).Ok() && saved.GetUser("admin")->Level == 254, yes);
    }
    UsersRig damaged;
    const std::string text = damaged.FileText(std::string(kUsersFileName));
    std::ofstream(damaged.Dir() / kUsersFileName, std::ios::binary) << text.substr(0, text.size() - 3);
    damaged.Run(0);
    EXPECT_FALSE(damaged.Shows(A::UsersMenu));
    EXPECT_EQ(damaged.presenter.Boxes.back().Caption, "Warning");
    damaged.core->UserLogin_MenuItemClick();
    EXPECT_TRUE(damaged.host.Dialogs.empty());
}

} // namespace
} // namespace ravlo
