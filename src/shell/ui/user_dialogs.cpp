#include "shell/ui/user_dialogs.h"

#include "framework/num_edit_validators.h"
#include "framework/string_edit_validator.h"
#include "framework/ui/qt_text.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "shell/password_store.h"
#include "shell/user_attr_editor.h"
#include "shell/user_records.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace ravlo {
namespace {

// Room for a whole name or password.
constexpr int kTextEditChars = 28;

QLineEdit* MakeEdit(QWidget* parent, const char* name, QLineEdit::EchoMode echo = QLineEdit::Normal) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setEchoMode(echo);
    edit->setMaxLength(static_cast<int>(kUserTextMax));
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kTextEditChars);
    return edit;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* text) {
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// Label and edit rows from row on.
void AddRows(QGridLayout& grid, int row, std::initializer_list<std::pair<const char*, QWidget*>> rows) {
    for (const auto& [label, widget] : rows) {
        grid.addWidget(new QLabel(QString::fromLatin1(label), grid.parentWidget()), row, 0);
        grid.addWidget(widget, row++, 1);
    }
}

// Puts the focus on the refused field and tells why; false keeps the dialog open.
bool Refuse(const TUserFieldError& error, QLineEdit* field) {
    field->setFocus();
    field->selectAll(); // what is typed next replaces it
    ShowValidError(error.Text);
    return false;
}

} // namespace

TUserPassword_Dlg::TUserPassword_Dlg(QWidget* parent)
    : TTrValDialog(parent), UserName_Edit(MakeEdit(this, "UserName_Edit")),
      Password_Edit(MakeEdit(this, "Password_Edit", QLineEdit::Password)) {
    setObjectName(QStringLiteral("UserPassword_Dlg"));
    setWindowTitle(QStringLiteral("User Login"));
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    AddRows(*grid, 0, {{"User Name", UserName_Edit}, {"Password", Password_Edit}});
    grid->setRowMinimumHeight(2, 8);
    grid->addWidget(MakeOkCancelButtons(QStringLiteral("OK"), QStringLiteral("Cancel")), 3, 0, 1, 2);
    OnCloseQuery = [this] {
        const std::optional<TUserFieldError> error =
            CheckLogin(GetUsersStore(), UnpackLoginRecord(Validator.RecordPtr));
        return !error || Refuse(*error, error->Field == TUserField::Name ? UserName_Edit : Password_Edit);
    };
}

void TUserPassword_Dlg::BindRecord(std::span<std::uint8_t> data) {
    TCtrlBindings bindings;
    AddUserTextBindings(bindings, Control(UserName_Edit), Control(Password_Edit));
    bindings.Add<TTrByteEdit_Validator>(nullptr).Setup(0);
    bindings.Add<TTrWordEdit_Validator>(nullptr).Setup(0);
    Validator.TransferTo(std::move(bindings), data);
    // A proposed name leaves only the password to type.
    (UserName_Edit->text().isEmpty() ? UserName_Edit : Password_Edit)->setFocus();
}

TFirstUser_Dlg::TFirstUser_Dlg(QWidget* parent)
    : TTrValDialog(parent), UserName_Edit(MakeEdit(this, "UserName_Edit")),
      Password_Edit(MakeEdit(this, "Password_Edit", QLineEdit::Password)),
      Repeat_Edit(MakeEdit(this, "Repeat_Edit", QLineEdit::Password)) {
    setObjectName(QStringLiteral("FirstUser_Dlg"));
    setWindowTitle(QStringLiteral("First user"));
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    auto* note = new QLabel(QStringLiteral("Nobody is defined yet. This user gets level 254\n"
                                           "and may add and change every other user."),
                            this);
    grid->addWidget(note, 0, 0, 1, 2);
    grid->setRowMinimumHeight(1, 6);
    AddRows(*grid, 2,
            {{"User Name", UserName_Edit}, {"Password", Password_Edit}, {"Password again", Repeat_Edit}});
    grid->setRowMinimumHeight(5, 8);
    grid->addWidget(MakeOkCancelButtons(QStringLiteral("OK"), QStringLiteral("Cancel")), 6, 0, 1, 2);
    OnCloseQuery = [this] {
        const std::optional<TUserFieldError> error =
            CheckFirstUser(UnpackLoginRecord(Validator.RecordPtr), FirstUserRepeat(Validator.RecordPtr));
        if (!error) {
            return true;
        }
        return Refuse(*error, error->Field == TUserField::Name       ? UserName_Edit
                              : error->Field == TUserField::Password ? Password_Edit
                                                                     : Repeat_Edit);
    };
    UserName_Edit->setFocus();
}

void TFirstUser_Dlg::BindRecord(std::span<std::uint8_t> data) {
    TCtrlBindings bindings;
    AddUserTextBindings(bindings, Control(UserName_Edit), Control(Password_Edit));
    bindings.Add<TTrByteEdit_Validator>(nullptr).Setup(0);
    bindings.Add<TTrWordEdit_Validator>(nullptr).Setup(0);
    bindings.Add<TTrStringEdit_Validator>(Control(Repeat_Edit)).Setup(0, kUserTextField, CharRange(0, 0xFF));
    Validator.TransferTo(std::move(bindings), data);
}

TUserAttrMg_Dlg::TUserAttrMg_Dlg(QWidget* parent)
    : TTrValDialog(parent), Users_List(new QListWidget(this)), Name_Edit(MakeEdit(this, "Name_Edit")),
      Password_Edit(MakeEdit(this, "Password_Edit", QLineEdit::PasswordEchoOnEdit)),
      Level_Edit(new QLineEdit(this)),
      OwnEntry_Check(MakeCheck(this, "OwnEntry_Check", "user can change own password")),
      Lower_Check(MakeCheck(this, "Lower_Check", "user can change subordinate staff")),
      CurName_Edit(MakeShownText(this, "CurName_Edit", Qt::AlignLeft | Qt::AlignVCenter)),
      CurLevel_Edit(MakeShownText(this, "CurLevel_Edit", Qt::AlignLeft | Qt::AlignVCenter)),
      CurOwnEntry_Check(MakeCheck(this, "CurOwnEntry_Check", "user can change own password")),
      CurLower_Check(MakeCheck(this, "CurLower_Check", "user can change subordinate staff")),
      Add_Button(new QPushButton(QStringLiteral("Add user"), this)),
      Delete_Button(new QPushButton(QStringLiteral("Delete user"), this)),
      Help_Button(new QPushButton(QStringLiteral("Help"), this)) {
    setObjectName(QStringLiteral("UserAttrMg_Dlg"));
    setWindowTitle(QStringLiteral("User management - change password"));
    Users_List->setObjectName(QStringLiteral("Users_List"));
    Level_Edit->setObjectName(QStringLiteral("Level_Edit"));
    Level_Edit->setFixedWidth(Level_Edit->fontMetrics().averageCharWidth() * 8);
    Add_Button->setObjectName(QStringLiteral("Add_Button"));
    Delete_Button->setObjectName(QStringLiteral("Delete_Button"));
    Help_Button->setObjectName(QStringLiteral("Help_Button"));
    // The current user's boxes only show his options: a click does not change them.
    for (QCheckBox* box : {CurOwnEntry_Check, CurLower_Check}) {
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
    }

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(new QLabel(QStringLiteral("Lev - User name"), this));
    listColumn->addWidget(Users_List);

    auto* selected = new QGroupBox(QStringLiteral(" Selected user record "), this);
    auto* selectedGrid = new QGridLayout(selected);
    AddRows(*selectedGrid, 0, {{"Name", Name_Edit}, {"Password", Password_Edit}, {"Level", Level_Edit}});
    selectedGrid->addWidget(OwnEntry_Check, 3, 0, 1, 2);
    selectedGrid->addWidget(Lower_Check, 4, 0, 1, 2);

    auto* current = new QGroupBox(QStringLiteral(" Current user info R/O "), this);
    auto* currentGrid = new QGridLayout(current);
    AddRows(*currentGrid, 0, {{"Name", CurName_Edit}, {"Level", CurLevel_Edit}});
    currentGrid->addWidget(CurOwnEntry_Check, 2, 0, 1, 2);
    currentGrid->addWidget(CurLower_Check, 3, 0, 1, 2);

    auto* recordColumn = new QVBoxLayout;
    recordColumn->addWidget(selected);
    recordColumn->addWidget(current);
    recordColumn->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(listColumn, 1);
    top->addLayout(recordColumn);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Add_Button);
    buttons->addWidget(Delete_Button);
    buttons->addWidget(Help_Button);
    buttons->addStretch();
    buttons->addWidget(MakeOkCancelButtons(QStringLiteral("OK"), QStringLiteral("Cancel")));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    Users_List->setMinimumWidth(Users_List->fontMetrics().averageCharWidth() * 30);

    connect(Add_Button, &QPushButton::clicked, this, [this] {
        if (editor_ != nullptr && editor_->AddUser()) {
            Name_Edit->setFocus();
            Name_Edit->selectAll();
        }
    });
    connect(Delete_Button, &QPushButton::clicked, this, [this] {
        if (editor_ != nullptr) {
            editor_->DeleteUser();
        }
    });
    connect(Help_Button, &QPushButton::clicked, this, [] {
        GetPresenter().MessageBox(
            "The list holds the users you may change: yourself when you may change your own password, and "
            "the users below your level when you may change subordinate staff.\r\n\r\n"
            "You may give yourself at most your own level and others a level below yours, and only "
            "options you have yourself. Every user needs a name of his own and a password.",
            "Help", MB_OK | MB_ICONASTERISK);
    });
    OnCloseQuery = [this] {
        if (editor_ != nullptr && GetUsersStore() != nullptr) {
            editor_->Apply(*GetUsersStore());
        }
        return true;
    };
}

TUserAttrMg_Dlg::~TUserAttrMg_Dlg() {
    // The validators point into the editor's records: they go first.
    Validator.Validators.clear();
}

void TUserAttrMg_Dlg::BindRecord(std::span<std::uint8_t> data) {
    const TPasswordLabelColl* store = GetUsersStore();
    if (store == nullptr) {
        return;
    }
    editor_ = std::make_unique<TUserAttrEditor>(*store, UnpackLoginRecord(data));
    editor_->Bind(Validator,
                  {Control(Users_List), Control(Name_Edit), Control(Password_Edit), Control(Level_Edit),
                   Control(OwnEntry_Check), Control(Lower_Check), Control(CurName_Edit),
                   Control(CurLevel_Edit), Control(CurOwnEntry_Check), Control(CurLower_Check)},
                  data);
}

int TUserAttrMg_Dlg::ShowModal() {
    return editor_ == nullptr ? kNoStore : TTrValDialog::ShowModal();
}

void RegisterUserDialogs() {
    RegisterDialogClass<TUserPassword_Dlg>(kLoginDialogName);
    RegisterDialogClass<TFirstUser_Dlg>(kFirstUserDialogName);
    RegisterDialogClass<TUserAttrMg_Dlg>(kUsersDialogName);
}

} // namespace ravlo
