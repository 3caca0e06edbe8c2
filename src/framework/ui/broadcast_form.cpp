#include "framework/ui/broadcast_form.h"

#include "platform/window_messages.h"

#include <QMdiSubWindow>

namespace ravlo {

FormWindow::FormWindow() : registration_(AppMessageQueue(), *this) {}

std::intptr_t FormWindow::HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (msg == wm_Broadcast) {
        return static_cast<std::intptr_t>(OnBroadcast(wParam, lParam));
    }
    return WindowMessage(msg, wParam, lParam);
}

std::intptr_t FormWindow::WindowMessage(std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

std::uint32_t FormWindow::DispatchToSelf(std::uint32_t msg, std::uint32_t wParam, std::uintptr_t lParam) {
    return static_cast<std::uint32_t>(HandleMessage(msg, wParam, static_cast<std::intptr_t>(lParam)));
}

std::uint32_t FormWindow::DispatchToChildWidgets(const QWidget& parent, const TBroadcastMsg& message) {
    std::uint32_t answer = 0;
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (auto* target = dynamic_cast<MessageTarget*>(child)) {
            answer |= static_cast<std::uint32_t>(target->HandleMessage(
                message.Msg, message.WParam, static_cast<std::intptr_t>(message.LParam)));
        }
    }
    return answer;
}

TBroadcastForm::TBroadcastForm(QWidget* parent) : QWidget(parent) {}

void TBroadcastForm::CloseWindow() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        frame->close();
    } else {
        close();
    }
}

std::uint32_t TBroadcastForm::OnBroadcast(std::uintptr_t wParam, std::intptr_t lParam) {
    return FormBroadcast(*this, wParam, lParam);
}

std::uint32_t TBroadcastForm::DispatchInner(std::uint32_t msg, std::uint32_t wParam, std::uintptr_t lParam) {
    return DispatchToSelf(msg, wParam, lParam);
}

std::uint32_t TBroadcastForm::DispatchToControls(const TBroadcastMsg& message) {
    return DispatchToChildWidgets(*this, message);
}

TCtrlBounds GetCtrlBounds(const QWidget& control) {
    const QRect bounds = control.geometry();
    return {bounds.left(), bounds.top(), bounds.width(), bounds.height()};
}

} // namespace ravlo
