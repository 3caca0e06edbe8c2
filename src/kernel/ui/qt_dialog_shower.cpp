#include "kernel/ui/qt_dialog_shower.h"

#include "framework/ui/message_dlg_box.h"
#include "platform/message_box_flags.h"

namespace ravlo {

void QtDialogShower::Show(std::string_view text, std::string_view caption, unsigned flags,
                          MessageBoxPlacement placement, ClosedHandler onClosed) {
    auto* box = new MessageDlgBox(MessageBoxKindOf(flags), caption, text, owner_.data(), placement);
    box->setObjectName(kBoxName);
    box->SetButtons(MsgDlgButtonsOfBox(flags), MsgDlgDefaultOfBox(flags));
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
