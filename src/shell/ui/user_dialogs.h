#pragma once

#include "framework/ui/tr_val_dialog.h"

#include <memory>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ravlo {

class TUserAttrEditor;

// "User Login": a user name and a password (shown as dots), checked against the users store on OK;
// a name the store does not know, or a wrong password, keeps the dialog open with the focus on the
// field to correct. Its record is a TLoginRecord.
class TUserPassword_Dlg : public TTrValDialog {
    Q_OBJECT
public:
    explicit TUserPassword_Dlg(QWidget* parent = nullptr);

    void BindRecord(std::span<std::uint8_t> data) override;

    QLineEdit* UserName_Edit;
    QLineEdit* Password_Edit;
};

// The first user of a new installation: a name and the password twice. Its record is a
// TLoginRecord followed by the repeated password (kFirstUserRecordSize bytes).
class TFirstUser_Dlg : public TTrValDialog {
    Q_OBJECT
public:
    explicit TFirstUser_Dlg(QWidget* parent = nullptr);

    void BindRecord(std::span<std::uint8_t> data) override;

    QLineEdit* UserName_Edit;
    QLineEdit* Password_Edit;
    QLineEdit* Repeat_Edit;
};

// "User management - change password": the users the current user may change, one selected user's
// record, and the current user's own record (read only). Its record is the current user's
// TLoginRecord; on OK the users store holds the users it kept and the edited ones (TUserAttrEditor).
// Without a users store it answers 3 and shows nothing.
class TUserAttrMg_Dlg : public TTrValDialog {
    Q_OBJECT
public:
    static constexpr int kNoStore = 3;

    explicit TUserAttrMg_Dlg(QWidget* parent = nullptr);
    ~TUserAttrMg_Dlg() override;

    void BindRecord(std::span<std::uint8_t> data) override;
    int ShowModal() override;

    QListWidget* Users_List;
    QLineEdit* Name_Edit;
    QLineEdit* Password_Edit;
    QLineEdit* Level_Edit;
    QCheckBox* OwnEntry_Check;
    QCheckBox* Lower_Check;
    QLineEdit* CurName_Edit;
    QLineEdit* CurLevel_Edit;
    QCheckBox* CurOwnEntry_Check;
    QCheckBox* CurLower_Check;
    QPushButton* Add_Button;
    QPushButton* Delete_Button;
    QPushButton* Help_Button;

private:
    std::unique_ptr<TUserAttrEditor> editor_;
};

// Registers "TUserPassword_Dlg", "TFirstUser_Dlg" and "TUserAttrMg_Dlg" for ExecuteDialog.
void RegisterUserDialogs();

} // namespace ravlo
