#include "framework/ui/qt_presenter.h"

#include "framework/ui/message_dlg_box.h"

#include <QApplication>
#include <QThread>
#include <utility>

namespace ravlo {
namespace {

int ShowBox(std::string_view text, std::string_view caption, MessageBoxKind kind,
            const std::vector<TMsgDlgBtn>& buttons, TMsgDlgBtn defaultButton, MessageBoxPlacement placement) {
    MessageDlgBox box(kind, caption, text, QApplication::activeWindow(), placement);
    box.setObjectName(QString::fromLatin1(QtPresenter::kBoxName));
    box.SetButtons(buttons, defaultButton);
    box.exec();
    return box.Answer();
}

// Runs work on the GUI thread, waiting for it when called from elsewhere.
template <typename Work>
void OnGuiThread(Work&& work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        std::forward<Work>(work)();
    } else {
        QMetaObject::invokeMethod(app, std::forward<Work>(work), Qt::BlockingQueuedConnection);
    }
}

} // namespace

int QtPresenter::MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return DefaultMessageBoxAnswer(flags); // no widgets to show a box with
    }
    const std::vector<TMsgDlgBtn> buttons = MsgDlgButtonsOfBox(flags);
    const TMsgDlgBtn defaultButton = MsgDlgDefaultOfBox(flags);
    int answer = 0;
    OnGuiThread([&] {
        answer = ShowBox(text, caption, MessageBoxKindOf(flags), buttons, defaultButton,
                         MessageBoxPlacement::OnOwner);
    });
    return answer;
}

int QtPresenter::MessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                            TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return MsgDlgDefaultAnswer(buttons, defaultButton);
    }
    int answer = 0;
    OnGuiThread([&] {
        answer = ShowBox(text, caption, kind, MsgDlgButtonList(buttons), defaultButton,
                         MessageBoxPlacement::OnScreen);
    });
    return answer;
}

void QtPresenter::Beep(unsigned) {
    if (QCoreApplication::instance() != nullptr) {
        OnGuiThread([] { QApplication::beep(); });
    }
}

} // namespace ravlo
