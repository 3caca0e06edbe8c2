// The first-user dialog of a new installation on the offscreen platform: offered when the main
// window shows without a users file, it refuses what it cannot store and creates the user it is
// given, who is then logged in.
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "platform/message_box_flags.h"
#include "platform/program_dir.h"
#include "shell/password_store.h"
#include "shell/ui/event_log_form.h"
#include "shell/ui/main_menus.h"
#include "shell/ui/ravlo_main_form.h"
#include "shell/ui/user_dialogs.h"
#include "shell/user_level.h"
#include "support/app_fixtures.h"
#include "support/box_recorder.h"
#include "support/default_app_ini.h"
#include "support/shell_test_globals.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

namespace ravlo {
namespace {

using A = TMainAction;

void Type(QLineEdit* edit, const char* text) {
    edit->setText(QString::fromLatin1(text));
}

class FirstUserDialogTest : public ::testing::Test {
protected:
    // Shows the main window, answers Yes to the offer of a first user and acts on the dialog.
    void ShowAndCreate(std::function<void(TFirstUser_Dlg&)> act) {
        RegisterUserDialogs();
        boxes_.answers = {IDYES};
        testing::ShownDialogDriver<TFirstUser_Dlg> driver(std::move(act));
        TRavloMainFormOptions options;
        options.GuiDialogs = false;
        form_ = std::make_unique<TRavloMainForm>(options);
        form_->show();
        ASSERT_TRUE(testing::ProcessEventsUntil([this] { return form_->Core().Plan().has_value(); }));
        EXPECT_TRUE(driver.Acted());
        ASSERT_FALSE(boxes_.texts.empty());
        EXPECT_NE(boxes_.texts[0].find("Create the first user now?"), std::string::npos) << boxes_.texts[0];
    }
    bool Logged(const char* text) const {
        return form_->EventLogWnd()->RichEditEvLog().toPlainText().contains(QString::fromLatin1(text));
    }
    std::filesystem::path UsersFile() const { return ProgramDir() / kUsersFileName; }

    testing::ShellTestGlobals globals_;
    testing::AppIniFixture ini_{std::string(testing::kDefaultAppIni)};
    testing::BoxRecorder boxes_;
    QtMessagePump pump_;
    std::unique_ptr<TRavloMainForm> form_;
};

TEST_F(FirstUserDialogTest, RefusesWhatItCannotStoreAndCreatesTheUserItIsGiven) {
    std::vector<std::string> refusals;
    std::vector<QString> focused;
    ShowAndCreate([&](TFirstUser_Dlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("First user"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OK_Button"));
        const struct {
            const char* name;
            const char* password;
            const char* repeat;
        } refused[] = {{"", "pw", "pw"}, {"admin", "", ""}, {"admin", "pw1", "pw2"}};
        for (const auto& r : refused) {
            Type(dialog.UserName_Edit, r.name);
            Type(dialog.Password_Edit, r.password);
            Type(dialog.Repeat_Edit, r.repeat);
            ok->click();
            EXPECT_TRUE(dialog.isVisible()) << "stays open";
            refusals.push_back(boxes_.texts.back());
            focused.push_back(dialog.focusWidget() != nullptr ? dialog.focusWidget()->objectName()
                                                              : QString());
        }
        Type(dialog.Repeat_Edit, "pw1");
        ok->click();
    });
    EXPECT_EQ(refusals, (std::vector<std::string>{"Error: Empty UserNane", "Error: Empty Password",
                                                  "The two passwords differ."}));
    EXPECT_EQ(focused, (std::vector<QString>{"UserName_Edit", "Password_Edit", "Repeat_Edit"}))
        << "the field to correct";

    TPasswordLabelColl saved;
    ASSERT_TRUE(saved.Load(UsersFile()).Ok());
    ASSERT_EQ(saved.Count(), 1);
    const auto* user = saved.GetUser("admin");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->Level, 254);
    std::uint16_t opt = 0;
    std::uint8_t level = 0;
    EXPECT_TRUE(saved.CheckUser("admin", "pw1", opt, level));
    EXPECT_EQ(std::make_pair(CurrentUser, int{UserLevel}), std::make_pair(std::string("admin"), 254));
    EXPECT_TRUE(Logged("- User \"admin\" has been logged in"));
    EXPECT_TRUE(form_->Menus().Action(A::UsersMenu).isVisible());
    EXPECT_TRUE(form_->Menus().Action(A::ProgramDebug).isVisible())
        << "level 254 sees the program's debug menu";
}

TEST_F(FirstUserDialogTest, CancelCreatesNobody) {
    ShowAndCreate([](TFirstUser_Dlg& dialog) {
        Type(dialog.UserName_Edit, "admin");
        dialog.findChild<QPushButton*>(QStringLiteral("Cancel_Button"))->click();
    });
    EXPECT_FALSE(std::filesystem::exists(UsersFile()));
    EXPECT_TRUE(CurrentUser.empty());
    EXPECT_EQ(UserLevel, 0);
    EXPECT_FALSE(form_->Menus().Action(A::ProgramDebug).isVisible());
}

} // namespace
} // namespace ravlo
