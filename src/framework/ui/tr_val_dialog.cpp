#include "framework/ui/tr_val_dialog.h"

#include "framework/ui/qt_val_control.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

namespace ravlo {

TPlatformWindow* OwnerWindow(QWidget* widget) {
    return reinterpret_cast<TPlatformWindow*>(widget);
}

QWidget* OwnerWidget(TPlatformWindow* owner) {
    return reinterpret_cast<QWidget*>(owner);
}

QLineEdit* MakeShownText(QWidget* parent, const char* objectName, Qt::Alignment alignment) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setReadOnly(true);
    edit->setFrame(false);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setAlignment(alignment);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    return edit;
}

TTrValDialog::TTrValDialog(QWidget* parent) : QDialog(parent) {}

TTrValDialog::~TTrValDialog() = default;

int TTrValDialog::ShowModal() {
    const int result = exec();
    return result == QDialog::Rejected ? mrCancel : result;
}

void TTrValDialog::done(int result) {
    if (!ValCloseQuery(result, Validator, OnCloseQuery)) {
        return; // stays open; the failing validator has the focus
    }
    QDialog::done(result);
}

TValControl* TTrValDialog::Control(QWidget* widget) {
    auto& control = controls_[widget];
    if (control == nullptr) {
        control = std::make_unique<TQtValControl>(widget);
    }
    return control.get();
}

QDialogButtonBox* TTrValDialog::MakeOkCancelButtons(const QString& okText, const QString& cancelText) {
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(okText, QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK_Button"));
    ok->setDefault(true);
    buttons->addButton(cancelText, QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("Cancel_Button"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(mrOk); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(mrCancel); });
    return buttons;
}

} // namespace ravlo
