#include "framework/ui/address_dialog.h"

#include "framework/ui/address_box.h"
#include "framework/ui/qt_text.h"
#include "framework/ui/title_width.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ravlo {

TfAddress::TfAddress(std::string_view caption, TSegOfsPtr address, bool asLinear, QWidget* parent)
    : QDialog(parent), cbxCombo_(new QComboBox(this)), address_(address), asLinear_(asLinear) {
    setObjectName(QStringLiteral("fAddress"));
    setWindowTitle(FromCp1250(caption));
    auto* label = new QLabel(QStringLiteral("Enter valid address:"), this);
    cbxCombo_->setObjectName(QStringLiteral("cbxCombo"));
    MakeTypedAddressBox(*cbxCombo_);
    cbxCombo_->addItems({QStringLiteral("$C8000"), QStringLiteral("$E8000"), QStringLiteral("$80000"),
                         QStringLiteral("$00B00"), QStringLiteral("$01000")});
    cbxCombo_->setToolTip(QStringLiteral("Absolute address (exmp. $C8000) or seg:ofs (exmp. $C800:0000)"));
    ShowAddress();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btOk"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("btCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TfAddress::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfAddress::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(cbxCombo_);
    layout->addWidget(buttons);
    setMinimumWidth(ReadableTitleWidth(*this));
    // Enter takes the text typed at once, as the box shows it.
    // The keys reach the box, which hands them to its line edit directly.
    cbxCombo_->installEventFilter(this);
    cbxCombo_->lineEdit()->installEventFilter(this);
}

void TfAddress::ShowAddress() {
    cbxCombo_->setEditText(AddressText(address_, asLinear_));
    // Selected, so that what the user types replaces the address rather than follows it.
    cbxCombo_->lineEdit()->selectAll();
}

bool TfAddress::eventFilter(QObject* watched, QEvent* event) {
    // The box takes the focus and hands the event to its line edit itself. Taken by the keyboard or
    // the window's activation, it selects its text; a click puts the caret where it points.
    if (watched == cbxCombo_ && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason) {
            cbxCombo_->lineEdit()->selectAll();
        }
    }
    if ((watched == cbxCombo_ || watched == cbxCombo_->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !cbxCombo_->view()->isVisible()) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString TfAddress::AddressText(TSegOfsPtr address, bool asLinear) {
    return QString::fromStdString(asLinear ? LinToStr(FarPtrToLin(address)) : FarPtrToStr(address));
}

void TfAddress::accept() {
    bool err = false;
    const TSegOfsPtr parsed = StrToFarPtr(ToCp1250(cbxCombo_->currentText()), err);
    if (err) {
        // Stays open with the last good address for another try.
        GetPresenter().Beep(MB_OK);
        ShowAddress();
        return;
    }
    address_ = parsed;
    QDialog::accept();
}

int AskAddress(std::string_view caption, TSegOfsPtr& address, bool asLinear) {
    TfAddress dialog(caption, address, asLinear, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) {
        return IDCANCEL;
    }
    address = dialog.Address();
    return IDOK;
}

} // namespace ravlo
