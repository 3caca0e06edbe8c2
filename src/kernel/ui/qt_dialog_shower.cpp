#include "kernel/ui/qt_dialog_shower.h"

#include "platform/cp1250.h"
#include "platform/message_box_flags.h"

#include <QMessageBox>

namespace ravlo {
namespace {

QMessageBox::Icon IconOf(unsigned flags) {
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QString FromStored(std::string_view text) {
    return QString::fromStdString(Cp1250ToUtf8(text));
}

} // namespace

void QtDialogShower::Show(std::string_view text, std::string_view caption, unsigned flags,
                          ClosedHandler onClosed) {
    auto* box =
        new QMessageBox(IconOf(flags), FromStored(caption), FromStored(text), QMessageBox::Ok, owner_.data());
    box->setObjectName(kBoxName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [onClosed = std::move(onClosed)](int) {
        if (onClosed) {
            onClosed();
        }
    });
    box->show();
}

} // namespace ravlo
