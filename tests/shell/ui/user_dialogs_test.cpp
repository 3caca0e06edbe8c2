// The login and user-management dialogs on the offscreen platform.
#include "framework/ui/qt_test_app.h"
#include "platform/cp1250.h"
#include "shell/password_store.h"
#include "shell/ui/user_dialogs.h"
#include "shell/user_records.h"
#include "support/box_recorder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace ravlo {
namespace {

void ClickOk(QDialog& dialog) {
    dialog.findChild<QPushButton*>(QStringLiteral("OK_Button"))->click();
}

class UserDialogsTest : public ::testing::Test {
protected:
    UserDialogsTest() { RegisterUserDialogs(); }

    TPasswordLabelColl store_;
    ScopedUsersStore storeGuard_{store_};
    testing::BoxRecorder boxes_;
};

TEST_F(UserDialogsTest, LoginStaysOpenOnTheFieldToCorrect) {
    store_.AddUser("john", "Secret", 2, 0);
    std::vector<std::uint8_t> data = PackLoginRecord({"john", {}, 0, 0});
    testing::ShownDialogDriver<TUserPassword_Dlg> driver([this](TUserPassword_Dlg& dialog) {
        EXPECT_EQ(dialog.UserName_Edit->text(), QStringLiteral("john"));
        EXPECT_EQ(dialog.Password_Edit->echoMode(), QLineEdit::Password);
        const struct {
            const char* name;
            const char* password;
            QLineEdit* focus;
            std::string box;
        } cases[] = {
            {"john", "x", dialog.Password_Edit, Utf8ToCp1250("Chyba v zadání hesla")},
            {"nobody", "Secret", dialog.UserName_Edit, Utf8ToCp1250("Chyba v zadání uživatele")},
            {"JOHN", "secret", nullptr, ""},
        };
        for (const auto& c : cases) {
            dialog.UserName_Edit->setText(QString::fromLatin1(c.name));
            dialog.Password_Edit->setText(QString::fromLatin1(c.password));
            ClickOk(dialog);
            EXPECT_EQ(boxes_.Take(), c.box) << c.name;
            EXPECT_EQ(dialog.isVisible(), c.focus != nullptr);
            if (c.focus != nullptr) {
                EXPECT_EQ(dialog.focusWidget(), c.focus);
            }
        }
    });
    EXPECT_EQ(ExecuteDialog(nullptr, kLoginDialogName, data), mrOk);
    EXPECT_TRUE(driver.Acted());
    EXPECT_EQ(UnpackLoginRecord(data).UserName, "JOHN");
}

TEST_F(UserDialogsTest, AddedUsersNeedAPasswordAndOkRefillsTheStore) {
    store_.AddUser("boss", "b", 254, kUserOptOwnEntry | kUserOptLower);
    store_.AddUser("mary", "m", 1, 0);
    std::vector<std::uint8_t> data = PackLoginRecord({"boss", {}, 254, kUserOptOwnEntry | kUserOptLower});
    testing::ShownDialogDriver<TUserAttrMg_Dlg> driver([this](TUserAttrMg_Dlg& dialog) {
        ASSERT_EQ(dialog.Users_List->count(), 2);
        EXPECT_EQ(dialog.CurName_Edit->text(), QStringLiteral("boss"));
        EXPECT_TRUE(dialog.CurLower_Check->isChecked());
        dialog.Add_Button->click();
        EXPECT_EQ(dialog.Users_List->item(0)->text(), QStringLiteral("0 - NewUser"));
        EXPECT_EQ(dialog.Name_Edit->text(), QStringLiteral("NewUser"));
        ClickOk(dialog);
        EXPECT_EQ(boxes_.Take(), "Error: Empty Password");
        EXPECT_EQ(dialog.focusWidget(), dialog.Password_Edit);
        dialog.Password_Edit->setText(QStringLiteral("n"));
        ClickOk(dialog);
    });
    EXPECT_EQ(ExecuteDialog(nullptr, kUsersDialogName, data), mrOk);
    EXPECT_TRUE(driver.Acted());
    ASSERT_EQ(store_.Count(), 3);
    EXPECT_EQ(store_.UserAt(0)->UserName, "NewUser");

    SetUsersStore(nullptr);
    EXPECT_EQ(ExecuteDialog(nullptr, kUsersDialogName, data), TUserAttrMg_Dlg::kNoStore);
}

} // namespace
} // namespace ravlo
